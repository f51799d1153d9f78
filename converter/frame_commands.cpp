// What the commands of the main window do.
#include <QMenu>

#include "converter/commands.h"
#include "converter/dialogs/dialogs.h"
#include "converter/entry/value_entry_panel.h"
#include "converter/file_state.h"
#include "converter/file_switcher.h"
#include "converter/find/unit_finder.h"
#include "converter/list/unit_list_view.h"
#include "converter/main_frame.h"
#include "document/item.h"
#include "engine/format_text.h"
#include "engine/plain_number.h"
#include "uikit/about_box.h"
#include "uikit/display_scale.h"
#include "uikit/hand_over.h"
#include "uikit/help.h"
#include "uikit/message_box.h"

namespace pq::conv {

namespace {

// Runs what may change the document in place (a dialog); true when its
// data differs afterwards.
template <typename Edit> bool changes(const Document& document, Edit edit) {
    const std::vector<uint8_t> before = document.image();
    edit();
    return document.image() != before;
}

} // namespace

void CPqConvFrame::onCommand(unsigned id, int parameter) {
    if (!enabled(id)) return;
    if (id >= kCmdSwitchFileFirst && id <= kCmdSwitchFileLast) {
        switchTo(id - kCmdSwitchFileFirst);
        updateCommands();
        return;
    }
    switch (id) {
    case kCmdAbout: about(); break;
    case kCmdNewConversionFile: newFile(ConversionDocument::kTypeCode); break;
    case kCmdNewCalculationFile: newFile(CalculationDocument::kTypeCode); break;
    case kCmdOpen: openFile(); break;
    case kCmdProperties: properties(); break;
    case kCmdExit: close(); break;
    case kCmdUndo: undo(true); break;
    case kCmdRedo: undo(false); break;
    case kCmdAddUnit: addUnit(); break;
    case kCmdEditUnit: editUnit(); break;
    case kCmdDeleteUnit: deleteUnit(); break;
    case kCmdConversions: conversions(); break;
    case kCmdDownload: download(); break;
    case kCmdOptions: options(); break;
    case kCmdCopy: list_->copyValue(); break;
    case kCmdPaste: panel_->paste(); break;
    case kCmdExpandCompact: toggleCompact(); break;
    case kCmdOpenCalculator: openCalculator(); break;
    case kCmdShowUnits: showUnits(); break;
    case kCmdFileSwitcher: showFileSwitcher(); break;
    case kCmdCalculate:
        list_->recompute(engine_);
        if (document_ && document_->currentItem)
            finder_->noteUsed(*document_, *document_->currentItem);
        break;
    case kCmdFindUnit: findUnit(QString()); break;
    case kCmdRemoveFromList: removeFromList(); break;
    case kCmdHelp: help(); break;
    case kCmdRepair: repair(); break;
    case kCmdFormatChosen:
    case kCmdFormatsCustomized:
    case kCmdEntryFormatChosen: formatChanged(id, parameter); break;
    default: break; // New, Save and Cut have no handler here
    }
    updateCommands();
}

void CPqConvFrame::newFile(int32_t typeCode) {
    std::unique_ptr<Document> document = createDocument(typeCode);
    if (!document) return;
    document->setUpdatedText(); // a new file is dated today
    if (!ShowFilePropertiesDialog(this, *document, *catalogue_)) return;
    document->markModified(); // its file is written as soon as it is current
    const size_t index = catalogue_->append(std::move(document));
    // A user who stays on the current file drops the new one.
    if (!switchTo(index)) catalogue_->removeDocuments(index, 1);
}

void CPqConvFrame::openFile() {
    const int index = ShowOpenFileDialog(this, *catalogue_, references_);
    if (index >= 0) switchTo(static_cast<size_t>(index));
}

void CPqConvFrame::properties() {
    bool accepted = false;
    const bool changed = changes(
        *document_, [&] { accepted = ShowFilePropertiesDialog(this, *document_, *catalogue_); });
    if (!accepted) return;
    fileSwitcher_.setText(QString::fromStdU16String(std::u16string(document_->title.view())));
    setWindowTitle(WindowTitle(document_));
    if (changed) {
        const int position = currentPosition();
        documentChanged({QStringLiteral("Change File Properties"), position, position}, false);
    }
}

void CPqConvFrame::addUnit() {
    std::unique_ptr<Item> item =
        createItem(document_->typeCode() == ConversionDocument::kTypeCode ? UnitItem::kTypeCode
                                                                          : CalcItem::kTypeCode);
    if (!item || !ShowUnitPropertiesDialog(this, *item, document_)) return;
    UndoStep step = itemStep(QStringLiteral("Add Unit"), item.get());
    step.itemBefore = currentPosition();
    step.itemAfter = static_cast<int>(document_->items.size());
    document_->items.push_back(std::move(item));
    makeCurrent(document_);
    documentChanged(step, true);
}

void CPqConvFrame::editUnit() {
    bool accepted = false;
    const bool changed = changes(*document_, [&] {
        accepted = ShowUnitPropertiesDialog(this, *document_->currentItem, document_);
    });
    if (!accepted) return;
    list_->refreshLayouts();
    if (changed)
        documentChanged(itemStep(QStringLiteral("Edit Unit"), document_->currentItem), true);
}

void CPqConvFrame::deleteUnit() {
    Item* item = document_->currentItem;
    const QString text = QString::fromStdU16String(deleteConfirmationText(*document_, *item));
    if (!ui::AskYesNo(this, QStringLiteral("Delete"), text)) return;
    UndoStep step = itemStep(QStringLiteral("Delete Unit"), item);
    step.itemAfter = -1;
    // The rows and the panel let go of the item before it goes.
    list_->load(nullptr);
    document_->removeItem(item);
    makeCurrent(document_);
    documentChanged(step, true);
}

void CPqConvFrame::conversions() {
    // Each edit in the dialog is saved as it is made; the dialog holds the
    // conversions, so a file changed on disk is asked about once it closed.
    const int position = currentPosition();
    ShowConversionsDialog(this, static_cast<ConversionDocument&>(*document_), engine_,
                          [this, position](const QString& change) {
                              document_->setUpdatedText();
                              document_->markModified();
                              recordStep({change, position, position});
                              saver_->saveChanges(*document_, false);
                          });
    if (document_->isModified()) saver_->saveChanges(*document_);
}

void CPqConvFrame::download() {
    refresher_->abandon(); // the user's download brings the rates now
    const bool started = download_->start(
        catalogue_->folder(), settings_.updateSource().toStdString(),
        [this](const DownloadRunner::Result& result) {
            if (result.ok) {
                refresher_->clearFailure();
                ui::ShowMessage(this, ui::MessageIcon::Information, QStringLiteral("Download"),
                                result.downloadedCount == 1
                                    ? QStringLiteral("1 data file was updated.")
                                    : QStringLiteral("%1 data files were updated.")
                                          .arg(result.downloadedCount));
            } else {
                ui::ShowMessage(this, ui::MessageIcon::Error, QStringLiteral("Download"),
                                QStringLiteral("The download failed: %1.\n\nCheck the "
                                               "connection and the download source (Edit > "
                                               "Options), then try again.")
                                    .arg(result.errorText));
            }
            if (result.downloadedCount > 0 && catalogue_->applyUpdate()) {
                const int position = currentPosition();
                makeCurrent(document_);
                recordStep({QStringLiteral("Apply Downloaded Update"), position, position});
                saver_->saveChanges(*document_);
            }
        });
    if (!started && !download_->isRunning())
        ui::ShowMessage(this, ui::MessageIcon::Error, QStringLiteral("Download"),
                        QStringLiteral("The download could not start: no folder could be made "
                                       "for the files on their way. Check that the temporary "
                                       "folder has room and may be written, then try again."));
}

void CPqConvFrame::options() {
    QString folder = settings_.dataFolder();
    QString source = settings_.updateSource();
    bool refresh = RefreshesRatesAutomatically();
    int digits = shownDigits();
    if (!ShowOptionsDialog(this, folder, source, &refresh, &digits)) return;
    if (digits != shownDigits()) {
        setShownDigits(digits);
        if (!ConverterSettings::saveShownDigits(digits))
            ui::ShowMessage(this, ui::MessageIcon::Error, QStringLiteral("Options"),
                            QStringLiteral("The number of digits could not be kept for the next "
                                           "start: the settings file cannot be written."));
        list_->refreshValues();
        panel_->showValueAgain();
    }
    // The record has room for 127 characters of each; a longer text would
    // be lost at the next start.
    if (folder.size() >= ConverterSettings::kFolderChars ||
        source.size() >= ConverterSettings::kSourceChars) {
        ui::ShowMessage(this, ui::MessageIcon::Error, QStringLiteral("Options"),
                        QStringLiteral("The data file location and the download source may "
                                       "each have at most %1 characters. The settings were not "
                                       "changed.")
                            .arg(ConverterSettings::kFolderChars - 1));
        return;
    }
    const bool sourceChanged = source != settings_.updateSource();
    settings_.setDataFolder(folder);
    settings_.setUpdateSource(source);
    saveSettings();
    ratesOptionsChanged(refresh, sourceChanged);
}

void CPqConvFrame::toggleCompact() {
    settings_.setCompactList(!settings_.compactList());
    list_->setCompact(settings_.compactList());
    saveSettings();
}

void CPqConvFrame::openCalculator() {
    const ui::OpenResult result =
        ui::RaiseOrStart(options_.calculatorServer, options_.calculatorProgram);
    if (result == ui::OpenResult::Failed) {
        ui::ShowMessage(this, ui::MessageIcon::Error, QStringLiteral("Calculator"),
                        QStringLiteral("PqCalculator could not be started from \"%1\". Check "
                                       "that it is installed beside PqConverter, or install the "
                                       "programs again.")
                            .arg(options_.calculatorProgram));
        return;
    }
    const Item* item = document_ ? document_->currentItem : nullptr;
    // The 15 significant digits a double carries safely, no binary noise.
    if (item && item->state == ValueState::Valid)
        ui::SendValueAfterOpening(this, options_.calculatorServer, result,
                                  roundedToDigits(item->value));
}

void CPqConvFrame::showUnits() {
    if (!document_) return;
    bool accepted = false;
    const bool changed =
        changes(*document_, [&] { accepted = ShowShowHideDialog(this, *document_); });
    if (!accepted) return;
    const int position = currentPosition();
    makeCurrent(document_);
    if (changed) documentChanged({QStringLiteral("Show/Hide Units"), position, position}, false);
}

void CPqConvFrame::showFileSwitcher() {
    QMenu* menu = CreateFileSwitcherMenu(this, *catalogue_, document_, this);
    menu->popup(client_->mapToGlobal(QPoint(0, ui::Scaled(24))));
}

void CPqConvFrame::removeFromList() {
    if (!document_ || !document_->currentItem) return;
    UndoStep step = itemStep(QStringLiteral("Remove"), document_->currentItem);
    step.name += QStringLiteral(" from List");
    step.itemAfter = -1;
    document_->currentItem->shown = 0;
    makeCurrent(document_);
    documentChanged(step, false);
}

void CPqConvFrame::repair() {
    saver_->repair(*document_);
    makeCurrent(document_);
}

void CPqConvFrame::help() {
    ui::ShowHelp(this, QStringLiteral("PqConverter Help"), options_.helpFile,
                 QStringLiteral("main_contents"));
}

void CPqConvFrame::about() {
    ui::ShowAboutBox(this, {QStringLiteral("Quorvane PqConverter"), QStringLiteral("PqConverter"),
                            QStringLiteral("converter"), ui::VersionText(),
                            QStringLiteral("Converts between the units of its data files and "
                                           "computes calculation files.\n\n\u00A9 Quorvane")});
}

void CPqConvFrame::bringToFront() {
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
}

} // namespace pq::conv
