#include <gtest/gtest.h>

#include <QClipboard>
#include <QDockWidget>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "calculator/commands.h"
#include "calculator/expression_edit.h"
#include "calculator/formula_status.h"
#include "calculator/history_panel.h"
#include "calculator/keypad.h"
#include "calculator/last_answer.h"
#include "calculator/main_frame.h"
#include "calculator/scientific_keys.h"
#include "calculator/scientific_view.h"
#include "engine/expression_engine.h"
#include "tests/uikit/test_support.h"
#include "uikit/message_box.h"

using namespace pq::calc;
using pq::test::deliverPosted;

namespace {

// The scientific view as a keyboard user meets it.
class KeyboardTest : public ::testing::Test {
  protected:
    void SetUp() override {
        QSettings(QStringLiteral("Quorvane"), QStringLiteral("PqCalculator")).clear();
        ASSERT_TRUE(folder.isValid());
        options.historyFile = folder.filePath(QStringLiteral("history.json"));
        open();
        command(kCmdScientificView);
    }
    void TearDown() override { pq::ui::SetMessageResponder({}); }

    void open() {
        frame.reset();
        engine = std::make_unique<pq::ExpressionEngine>();
        frame = std::make_unique<CMainFrame>(*engine, options);
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
        frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
        edit()->setFocus();
    }
    void command(unsigned id) {
        QCoreApplication::postEvent(frame.get(), new pq::ui::CommandEvent(id));
        deliverPosted();
    }
    void type(const QString& keys) {
        QTest::keyClicks(edit(), keys);
        deliverPosted();
    }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(edit(), key, modifiers);
        deliverPosted();
    }
    // Types a formula and Enter; returns what the display shows.
    QString enter(const QString& keys) {
        type(keys);
        key(Qt::Key_Return);
        return shown();
    }
    ScientificView* view() const { return frame->scientific(); }
    ExpressionEdit* edit() const { return view()->edit(); }
    FormulaStatus* status() const { return view()->status(); }
    QString shown() const { return frame->mainDisplay().shownText(); }
    QString clipboard() const { return QGuiApplication::clipboard()->text(); }
    // The status line once its live value is computed.
    QString live() const {
        pq::test::waitFor([this] { return !status()->isPending(); });
        return status()->text();
    }

    QTemporaryDir folder;
    FrameOptions options;
    std::unique_ptr<pq::ExpressionEngine> engine;
    std::unique_ptr<CMainFrame> frame;
};

} // namespace

TEST_F(KeyboardTest, TypingAfterAResultStartsAnewOrContinues) {
    struct Case {
        const char* keys; // typed right after "2*3" Enter
        const char* line;
        const char* result; // after Enter
    } const cases[] = {
        {"5", "5", "5"},         {"+1", "ans+1", "7"},  {"*ans", "ans*ans", "36"},
        {"!", "ans!", "720"},    {"^2", "ans^2", "36"}, {"sqrt(9)", "sqrt(9)", "3"},
        {"(1+1)", "(1+1)", "2"}, {".5", ".5", "0.5"},   {"~0", "~0", "-1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        command(kCmdClear);
        EXPECT_EQ(enter(QStringLiteral("2*3")), QStringLiteral("6"));
        EXPECT_TRUE(edit()->isEvaluated());
        type(QString::fromLatin1(c.keys));
        EXPECT_EQ(edit()->text(), QString::fromLatin1(c.line));
        key(Qt::Key_Return);
        EXPECT_EQ(shown(), QString::fromLatin1(c.result));
    }

    // Moving the caret or the selection ends that state: typing edits the line.
    const std::pair<Qt::Key, Qt::KeyboardModifiers> moves[] = {
        {Qt::Key_End, Qt::NoModifier},
        {Qt::Key_Right, Qt::NoModifier},
        {Qt::Key_Left, Qt::ShiftModifier},
    };
    for (const auto& [move, modifiers] : moves) {
        command(kCmdClear);
        enter(QStringLiteral("2*3"));
        key(move, modifiers);
        EXPECT_FALSE(edit()->isEvaluated());
    }
    key(Qt::Key_End);
    key(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(edit()->selectedText(), QStringLiteral("3"));
    type(QStringLiteral("4"));
    EXPECT_EQ(edit()->text(), QStringLiteral("2*4")) << "typing replaces the selection";
    command(kCmdClear);
    enter(QStringLiteral("2*3"));
    QTest::mouseClick(edit()->viewport(), Qt::LeftButton, {},
                      edit()->cursorRect(edit()->textCursor()).center());
    type(QStringLiteral("5"));
    EXPECT_EQ(edit()->text().size(), 4) << "a click puts the caret into the formula";
}

TEST_F(KeyboardTest, TheLineEditsAsATextField) {
    type(QStringLiteral("100"));
    key(Qt::Key_A, Qt::ControlModifier);
    type(QStringLiteral("5"));
    EXPECT_EQ(edit()->text(), QStringLiteral("5")) << "typed text replaces the selection";
    type(QStringLiteral("+12"));
    key(Qt::Key_Left);
    key(Qt::Key_Backspace);
    key(Qt::Key_Delete);
    EXPECT_EQ(edit()->text(), QStringLiteral("5+"));
    type(QStringLiteral("(1"));
    key(Qt::Key_Home);
    key(Qt::Key_Right, Qt::ShiftModifier);
    key(Qt::Key_Delete);
    EXPECT_EQ(edit()->text(), QStringLiteral("+(1"));

    // Copy and Cut take the selection; with none, Copy takes the result.
    command(kCmdClear);
    EXPECT_EQ(enter(QStringLiteral("12*3")), QStringLiteral("36"));
    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard(), QStringLiteral("36")) << "right after Enter, the result";
    key(Qt::Key_Home);
    key(Qt::Key_Right, Qt::ShiftModifier);
    key(Qt::Key_Right, Qt::ShiftModifier);
    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard(), QStringLiteral("12"));
    key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(edit()->text(), QStringLiteral("*3"));
    EXPECT_EQ(clipboard(), QStringLiteral("12"));
    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard(), QStringLiteral("36")) << "nothing selected: the result";

    // Escape empties the line, a second Escape the result too.
    key(Qt::Key_Escape);
    EXPECT_EQ(edit()->text(), QString());
    EXPECT_EQ(shown(), QStringLiteral("36"));
    key(Qt::Key_Escape);
    EXPECT_EQ(shown(), QStringLiteral("0"));

    // The keypads keep the operand model.
    for (QChar c : QStringLiteral("12")) {
        for (int cell = 0; cell < kCharacterKeyCount; ++cell)
            if (characterKeyCharacter(cell) == c.unicode())
                command(kCmdCharacterKeyFirst + static_cast<unsigned>(cell));
    }
    EXPECT_EQ(edit()->selectedText(), QStringLiteral("12"));
}

