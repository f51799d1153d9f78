#include "converter/main_frame.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QSettings>
#include <QToolBar>
#include <QWheelEvent>

#include "converter/commands.h"
#include "converter/entry/value_entry_panel.h"
#include "converter/file_state.h"
#include "converter/find/unit_finder.h"
#include "converter/list/unit_list_view.h"
#include "document/item.h"
#include "uikit/app_paths.h"
#include "uikit/appearance_menu.h"
#include "uikit/clipboard.h"
#include "uikit/colours.h"
#include "uikit/command_event.h"
#include "uikit/display_scale.h"
#include "uikit/message_box.h"
#include "uikit/resources.h"
#include "uikit/scheme_colours.h"
#include "uikit/ui_font.h"

namespace pq::conv {

namespace {

// The keys of the accelerator table. New, Save and Cut reach no handler:
// they keep their keys from the controls and do nothing.
struct Accelerator {
    unsigned id;
    const char* keys;
};

constexpr Accelerator kAccelerators[] = {
    {kCmdNew, "Ctrl+N"},  {kCmdOpen, "Ctrl+O"},       {kCmdSave, "Ctrl+S"}, {kCmdExit, "Ctrl+Q"},
    {kCmdUndo, "Ctrl+Z"}, {kCmdRedo, "Ctrl+Shift+Z"}, {kCmdRedo, "Ctrl+Y"}, {kCmdCut, "Ctrl+X"},
    {kCmdCopy, "Ctrl+C"}, {kCmdPaste, "Ctrl+V"},
};

bool isAccelerator(const QKeyEvent& event) {
    const QKeySequence pressed(
        QKeyCombination(event.modifiers() & ~Qt::KeypadModifier, Qt::Key(event.key())));
    for (const Accelerator& accelerator : kAccelerators)
        if (pressed == QKeySequence(QString::fromLatin1(accelerator.keys))) return true;
    return false;
}

bool isListKey(int key) {
    return key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp ||
           key == Qt::Key_PageDown;
}

// The commands that change the open file: disabled, with one tooltip that
// says why, while it may not be changed.
bool isEditingCommand(unsigned id) {
    switch (id) {
    case kCmdUndo:
    case kCmdRedo:
    case kCmdProperties:
    case kCmdAddUnit:
    case kCmdEditUnit:
    case kCmdDeleteUnit:
    case kCmdConversions:
    case kCmdRemoveFromList:
    case kCmdShowUnits: return true;
    default: return false;
    }
}

} // namespace

CPqConvFrame::~CPqConvFrame() {
    qApp->removeEventFilter(this);
    if (document_ && !released_) saver_->saveQuietly(*document_);
    std::vector<std::u16string> names;
    for (size_t i = 0; i < catalogue_->size(); ++i)
        names.push_back(catalogue_->at(i).fileNameWithExtension());
    settings_.setRecentFiles(names);
    // The rows refer to the documents' items: drop them first.
    list_->load(nullptr);
    document_ = nullptr;
    catalogue_.reset();
    settings_.save();
    QSettings(ConverterSettings::organisation(), ConverterSettings::application())
        .setValue(geometryKey(), saveGeometry());
}

void CPqConvFrame::createActions() {
    auto make = [this](unsigned id, const QString& text, const QString& icon = QString()) {
        auto* action = new QAction(text, this);
        if (!icon.isEmpty()) action->setIcon(ui::LoadToolIcon(icon));
        connect(action, &QAction::triggered, this, [this, id] { ui::PostCommand(this, id); });
        actions_[id] = action;
        return action;
    };
    make(kCmdAbout, QStringLiteral("&About"));
    make(kCmdNewConversionFile, QStringLiteral("&Unit Conversion File"));
    make(kCmdNewCalculationFile, QStringLiteral("&Calculation File"));
    make(kCmdOpen, QStringLiteral("&Open"));
    make(kCmdProperties, QStringLiteral("&Properties"));
    make(kCmdExit, QStringLiteral("E&xit"));
    make(kCmdRepair, QStringLiteral("&Repair..."));
    make(kCmdUndo, QStringLiteral("&Undo"));
    make(kCmdRedo, QStringLiteral("Red&o"));
    make(kCmdAddUnit, QStringLiteral("&Add Unit"));
    make(kCmdEditUnit, QStringLiteral("&Edit Unit"), QStringLiteral("edit-unit"))
        ->setToolTip(QStringLiteral("Edit Unit Properties"));
    make(kCmdDeleteUnit, QStringLiteral("&Delete Unit"));
    make(kCmdConversions, QStringLiteral("&Conversions"), QStringLiteral("conversions"))
        ->setToolTip(QStringLiteral("Edit Conversions"));
    make(kCmdDownload, QStringLiteral("Download E&xchange Rates"));
    make(kCmdOptions, QStringLiteral("O&ptions"));
    make(kCmdCopy, QStringLiteral("&Copy"), QStringLiteral("copy"))
        ->setToolTip(QStringLiteral("Copy"));
    make(kCmdPaste, QStringLiteral("&Paste"), QStringLiteral("paste"))
        ->setToolTip(QStringLiteral("Paste"));
    make(kCmdExpandCompact, QStringLiteral("Expand/Compact List"), QStringLiteral("expand-compact"))
        ->setToolTip(QStringLiteral("Expand/Compact List"));
    make(kCmdOpenCalculator, QStringLiteral("Open &Calculator"), QStringLiteral("calculator"))
        ->setToolTip(QStringLiteral("Open Calculator"));
    make(kCmdShowUnits, QStringLiteral("Show/Hide &Units..."));
    make(kCmdNew, QString());
    make(kCmdSave, QString());
    make(kCmdCut, QString());
    make(kCmdHelp, QStringLiteral("Help"))->setShortcut(QKeySequence::HelpContents);
    make(kCmdFindUnit, QStringLiteral("&Find Unit..."))->setShortcut(QKeySequence::Find);
    make(kCmdFileSwitcher, QStringLiteral("&Switch File"))->setShortcut(Qt::Key_F4);
    for (unsigned id : {kCmdHelp, kCmdFindUnit, kCmdFileSwitcher}) {
        actions_[id]->setShortcutContext(Qt::WindowShortcut);
        addAction(actions_[id]);
    }
    for (const Accelerator& accelerator : kAccelerators) {
        QAction* action = actions_[accelerator.id];
        action->setShortcuts(action->shortcuts()
                             << QKeySequence(QString::fromLatin1(accelerator.keys)));
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->menuAction()->setToolTip(QStringLiteral("File"));
    QMenu* fileNew = file->addMenu(QStringLiteral("&New"));
    fileNew->addAction(actions_[kCmdNewConversionFile]);
    fileNew->addAction(actions_[kCmdNewCalculationFile]);
    file->addAction(actions_[kCmdOpen]);
    file->addAction(actions_[kCmdProperties]);
    file->addAction(actions_[kCmdRepair]);
    file->addSeparator();
    file->addAction(actions_[kCmdAbout]);
    file->addSeparator();
    file->addAction(actions_[kCmdExit]);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->menuAction()->setToolTip(QStringLiteral("Edit"));
    edit->addAction(actions_[kCmdUndo]);
    edit->addAction(actions_[kCmdRedo]);
    edit->addSeparator();
    edit->addAction(actions_[kCmdFindUnit]);
    edit->addSeparator();
    edit->addAction(actions_[kCmdAddUnit]);
    edit->addAction(actions_[kCmdEditUnit]);
    edit->addAction(actions_[kCmdDeleteUnit]);
    edit->addSeparator();
    edit->addAction(actions_[kCmdConversions]);
    edit->addSeparator();
    edit->addAction(actions_[kCmdDownload]);
    edit->addAction(actions_[kCmdOptions]);
    edit->addMenu(ui::CreateAppearanceMenu(this));
    for (QMenu* menu : {file, edit}) {
        connect(menu, &QMenu::aboutToShow, this, [this] { updateCommands(); });
        menu->setToolTipsVisible(true); // why a command is disabled
    }
    createViewMenus();

    QToolBar* bar = addToolBar(QStringLiteral("Commands"));
    bar->setObjectName(QStringLiteral("commands"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(ui::IconSize(), ui::IconSize()));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    bar->toggleViewAction()->setVisible(false);
    bar->addAction(actions_[kCmdCopy]);
    bar->addAction(actions_[kCmdPaste]);
    bar->addSeparator();
    bar->addAction(actions_[kCmdEditUnit]);
    bar->addAction(actions_[kCmdConversions]);
    bar->addAction(actions_[kCmdExpandCompact]);
    bar->addSeparator();
    bar->addAction(actions_[kCmdOpenCalculator]);
    setContextMenuPolicy(Qt::NoContextMenu);

    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            [this] { updateCommands(); });
}

void CPqConvFrame::createClient() {
    const int s = ui::DisplayScale();
    client_ = new ui::FrameClient(this, *this);
    client_->setObjectName(QStringLiteral("client"));
    setCentralWidget(client_);

    panel_ = new ValueEntryPanel(engine_, client_);
    panel_->setObjectName(QStringLiteral("entryPanel"));
    list_ = new UnitListView(client_, panel_, &background_);
    list_->setCommandTarget(this);
    list_->setCompact(settings_.compactList());
    list_->setSelectionHandler([this] { updateCommands(); });
    readProblem_ = new QLabel(list_);
    readProblem_->setObjectName(QStringLiteral("readProblem"));
    readProblem_->setWordWrap(true);
    readProblem_->setAlignment(Qt::AlignCenter);
    readProblem_->setMargin(ui::Scaled(12));
    readProblem_->setAutoFillBackground(true);
    readProblem_->hide();
    createRates();

    fileSwitcher_.create(client_, kCmdFileSwitcher, QStringLiteral("(No file)"), 2 * s, 2 * s, 0,
                         22 * s, titleFont_, ui::kDropDownArrow | ui::kSunkenWhenPressed);
    fileSwitcher_.setIcon(ui::LoadToolIcon(128));
    showUnits_.create(client_, kCmdShowUnits, QString(), 0, 2 * s, 22 * s, 20 * s, titleFont_,
                      ui::kSunkenWhenPressed);
    showUnits_.setIcon(ui::LoadIcon(162));
    taps_.add(&fileSwitcher_);
    taps_.add(&showUnits_);
    createFocusStops();
    finder_ = new UnitFinder(client_, engine_);
    finder_->setChosenHandler([this](const UnitReference& unit) { goToUnit(unit); });
    finder_->setAnswerHandler([this](const ConversionAnswer& answer) { goToAnswer(answer); });
    finder_->setClosedHandler([this] { list_->setFocus(); });
    layoutClient();
    list_->setFocus();
}

void CPqConvFrame::layoutClient() {
    if (!list_) return;
    const int s = ui::DisplayScale();
    const int w = client_->width();
    const int h = client_->height();
    const int panelHeight = ValueEntryPanel::panelHeight();
    panel_->setGeometry(0, h - panelHeight, w, panelHeight);
    const int top = 24 * s + placeRatesLine(24 * s, w);
    const int listHeight = panel_->isShown() ? h - top - panelHeight : h - top;
    list_->setGeometry(0, top, w, std::max(0, listHeight));
    readProblem_->setGeometry(list_->rect());
    fileSwitcher_.place(2 * s, 2 * s, std::max(0, w - 24 * s), 22 * s);
    showUnits_.place(w - 22 * s, 2 * s, 22 * s, 20 * s);
    placeFocusStops();
    finder_->place(QRect(0, top, w, std::max(0, h - top)));
    client_->update();
}

void CPqConvFrame::paintClient(QPainter& painter, const QRect& area) {
    const int s = ui::DisplayScale();
    const QRect strip(0, 0, client_->width(), 24 * s);
    if (!strip.intersects(area)) return;
    painter.fillRect(strip, ui::Colours().paper);
    painter.fillRect(QRect(0, 23 * s, client_->width(), s), ui::Colours().ink);
    if (fileSwitcher_.rect().intersects(area)) fileSwitcher_.draw(painter);
    if (showUnits_.rect().intersects(area)) showUnits_.draw(painter);
}

void CPqConvFrame::clientPenDown(QPoint point) { taps_.penDown(point); }
void CPqConvFrame::clientPenMove(QPoint point) { taps_.penMove(point); }
void CPqConvFrame::clientPenUp(QPoint point) { taps_.penUp(point); }
void CPqConvFrame::clientCommand(const ui::CommandEvent& command) {
    onCommand(command.id(), command.parameter());
}

QString CPqConvFrame::clientToolTip(QPoint point) {
    if (fileSwitcher_.rect().contains(point)) return QStringLiteral("Switch File (F4)");
    if (!showUnits_.rect().contains(point)) return {};
    const QString problem = document_ ? EditingProblem(*document_) : QString();
    return problem.isEmpty() ? QStringLiteral("Show or Hide Units") : problem;
}

QAction* CPqConvFrame::commandAction(unsigned id) const {
    const auto found = actions_.find(id);
    return found == actions_.end() ? nullptr : found->second;
}

bool CPqConvFrame::event(QEvent* event) {
    if (event->type() == ui::CommandEvent::eventType()) {
        const auto* command = static_cast<ui::CommandEvent*>(event);
        onCommand(command->id(), command->parameter());
        return true;
    }
    // The keyboard goes to the value being typed whenever the window comes
    // forward.
    if (event->type() == QEvent::WindowActivate && finder_ && finder_->isOpen())
        finder_->takeFocus();
    else if (event->type() == QEvent::WindowActivate && panel_ && panel_->isShown())
        panel_->takeFocus();
    return QMainWindow::event(event);
}

bool CPqConvFrame::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride && type != QEvent::Wheel)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || (widget != this && !isAncestorOf(widget))) return false;
    // The find box keeps its keys and its wheel.
    if (finder_->owns(widget)) return false;
    if (type == QEvent::Wheel) {
        // Whichever of the window's parts the wheel turns over, the list
        // scrolls.
        list_->wheel(static_cast<QWheelEvent*>(event)->angleDelta().y());
        return true;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    const auto modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if (type == QEvent::ShortcutOverride) {
        // The window's accelerators take their keys before any control.
        if (!isAccelerator(*key)) return false;
        key->ignore();
        return true;
    }
    // An accelerator whose command is disabled still keeps its key from the
    // controls.
    if (isAccelerator(*key)) return true;
    if (modifiers == Qt::NoModifier && isListKey(key->key())) return list_->key(key->key());
    // A letter typed into the list starts finding a unit.
    if (widget == list_ && (modifiers & ~Qt::ShiftModifier) == Qt::NoModifier &&
        !key->text().isEmpty() && key->text().front().isLetterOrNumber()) {
        findUnit(key->text());
        return true;
    }
    return false;
}

