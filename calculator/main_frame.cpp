#include "calculator/main_frame.h"

#include <QActionGroup>
#include <QClipboard>
#include <QCoreApplication>
#include <QDockWidget>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QToolBar>

#include <cmath>

#include "calculator/about_dialog.h"
#include "calculator/commands.h"
#include "calculator/expression_edit.h"
#include "calculator/key_name_popup.h"
#include "calculator/keypad.h"
#include "calculator/number_text.h"
#include "calculator/scientific_view.h"
#include "calculator/standard_keys.h"
#include "engine/expression_engine.h"
#include "engine/format_text.h"
#include "engine/number_parse.h"
#include "engine/plain_number.h"
#include "uikit/app_paths.h"
#include "uikit/appearance_menu.h"
#include "uikit/button_focus.h"
#include "uikit/clipboard.h"
#include "uikit/colours.h"
#include "uikit/command_event.h"
#include "uikit/display_scale.h"
#include "uikit/edges.h"
#include "uikit/hand_over.h"
#include "uikit/message_box.h"
#include "uikit/resources.h"
#include "uikit/scheme_colours.h"
#include "uikit/ui_font.h"

namespace pq::calc {

namespace {

// Style flags of the displays and the function-name button.
constexpr unsigned kMainDisplayStyle =
    ui::kShadowedText | ui::kRightAligned | ui::kFocusWhenPressed;                      // 97
constexpr unsigned kFunctionNameStyle = ui::kDropDownArrowAlt | ui::kSunkenWhenPressed; // 20
constexpr unsigned kFunctionResultStyle = ui::kRightAligned | ui::kFocusWhenPressed;    // 33

bool isStandardKey(unsigned id) {
    return id >= kCmdStandardKeyFirst && id < kCmdStandardKeyFirst + kStandardKeyCount;
}

// The commands that belong to the scientific view alone.
bool isScientificCommand(unsigned id) {
    return (id >= kCmdClear && id <= kCmdScientificLast) ||
           (id >= kCmdFunctionKeyFirst && id < kCmdFunctionKeyFirst + kFunctionKeyCount) ||
           (id >= kCmdCharacterKeyFirst && id < kCmdCharacterKeyFirst + kCharacterKeyCount);
}

} // namespace

CMainFrame::~CMainFrame() { saveSettings(); }

void CMainFrame::saveSettings() {
    settings_.currentView = view_;
    settings_.geometry = saveGeometry();
    settings_.write();
    KeptModes& modes = scientific_->keptModes();
    if (panelShare_ > 0 && panelShare_ < 1 && panelShare_ != modes.historyShare) {
        modes.historyShare = panelShare_;
        modes.write();
    }
}

void CMainFrame::createActions() {
    auto make = [this](unsigned id, const QString& text, const QString& icon) {
        auto* action = new QAction(text, this);
        if (!icon.isEmpty()) action->setIcon(ui::LoadToolIcon(icon));
        connect(action, &QAction::triggered, this, [this, id] { ui::PostCommand(this, id); });
        actions_[id] = action;
        return action;
    };
    QAction* copy = make(kCmdCopy, QStringLiteral("&Copy"), QStringLiteral("copy"));
    copy->setShortcut(QKeySequence::Copy);
    QAction* paste = make(kCmdPaste, QStringLiteral("&Paste"), QStringLiteral("paste"));
    paste->setShortcut(QKeySequence::Paste);
    QAction* standard =
        make(kCmdStandardView, QStringLiteral("&Standard"), QStringLiteral("standard-view"));
    standard->setShortcut(QKeySequence(Qt::ALT | Qt::Key_1));
    QAction* scientific =
        make(kCmdScientificView, QStringLiteral("S&cientific"), QStringLiteral("scientific-view"));
    scientific->setShortcut(QKeySequence(Qt::ALT | Qt::Key_2));
    QAction* converter =
        make(kCmdOpenConverter, QStringLiteral("Open C&onverter"), QStringLiteral("converter"));
    converter->setStatusTip(QStringLiteral("Bring PqConverter forward with the result shown"));
    QAction* about = make(kCmdAbout, QStringLiteral("&About"), QString());
    QAction* help = make(kCmdHelp, QStringLiteral("&Help"), QString());
    help->setShortcut(QKeySequence::HelpContents);
    QAction* exit = make(kCmdExit, QStringLiteral("E&xit"), QString());
    exit->setShortcut(QKeySequence::Quit);
    for (QAction* action : {copy, paste, standard, scientific, converter, help}) {
        action->setToolTip(action->text().remove(u'&') +
                           (action->shortcut().isEmpty()
                                ? QString()
                                : QStringLiteral(" (") +
                                      action->shortcut().toString(QKeySequence::NativeText) +
                                      u')'));
    }

    auto* views = new QActionGroup(this);
    for (QAction* view : {standard, scientific}) {
        view->setCheckable(true);
        views->addAction(view);
    }

    QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    tools->addAction(help);
    tools->addAction(about);
    tools->addSeparator();
    tools->addAction(standard);
    tools->addAction(scientific);
    appearanceAction_ = tools->addMenu(ui::CreateAppearanceMenu(this));
    tools->addSeparator();
    tools->addAction(converter);
    tools->addSeparator();
    tools->addAction(exit);
    createMenus();

    QToolBar* bar = addToolBar(QStringLiteral("Commands"));
    bar->setObjectName(QStringLiteral("commands"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(ui::IconSize(), ui::IconSize()));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    bar->toggleViewAction()->setVisible(false);
    bar->addAction(copy);
    bar->addAction(paste);
    bar->addSeparator();
    bar->addAction(standard);
    bar->addAction(scientific);
    bar->addSeparator();
    bar->addAction(converter);
    setContextMenuPolicy(Qt::NoContextMenu);

    paste->setEnabled(ui::ClipboardHasText());
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            [paste] { paste->setEnabled(ui::ClipboardHasText()); });
}

void CMainFrame::createClient() {
    const int s = ui::DisplayScale();
    client_ = new ui::FrameClient(this, *this);
    client_->setObjectName(QStringLiteral("client"));
    client_->setAttribute(Qt::WA_OpaquePaintEvent);
    // The keyboard rests on the keypad or the expression line; a click on
    // the client takes it there too, but Tab passes the client by.
    client_->setFocusPolicy(Qt::ClickFocus);
    // Pictures first: they need no font, and the first font waits until the
    // font configuration has been read.
    background_.load(108, ui::ThemeColour(), true);
    ui::DecodeToolBarIcons(findChild<QToolBar*>(QStringLiteral("commands")));
    client_->setFont(ui::CreateUiFont(13, false));
    client_->setMinimumSize(FrameLayout::clientSize(s));
    client_->resize(FrameLayout::clientSize(s));
    setCentralWidget(client_);

    mainDisplay_.create(client_, 0, layout_.mainDisplay, 10, 28, kMainDisplayStyle, true);
    functionName_.create(client_, kCmdFunctionMenu, QString(), layout_.functionName.x(),
                         layout_.functionName.y(), layout_.functionName.width(),
                         layout_.functionName.height(), client_->font(), kFunctionNameStyle);
    functionResult_.create(client_, kCmdFunctionResult, layout_.functionResult, 8, 20,
                           kFunctionResultStyle, false);
    mainDisplay_.setText(QStringLiteral("0")); // in either view, until a result
    mainDisplay_.setAccessibleName(QStringLiteral("Result"));
    functionResult_.setAccessibleName(QStringLiteral("Function result"));
    standardTaps_.add(&functionName_);
    standardTaps_.add(&functionResult_.button());
    functionNameStop_ = new ui::ButtonFocus(client_, QStringLiteral("My Functions"));
    functionNameStop_->setObjectName(QStringLiteral("functionNameStop"));
    functionResultStop_ = new ui::ButtonFocus(client_, QStringLiteral("Use the function's result"));
    functionResultStop_->setObjectName(QStringLiteral("functionResultStop"));

    keyName_ = new KeyNamePopup(client_);
    standardKeypad_ = new KeyPad(client_, this);
    standardKeypad_->setObjectName(QStringLiteral("standardKeypad"));
    standardKeypad_->create(layout_.standardKeypad, 5, 5, kCmdStandardKeyFirst, standardKeys(),
                            ui::CreateUiFont(24, false), keyName_);
    standardKeypad_->setAccessibleName(QStringLiteral("Standard keys"));
    setStandardKeyToolTips(*standardKeypad_);
    scientific_ = std::make_unique<ScientificView>(client_, this, engine_, mainDisplay_, keyName_,
                                                   functions_);
    scientific_->layOut(layout_);
    scientific_->setVisible(false);
    client_->setAccessibleName(QStringLiteral("Calculator"));
    placeFocusStops();
    standardKeypad_->setFocus();
}

QAction* CMainFrame::commandAction(unsigned id) const {
    const auto found = actions_.find(id);
    return found == actions_.end() ? nullptr : found->second;
}

bool CMainFrame::isListening() const { return handOver_ && handOver_->isListening(); }

bool CMainFrame::event(QEvent* event) {
    if (event->type() == ui::CommandEvent::eventType()) {
        onCommand(static_cast<ui::CommandEvent*>(event)->id());
        return true;
    }
    return QMainWindow::event(event);
}

void CMainFrame::clientCommand(const ui::CommandEvent& command) { onCommand(command.id()); }

void CMainFrame::clientResized(QSize size) {
    if (!scientific_) return; // still being built
    const int s = ui::DisplayScale();
    layout_ = FrameLayout(size.width(), s, size.height());
    const double f = layout_.fontScale;
    mainDisplay_.place(layout_.mainDisplay, f);
    functionResult_.place(layout_.functionResult, f);
    functionName_.setFont(ScaledUiFont(13, f));
    functionName_.place(layout_.functionName.x(), layout_.functionName.y(),
                        layout_.functionName.width(), layout_.functionName.height());
    standardKeypad_->setGeometry(layout_.standardKeypad);
    standardKeypad_->setFont(ScaledUiFont(24, f));
    scientific_->layOut(layout_);
    placeFocusStops();
    client_->update();
}

void CMainFrame::onCommand(unsigned id) {
    const bool standard = view_ == ViewMode::Standard;
    if (isStandardKey(id)) {
        if (standard) standardKey(static_cast<int>(id - kCmdStandardKeyFirst));
        return;
    }
    if (id == kCmdFunctionKeyFirst) { // "..."
        if (!standard) {
            scientific_->endMode();
            showFunctionMenu();
        }
        return;
    }
    if (isScientificCommand(id)) {
        if (!standard) scientific_->command(id);
        return;
    }
    if (id >= kCmdUserFunctionFirst && id < kCmdUserFunctionFirst + functions_.size()) {
        chooseFunction(static_cast<int>(id - kCmdUserFunctionFirst));
        return;
    }
    switch (id) {
    case kCmdStandardView: switchView(ViewMode::Standard); break;
    case kCmdScientificView: switchView(ViewMode::Scientific); break;
    case kCmdCopy: copy(); break;
    case kCmdPaste: paste(); break;
    case kCmdOpenConverter: openConverter(); break;
    case kCmdSearchHistory: searchHistory(); break;
    case kCmdAbout: about(); break;
    case kCmdHelp: help(); break;
    case kCmdExit: close(); break;
    case kCmdEditFunctions: editFunctions(); break;
    case kCmdHideFunction:
        if (standard) chooseFunction(-1);
        break;
    case kCmdFunctionMenu:
        if (standard) showFunctionMenu();
        break;
    case kCmdFunctionResult: // its value, not its 8-digit text
        if (const auto value = functionResult_.value();
            standard && settings_.currentMacro >= 0 && value) {
            calculator_.setValue(*value);
            showCalculator();
        }
        break;
    default: break;
    }
}

void CMainFrame::switchView(ViewMode view) {
    view_ = view;
    const bool standard = view == ViewMode::Standard;
    standardKeypad_->showObject(standard);
    scientific_->setVisible(!standard);
    functionName_.enable(standard);
    if (standard) {
        if (const auto value = mainDisplay_.value(); value && mainDisplay_.hasText())
            calculator_.setValue(*value);
        showCalculator();
        standardKeypad_->setFocus();
    } else {
        mainDisplay_.showIndicator(false);
    }
    placeFocusStops();
    actions_[kCmdStandardView]->setChecked(standard);
    actions_[kCmdScientificView]->setChecked(!standard);
    updateMenus();
    client_->update();
    // Kept at once, so that a program ended by the system starts as it was.
    if (isVisible()) saveSettings();
}

void CMainFrame::standardKey(int cell) {
    calculator_.key(StandardCalculator::kKeyCharacters[static_cast<size_t>(cell)]);
    showCalculator();
}

void CMainFrame::showCalculator() {
    if (calculator_.isError()) {
        mainDisplay_.showError();
    } else {
        // The display shows the rounded text; Copy takes the full value.
        mainDisplay_.setText(QString::fromStdU16String(calculator_.display()),
                             calculator_.value());
    }
    mainDisplay_.showIndicator(view_ == ViewMode::Standard && calculator_.hasMemory());
    recomputeFunction();
}

void CMainFrame::recomputeFunction() {
    if (callName_.isEmpty() || calculator_.isError()) return;
    // The function gets the full value, not the shown one.
    const QString formula =
        callName_ + u'(' + QString::fromStdU16String(shortestNumberText(calculator_.value())) +
        u')';
    double value = 0;
    if (engine_.evaluate(formula.toStdU16String(), value))
        functionResult_.setValue(value);
    else
        functionResult_.showError();
}

void CMainFrame::copy() {
    const QString text = mainDisplay_.copyText();
    if (!ui::CopyTextToClipboard(text)) {
        showMessage(QMessageBox::Critical, QStringLiteral("Copy"),
                    QStringLiteral("The result could not be put on the clipboard. Try again; if "
                                   "it fails again, another program may be holding the "
                                   "clipboard."));
    } else if (ui::ClipboardText() != text) {
        showMessage(QMessageBox::Critical, QStringLiteral("Copy"),
                    QStringLiteral("The clipboard did not keep the result. Try again; if it "
                                   "fails again, another program may be holding the "
                                   "clipboard."));
    }
}

void CMainFrame::paste() {
    const QString text = ui::ClipboardText();
    if (text.isNull()) return;
    std::u16string number;
    double value = 0;
    if (view_ == ViewMode::Scientific) {
        // The pasted text becomes the current operand; a number as a display
        // writes it goes in plain, since "," separates arguments in formulas.
        const bool plain = readDisplayedNumber(text.toStdU16String(), number, value);
        scientific_->edit()->replaceSelection(plain ? QString::fromStdU16String(number) : text);
        scientific_->edit()->setFocus();
        return;
    }
    if (!readDisplayedNumber(text.toStdU16String(), number, value) || !std::isfinite(value)) {
        showMessage(QMessageBox::Warning, QStringLiteral("Paste"),
                    QStringLiteral("The clipboard holds no number the standard view can take. "
                                   "Copy a number, or paste a formula in the scientific view "
                                   "(Alt+2)."));
        return;
    }
    calculator_.setValue(value);
    showCalculator();
}

void CMainFrame::openConverter() {
    const ui::OpenResult opened =
        ui::RaiseOrStart(options_.converterServer, options_.converterProgram);
    if (opened == ui::OpenResult::Failed) {
        showMessage(QMessageBox::Critical, QStringLiteral("Converter"),
                    QStringLiteral("PqConverter could not be started from \"%1\". Check that it "
                                   "is installed beside PqCalculator, or install the programs "
                                   "again.")
                        .arg(options_.converterProgram));
        return;
    }
    // The number shown goes along, into the converter's selected unit.
    if (const std::optional<double> value = mainDisplay_.value(); value && std::isfinite(*value))
        ui::SendValueAfterOpening(this, options_.converterServer, opened, *value);
}

void CMainFrame::about() {
    auto* dialog = new AboutDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void CMainFrame::takeValue(double value) {
    if (!std::isfinite(value)) return;
    // A value carries the 15 significant digits a double holds safely, no
    // binary noise beyond them.
    value = roundedToDigits(value);
    if (view_ == ViewMode::Standard) {
        calculator_.setValue(value);
        showCalculator();
    } else {
        // The value in the display's base replaces the selection and stays
        // selected, the operand the next key applies to.
        Base used = Base::Dec;
        std::u16string text = baseOutput(value, mainDisplay_.base(), 10, &used);
        if (used == Base::Dec) text = plainNumberText(value);
        scientific_->edit()->replaceSelection(QString::fromStdU16String(text));
        scientific_->edit()->setFocus();
    }
}

void CMainFrame::bringToFront() {
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
}

void CMainFrame::showMessage(QMessageBox::Icon icon, const QString& caption, const QString& text) {
    ui::ShowMessage(
        this, icon == QMessageBox::Critical ? ui::MessageIcon::Error : ui::MessageIcon::Warning,
        caption, text);
}

void CMainFrame::paintClient(QPainter& painter, const QRect& area) {
    const int s = layout_.scale;
    painter.fillRect(area, ui::Colours().paper);
    if (background_.isNull()) {
        painter.fillRect(QRect(0, 0, layout_.width, layout_.backgroundHeight), ui::SchemeTint(160));
    } else {
        // In a larger window the band grows with the layout.
        const double across = layout_.width / (240.0 * s);
        const double down = layout_.height / (269.0 * s);
        painter.save();
        painter.scale(across, down);
        for (int x = 0; x < 240 * s; x += background_.drawnWidth())
            background_.drawAt(painter, x, 0);
        painter.restore();
    }
    painter.fillRect(layout_.mainDisplayBox, ui::Colours().paper);
    ui::DrawSunkenEdge(painter, layout_.mainDisplayBox, s);
    mainDisplay_.draw(painter);
    if (view_ == ViewMode::Standard) {
        functionName_.draw(painter);
        functionResult_.draw(painter);
    }
}

void CMainFrame::clientPenDown(QPoint point) {
    if (view_ == ViewMode::Standard) standardTaps_.penDown(point);
}

void CMainFrame::clientPenMove(QPoint point) { standardTaps_.penMove(point); }

void CMainFrame::clientPenUp(QPoint point) { standardTaps_.penUp(point); }

} // namespace pq::calc