TEST_F(KeyboardTest, UpAndDownWalkAHistoryThatLasts) {
    enter(QStringLiteral("1+1"));
    enter(QStringLiteral("2+2"));
    enter(QStringLiteral("3+3"));
    key(Qt::Key_Escape);
    type(QStringLiteral("4+"));
    key(Qt::Key_Up);
    EXPECT_EQ(edit()->text(), QStringLiteral("3+3"));
    key(Qt::Key_Up);
    key(Qt::Key_Up);
    key(Qt::Key_Up);
    EXPECT_EQ(edit()->text(), QStringLiteral("1+1")) << "the oldest stays";
    key(Qt::Key_Down);
    EXPECT_EQ(edit()->text(), QStringLiteral("2+2"));
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    EXPECT_EQ(edit()->text(), QStringLiteral("4+")) << "back to the line as typed";

    // After a restart Up recalls the last formula, and ans is its result.
    open();
    command(kCmdScientificView);
    key(Qt::Key_Up);
    EXPECT_EQ(edit()->text(), QStringLiteral("3+3"));
    key(Qt::Key_Escape);
    EXPECT_EQ(enter(QStringLiteral("ans*2")), QStringLiteral("12"));
    EXPECT_EQ(enter(QStringLiteral("ans*2")), QStringLiteral("24"));

    // The panel lists formula = result, newest first, and searches.
    HistoryPanel* panel = frame->historyPanel();
    frame->historyDock()->toggleViewAction()->trigger();
    ASSERT_TRUE(frame->historyDock()->isVisible());
    ASSERT_EQ(panel->shownItems().size(), 5);
    EXPECT_EQ(HistoryPanel::formulaOf(panel->shownItems().front()), QStringLiteral("ans*2"));
    EXPECT_EQ(HistoryPanel::shownResultOf(panel->shownItems().front()), QStringLiteral("24"));
    QTest::keyClicks(panel->searchField(), QStringLiteral("2+"));
    ASSERT_EQ(panel->shownItems().size(), 1);
    QTest::keyClick(panel->searchField(), Qt::Key_Return);
    EXPECT_EQ(edit()->text(), QStringLiteral("2+2")) << "Enter reuses the formula";
    QListWidget* list = panel->list();
    QListWidgetItem* first = panel->shownItems().front();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      panel->layoutOf(first)
                          .resultRect.translated(list->visualItemRect(first).topLeft())
                          .center());
    EXPECT_EQ(edit()->text(), QStringLiteral("2+24")) << "a click on a result inserts it";

    // Clear History asks first.
    bool asked = false;
    pq::ui::SetMessageResponder([&](const pq::ui::MessageRequest& request) {
        asked = request.title == QStringLiteral("Clear History");
        return false;
    });
    panel->clearButton()->click();
    EXPECT_TRUE(asked);
    EXPECT_EQ(view()->history().entries().size(), 5);
    pq::ui::SetMessageResponder([](const pq::ui::MessageRequest&) { return true; });
    panel->clearButton()->click();
    EXPECT_TRUE(view()->history().entries().isEmpty());
    EXPECT_EQ(panel->list()->count(), 0);
}

