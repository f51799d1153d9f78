#include "converter/dialogs/conversions_dialog.h"

#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "converter/commands.h"
#include "converter/dialogs/dialog_checks.h"
#include "converter/dialogs/dialog_texts.h"
#include "document/document.h"
#include "engine/expression_engine.h"
#include "engine/format_text.h"
#include "uikit/command_event.h"
#include "uikit/message_box.h"

namespace pq::conv {

namespace {

constexpr ui::MenuBarItem kAddPopup[] = {{"Standard", kCmdAddStandard},
                                         {"Advanced", kCmdAddAdvanced}};
constexpr ui::MenuBarItem kConversionsBar[] = {
    {" Add ", 0, kAddPopup, 2}, {" Delete ", kCmdDeleteConversion}, {" Done ", ui::kOkCommand}};

constexpr int kConversionRole = Qt::UserRole;

// The list keeps its entries sorted by their text, without regard to case.
class Entry : public QListWidgetItem {
  public:
    Entry(const QString& text, Conversion& conversion) : QListWidgetItem(text) {
        setData(kConversionRole, QVariant::fromValue(static_cast<void*>(&conversion)));
    }
    bool operator<(const QListWidgetItem& other) const override {
        const int folded = text().compare(other.text(), Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : text() < other.text();
    }
};

Conversion* conversionOf(const QListWidgetItem* entry) {
    return entry ? static_cast<Conversion*>(entry->data(kConversionRole).value<void*>()) : nullptr;
}

} // namespace

ConversionsDialog::ConversionsDialog(QWidget* parent, ConversionDocument& document,
                                     ExpressionEngine& engine)
    : ui::FullScreenDialog(parent, QStringLiteral("Unit Conversions"), kConversionsBar),
      document_(document), engine_(engine) {
    list_ = new QListWidget(this);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSortingEnabled(true);
    for (const auto& conversion : document.conversions) addEntry(*conversion);
    list_->setCurrentRow(-1);
    list_->clearSelection();
    body()->addWidget(list_, 1);

    fields_ = new ConversionFields(this, QStringLiteral("~"));
    body()->addWidget(fields_);
    for (QLineEdit* box :
         {fields_->factorBox(), fields_->offsetBox(), fields_->forwardBox(), fields_->reverseBox()})
        connect(box, &QLineEdit::editingFinished, this, [this, box] { storeBox(box); });
    connect(list_, &QListWidget::itemSelectionChanged, this, [this] { selectionChanged(); });
    showConversion(nullptr);
}

ConversionsDialog::~ConversionsDialog() {
    // A box that loses the focus while the dialog is torn down must not reach
    // the half-destroyed dialog.
    for (QLineEdit* box :
         {fields_->factorBox(), fields_->offsetBox(), fields_->forwardBox(), fields_->reverseBox()})
        disconnect(box, nullptr, this, nullptr);
}

QListWidgetItem* ConversionsDialog::addEntry(Conversion& conversion) {
    auto* entry = new Entry(ConversionEntryText(conversion), conversion);
    list_->addItem(entry);
    return entry;
}

void ConversionsDialog::selectionChanged() {
    storeEditedBoxes();
    const QList<QListWidgetItem*> chosen = list_->selectedItems();
    selected_ = chosen.isEmpty() ? nullptr : conversionOf(chosen.front());
    showConversion(selected_);
}

void ConversionsDialog::showConversion(const Conversion* conversion) {
    using Mode = ConversionFields::Mode;
    for (QLineEdit* box :
         {fields_->factorBox(), fields_->offsetBox(), fields_->forwardBox(), fields_->reverseBox()})
        ConversionFields::markInvalid(box, false);
    ui::EnableMenuBarItem(*this, kCmdDeleteConversion, conversion != nullptr);
    if (!conversion) {
        fields_->setMode(Mode::None);
        return;
    }
    fields_->setUnitNames(
        conversion->unit1 ? ToQString(DisplayName(*conversion->unit1)) : QString(),
        conversion->unit2 ? ToQString(DisplayName(*conversion->unit2)) : QString());
    if (conversion->isLinear()) {
        fields_->factorBox()->setText(ToQString(formatNumber(conversion->factor)));
        fields_->offsetBox()->setText(ToQString(formatNumber(conversion->offset)));
        fields_->setMode(Mode::Standard);
    } else {
        fields_->forwardBox()->setText(ToQString(conversion->forwardFormula.view()));
        fields_->reverseBox()->setText(ToQString(conversion->reverseFormula.view()));
        fields_->setMode(Mode::Advanced);
    }
}

// A box stores its text only when it was edited since it was filled, so
// that leaving a box untouched never rounds a factor to its shown digits.
void ConversionsDialog::storeBox(QLineEdit* box) {
    if (!selected_ || !box->isModified()) return;
    box->setModified(false);
    const std::u16string text = ToText(box->text());
    if (box == fields_->factorBox() || box == fields_->offsetBox()) {
        if (!selected_->isLinear()) return;
        double value = 0;
        const bool evaluates = engine_.evaluate(text, value);
        // A text that does not evaluate leaves the number as it was.
        double& number = box == fields_->factorBox() ? selected_->factor : selected_->offset;
        const bool changes = evaluates && number != value;
        if (evaluates) number = value;
        ConversionFields::markInvalid(box, !evaluates);
        if (changes) tellChange("Edit", *selected_);
        return;
    }
    if (selected_->isLinear()) return;
    WString& formula =
        box == fields_->forwardBox() ? selected_->forwardFormula : selected_->reverseFormula;
    const bool changes = formula.view() != text;
    formula = text;
    ConversionFields::markInvalid(
        box, !CheckFormula(ToQString(text), QStringLiteral("changed"), &engine_).isEmpty());
    if (changes) tellChange("Edit", *selected_);
}

void ConversionsDialog::tellChange(const char* what, const Conversion& conversion) {
    if (changed_)
        changed_(QStringLiteral("%1 Conversion '%2'")
                     .arg(QLatin1String(what), ConversionEntryText(conversion)));
}

void ConversionsDialog::storeEditedBoxes() {
    for (QLineEdit* box :
         {fields_->factorBox(), fields_->offsetBox(), fields_->forwardBox(), fields_->reverseBox()})
        storeBox(box);
}

void ConversionsDialog::accept() {
    list_->setFocus();
    storeEditedBoxes();
    ui::FullScreenDialog::accept();
}

// Closing the window keeps what was typed, as " Done " does: the edits are
// made in place.
void ConversionsDialog::reject() {
    storeEditedBoxes();
    ui::FullScreenDialog::reject();
}

void ConversionsDialog::command(const ui::CommandEvent& event) {
    switch (event.id()) {
    case kCmdAddStandard: openAddDialog(ConversionFields::Mode::Standard); break;
    case kCmdAddAdvanced: openAddDialog(ConversionFields::Mode::Advanced); break;
    case kCmdDeleteConversion: askToDelete(); break;
    default: break;
    }
}

void ConversionsDialog::askToDelete() {
    Conversion* conversion = selected_;
    if (!conversion ||
        !ui::AskYesNo(
            this, QStringLiteral("Delete"),
            QStringLiteral(
                "Delete the selected conversion? Values are no longer computed through it.")))
        return;
    const auto& all = document_.conversions;
    if (std::none_of(all.begin(), all.end(), [&](const auto& c) { return c.get() == conversion; }))
        return;
    selected_ = nullptr; // nothing to store into any more
    for (int row = 0; row < list_->count(); ++row) {
        if (conversionOf(list_->item(row)) != conversion) continue;
        delete list_->takeItem(row);
        break;
    }
    const QString name = ConversionEntryText(*conversion);
    document_.removeConversion(conversion);
    list_->clearSelection();
    selected_ = nullptr;
    showConversion(nullptr);
    if (changed_) changed_(QStringLiteral("Delete Conversion '%1'").arg(name));
}

void ConversionsDialog::openAddDialog(ConversionFields::Mode mode) {
    if (add_) return;
    storeEditedBoxes();
    add_ = new AddConversionDialog(this, document_, engine_, mode);
    connect(add_, &QDialog::finished, this, [this](int result) {
        AddConversionDialog* dialog = add_.data();
        if (!dialog) return;
        if (result == QDialog::Accepted) addConversion(*dialog);
        dialog->deleteLater();
        add_.clear();
    });
    add_->open();
}

void ConversionsDialog::addConversion(const AddConversionDialog& dialog) {
    Conversion& conversion = document_.addConversion();
    conversion.unit1 = dialog.firstUnit();
    conversion.unit2 = dialog.secondUnit();
    if (dialog.mode() == ConversionFields::Mode::Advanced) {
        conversion.kind = Conversion::Formula;
        conversion.forwardFormula = ToText(dialog.forwardFormula());
        conversion.reverseFormula = ToText(dialog.reverseFormula());
    } else {
        conversion.kind = Conversion::Linear;
        conversion.factor = dialog.factor();
        conversion.offset = dialog.offset();
    }
    QListWidgetItem* entry = addEntry(conversion);
    list_->setCurrentItem(entry);
    entry->setSelected(true);
    list_->scrollToItem(entry);
    tellChange("Add", conversion);
}

} // namespace pq::conv
