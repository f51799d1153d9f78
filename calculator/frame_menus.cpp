// The main window's menus beyond Tools: Modes, Memory and Functions,
// so that every command of the keys and buttons is reachable from the
// keyboard, with mnemonics.
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include "calculator/commands.h"
#include "calculator/function_menu.h"
#include "calculator/main_frame.h"
#include "calculator/scientific_keys.h"
#include "calculator/scientific_view.h"
#include "engine/expression_engine.h"
#include "uikit/command_event.h"

namespace pq::calc {

namespace {

struct MenuEntry {
    unsigned id;
    const char* text;
    const char* tip;
};

constexpr MenuEntry kAngles[] = {
    {kCmdAngleFirst, "&Radians", "Angles in radians"},
    {kCmdAngleFirst + 1, "&Degrees", "Angles in degrees: sin(90) is 1"},
    {kCmdAngleFirst + 2, "&Gradians", "Angles in gradians: a right angle is 100"},
};

constexpr MenuEntry kBases[] = {
    {kCmdBaseFirst, "D&ecimal", "Results in decimal"},
    {kCmdBaseFirst + 1, "&Hexadecimal", "Results in hexadecimal, such as 0FFh"},
    {kCmdBaseFirst + 2, "&Octal", "Results in octal, such as 377o"},
    {kCmdBaseFirst + 3, "&Binary", "Results in binary, such as 11111111b"},
};

constexpr MenuEntry kInsert[] = {
    {kCmdInsertMemoryFirst, "Memory &1", "Insert m1 into the formula"},
    {kCmdInsertMemoryFirst + 1, "Memory &2", "Insert m2 into the formula"},
    {kCmdInsertMemoryFirst + 2, "Memory &3", "Insert m3 into the formula"},
    {kCmdInsertMemoryFirst + 3, "Memory &4", "Insert m4 into the formula"},
    {kCmdInsertExpressionFirst, "E&xpression 1", "Insert the formula kept as E1"},
    {kCmdInsertExpressionFirst + 1, "Ex&pression 2", "Insert the formula kept as E2"},
};

constexpr MenuEntry kStoreResult[] = {
    {kCmdStoreMemoryFirst, "Memory &1", "Evaluate the formula and keep its result as m1"},
    {kCmdStoreMemoryFirst + 1, "Memory &2", "Evaluate the formula and keep its result as m2"},
    {kCmdStoreMemoryFirst + 2, "Memory &3", "Evaluate the formula and keep its result as m3"},
    {kCmdStoreMemoryFirst + 3, "Memory &4", "Evaluate the formula and keep its result as m4"},
};

constexpr MenuEntry kStoreLine[] = {
    {kCmdStoreExpressionFirst, "Expression &1", "Keep the whole formula as E1"},
    {kCmdStoreExpressionFirst + 1, "Expression &2", "Keep the whole formula as E2"},
};

} // namespace

QAction* CMainFrame::addCommand(QMenu* menu, unsigned id, const QString& text, const QString& tip) {
    QAction* action = menu->addAction(text);
    action->setToolTip(tip);
    action->setStatusTip(tip);
    connect(action, &QAction::triggered, this, [this, id] { ui::PostCommand(this, id); });
    actions_[id] = action;
    return action;
}

void CMainFrame::createMenus() {
    // Copy and Paste keep their keys (Ctrl+C, Ctrl+V): four menus fit the
    // narrowest window.
    // The scientific view's modes, as its buttons and the "inv" and "hyp"
    // keys set them.
    QMenu* modes = menuBar()->addMenu(QStringLiteral("M&odes"));
    modes->setObjectName(QStringLiteral("modesMenu"));
    modes->setToolTipsVisible(true);
    modes->addSection(QStringLiteral("Angle unit"));
    auto* angles = new QActionGroup(modes);
    for (const MenuEntry& entry : kAngles)
        angles
            ->addAction(addCommand(modes, entry.id, QString::fromLatin1(entry.text),
                                   QString::fromLatin1(entry.tip)))
            ->setCheckable(true);
    modes->addSection(QStringLiteral("Base of results"));
    auto* bases = new QActionGroup(modes);
    for (const MenuEntry& entry : kBases)
        bases
            ->addAction(addCommand(modes, entry.id, QString::fromLatin1(entry.text),
                                   QString::fromLatin1(entry.tip)))
            ->setCheckable(true);
    modes->addSection(QStringLiteral("Function keys"));
    addCommand(modes, kCmdInverse, QStringLiteral("&Inverse"),
               QStringLiteral("The function keys' inverse functions (the inv key)"))
        ->setCheckable(true);
    addCommand(modes, kCmdHyperbolic, QStringLiteral("H&yperbolic"),
               QStringLiteral("The hyperbolic sin, cos and tan (the hyp key)"))
        ->setCheckable(true);
    connect(modes, &QMenu::aboutToShow, this, [this] { updateMenus(); });

    QMenu* memory = menuBar()->addMenu(QStringLiteral("&Memory"));
    memory->setObjectName(QStringLiteral("memoryMenu"));
    memory->setToolTipsVisible(true);
    for (const MenuEntry& entry : kInsert)
        addCommand(memory, entry.id, QString::fromLatin1(entry.text),
                   QString::fromLatin1(entry.tip));
    memory->addSeparator();
    QMenu* result = memory->addMenu(QStringLiteral("&Store Result In"));
    result->setToolTipsVisible(true);
    for (const MenuEntry& entry : kStoreResult)
        addCommand(result, entry.id, QString::fromLatin1(entry.text),
                   QString::fromLatin1(entry.tip));
    QMenu* line = memory->addMenu(QStringLiteral("Store &Formula In"));
    line->setToolTipsVisible(true);
    for (const MenuEntry& entry : kStoreLine)
        addCommand(line, entry.id, QString::fromLatin1(entry.text), QString::fromLatin1(entry.tip));

    // My Functions: the function-name button's menu and the "..." key's.
    QMenu* functions = menuBar()->addMenu(QStringLiteral("F&unctions"));
    functions->setObjectName(QStringLiteral("functionsMenu"));
    connect(functions, &QMenu::aboutToShow, this, [this, functions] { fillFunctions(functions); });
    fillFunctions(functions);
}

void CMainFrame::fillFunctions(QMenu* menu) {
    const bool standard = view_ == ViewMode::Standard;
    menu->clear();
    FunctionMenu(functions_, standard, kCmdUserFunctionFirst).fill(menu, this);
    if (!functions_.empty()) menu->addSeparator();
    if (standard && !callName_.isEmpty()) {
        menu->addAction(QStringLiteral("Use the Function's &Result"), this,
                        [this] { ui::PostCommand(this, kCmdFunctionResult); });
        menu->addAction(QStringLiteral("&Hide My Function"), this,
                        [this] { ui::PostCommand(this, kCmdHideFunction); });
    }
    menu->addAction(QStringLiteral("&Edit My Functions..."), this,
                    [this] { ui::PostCommand(this, kCmdEditFunctions); });
}

void CMainFrame::updateMenus() {
    const bool scientific = view_ == ViewMode::Scientific;
    for (unsigned id = kCmdAngleFirst; id <= kCmdScientificLast; ++id)
        if (QAction* action = commandAction(id)) action->setEnabled(scientific);
    const int angle = static_cast<int>(engine_.angleMode());
    const int base = static_cast<int>(mainDisplay_.base());
    for (int k = 0; k < 3; ++k) commandAction(kCmdAngleFirst + k)->setChecked(k == angle);
    for (int k = 0; k < 4; ++k) commandAction(kCmdBaseFirst + k)->setChecked(k == base);
    commandAction(kCmdInverse)->setChecked(scientific_->mode() == KeyMode::Inverse);
    commandAction(kCmdHyperbolic)->setChecked(scientific_->mode() == KeyMode::Hyperbolic);
}

} // namespace pq::calc
