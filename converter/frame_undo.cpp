// The main window's Undo and Redo. Every change to a data file is kept as a
// step of that file's history (undo_history.h); taking a step back or
// forward puts the file's earlier or later data into the document, and is
// then a change like any other: marked, saved at once through the saver,
// kept in memory and tried again when that fails.
#include <QAction>

#include <optional>
#include <string>
#include <vector>

#include "converter/commands.h"
#include "converter/file_state.h"
#include "converter/list/unit_list_view.h"
#include "converter/main_frame.h"
#include "document/item.h"

namespace pq::conv {

namespace {

// A longer item name is cut in the step's name, so that the menu stays
// narrow.
constexpr qsizetype kNameChars = 32;

QString quotedName(const Item& item) {
    QString name = QString::fromStdU16String(std::u16string(item.name.view()));
    if (name.size() > kNameChars) name = name.left(kNameChars - 1) + QChar(0x2026);
    return QStringLiteral("'%1'").arg(name);
}

// The value of an item, kept while the items are replaced by those of
// another state and given to the item of the same name and identifier.
struct KeptValue {
    std::u16string name;
    std::u16string identifier;
    double value;
    bool taken = false;
};

std::vector<KeptValue> keptValues(const Document& document) {
    std::vector<KeptValue> kept;
    for (const auto& item : document.items)
        if (item->state == ValueState::Valid)
            kept.push_back({std::u16string(item->name.view()),
                            std::u16string(item->identifier.view()), item->value});
    return kept;
}

void giveValues(std::vector<KeptValue>& kept, Document& document) {
    for (const auto& item : document.items) {
        for (KeptValue& value : kept) {
            if (value.taken || item->name.view() != value.name ||
                item->identifier.view() != value.identifier)
                continue;
            item->value = value.value;
            item->state = ValueState::Valid;
            value.taken = true;
            break;
        }
    }
}

} // namespace

int CPqConvFrame::currentPosition() const {
    if (!document_ || !document_->currentItem) return -1;
    const std::optional<size_t> position = document_->indexOf(document_->currentItem);
    return position ? static_cast<int>(*position) : -1;
}

UndoStep CPqConvFrame::itemStep(const QString& what, const Item* item) const {
    UndoStep step{what};
    if (!item) return step;
    step.name += u' ' + quotedName(*item);
    const std::optional<size_t> position = document_ ? document_->indexOf(item) : std::nullopt;
    step.itemBefore = step.itemAfter = position ? static_cast<int>(*position) : -1;
    return step;
}

void CPqConvFrame::recordStep(const UndoStep& step) {
    if (document_ && document_->loaded)
        history_.record(FileNameOf(*document_), step, document_->image());
}

void CPqConvFrame::historyOpened(Document* document) {
    if (!document || !document->loaded) return;
    const QString file = FileNameOf(*document);
    if (!document->isModified()) {
        history_.sync(file, document->image());
        return;
    }
    // Modified as it was opened: an update file was applied to it (or it is
    // new and has no file yet). Undo takes it back to its file.
    std::unique_ptr<Document> read = createDocument(document->typeCode());
    if (read && read->readWithoutConverting(document->filePath(*catalogue_)) &&
        read->readState().kind != ReadState::Kind::Damaged)
        history_.record(file, {QStringLiteral("Apply Downloaded Update")}, read->image(),
                        document->image());
    else
        history_.reset(file, document->image());
}

void CPqConvFrame::historyReloaded(Document& document) {
    // Another program changed the file: the steps led to a file that is no
    // more.
    if (document.loaded)
        history_.reset(FileNameOf(document), document.image());
    else
        history_.forget(FileNameOf(document));
}

void CPqConvFrame::selectPosition(int position) {
    if (position < 0 || static_cast<size_t>(position) >= document_->items.size()) return;
    const Item* item = document_->items[static_cast<size_t>(position)].get();
    for (int row = 0; row < list_->rowCount(); ++row) {
        if (&list_->row(row).item() != item) continue;
        list_->select(row);
        return;
    }
}

void CPqConvFrame::undo(bool back) {
    if (!document_->loaded) return;
    const QString file = FileNameOf(*document_);
    const UndoStep* next = back ? history_.undoStep(file) : history_.redoStep(file);
    if (!next) return;
    const UndoStep step = *next;
    // The values shown were computed from the current item's: they are
    // computed from it again, in the file as it is after the step.
    std::vector<KeptValue> values = keptValues(*document_);
    const Item* current = document_->currentItem;
    const std::optional<KeptValue> source =
        current && current->state == ValueState::Valid
            ? std::optional<KeptValue>({std::u16string(current->name.view()),
                                        std::u16string(current->identifier.view()), current->value})
            : std::nullopt;
    list_->load(nullptr); // the rows and the panel let go of the items
    if (document_->restore(back ? history_.undo(file) : history_.redo(file))) {
        giveValues(values, *document_);
        // Saved before the list shows it: the entry panel may choose an
        // entry format for the item it shows, which the file need not keep.
        saver_->saveChanges(*document_);
    } else {
        history_.reset(file, document_->image()); // not an image of ours
    }
    makeCurrent(document_);
    if (source && document_->typeCode() == ConversionDocument::kTypeCode) {
        for (const auto& item : document_->items) {
            if (item->state != ValueState::Valid || item->name.view() != source->name ||
                item->identifier.view() != source->identifier)
                continue;
            Item* shown = document_->currentItem;
            document_->currentItem = item.get();
            list_->recompute(engine_);
            document_->currentItem = shown;
            break;
        }
    }
    selectPosition(back ? step.itemBefore : step.itemAfter);
}

void CPqConvFrame::formatChanged(unsigned id, int position) {
    if (!document_) return;
    if (id == kCmdEntryFormatChosen) position = currentPosition();
    if (position < 0 || static_cast<size_t>(position) >= document_->items.size()) return;
    const Item* item = document_->items[static_cast<size_t>(position)].get();
    const QString what = id == kCmdFormatChosen        ? QStringLiteral("Change Format of")
                         : id == kCmdFormatsCustomized ? QStringLiteral("Customize Formats of")
                                                       : QStringLiteral("Change Entry Format of");
    documentChanged(itemStep(what, item), false);
}

void CPqConvFrame::updateUndoCommands(const QString& problem) {
    const QString file = document_ ? FileNameOf(*document_) : QString();
    for (const bool back : {true, false}) {
        QAction* action = actions_[back ? kCmdUndo : kCmdRedo];
        const UndoStep* step = !document_ ? nullptr
                               : back     ? history_.undoStep(file)
                                          : history_.redoStep(file);
        const QString verb = back ? QStringLiteral("Undo") : QStringLiteral("Redo");
        // R is Appearance's in the Edit menu.
        QString text = back ? QStringLiteral("&Undo") : QStringLiteral("Red&o");
        if (step) text += u' ' + QString(step->name).replace(u'&', QStringLiteral("&&"));
        action->setText(text);
        // A file that may not be changed says why instead.
        if (!problem.isEmpty()) continue;
        action->setToolTip(step   ? verb + u' ' + step->name
                           : back ? QStringLiteral("Nothing to undo")
                                  : QStringLiteral("Nothing to redo"));
    }
}

} // namespace pq::conv