void CPqConvFrame::opened() {
    if (!document_) return;
    if (document_->isModified()) saver_->saveChanges(*document_); // an update applied to it
    if (const QString report = DamageReport(*document_); !report.isEmpty())
        ui::ShowMessage(this, ui::MessageIcon::Warning, QStringLiteral("Damaged File"), report);
}

void CPqConvFrame::documentChanged(const UndoStep& step, bool stampUpdated) {
    // A file that may not be changed keeps view choices (formats, shown
    // units) in memory only.
    if (!document_ || !document_->editable()) return;
    if (stampUpdated) document_->setUpdatedText();
    document_->markModified();
    recordStep(step);
    saver_->saveChanges(*document_);
}

void CPqConvFrame::closeEvent(QCloseEvent* event) {
    if (document_ && !saver_->release(*document_, DocumentSaver::Leaving::Quit)) {
        event->ignore();
        return;
    }
    released_ = true;
    QMainWindow::closeEvent(event);
}

void CPqConvFrame::makeCurrent(Document* document) {
    // The find box's matches were for the file shown before.
    if (finder_) finder_->close();
    document_ = document;
    // A calculation file shows its stored inputs and what they give.
    if (document && document->typeCode() == CalculationDocument::kTypeCode)
        document->computeAll(engine_);
    if (!document) {
        fileSwitcher_.setText(QStringLiteral("(No file)"));
        fileSwitcher_.setIcon(ui::LoadToolIcon(128));
    } else {
        fileSwitcher_.setText(QString::fromStdU16String(std::u16string(document->title.view())));
        fileSwitcher_.setIcon(
            ui::LoadToolIcon(document->typeCode() == ConversionDocument::kTypeCode ? 128 : 182));
    }
    setWindowTitle(WindowTitle(document));
    placeFocusStops();
    const QString problem = document ? ReadFailureText(*document) : QString();
    readProblem_->setText(problem);
    readProblem_->setVisible(!problem.isEmpty());
    list_->load(document);
    showRates();
    updateCommands();
    rememberFiles();
    // The keyboard stays in the window when the control it was in went away
    // with the old rows.
    QWidget* focus = QApplication::focusWidget();
    if (isActiveWindow() && (!focus || !isAncestorOf(focus))) {
        if (panel_->isShown())
            panel_->takeFocus();
        else
            list_->setFocus();
    }
}

