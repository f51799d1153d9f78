#include "converter/document_saver.h"

#include <QApplication>
#include <QStringList>

#include "converter/file_state.h"
#include "document/document.h"
#include "uikit/message_box.h"

namespace pq::conv {

namespace {

QString causeOf(const SaveResult& result) { return QString::fromStdString(result.cause); }

} // namespace

DocumentSaver::DocumentSaver(QWidget* window, const DataFolder& folder,
                             std::function<void(Document&)> reloaded)
    : window_(window), folder_(folder), reloaded_(std::move(reloaded)) {}

QWidget* DocumentSaver::messageParent() const {
    QWidget* modal = QApplication::activeModalWidget();
    return modal ? modal : window_;
}

void DocumentSaver::tellFailure(const Document& document, const QString& cause) {
    ui::ShowMessage(messageParent(), ui::MessageIcon::Error, QStringLiteral("Save"),
                    QStringLiteral("Could not save %1: %2.\n\nYour change is kept: PqConverter "
                                   "tries again with your next change, when you switch files "
                                   "and when you quit.")
                        .arg(FileNameOf(document), cause));
}

DocumentSaver::Conflict DocumentSaver::askAboutChangedFile(Document& document, bool leaving) {
    const QString file = FileNameOf(document);
    const int choice = ui::AskChoice(
        messageParent(), ui::MessageIcon::Warning, QStringLiteral("File Changed"),
        QStringLiteral("%1 was changed by another program since PqConverter read it.\n\n"
                       "Reload it and lose your change, or keep your version and replace "
                       "what the other program wrote?")
            .arg(file),
        {QStringLiteral("Reload"), QStringLiteral("Keep Mine"), QStringLiteral("Cancel")});
    if (choice == 1) return Conflict::KeepMine;
    if (choice != 0) return Conflict::Cancelled;
    // A document that is let go is read afresh when it is opened again.
    if (!leaving) {
        document.reload(folder_);
        if (reloaded_) reloaded_(document);
    }
    return Conflict::Reloaded;
}

bool DocumentSaver::saveChanges(Document& document, bool mayReload) {
    SaveResult result = document.saveChanges(folder_);
    if (result.outcome == SaveResult::Outcome::ChangedOnDisk) {
        if (!mayReload) return false;
        switch (askAboutChangedFile(document, false)) {
        case Conflict::Reloaded: return true;
        case Conflict::Cancelled: return false;
        case Conflict::KeepMine: result = document.saveChanges(folder_, true); break;
        }
    }
    if (result.outcome == SaveResult::Outcome::Failed) tellFailure(document, causeOf(result));
    return result.ok();
}

bool DocumentSaver::release(Document& document, Leaving leaving) {
    if (!document.loaded || !document.isModified() || !document.editable()) return true;
    bool replace = false;
    for (;;) {
        const SaveResult result = document.saveChanges(folder_, replace);
        if (result.ok()) return true;
        if (result.outcome == SaveResult::Outcome::ChangedOnDisk) {
            const Conflict answer = askAboutChangedFile(document, true);
            if (answer == Conflict::Cancelled) return false;
            if (answer == Conflict::Reloaded) return true;
            replace = true;
            continue;
        }
        const bool quitting = leaving == Leaving::Quit;
        const int choice = ui::AskChoice(
            messageParent(), ui::MessageIcon::Error, QStringLiteral("Save"),
            QStringLiteral("Could not save %1: %2.\n\nTry again, or %3 and lose your change?")
                .arg(FileNameOf(document), causeOf(result),
                     quitting ? QStringLiteral("quit") : QStringLiteral("switch files")),
            {QStringLiteral("Try Again"),
             quitting ? QStringLiteral("Quit Without Saving")
                      : QStringLiteral("Switch Without Saving"),
             QStringLiteral("Cancel")});
        if (choice == 1) return true;
        if (choice != 0) return false;
    }
}

SaveResult DocumentSaver::saveQuietly(Document& document) { return document.saveChanges(folder_); }

void DocumentSaver::repair(Document& document) {
    const QString file = FileNameOf(document);
    if (!ui::AskYesNo(messageParent(), QStringLiteral("Repair"),
                      QStringLiteral("Repair keeps what could be read of %1: it will hold "
                                     "%2. The rest could not be read and is lost from the "
                                     "file, but the file as it is now is first copied to a "
                                     "backup beside it.\n\nRepair %1?")
                          .arg(file, QString::fromStdString(keptText(document)))))
        return;
    std::string backup;
    const SaveResult result = document.repair(folder_, backup);
    switch (result.outcome) {
    case SaveResult::Outcome::Saved:
        ui::ShowMessage(messageParent(), ui::MessageIcon::Information, QStringLiteral("Repair"),
                        QStringLiteral("%1 was repaired. The damaged file is kept as %2.")
                            .arg(file, QString::fromStdString(backup)));
        break;
    case SaveResult::Outcome::ChangedOnDisk:
        document.reload(folder_);
        if (reloaded_) reloaded_(document);
        ui::ShowMessage(messageParent(), ui::MessageIcon::Warning, QStringLiteral("Repair"),
                        QStringLiteral("%1 was changed by another program since PqConverter "
                                       "read it. It was read again; nothing was repaired.")
                            .arg(file));
        break;
    case SaveResult::Outcome::Failed:
        // Once the backup exists the document is editable, and what failed
        // is the save itself, which the next change tries again.
        if (document.editable())
            tellFailure(document, causeOf(result));
        else
            ui::ShowMessage(messageParent(), ui::MessageIcon::Error, QStringLiteral("Repair"),
                            QStringLiteral("Could not repair %1: %2. The file is left as it is.")
                                .arg(file, causeOf(result)));
        break;
    default: break;
    }
}

} // namespace pq::conv
