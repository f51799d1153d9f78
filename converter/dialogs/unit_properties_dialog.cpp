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
    auto label = [this](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setBuddy(buddy);
        return l;
    };
    form->addRow(label(QStringLiteral("&Name:"), name_), name_);
    form->addRow(label(QStringLiteral("&Identifier:"), identifier_), identifier_);
    valueLabel_ = label(QString(), value_);
    form->addRow(valueLabel_, value_);
    valueNote_ = new QLabel(this);
    valueNote_->setObjectName(QStringLiteral("valueNote"));
    valueNote_->setWordWrap(true);
    form->addRow(QString(), valueNote_);
    type_ = new QComboBox(this);
    typeLabel_ = label(QStringLiteral("&Type:"), type_);
    if (item.typeCode() == CalcItem::kTypeCode) {
        type_->addItem(QStringLiteral("Input"));
        type_->addItem(QStringLiteral("Output"));
        type_->setCurrentIndex(static_cast<const CalcItem&>(item).role == Output ? 1 : 0);
        form->addRow(typeLabel_, type_);
        connect(type_, &QComboBox::currentIndexChanged, this, [this] { describeValue(); });
    } else {
        typeLabel_->hide();
        type_->hide();
    }
    describeValue();
    body()->addLayout(form);
    body()->addStretch(1);
    name_->setFocus();
}

void UnitPropertiesDialog::describeValue() {
    // The value text is what the item takes when no value is typed for it,
    // or an output's formula.
    const bool calculation = item_.typeCode() == CalcItem::kTypeCode;
    const bool output = calculation && type_->currentIndex() == 1;
    valueLabel_->setText(output ? QStringLiteral("&Formula:") : QStringLiteral("&Default value:"));
    value_->setAccessibleName(output ? QStringLiteral("Formula") : QStringLiteral("Default value"));
    valueNote_->setText(
        output ? QStringLiteral("Computed from the identifiers of the other items, such as "
                                "bill*percent/100.")
        : calculation
            ? QStringLiteral("The item's value while none is typed for it: a number or a "
                             "formula over the other items' identifiers.")
            : QStringLiteral("The value the default button at the right of the value strip "
                             "enters for this unit, such as 1 or 1/4."));
}

void UnitPropertiesDialog::refuse(const QString& message, QLineEdit* box) {
    box->setFocus();
    box->selectAll();
    ui::ShowMessage(this, ui::MessageIcon::Error, QStringLiteral("Edit Unit"), message);
}

void UnitPropertiesDialog::accept() {
    const QString name = name_->text();
    if (name.isEmpty()) {
        refuse(QStringLiteral("Type a name for the %1: it is what the list shows.")
                   .arg(item_.typeCode() == CalcItem::kTypeCode ? QStringLiteral("item")
                                                                : QStringLiteral("unit")),
               name_);
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