void CPqConvFrame::rememberFiles() {
    std::vector<std::u16string> names;
    for (size_t i = 0; i < catalogue_->size(); ++i)
        names.push_back(catalogue_->at(i).fileNameWithExtension());
    ConverterSettings updated = settings_;
    updated.setRecentFiles(names);
    // A folder without data files keeps the list it was given.
    if (names.empty() || updated.recentFiles() == settings_.recentFiles()) return;
    settings_ = updated;
    saveSettings();
}

void CPqConvFrame::saveSettings() {
    if (settings_.save() || settingsFailureTold_) return;
    settingsFailureTold_ = true;
    ui::ShowMessage(
        this, ui::MessageIcon::Warning, QStringLiteral("PqConverter"),
        QStringLiteral("PqConverter could not save its settings in %1. Your files "
                       "are not affected, but the settings and the list of recent "
                       "files may be lost when PqConverter closes.")
            .arg(QSettings(ConverterSettings::organisation(), ConverterSettings::application())
                     .fileName()));
}

bool CPqConvFrame::switchTo(size_t index) {
    // Entry 0 is the current document only while one is shown.
    if ((index == 0 && document_) || index >= catalogue_->size()) return true;
    if (document_ && !saver_->release(*document_, DocumentSaver::Leaving::Switch)) return false;
    Document* next = catalogue_->current(index);
    historyOpened(next);
    makeCurrent(next);
    opened();
    return true;
}

