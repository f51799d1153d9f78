// Finding a unit in every data file and going to it.
#include "converter/entry/value_entry_panel.h"
#include "converter/find/conversion_answer.h"
#include "converter/find/unit_finder.h"
#include "converter/list/unit_list_view.h"
#include "converter/main_frame.h"
#include "document/item.h"
#include "engine/text.h"
#include "uikit/message_box.h"

namespace pq::conv {

namespace {

// The unit a reference names in a document: at its place when the
// identifier there agrees, else the first with its identifier (or, without
// one, its name).
Item* findItem(const Document& document, const UnitReference& unit) {
    const std::u16string identifier = unit.identifier.toStdU16String();
    const std::u16string name = unit.name.toStdU16String();
    if (unit.position >= 0 && static_cast<size_t>(unit.position) < document.items.size()) {
        Item& item = *document.items[static_cast<size_t>(unit.position)];
        if (item.identifier == identifier && (!identifier.empty() || item.name == name))
            return &item;
    }
    for (const auto& item : document.items)
        if (!identifier.empty() && equalsIgnoreCase(item->identifier, identifier))
            return item.get();
    for (const auto& item : document.items)
        if (identifier.empty() && item->name == name) return item.get();
    return nullptr;
}

} // namespace

void CPqConvFrame::findUnit(const QString& text) { finder_->open(text, document_); }

void CPqConvFrame::goToUnit(const UnitReference& unit) {
    if (Item* item = openUnit(unit)) selectFound(*item);
}

Item* CPqConvFrame::openUnit(const UnitReference& unit) {
    const std::u16string fileName = unit.fileName.toStdU16String();
    const bool here = document_ && equalsIgnoreCase(document_->fileNameWithExtension(), fileName);
    if (!here) {
        int index = catalogue_->indexOf(fileName);
        if (index < 0) index = catalogue_->addFile(fileName);
        if (index < 0) {
            ui::ShowMessage(this, ui::MessageIcon::Error, QStringLiteral("Find Unit"),
                            QStringLiteral("The file \"%1\" could not be read.").arg(unit.fileName));
            list_->setFocus();
            return nullptr;
        }
        switchTo(static_cast<size_t>(index));
        // The switch tells the user itself when it could not be made.
        if (!document_ || !equalsIgnoreCase(document_->fileNameWithExtension(), fileName))
            return nullptr;
    }
    Item* item = findItem(*document_, unit);
    if (!item) {
        ui::ShowMessage(this, ui::MessageIcon::Error, QStringLiteral("Find Unit"),
                        QStringLiteral("\"%1\" has no unit \"%2\" any more.")
                            .arg(QString::fromStdU16String(std::u16string(document_->title.view())),
                                 unit.name));
        list_->setFocus();
        return nullptr;
    }
    if (!item->shown) {
        // Shown in the list, as the Show/Hide dialog would show it.
        item->shown = 1;
        makeCurrent(document_);
        documentChanged(itemStep(QStringLiteral("Show Unit"), item), false);
    }
    return item;
}

void CPqConvFrame::selectFound(Item& item) {
    for (int row = 0; row < list_->rowCount(); ++row)
        if (&list_->row(row).item() == &item) list_->select(row);
    updateCommands();
    finder_->noteUsed(*document_, item);
    if (panel_->isShown())
        panel_->takeFocus();
    else
        list_->setFocus();
}

void CPqConvFrame::goToAnswer(const ConversionAnswer& answer) {
    Item* first = openUnit(answer.first);
    if (!first) return;
    Item* target = answer.target ? openUnit(*answer.target) : nullptr;
    if (answer.target && !target) return;
    // Showing the target may have laid the list out again: the first unit
    // is looked up anew.
    first = findItem(*document_, answer.first);
    if (!first) return;
    first->value = answer.firstValue;
    first->state = ValueState::Valid;
    for (int row = 0; row < list_->rowCount(); ++row)
        if (&list_->row(row).item() == first) list_->select(row);
    document_->currentItem = first;
    list_->recompute(engine_);
    finder_->noteUsed(*document_, *first);
    selectFound(target ? *target : *first);
}

} // namespace pq::conv