TEST_F(KeyboardTest, TheHistoryPanelWidensTheWindowOnlyWhenTheUserOpensIt) {
    const int narrow = frame->width();
    frame->historyDock()->toggleViewAction()->trigger();
    // Wide enough for the whole panel, not only its smallest size.
    const int room = frame->historyPanel()->sizeHint().width();
    ASSERT_TRUE(pq::test::waitFor([&] { return frame->width() >= narrow + room; }));
    const int wide = frame->width();
    // A restart with the panel open keeps the width the window had.
    open();
    QCoreApplication::processEvents();
    deliverPosted();
    EXPECT_TRUE(frame->historyDock()->isVisible());
    EXPECT_EQ(frame->width(), wide);
    frame->historyDock()->toggleViewAction()->trigger();
    ASSERT_TRUE(pq::test::waitFor([&] { return frame->width() < wide; }));
    // Closing gives back all the room, and the keypads' own width; opening
    // and closing again does not creep.
    EXPECT_EQ(frame->width(), narrow);
    const int keypads = frame->centralWidget()->width();
    for (int round = 0; round < 3; ++round) {
        frame->historyDock()->toggleViewAction()->trigger();
        ASSERT_TRUE(pq::test::waitFor([&] { return frame->width() > narrow; }));
        deliverPosted();
        EXPECT_EQ(frame->width(), wide);
        EXPECT_EQ(frame->centralWidget()->width(), keypads) << "the panel takes the room added";
        frame->historyDock()->toggleViewAction()->trigger();
        ASSERT_TRUE(pq::test::waitFor([&] { return frame->width() < wide; }));
        deliverPosted();
        EXPECT_EQ(frame->width(), narrow);
    }
    // A wider window widens the panel too, and a restart keeps its part.
    frame->historyDock()->toggleViewAction()->trigger();
    ASSERT_TRUE(pq::test::waitFor([&] { return frame->width() > narrow; }));
    deliverPosted();
    frame->resize(frame->width() + 300, frame->height());
    deliverPosted();
    const int panel = frame->historyDock()->width();
    EXPECT_GT(panel, room + 100);
    open();
    QCoreApplication::processEvents();
    deliverPosted();
    EXPECT_NEAR(frame->historyDock()->width(), panel, 2);
}

TEST_F(KeyboardTest, AnsIsTheLastResult) {
    EXPECT_EQ(enter(QStringLiteral("ans")), QStringLiteral("0"));
    enter(QStringLiteral("1/3"));
    key(Qt::Key_Escape);
    EXPECT_EQ(enter(QStringLiteral("ans*3")), QStringLiteral("1")) << "ans is exact";
    key(Qt::Key_Escape);
    EXPECT_EQ(enter(QStringLiteral("ans(2)")), QStringLiteral("Error"));
    EXPECT_EQ(status()->text(), QStringLiteral("Wrong number of arguments for \"ans\""));
}

TEST(LastAnswerTest, AUserFunctionNamedAnsKeepsTheName) {
    pq::ExpressionEngine engine;
    UserFunctionList functions;
    LastAnswer answer(engine, functions);
    double value = 0;
    answer.set(5);
    ASSERT_TRUE(engine.evaluate(u"ans*2", value));
    EXPECT_EQ(value, 10);

    // While the functions are edited the name is free for one of them.
    answer.release();
    int parameters = 0;
    ASSERT_TRUE(engine.defineFunction(u"Ans", u"42", parameters));
    functions.push_back({u"Ans", u"42", u"Answer", 0, false});
    answer.refresh();
    EXPECT_TRUE(answer.isUsersFunction());
    answer.set(7);
    ASSERT_TRUE(engine.evaluate(u"ans", value));
    EXPECT_EQ(value, 42);

    // Once it is deleted, ans is the last result again.
    ASSERT_TRUE(engine.removeDefinition(u"ans"));
    functions.clear();
    answer.refresh();
    ASSERT_TRUE(engine.evaluate(u"ans", value));
    EXPECT_EQ(value, 7);
}

