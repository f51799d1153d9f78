#include "converter/undo_history.h"

namespace pq::conv {

QString UndoHistory::key(const QString& file) { return file.toCaseFolded(); }

const UndoHistory::File* UndoHistory::find(const QString& file) const {
    const auto found = files_.find(key(file));
    return found == files_.end() ? nullptr : &found->second;
}

void UndoHistory::sync(const QString& file, Image image) {
    const Image* known = state(file);
    if (!known || *known != image) reset(file, std::move(image));
}

void UndoHistory::reset(const QString& file, Image image) {
    File& entry = files_[key(file)];
    entry.states.assign(1, std::move(image));
    entry.steps.clear();
    entry.at = 0;
}

void UndoHistory::forget(const QString& file) { files_.erase(key(file)); }

void UndoHistory::record(const QString& file, const UndoStep& step, Image after) {
    const auto found = files_.find(key(file));
    if (found == files_.end()) return;
    File& entry = found->second;
    if (entry.states[entry.at] == after) return;
    entry.states.resize(entry.at + 1);
    entry.steps.resize(entry.at);
    entry.states.push_back(std::move(after));
    entry.steps.push_back(step);
    if (entry.steps.size() > kMaxSteps) {
        entry.states.erase(entry.states.begin());
        entry.steps.erase(entry.steps.begin());
    }
    entry.at = entry.steps.size();
}

void UndoHistory::record(const QString& file, const UndoStep& step, Image before, Image after) {
    sync(file, std::move(before));
    record(file, step, std::move(after));
}

const UndoStep* UndoHistory::undoStep(const QString& file) const {
    const File* entry = find(file);
    return entry && entry->at > 0 ? &entry->steps[entry->at - 1] : nullptr;
}

const UndoStep* UndoHistory::redoStep(const QString& file) const {
    const File* entry = find(file);
    return entry && entry->at < entry->steps.size() ? &entry->steps[entry->at] : nullptr;
}

const UndoHistory::Image& UndoHistory::undo(const QString& file) {
    File& entry = files_.at(key(file));
    return entry.states[--entry.at];
}

const UndoHistory::Image& UndoHistory::redo(const QString& file) {
    File& entry = files_.at(key(file));
    return entry.states[++entry.at];
}

const UndoHistory::Image* UndoHistory::state(const QString& file) const {
    const File* entry = find(file);
    return entry ? &entry->states[entry->at] : nullptr;
}

} // namespace pq::conv
