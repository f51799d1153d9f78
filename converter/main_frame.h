#pragma once

#include <QFont>
#include <QMainWindow>

class QLabel;

#include <map>
#include <memory>
#include <optional>

#include "converter/converter_settings.h"
#include "converter/document_saver.h"
#include "converter/download_runner.h"
#include "converter/rates_refresher.h"
#include "converter/undo_history.h"
#include "document/catalogue.h"
#include "uikit/frame_client.h"
#include "uikit/picture_button.h"
#include "uikit/push_button.h"
#include "uikit/themed_bitmap.h"

namespace pq {
class ExpressionEngine;
class Item;
} // namespace pq

namespace pq::ui {
class ButtonFocus;
class HandOverServer;
} // namespace pq::ui

namespace pq::conv {

class RatesLine;
class UnitFinder;
class UnitListView;
class ValueEntryPanel;
struct ConversionAnswer;
struct UnitReference;

// Where the main window finds the calculator and its help, and where it
// listens for the calculator's requests.
struct ConverterOptions {
    QString programFolder;                         // ends in "/"; the calculator is beside it
    QString handOverServer;                        // empty: the window does not listen
    QString calculatorServer;                      // the running calculator's local server
    QString calculatorProgram;                     // the calculator's program file
    QString helpFile;                              // the help document
    DownloadRunner::FetcherFactory fetcherFactory; // empty: libcurl
    // Ends in "/"; the default data folder is below it. Empty: programFolder.
    QString userFolder;
    // Refreshing the exchange rates unasked; off unless allowed (standard()
    // allows it).
    RatesRefreshOptions ratesRefresh;
    // The hand-over server, the index of the data files and the messages
    // about the start wait until the window has been painted once.
    bool deferredStart = false;
    // The settings as read before the window (ConverterSettings::load);
    // none: the window reads them.
    std::optional<ConverterSettings> settings;

    // This user's programs, the calculator beside this program, the shipped
    // help, and this user's data folder (uikit/app_paths.h).
    static ConverterOptions standard();
};

// The converter's main window: the menu bar and toolbar, the top strip with
// the file switcher and the show-units button, the unit list and the value
// entry panel below it. It owns the catalogue of data files and keeps the
// settings. All commands, from menus, keys, buttons and the panel, arrive as
// posted commands and are handled in `onCommand`.
class CPqConvFrame : public QMainWindow, private ui::FrameClient::Delegate {
  public:
    CPqConvFrame(ExpressionEngine& engine, const ConverterOptions& options,
                 QWidget* parent = nullptr);
    // Keeps the recent files and saves the settings. A change to the current
    // document that could not be saved yet is tried once more, unless the
    // user chose to lose it when the window closed.
    ~CPqConvFrame() override;

    Document* document() const { return document_; }
    Catalogue& catalogue() const { return *catalogue_; }
    const ConverterSettings& settings() const { return settings_; }
    UnitListView* list() const { return list_; }
    ValueEntryPanel* panel() const { return panel_; }
    ui::FrameClient* client() const { return client_; }
    const ui::PictureButton& fileSwitcherButton() const { return fileSwitcher_; }
    const ui::PictureButton& showUnitsButton() const { return showUnits_; }
    DownloadRunner* downloadRunner() const { return download_; }
    UnitFinder* finder() const { return finder_; }
    // The date of the open file's exchange rates, and their refresh.
    RatesLine* ratesLine() const { return ratesLine_; }
    RatesRefresher* ratesRefresher() const { return refresher_; }
    // Saves the documents; a background job that changed the current
    // document asks it to save as a command would.
    DocumentSaver& saver() const { return *saver_; }
    // What the list area shows instead of the units of a file that could
    // not be read (hidden otherwise).
    QLabel* readProblem() const { return readProblem_; }
    QAction* commandAction(unsigned id) const;
    // Sets every command's enabled state from the current document and
    // selection.
    void updateCommands();

    // A command; the parameter of those that carry one (commands.h).
    void onCommand(unsigned id, int parameter = 0);

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Tab and Shift+Tab walk the window as it reads (frame_keyboard.cpp).
    bool focusNextPrevChild(bool next) override;
    // Before the window closes, a change that could not be saved is tried
    // again; when it still cannot, the user chooses.
    void closeEvent(QCloseEvent* event) override;

  private:
    void paintClient(QPainter& painter, const QRect& area) override;
    void clientResized(QSize) override { layoutClient(); }
    void clientPenDown(QPoint point) override;
    void clientPenMove(QPoint point) override;
    void clientPenUp(QPoint point) override;
    void clientCommand(const ui::CommandEvent& command) override;
    QString clientToolTip(QPoint point) override;