TEST_F(KeyboardTest, TheLiveValueFollowsTypingAndSlowFormulasWaitForEnter) {
    int parameters = 0;
    ASSERT_TRUE(
        engine->defineFunction(u"slow(n)", u"iif(n<1, 1, slow(n-1)+slow(n-1))", parameters));
    type(QStringLiteral("1+2"));
    EXPECT_EQ(live(), QStringLiteral("= 3"));
    type(QStringLiteral("*"));
    EXPECT_EQ(live(), QString()) << "an unfinished formula shows nothing";
    type(QStringLiteral("4"));
    EXPECT_EQ(live(), QStringLiteral("= 9"));
    key(Qt::Key_Escape);
    type(QStringLiteral("7"));
    EXPECT_EQ(live(), QString()) << "a number alone";

    key(Qt::Key_Escape);
    type(QStringLiteral("slow(4)"));
    EXPECT_EQ(live(), QStringLiteral("= 16"));
    key(Qt::Key_Escape);
    type(QStringLiteral("slow(17)")); // 262,143 calls: too many to try while typing
    EXPECT_EQ(live(), QString());
    key(Qt::Key_Return);
    EXPECT_EQ(shown(), QStringLiteral("131,072")) << "Enter computes it";
    EXPECT_EQ(status()->text(), QString());
    EXPECT_EQ(engine->callLimit(), 10'000'000) << "the limit is the live value's alone";

    // rand shows live the value Enter then gives.
    key(Qt::Key_Escape);
    type(QStringLiteral("rand*1000"));
    const QString seen = live();
    key(Qt::Key_Return);
    EXPECT_EQ(QStringLiteral("= ") + shown(), seen);
}

TEST_F(KeyboardTest, AFailureSaysWhyAndWhere) {
    struct Case {
        const char* formula;
        const char* reason;
        int position; // of the mark in the line; -1 none
        int length;
    } const cases[] = {
        {"(1+2", "Missing \")\"", 0, 1},
        {"1+2)*3", "Extra \")\" without \"(\"", 3, 1},
        {"2*wat+1", "Unknown name \"wat\"", 2, 3},
        {"sin(1,2)", "Wrong number of arguments for \"sin\"", 0, 3},
        {"1/0", "Division by zero", -1, 0},
        {"sqrt(-1)", "\"sqrt\" is not defined for this value", -1, 0},
        {"10^400", "Overflow: a value beyond \u00B11e301", -1, 0},
        {"3*", "The formula ends with an operator", 1, 1},
        {"", "There is no formula", -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.formula);
        key(Qt::Key_Escape);
        EXPECT_EQ(enter(QString::fromUtf8(c.formula)), QStringLiteral("Error"));
        EXPECT_TRUE(status()->showsError());
        EXPECT_EQ(status()->text(), QString::fromUtf8(c.reason));
        const QList<QTextEdit::ExtraSelection> marks = edit()->extraSelections();
        ASSERT_EQ(marks.size(), c.position >= 0 ? 1 : 0);
        if (c.position >= 0) {
            EXPECT_EQ(marks[0].cursor.selectionStart(), c.position);
            EXPECT_EQ(marks[0].cursor.selectionEnd(), c.position + c.length);
        }
    }
    type(QStringLiteral("1"));
    EXPECT_FALSE(status()->showsError()) << "a change of the line ends the reason";
    EXPECT_TRUE(edit()->extraSelections().isEmpty());
}

TEST_F(KeyboardTest, AngleUnitAndBaseAreKeptAndShowTheResultAnew) {
    EXPECT_EQ(enter(QStringLiteral("sin(90)")), QStringLiteral("0.8939966636"));
    command(kCmdAngle); // Deg
    EXPECT_EQ(shown(), QStringLiteral("1")) << "the result anew";
    EXPECT_EQ(view()->button(kCmdAngle)->text(), QStringLiteral("Deg"));
    key(Qt::Key_Escape);
    EXPECT_EQ(enter(QStringLiteral("255")), QStringLiteral("255"));
    command(kCmdBase);
    EXPECT_EQ(shown(), QStringLiteral("0FFh"));

    open();
    command(kCmdScientificView);
    EXPECT_EQ(engine->angleMode(), pq::AngleMode::Deg);
    EXPECT_EQ(view()->button(kCmdAngle)->text(), QStringLiteral("Deg"));
    EXPECT_EQ(view()->button(kCmdBase)->text(), QStringLiteral("Hex"));
    EXPECT_EQ(enter(QStringLiteral("asin(1)")), QStringLiteral("5Ah"));
    command(kCmdBase);
    command(kCmdBase);
    command(kCmdBase);
    EXPECT_EQ(shown(), QStringLiteral("90"));
    EXPECT_EQ(QSettings(QStringLiteral("Quorvane"), QStringLiteral("PqCalculator"))
                  .value(QStringLiteral("Settings/CurrentView"))
                  .toInt(),
              1)
        << "the two settings values stay as they are";
}
