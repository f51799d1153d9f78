// The calculator worked with the keyboard alone: real key events go where
// the platform sends them (an open menu or list first, else the focus), and
// every step is checked on what the user sees.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDockWidget>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <memory>

#include "calculator/commands.h"
#include "calculator/expression_edit.h"
#include "calculator/history_panel.h"
#include "calculator/keypad.h"
#include "calculator/main_frame.h"
#include "calculator/name_completer.h"
#include "calculator/scientific_keys.h"
#include "calculator/scientific_view.h"
#include "engine/expression_engine.h"
#include "tests/uikit/test_support.h"
#include "uikit/command_event.h"
#include "uikit/display_scale.h"

using namespace pq::calc;
using pq::test::deliverPosted;

namespace {

class KeyboardWalk : public ::testing::Test {
  protected:
    void SetUp() override {
        QSettings(QStringLiteral("Quorvane"), QStringLiteral("PqCalculator")).clear();
        ASSERT_TRUE(folder.isValid());
        options.historyFile = folder.filePath(QStringLiteral("history.json"));
        frame = std::make_unique<CMainFrame>(engine, options);
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
        frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    }

    // Where the platform sends a key: the open pop-up, else the focus.
    static QWidget* keyTarget() {
        if (QWidget* popup = QApplication::activePopupWidget()) return popup;
        return QApplication::focusWidget();
    }
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = keyTarget();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
        deliverPosted();
    }
    void type(const QString& text) {
        for (QChar c : text) {
            QWidget* target = keyTarget();
            ASSERT_NE(target, nullptr);
            QTest::keyClick(target, c.toLatin1());
            deliverPosted();
        }
    }
    // A menu of the menu bar by its mnemonic, then an entry by its own.
    void menu(char bar, const QString& entries) {
        press(Qt::Key_A + (bar - 'a'), Qt::AltModifier);
        ASSERT_NE(QApplication::activePopupWidget(), nullptr) << bar;
        type(entries);
        // A chosen entry closes the menus.
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << entries.toStdString();
    }
    // The name of the widget with the focus, as a screen reader reads it.
    static QString focusName() {
        QWidget* focus = QApplication::focusWidget();
        if (!focus) return QStringLiteral("(none)");
        return focus->accessibleName().isEmpty() ? focus->objectName() : focus->accessibleName();
    }
    QStringList tabWalk(int steps, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QStringList names;
        for (int k = 0; k < steps; ++k) {
            press(Qt::Key_Tab, modifiers);
            names << focusName();
        }
        return names;
    }
    void command(unsigned id) {
        QCoreApplication::postEvent(frame.get(), new pq::ui::CommandEvent(id));
        deliverPosted();
    }
    ExpressionEdit* edit() const { return frame->scientific()->edit(); }
    QString shown() const { return frame->mainDisplay().shownText(); }

    QTemporaryDir folder;
    FrameOptions options;
    pq::ExpressionEngine engine;
    std::unique_ptr<CMainFrame> frame;
};

} // namespace