bool CPqConvFrame::enabled(unsigned id) const {
    const Item* item = document_ ? document_->currentItem : nullptr;
    if (isEditingCommand(id) && (!document_ || !document_->editable())) return false;
    switch (id) {
    case kCmdProperties:
    case kCmdAddUnit: return document_ != nullptr;
    case kCmdEditUnit:
    case kCmdDeleteUnit: return item != nullptr;
    case kCmdConversions:
        return document_ && document_->typeCode() == ConversionDocument::kTypeCode;
    case kCmdRepair: return document_ && document_->readState().kind == ReadState::Kind::Damaged;
    case kCmdUndo: return document_ && history_.undoStep(FileNameOf(*document_));
    case kCmdRedo: return document_ && history_.redoStep(FileNameOf(*document_));
    case kCmdCopy: return item && item->state == ValueState::Valid;
    case kCmdPaste: return item && !item->isOutput() && ui::ClipboardHasText();
    default: return true;
    }
}

void CPqConvFrame::updateCommands() {
    const QString problem = document_ ? EditingProblem(*document_) : QString();
    list_->setChangeProblem(problem);
    if (const bool on = enabled(kCmdShowUnits);
        on != (showUnits_.state() != ui::PushButton::Disabled)) {
        showUnits_.enable(on);
        client_->update(showUnits_.rect());
    }
    for (auto& [id, action] : actions_) {
        action->setEnabled(enabled(id));
        if (!isEditingCommand(id)) continue;
        // The command's own tooltip comes back once the file may be changed.
        const char* own = "ownToolTip";
        if (!action->property(own).isValid()) action->setProperty(own, action->toolTip());
        action->setToolTip(problem.isEmpty() ? action->property(own).toString() : problem);
    }
    updateUndoCommands(problem);
}

} // namespace pq::conv
