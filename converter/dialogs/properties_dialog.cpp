#include "converter/dialogs/properties_dialog.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "converter/dialogs/dialog_checks.h"
#include "converter/dialogs/dialog_texts.h"
#include "document/catalogue.h"
#include "document/document.h"
#include "uikit/message_box.h"

namespace pq::conv {

namespace {

constexpr ui::MenuBarItem kOkCancelBar[] = {{"  OK   ", ui::kOkCommand},
                                            {" Cancel ", ui::kCancelCommand}};
const QString kCaption = QStringLiteral("File Properties");

QString titleFor(const Document& document) {
    return document.name.empty() ? QStringLiteral("New File") : kCaption;
}

} // namespace

PropertiesDialog::PropertiesDialog(QWidget* parent, Document& document, const Catalogue& catalogue)
    : ui::FullScreenDialog(parent, titleFor(document), kOkCancelBar), document_(document),
      catalogue_(catalogue) {
    auto* form = new QFormLayout;
    title_ = new QLineEdit(this);
    title_->setMaxLength(kFileTextLength);
    title_->setText(ToQString(document.title.view()));
    form->addRow(QStringLiteral("Title:"), title_);

    category_ = new QComboBox(this);
    category_->setEditable(true);
    category_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    category_->setMinimumContentsLength(8);
    category_->setInsertPolicy(QComboBox::NoInsert);
    category_->addItems(CategoriesOf(catalogue));
    category_->lineEdit()->setMaxLength(kFileTextLength);
    category_->setEditText(ToQString(document.category.view()));
    form->addRow(QStringLiteral("Category:"), category_);

    fileName_ = new QLineEdit(this);
    fileName_->setMaxLength(kFileTextLength);
    if (!document.name.empty()) {
        fileName_->setText(ToQString(document.name.view()));
        fileName_->setReadOnly(true);
    }
    form->addRow(QStringLiteral("File Name:"), fileName_);

    updated_ = new QPlainTextEdit(this);
    updated_->setReadOnly(true);
    updated_->setPlainText(ToQString(document.updatedText.view()));
    updated_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    updated_->setTabChangesFocus(true);
    updated_->setFixedHeight(QFontMetrics(updated_->font()).lineSpacing() * 3 +
                             2 * updated_->frameWidth() + 8);
    form->addRow(QStringLiteral("Updated:"), updated_);
    body()->addLayout(form);
    body()->addStretch(1);
    title_->setFocus();
}

void PropertiesDialog::refuse(const QString& message, QWidget* field) {
    field->setFocus();
    ui::ShowMessage(this, ui::MessageIcon::Error, kCaption, message);
}

void PropertiesDialog::accept() {
    const QString title = title_->text();
    if (title.isEmpty()) {
        refuse(QStringLiteral("Type a title: the file list and the window name the file by it."),
               title_);
        return;
    }
    const QString category = category_->currentText().left(kFileTextLength);
    const bool isNew = document_.name.empty();
    QString name;
    if (isNew) {
        // A new file is filed under a category the open dialog can show.
        if (category.trimmed().isEmpty()) {
            refuse(QStringLiteral(
                       "Type a category, or choose one: the Open dialog groups the files by it."),
                   category_);
            return;
        }
        const FileNameChoice choice =
            ChooseFileName(fileName_->text(), title, document_.extension());
        if (choice.name.isEmpty()) {
            refuse(choice.message, fileName_);
            return;
        }
        // A taken name is refused, never changed behind the user's back.
        name = choice.name.left(kFileNameLength);
        if (IsFileNameTaken(catalogue_, name, document_.extension())) {
            refuse(QStringLiteral("The data folder already holds a file named \"%1\". Please "
                                  "type another file name.")
                       .arg(name + ToQString(document_.extension())),
                   fileName_);
            return;
        }
    }
    document_.title = ToText(title);
    document_.category = ToText(category);
    if (isNew) document_.name = ToText(name);
    ui::FullScreenDialog::accept();
}

} // namespace pq::conv
