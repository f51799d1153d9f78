#include "converter/dialogs/unit_properties_dialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "converter/dialogs/dialog_checks.h"
#include "converter/dialogs/dialog_texts.h"
#include "document/document.h"
#include "document/item.h"
#include "uikit/message_box.h"

namespace pq::conv {

namespace {

constexpr ui::MenuBarItem kOkCancelBar[] = {{"  OK   ", ui::kOkCommand},
                                            {" Cancel ", ui::kCancelCommand}};

QString titleFor(const Item& item) {
    return item.name.empty() ? QStringLiteral("New Unit") : QStringLiteral("Unit Properties");
}

QLineEdit* textBox(QWidget* parent, const WString& text) {
    auto* box = new QLineEdit(parent);
    box->setMaxLength(kItemTextLength);
    box->setText(ToQString(text.view()));
    return box;
}

} // namespace

UnitPropertiesDialog::UnitPropertiesDialog(QWidget* parent, Item& item, const Document* document)
    : ui::FullScreenDialog(parent, titleFor(item), kOkCancelBar), item_(item), document_(document) {
    auto* form = new QFormLayout;
    name_ = textBox(this, item.name);
    identifier_ = textBox(this, item.identifier);
    value_ = textBox(this, item.valueText);
    form->addRow(QStringLiteral("Name:"), name_);
    form->addRow(QStringLiteral("Identifier:"), identifier_);
    form->addRow(QStringLiteral("Value:"), value_);
    typeLabel_ = new QLabel(QStringLiteral("Type:"), this);
    type_ = new QComboBox(this);
    if (item.typeCode() == CalcItem::kTypeCode) {
        type_->addItem(QStringLiteral("Input"));
        type_->addItem(QStringLiteral("Output"));
        type_->setCurrentIndex(static_cast<const CalcItem&>(item).role == Output ? 1 : 0);
        form->addRow(typeLabel_, type_);
    } else {
        typeLabel_->hide();
        type_->hide();
    }
    body()->addLayout(form);
    body()->addStretch(1);
    name_->setFocus();
}

void UnitPropertiesDialog::refuse(const QString& message, QLineEdit* box) {
    box->setFocus();
    box->selectAll();
    ui::ShowMessage(this, ui::MessageIcon::Error, QStringLiteral("Edit Unit"), message);
}

void UnitPropertiesDialog::accept() {
    const QString name = name_->text();
    if (name.isEmpty()) {
        refuse(QStringLiteral("Please enter item name"), name_);
        return;
    }
    // Only a changed identifier is checked, so that an item read from a file
    // can always be renamed.
    const QString identifier = identifier_->text();
    if (identifier != ToQString(item_.identifier.view())) {
        if (const QString problem = CheckIdentifier(document_, item_, identifier);
            !problem.isEmpty()) {
            refuse(problem, identifier_);
            return;
        }
    }
    item_.name = ToText(name);
    item_.valueText = ToText(value_->text());
    item_.identifier = ToText(identifier);
    if (item_.typeCode() == CalcItem::kTypeCode)
        static_cast<CalcItem&>(item_).role = type_->currentIndex() == 1 ? Output : Input;
    ui::FullScreenDialog::accept();
}

} // namespace pq::conv
