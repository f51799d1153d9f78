#pragma once

#include <QMainWindow>
#include <QMessageBox>

#include <map>
#include <memory>

#include "calculator/calculator_settings.h"
#include "calculator/frame_layout.h"
#include "calculator/result_display.h"
#include "calculator/standard_calculator.h"
#include "calculator/user_functions.h"
#include "uikit/frame_client.h"
#include "uikit/picture_button.h"
#include "uikit/push_button.h"
#include "uikit/themed_bitmap.h"

class QDockWidget;
class QMenu;

namespace pq {
class ExpressionEngine;
}

namespace pq::ui {
class ButtonFocus;
class HandOverServer;
} // namespace pq::ui

namespace pq::calc {

class HistoryPanel;
class KeyNamePopup;
class KeyPad;
class MyFunctionsDialog;
class ScientificView;

// Where the main window finds the converter and where it listens for values
// handed over to it.
struct FrameOptions {
    QString handOverServer;   // empty: the window does not listen
    QString converterServer;  // the running converter's local server
    QString converterProgram; // the converter's program file
    QString functionsFile;    // the user functions; empty: none are read or saved
    QString helpFile;         // the help document
    QString historyFile;      // the formulas evaluated; empty: kept for the run only
    // The hand-over server waits until the window has been painted once.
    bool deferredStart = false;

    // The names of this user's programs, the converter beside this program.
    static FrameOptions standard();
};

// The calculator's main window: the menu bar and actions at the top, and a
// client area of 240·s × 269·s with the main display, the function-name
// button and function-result display on a themed band, and the keypad of the
// current view. All commands, from menus, keys and buttons, arrive as posted
// commands and are handled in `onCommand`.
class CMainFrame : public QMainWindow, private ui::FrameClient::Delegate {
  public:
    CMainFrame(ExpressionEngine& engine, const FrameOptions& options, QWidget* parent = nullptr);
    // Writes the settings.
    ~CMainFrame() override;

    ViewMode viewMode() const { return view_; }
    const ResultDisplay& mainDisplay() const { return mainDisplay_; }
    const ResultDisplay& functionResult() const { return functionResult_; }
    const StandardCalculator& calculator() const { return calculator_; }
    KeyPad* standardKeypad() const { return standardKeypad_; }
    ScientificView* scientific() const { return scientific_.get(); }
    const UserFunctionList& userFunctions() const { return functions_; }
    int currentMacro() const { return settings_.currentMacro; }
    const QString& callName() const { return callName_; }
    // The function menu last opened, while it is open.
    QMenu* functionMenu() const;
    QMenu* digitsMenu() const { return digitsMenu_; }
    QMenu* notationMenu() const { return notationMenu_; }
    ui::FrameClient* client() const { return client_; }
    QAction* commandAction(unsigned id) const;
    bool isListening() const;
    // Made when the history first shows.
    HistoryPanel* historyPanel();
    QDockWidget* historyDock() const { return historyDock_; }

  protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Tab and Shift+Tab walk the view's keys, buttons and line, then the
    // history panel.
    bool focusNextPrevChild(bool next) override;
    // A wider or taller window widens or heightens the history panel too.
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    // Functions that could not be saved are tried again before the window
    // closes; when that fails, the user chooses.
    void closeEvent(QCloseEvent* event) override;

  private:
    void paintClient(QPainter& painter, const QRect& area) override;
    void clientPenDown(QPoint point) override;
    void clientPenMove(QPoint point) override;
    void clientPenUp(QPoint point) override;
    void clientCommand(const ui::CommandEvent& command) override;
    // A larger window stretches the keypads and displays and their texts.
    void clientResized(QSize size) override;

    void onCommand(unsigned id);
    // Starts the hand-over server (frame_startup.cpp).
    void listen();
    void createActions();
    // The menus Modes, Memory and Functions (frame_menus.cpp).
    void createMenus();
    QAction* addCommand(QMenu* menu, unsigned id, const QString& text, const QString& tip);
    void fillFunctions(QMenu* menu);
    // The enabled and checked states of the menus' commands.
    void updateMenus();
    void createClient();
    // The Digits and Notation menus, added to the Modes menu, and the kept
    // style applied (main_frame_numbers.cpp).
    void createNumberMenus(QMenu* modes);
    void setNumberStyle(const NumberStyle& style);
    void applyNumberStyle();
    // The keyboard stops over the function-name button and the function
    // result, in the standard view.
    void placeFocusStops();
    // Ctrl+H: the history's search field, the panel shown first; from the
    // panel, back to where typing goes.
    void searchHistory();
    // Where typing goes: the expression line, or the standard keypad.
    void focusHome();
    // The history panel, beside or below the keypads, and its command.
    void createHistoryPanel();
    // The user opened or closed the history panel.
    void historyToggled(bool shown);
    void switchView(ViewMode view);
    void saveSettings();
    void standardKey(int cell);
    // Shows the calculator's display (or "Error") and the memory indicator.
    void showCalculator();
    // Applies the chosen user function to the calculator's display.
    void recomputeFunction();
    void showFunctionMenu();
    void loadFunctions();
    // Writes the functions file; a failure is told, and tried again with
    // the next change and at exit.
    void saveFunctions();
    bool writeFunctions(QString& error);
    // Before the window closes; false when the user chose to stay.
    bool releaseFunctions();
    void editFunctions();
    void chooseFunction(int index);
    void help();
    void copy();
    void paste();
    void openConverter();
    void about();
    void takeValue(double value);
    void bringToFront();
    void showMessage(QMessageBox::Icon icon, const QString& caption, const QString& text);

    ExpressionEngine& engine_;
    FrameOptions options_;
    CalculatorSettings settings_;
    ViewMode view_ = ViewMode::Standard;
    FrameLayout layout_;
    StandardCalculator calculator_;
    ResultDisplay mainDisplay_;
    ResultDisplay functionResult_;
    ui::PictureButton functionName_;
    ui::TapList standardTaps_;
    ui::ThemedBitmap background_;
    QString callName_; // the applied user function's name; empty while none
    std::map<unsigned, QAction*> actions_;
    ui::FrameClient* client_ = nullptr;
    KeyNamePopup* keyName_ = nullptr;
    KeyPad* standardKeypad_ = nullptr;
    ui::HandOverServer* handOver_ = nullptr;
    std::unique_ptr<ScientificView> scientific_;
    UserFunctionList functions_;
    ui::ButtonFocus* functionNameStop_ = nullptr;
    ui::ButtonFocus* functionResultStop_ = nullptr;
    QDockWidget* historyDock_ = nullptr;
    HistoryPanel* historyPanel_ = nullptr;
    // The part of the window's width (or height) the open panel takes,
    // kept as the window changes size; 0 until known. The window's size
    // when it was last applied tells a move of the separator from a resize.
    double panelShare_ = 0;
    int panelShareOf_ = 0;
    void keepPanelShare();
    void historyDockResized();
    bool functionsUnsaved_ = false; // the last save of the functions failed
    QMenu* digitsMenu_ = nullptr;
    QMenu* notationMenu_ = nullptr;
    QAction* appearanceAction_ = nullptr; // where the number menus go
};

} // namespace pq::calc
