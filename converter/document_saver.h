#pragma once

#include <QString>

#include <functional>

#include "document/save_result.h"

class QWidget;

namespace pq {
class DataFolder;
class Document;
} // namespace pq

namespace pq::conv {

// The one place the converter writes its documents. The window asks it to
// save after every command that changed the open document, and before it
// lets a document go (switching files, quitting); a background job that
// changed a document (an applied update) asks it the same way.
//
// A document is written only when it changed and may be written (see
// Document::saveChanges). A save that fails is told at once in a message
// that names the file and the cause; the change stays in memory, the
// document stays modified, and the next change, switch or exit tries again.
// A file that another program changed since it was read is not overwritten:
// the user chooses between reading it again (losing the change) and keeping
// their version.
class DocumentSaver {
  public:
    enum class Leaving { Switch, Quit };

    // Messages and questions appear over `window`. `reloaded` runs after a
    // document was read again from its file, so that the window shows it
    // anew.
    DocumentSaver(QWidget* window, const DataFolder& folder,
                  std::function<void(Document&)> reloaded);

    // After a change: saves the document at once when it is modified and
    // editable. True when its data is in its file (or there was nothing to
    // write). While a dialog still holds the document (mayReload false), a
    // file changed on disk is left for the next save to ask about.
    bool saveChanges(Document& document, bool mayReload = true);

    // Before the document is let go: saves it when it is modified; when
    // that fails, asks whether to try again, to go on and lose the change,
    // or to stay. True when the document may go. A document that may not be
    // written goes at once: its changes were never meant for its file.
    bool release(Document& document, Leaving leaving);

    // Without a word to the user: a last try to save when the window is
    // gone, or a save the user did not ask for (refreshed rates), whose
    // caller reports the outcome its own way. Never replaces a file changed
    // on disk.
    SaveResult saveQuietly(Document& document);

    // File > Repair... on a damaged file: asks, copies the file to its
    // ".damaged" backup, then saves what could be read.
    void repair(Document& document);

  private:
    enum class Conflict { Reloaded, KeepMine, Cancelled };
    Conflict askAboutChangedFile(Document& document, bool leaving);
    void tellFailure(const Document& document, const QString& cause);
    // Messages appear over the dialog the user works in, if any.
    QWidget* messageParent() const;

    QWidget* window_;
    const DataFolder& folder_;
    std::function<void(Document&)> reloaded_;
};

} // namespace pq::conv