TEST_F(KeyboardWalk, TabMnemonicsAndTheHistorySearchReachEveryCommand) {
    // The standard view: the keypad takes the keyboard; Tab goes on to the
    // function-name button. Arrows and Space press keys, digits type.
    EXPECT_EQ(focusName(), QStringLiteral("Standard keys"));
    EXPECT_EQ(tabWalk(2), (QStringList{"My Functions", "Standard keys"}));
    press(Qt::Key_Right); // from MC to the square root, down to 7, on to 8
    press(Qt::Key_Down);
    press(Qt::Key_Right);
    press(Qt::Key_Space);
    EXPECT_EQ(shown(), QStringLiteral("8"));
    type(QStringLiteral("*2="));
    EXPECT_EQ(shown(), QStringLiteral("16"));

    // Alt+T, C: Tools > Scientific. The line takes the keyboard.
    menu('t', QStringLiteral("c"));
    ASSERT_EQ(frame->viewMode(), ViewMode::Scientific);
    EXPECT_EQ(focusName(), QStringLiteral("Expression"));
    EXPECT_EQ(tabWalk(8),
              (QStringList{"Function keys", "Character keys", "Number base", "Angle unit",
                           "Clear entry", "Clear all", "Evaluate", "Expression"}));
    EXPECT_EQ(tabWalk(2, Qt::ShiftModifier), (QStringList{"Evaluate", "Clear all"}));
    press(Qt::Key_Escape);
    EXPECT_EQ(focusName(), QStringLiteral("Expression")) << "Escape goes back to the line";

    // Alt+O, D: Modes > Degrees; then sin(90) is 1.
    menu('o', QStringLiteral("d"));
    EXPECT_EQ(engine.angleMode(), pq::AngleMode::Deg);
    EXPECT_EQ(frame->scientific()->button(kCmdAngle)->text(), QStringLiteral("Deg"));
    type(QStringLiteral("sin(90)"));
    press(Qt::Key_Return);
    EXPECT_EQ(shown(), QStringLiteral("1"));

    // Alt+M, S, 1: Memory > Store Result In > Memory 1; Alt+M, 1 inserts m1.
    menu('m', QStringLiteral("s1"));
    press(Qt::Key_Escape);
    type(QStringLiteral("3+"));
    menu('m', QStringLiteral("1"));
    EXPECT_EQ(edit()->text(), QStringLiteral("3+m1"));
    press(Qt::Key_Return);
    EXPECT_EQ(shown(), QStringLiteral("4"));

    // Alt+O, H: results in hexadecimal; Alt+O, I: the inverse keys.
    menu('o', QStringLiteral("h"));
    EXPECT_EQ(shown(), QStringLiteral("4h"));
    menu('o', QStringLiteral("e"));
    menu('o', QStringLiteral("i"));
    EXPECT_EQ(frame->scientific()->functionKeypad()->label(kKeySin), QStringLiteral("asin"));

    // A key of the function keypad, from the keyboard: its focus stays.
    press(Qt::Key_Escape);
    press(Qt::Key_Tab); // the function keys
    ASSERT_EQ(focusName(), QStringLiteral("Function keys"));
    press(Qt::Key_Down); // from "..." to M1, then on to sin
    for (int k = kKeyM1; k < kKeySin; ++k) press(Qt::Key_Right);
    press(Qt::Key_Space);
    EXPECT_EQ(edit()->text(), QStringLiteral("asin()")) << "the inverse sine, then normal keys";
    EXPECT_EQ(focusName(), QStringLiteral("Function keys"));
    EXPECT_EQ(frame->scientific()->functionKeypad()->label(kKeySin), QStringLiteral("sin"));

    // Ctrl+H: the history's search, typing searches it; Escape goes back to
    // the line, which kept its formula.
    press(Qt::Key_Escape);
    press(Qt::Key_H, Qt::ControlModifier);
    ASSERT_TRUE(frame->historyDock()->isVisible());
    HistoryPanel* panel = frame->historyPanel();
    EXPECT_EQ(QApplication::focusWidget(), panel->searchField());
    type(QStringLiteral("sin"));
    ASSERT_FALSE(panel->shownItems().isEmpty());
    for (QListWidgetItem* item : panel->shownItems())
        EXPECT_EQ(HistoryPanel::formulaOf(item), QStringLiteral("sin(90)"));
    EXPECT_EQ(edit()->text(), QStringLiteral("asin()")) << "the formula is not overwritten";
    press(Qt::Key_Escape);
    EXPECT_EQ(focusName(), QStringLiteral("Expression"));
    // Tab reaches the panel after the keys; Enter on an entry reuses it.
    press(Qt::Key_H, Qt::ControlModifier);
    press(Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), panel->list());
    press(Qt::Key_Return);
    EXPECT_EQ(edit()->text(), QStringLiteral("sin(90)"));
    EXPECT_EQ(focusName(), QStringLiteral("Expression"));

    // Alt+U: Functions > Edit My Functions... opens the dialog.
    menu('u', QStringLiteral("e"));
    QWidget* modal = QApplication::activeModalWidget();
    ASSERT_NE(modal, nullptr);
    press(Qt::Key_Escape);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(KeyboardWalk, TypedNamesAreOfferedWithTheirArguments) {
    command(kCmdScientificView);
    edit()->setFocus();
    NameCompleter* names = edit()->nameCompleter();
    ASSERT_NE(names, nullptr);

    struct Case {
        const char* typed;
        QStringList offered; // top first
        int key;             // takes or ends the offer
        const char* line;    // after the key
    } const cases[] = {
        {"co", {"cos(x)", "cosh(x)"}, Qt::Key_Tab, "cos()"},
        {"fro", {"fromutc(zone, t)"}, Qt::Key_Return, "fromutc()"},
        {"m", {"m1", "m2", "m3", "m4"}, Qt::Key_Tab, "m1"},
        {"2*p", {"pi"}, Qt::Key_Tab, "2*pi"},
        {"ii", {"iif(condition, value, ..., otherwise)"}, Qt::Key_Tab, "iif()"},
        {"an", {"ans"}, Qt::Key_Escape, "an"},
        {"2e", {}, 0, "2e"},   // an exponent, not a name
        {"0ff", {}, 0, "0ff"}, // a hexadecimal number
        {"xyz", {}, 0, "xyz"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        edit()->clear();
        type(QString::fromLatin1(c.typed));
        EXPECT_EQ(names->offered(), c.offered);
        if (c.key) press(c.key);
        EXPECT_FALSE(names->isOffering());
        EXPECT_EQ(edit()->text(), QString::fromLatin1(c.line));
        EXPECT_EQ(QApplication::focusWidget(), edit());
    }

    // After a taken function the caret is between its brackets.
    edit()->clear();
    type(QStringLiteral("sq"));
    press(Qt::Key_Tab);
    type(QStringLiteral("16"));
    press(Qt::Key_Return);
    EXPECT_EQ(shown(), QStringLiteral("4"));

    // A whole name without arguments is no question: Enter evaluates.
    edit()->clear();
    type(QStringLiteral("pi"));
    ASSERT_TRUE(names->isOffering());
    press(Qt::Key_Return);
    EXPECT_EQ(shown(), QStringLiteral("3.141592654"));
    EXPECT_FALSE(names->isOffering());

    // Down moves through the offer, and Enter takes the name it reached.
    edit()->clear();
    type(QStringLiteral("ta"));
    press(Qt::Key_Down);
    press(Qt::Key_Return);
    EXPECT_EQ(edit()->text(), QStringLiteral("tanh()"));
}

TEST_F(KeyboardWalk, TheHistoryShowsEveryFormulaAndResultWholeAtScaleTwo) {
    pq::test::ScaleGuard scale(2);
    frame.reset();
    frame = std::make_unique<CMainFrame>(engine, options);
    frame->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    command(kCmdScientificView);
    const QString formulas[] = {
        QStringLiteral("sin(pi/2)"),
        QStringLiteral("2^0.5"),
        QStringLiteral("90*1000000+9"),
        QStringLiteral("(1234567*7654321+sqrt(2)*1000)/3-iif(1>2, 5, 6)+abs(-12345678)*2"),
    };
    for (const QString& formula : formulas) {
        edit()->setText(formula);
        command(kCmdEvaluate);
    }
    command(kCmdSearchHistory);
    HistoryPanel* panel = frame->historyPanel();
    ASSERT_TRUE(frame->historyDock()->isVisible());
    QListWidget* list = panel->list();
    const int width = list->viewport()->width();
    EXPECT_GE(QFontMetrics(list->font()).height(), 2 * 12) << "texts are drawn at twice the size";

    const QList<QListWidgetItem*> shown = panel->shownItems();
    ASSERT_EQ(shown.size(), 4);
    for (QListWidgetItem* item : shown) {
        const QString formula = HistoryPanel::formulaOf(item);
        SCOPED_TRACE(formula.toStdString());
        const HistoryEntryLayout entry = panel->layoutOf(item);
        EXPECT_EQ(entry.formulaLines.join(QString()), formula) << "the whole formula";
        EXPECT_EQ(entry.resultLine, QStringLiteral("= ") + HistoryPanel::shownResultOf(item));
        EXPECT_FALSE(entry.shortened);
        const QFontMetrics metrics(list->font());
        for (const QString& line : entry.formulaLines)
            EXPECT_LE(metrics.horizontalAdvance(line), width) << line.toStdString();
        EXPECT_GE(list->visualItemRect(item).height(), entry.height) << "no line is cut off";
        EXPECT_NE(item->toolTip().indexOf(formula), -1);
    }
    EXPECT_EQ(HistoryPanel::shownResultOf(shown.back()), QStringLiteral("1"));
    EXPECT_GT(shown.front()->listWidget()->visualItemRect(shown.front()).height(),
              2 * QFontMetrics(list->font()).lineSpacing())
        << "the long formula wraps";

    // A wider window widens the panel with it.
    const int before = frame->historyDock()->width();
    frame->resize(frame->width() + 400, frame->height());
    deliverPosted();
    EXPECT_GT(frame->historyDock()->width(), before + 100);
}
