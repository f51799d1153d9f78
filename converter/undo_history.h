#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

namespace pq::conv {

// One change that Undo takes back and Redo makes again: its name as the
// Edit menu shows it, and the item to select once it was undone or redone.
struct UndoStep {
    QString name;        // "Delete Unit 'Furlong'"
    int itemBefore = -1; // the position of the item it is about before it; -1: none
    int itemAfter = -1;  // and after it
};

// The changes of the data files, kept per file while the program runs, so
// that Undo and Redo walk them whichever file was open in between.
//
// A file's history is a row of states of the file, each the bytes it is
// saved as (Document::image), joined by the steps between them; one state
// is the file as it is now. A change adds its state after that one and
// drops the states that could have been redone; Undo and Redo move along
// the row. Files are named by their file name, without regard to case.
class UndoHistory {
  public:
    using Image = std::vector<uint8_t>;
    // The oldest step goes once a file has more.
    static constexpr size_t kMaxSteps = 100;

    // The file is `image` now without a step of ours (it was opened or read
    // again): its steps stay when that is the state they left it in, and
    // are dropped when it is not.
    void sync(const QString& file, Image image);
    // Drops the file's steps; the file is `image` now.
    void reset(const QString& file, Image image);
    // Drops everything known of the file.
    void forget(const QString& file);

    // A change from the file's present state to `after`. Nothing is kept
    // when nothing changed, or when the file's present state is unknown.
    void record(const QString& file, const UndoStep& step, Image after);
    // A change from `before` to `after`; steps that did not lead to
    // `before` are dropped first.
    void record(const QString& file, const UndoStep& step, Image before, Image after);

    // The step Undo (Redo) would take, none when there is none.
    const UndoStep* undoStep(const QString& file) const;
    const UndoStep* redoStep(const QString& file) const;
    // Takes that step and returns the state the file is in after it. Only
    // when undoStep (redoStep) gives one.
    const Image& undo(const QString& file);
    const Image& redo(const QString& file);

    // The file as the history knows it now; none when it knows nothing.
    const Image* state(const QString& file) const;

  private:
    struct File {
        std::vector<Image> states;
        std::vector<UndoStep> steps; // steps[i] leads from states[i] to states[i + 1]
        size_t at = 0;               // states[at] is the file now
    };
    static QString key(const QString& file);
    const File* find(const QString& file) const;

    std::map<QString, File> files_;
};

} // namespace pq::conv