    // Start-up (frame_startup.cpp).
    static QString geometryKey();
    // Reads the file the window opens with: the last one used, else the first.
    Document* readFirstDocument();
    // What the first frame does not need: the index of the data files, the
    // hand-over server, the problems of the start told, the rates refresh.
    void startWorking();
    void listen();
    void tellStartProblems();

    void createActions();
    // The View and Tools menus (frame_keyboard.cpp).
    void createViewMenus();
    void createClient();
    // The keyboard stops over the top strip's buttons, and their places.
    void createFocusStops();
    void placeFocusStops();
    // A value the calculator handed over goes into the value strip.
    void takeValue(double value);
    // Places the parts of the client area for its size.
    void layoutClient();
    void makeCurrent(Document* document);
    // After a document became current: an update applied to it is saved,
    // and a damaged file says what could not be read.
    void opened();
    // False when the user chose to stay on the current file.
    bool switchTo(size_t index);
    // After a command changed the current document: marks it modified
    // (with a new "Updated:" text when stampUpdated), keeps the step for
    // Undo and saves it.
    void documentChanged(const UndoStep& step, bool stampUpdated);
    // Keeps the current file and the recent files in the settings as soon
    // as they change, so that they survive the program being killed.
    void rememberFiles();
    // Stores the settings; a failure is told once a run.
    void saveSettings();
    bool enabled(unsigned id) const;

    // The commands (frame_commands.cpp).
    void newFile(int32_t typeCode);
    void openFile();
    void properties();
    void addUnit();
    void editUnit();
    void deleteUnit();
    void conversions();
    void download();
    void options();
    void paste();
    void toggleCompact();
    void openCalculator();
    void showUnits();
    void showFileSwitcher();
    void removeFromList();
    void repair();
    void help();
    void about();
    void bringToFront();

    // Undo and Redo (frame_undo.cpp).
    void undo(bool back);
    // Keeps a change of the current document, made and marked already, for
    // Undo.
    void recordStep(const UndoStep& step);
    // A document opened or read again, before the window shows it: its
    // steps stay when it is as they left it. An update applied as it was
    // opened is a step of its own.
    void historyOpened(Document* document);
    // After a document was read again because another program changed it.
    void historyReloaded(Document& document);
    // A change to an item, named for the Edit menu, selecting it after.
    UndoStep itemStep(const QString& what, const Item* item) const;
    // The position of the current item in its document, -1 for none.
    int currentPosition() const;
    void selectPosition(int position);
    void updateUndoCommands(const QString& problem);
    // An in-place format change posted by the list or the entry panel.
    void formatChanged(unsigned id, int position);

    // The rates line and the refresh of the rates (frame_rates.cpp).
    void createRates();
    // Places the rates line below the top strip; the height it takes.
    int placeRatesLine(int top, int width);
    void showRates();
    void ratesOptionsChanged(bool refresh, bool sourceChanged);

    // Finding units in every file (frame_find.cpp).
    void findUnit(const QString& text);
    void goToUnit(const UnitReference& unit);
    // Opens the file of a conversion answered in the find box, enters the
    // value for its first unit and selects the unit converted to.
    void goToAnswer(const ConversionAnswer& answer);
    // Makes a unit's file current and the unit shown; none (after saying
    // why) when the file or the unit is gone.
    Item* openUnit(const UnitReference& unit);
    // Selects a unit's row and gives the keys to the value or the list.
    void selectFound(Item& item);

    ExpressionEngine& engine_;
    ConverterOptions options_;
    ConverterSettings settings_;
    std::unique_ptr<Catalogue> catalogue_;
    UndoHistory history_;
    std::unique_ptr<DocumentSaver> saver_;
    bool released_ = false; // the window closed and the current document was let go
    bool settingsFailureTold_ = false;
    TextReferenceList references_;
    Document* document_ = nullptr;
    ui::ThemedBitmap background_;
    QFont titleFont_;
    ui::PictureButton fileSwitcher_;
    ui::PictureButton showUnits_;
    ui::ButtonFocus* fileSwitcherStop_ = nullptr;
    ui::ButtonFocus* showUnitsStop_ = nullptr;
    ui::TapList taps_;
    std::map<unsigned, QAction*> actions_;
    ui::FrameClient* client_ = nullptr;
    UnitListView* list_ = nullptr;
    ValueEntryPanel* panel_ = nullptr;
    DownloadRunner* download_ = nullptr;
    UnitFinder* finder_ = nullptr;
    QLabel* readProblem_ = nullptr;
    RatesLine* ratesLine_ = nullptr;
    RatesRefresher* refresher_ = nullptr;
    ui::HandOverServer* handOver_ = nullptr;
};

} // namespace pq::conv
