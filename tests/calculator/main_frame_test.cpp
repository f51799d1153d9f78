#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QSettings>
#include <QTest>
#include <QUuid>

#include <memory>

#include "calculator/about_dialog.h"
#include "calculator/commands.h"
#include "calculator/expression_edit.h"
#include "calculator/keypad.h"
#include "calculator/expression_edit.h"
#include "calculator/main_frame.h"
#include "calculator/scientific_view.h"
#include "engine/expression_engine.h"
#include "tests/uikit/test_support.h"
#include "uikit/display_scale.h"
#include "uikit/hand_over.h"

using namespace pq::calc;
using pq::test::deliverPosted;

namespace {

QString uniqueName() {
    return QStringLiteral("pq-test-") + QUuid::createUuid().toString(QUuid::Id128).left(12);
}

class MainFrameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        QSettings(QStringLiteral("Quorvane"), QStringLiteral("PqCalculator")).clear();
        open();
    }

    void open(const FrameOptions& options = FrameOptions{}) {
        frame = std::make_unique<CMainFrame>(engine, options);
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
        // Keyboard shortcuts need the window to be the active one.
        frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    }

    // Types keys on the keyboard into the window, as a person would.
    void type(const QString& keys) {
        for (QChar key : keys) {
            QTest::keyClick(frame->client(), key.toLatin1());
            deliverPosted();
        }
    }
    void typeKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(frame->client(), key, modifiers);
        deliverPosted();
    }
    void command(unsigned id) {
        QCoreApplication::postEvent(frame.get(), new pq::ui::CommandEvent(id));
        deliverPosted();
    }
    QString shown() const { return frame->mainDisplay().shownText(); }
    QMessageBox* message() const {
        const auto boxes = frame->findChildren<QMessageBox*>();
        return boxes.isEmpty() ? nullptr : boxes.back();
    }

    pq::ExpressionEngine engine;
    std::unique_ptr<CMainFrame> frame;
};

} // namespace

TEST_F(MainFrameTest, TypedKeysReachTheMainDisplay) {
    EXPECT_EQ(shown(), QStringLiteral("0"));
    type(QStringLiteral("2+3=="));
    EXPECT_EQ(shown(), QStringLiteral("8"));
    typeKey(Qt::Key_Escape);
    type(QStringLiteral("1/3="));
    EXPECT_EQ(shown(), QStringLiteral("0.3333333333"));
    type(QStringLiteral("9/0="));
    EXPECT_EQ(shown(), QStringLiteral("Error"));
    EXPECT_EQ(frame->mainDisplay().text(), QString());
    type(QStringLiteral("5+"));
    typeKey(Qt::Key_Delete);
    EXPECT_EQ(shown(), QStringLiteral("Error")) << "only Escape leaves the error";
    typeKey(Qt::Key_Escape);
    EXPECT_EQ(shown(), QStringLiteral("0"));

    type(QStringLiteral("1234567,5"));
    EXPECT_EQ(shown(), QStringLiteral("1,234,567.5"));
    EXPECT_EQ(frame->mainDisplay().text(), QStringLiteral("1234567.5"));
    typeKey(Qt::Key_Backspace);
    typeKey(Qt::Key_Backspace);
    EXPECT_EQ(shown(), QStringLiteral("1,234,567"));
    type(QStringLiteral("*2"));
    typeKey(Qt::Key_Return);
    EXPECT_EQ(shown(), QStringLiteral("2,469,134"));
    type(QStringLiteral("+10%"));
    EXPECT_EQ(shown(), QStringLiteral("2,716,047.4"));
    typeKey(Qt::Key_Delete);
    EXPECT_EQ(shown(), QStringLiteral("0"));
    // Keys the standard keypad does not have do nothing.
    type(QStringLiteral("7xs"));
    EXPECT_EQ(shown(), QStringLiteral("7"));
}

TEST_F(MainFrameTest, TypedKeysLightTheirKey) {
    KeyPad* keypad = frame->standardKeypad();
    QTest::keyClick(frame->client(), '8');
    EXPECT_EQ(keypad->pressedCell(), 7);
    EXPECT_TRUE(pq::test::waitFor([&] { return keypad->pressedCell() == -1; }));
    EXPECT_EQ(shown(), QStringLiteral("8"));
}

TEST_F(MainFrameTest, TapsOnTheKeypadAndTheMemoryIndicator) {
    KeyPad* keypad = frame->standardKeypad();
    auto tap = [&](int cell) {
        QTest::mouseClick(keypad, Qt::LeftButton, {}, keypad->grid().cellRect(cell).center());
        deliverPosted();
    };
    tap(12); // 5
    tap(10); // M+
    EXPECT_EQ(shown(), QStringLiteral("5"));
    EXPECT_TRUE(frame->mainDisplay().isIndicatorShown());
    tap(20); // C keeps the memory
    EXPECT_TRUE(frame->mainDisplay().isIndicatorShown());
    tap(5); // MR
    EXPECT_EQ(shown(), QStringLiteral("5"));
    tap(1); // square root: ten digits, the last rounded
    EXPECT_EQ(shown(), QStringLiteral("2.236067977"));
    tap(0); // MC
    EXPECT_FALSE(frame->mainDisplay().isIndicatorShown());
}

TEST_F(MainFrameTest, CopyAndPasteThroughTheClipboard) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    type(QStringLiteral("1234/8="));
    typeKey(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), QStringLiteral("154.25")) << "lower case, ungrouped";

    type(QStringLiteral("1/0="));
    typeKey(Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(clipboard->mimeData()->hasText());
    EXPECT_EQ(clipboard->text(), QString()) << "an error copies an empty text";

    clipboard->setText(QStringLiteral("  1234.5\n"));
    typeKey(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(shown(), QStringLiteral("1,234.5"));
    EXPECT_FALSE(frame->calculator().isError()) << "a new value leaves the error";
    type(QStringLiteral("*2="));
    EXPECT_EQ(shown(), QStringLiteral("2,469"));

    clipboard->setText(QStringLiteral("4,5"));
    command(kCmdPaste);
    ASSERT_NE(message(), nullptr) << "text that is no number is refused";
    EXPECT_TRUE(message()->text().startsWith(QStringLiteral("The clipboard holds no number")));
    EXPECT_EQ(shown(), QStringLiteral("2,469")) << "and the display keeps its number";
    message()->close();
    deliverPosted();

    clipboard->setText(QStringLiteral("0FFh"));
    command(kCmdPaste);
    EXPECT_EQ(shown(), QStringLiteral("255"));

    QAction* paste = frame->commandAction(kCmdPaste);
    ASSERT_NE(paste, nullptr);
    EXPECT_TRUE(paste->isEnabled());
    clipboard->clear();
    EXPECT_FALSE(paste->isEnabled()) << "nothing to paste";
    clipboard->setText(QStringLiteral("1"));
    EXPECT_TRUE(paste->isEnabled());
}

TEST_F(MainFrameTest, SettingsSurviveASecondWindow) {
    EXPECT_EQ(frame->viewMode(), ViewMode::Standard);
    command(kCmdScientificView);
    EXPECT_EQ(frame->viewMode(), ViewMode::Scientific);
    EXPECT_FALSE(frame->standardKeypad()->isVisible());
    EXPECT_TRUE(frame->commandAction(kCmdScientificView)->isChecked());
    frame.reset();

    QSettings settings(QStringLiteral("Quorvane"), QStringLiteral("PqCalculator"));
    EXPECT_EQ(settings.value(QStringLiteral("Settings/CurrentView")).toInt(), 1);
    EXPECT_EQ(settings.value(QStringLiteral("Settings/CurrentMacro")).toInt(), -1);

    open();
    EXPECT_EQ(frame->viewMode(), ViewMode::Scientific);
    EXPECT_TRUE(frame->commandAction(kCmdScientificView)->isChecked());
    command(kCmdStandardView);
    frame.reset();
    open();
    EXPECT_EQ(frame->viewMode(), ViewMode::Standard);
    EXPECT_TRUE(frame->standardKeypad()->isVisible());

    // Values the program never writes read as the defaults.
    frame.reset();
    settings.setValue(QStringLiteral("Settings/CurrentView"), 7);
    settings.setValue(QStringLiteral("Settings/CurrentMacro"), QStringLiteral("many"));
    settings.sync();
    open();
    EXPECT_EQ(frame->viewMode(), ViewMode::Standard);
}

TEST_F(MainFrameTest, TheDisplayShowsZeroAtStartAndForAnEmptyMemory) {
    // Started in either view, the display shows 0, not nothing.
    for (int view : {0, 1}) {
        frame.reset();
        QSettings(QStringLiteral("Quorvane"), QStringLiteral("PqCalculator"))
            .setValue(QStringLiteral("Settings/CurrentView"), view);
        open();
        EXPECT_EQ(shown(), QStringLiteral("0")) << view;
    }
    // MR of an empty memory (after MC) reads its 0.
    command(kCmdStandardView);
    type(QStringLiteral("5"));
    typeKey(Qt::Key_L, Qt::ControlModifier); // MC
    typeKey(Qt::Key_R, Qt::ControlModifier); // MR
    EXPECT_EQ(shown(), QStringLiteral("0"));
    EXPECT_FALSE(frame->mainDisplay().isIndicatorShown());
}

TEST_F(MainFrameTest, TheViewSwitchKeepsTheNumber) {
    type(QStringLiteral("42"));
    command(kCmdStandardKeyFirst + 10); // M+
    command(kCmdScientificView);
    EXPECT_FALSE(frame->mainDisplay().isIndicatorShown());
    type(QStringLiteral("7"));
    EXPECT_EQ(shown(), QStringLiteral("42")) << "the standard keys rest in the scientific view";
    command(kCmdStandardView);
    EXPECT_TRUE(frame->mainDisplay().isIndicatorShown());
    EXPECT_EQ(shown(), QStringLiteral("42"));
    type(QStringLiteral("+1="));
    EXPECT_EQ(shown(), QStringLiteral("43"));
}

TEST_F(MainFrameTest, WindowLayoutAtBothScales) {
    for (int scale : {1, 2}) {
        pq::test::ScaleGuard guard(scale);
        open();
        EXPECT_EQ(frame->windowTitle(), QStringLiteral("PqCalculator"));
        EXPECT_EQ(frame->client()->size(), QSize(240 * scale, 269 * scale));
        const QRect keypad = frame->standardKeypad()->geometry();
        EXPECT_EQ(keypad, QRect(-scale, 70 * scale, 242 * scale, 199 * scale));
        // The display's text stays inside its box.
        type(QStringLiteral("999999999999"));
        const QRect text = frame->mainDisplay().button().rect();
        EXPECT_GE(text.left(), 5 * scale);
        EXPECT_LE(text.right() + 1, (240 - 9) * scale);
        EXPECT_FALSE(frame->mainDisplay().button().shownText().contains(u'~'));
    }
}

TEST_F(MainFrameTest, ValuesHandedOverArriveInTheDisplay) {
    FrameOptions options;
    options.handOverServer = uniqueName();
    open(options);
    ASSERT_TRUE(frame->isListening());
    type(QStringLiteral("9/0="));
    ASSERT_TRUE(pq::ui::SendHandOver(options.handOverServer, pq::ui::EncodeValue(1234.5)));
    ASSERT_TRUE(pq::test::waitFor([&] { return shown() == QStringLiteral("1,234.5"); }));
    EXPECT_FALSE(frame->calculator().isError());
    type(QStringLiteral("+1="));
    EXPECT_EQ(shown(), QStringLiteral("1,235.5"));

    // A value arrives with the fifteen digits a double carries safely: the
    // binary noise of 0.1 + 0.2 stays behind.
    ASSERT_TRUE(pq::ui::SendHandOver(options.handOverServer, pq::ui::EncodeValue(0.1 + 0.2)));
    ASSERT_TRUE(pq::test::waitFor([&] { return shown() == QStringLiteral("0.3"); }));
    EXPECT_EQ(frame->calculator().value(), 0.3);
    command(kCmdScientificView);
    ASSERT_TRUE(pq::ui::SendHandOver(options.handOverServer, pq::ui::EncodeValue(1 / 0.3048)));
    ASSERT_TRUE(pq::test::waitFor(
        [&] { return frame->scientific()->edit()->text() == QStringLiteral("3.28083989501312"); }));
    command(kCmdStandardView);

    // Values the calculator cannot hold show as an error.
    ASSERT_TRUE(pq::ui::SendHandOver(options.handOverServer, pq::ui::EncodeValue(2e15)));
    ASSERT_TRUE(pq::test::waitFor([&] { return shown() == QStringLiteral("Error"); }));
}

TEST_F(MainFrameTest, AQuickStartListensOnceTheWindowIsPainted) {
    FrameOptions options;
    options.handOverServer = uniqueName();
    options.deferredStart = true;
    frame = std::make_unique<CMainFrame>(engine, options);
    EXPECT_FALSE(frame->isListening());
    EXPECT_FALSE(pq::ui::SendHandOver(options.handOverServer, pq::ui::EncodeValue(1), 100));
    frame->show();
    ASSERT_TRUE(pq::test::waitFor([&] { return frame->isListening(); }));
    ASSERT_TRUE(pq::ui::SendHandOver(options.handOverServer, pq::ui::EncodeValue(7.25)));
    ASSERT_TRUE(pq::test::waitFor([&] { return shown() == QStringLiteral("7.25"); }));
}

TEST_F(MainFrameTest, OpenConverterRaisesStartsOrSaysWhy) {
    FrameOptions options;
    options.converterServer = uniqueName();
    options.converterProgram = QStringLiteral("/nonexistent/PqConverter");
    open(options);
    command(kCmdOpenConverter);
    QMessageBox* box = message();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Converter"));
    EXPECT_EQ(box->text(), QStringLiteral("PqConverter could not be started from "
                                          "\"/nonexistent/PqConverter\". Check that it is "
                                          "installed beside PqCalculator, or install the "
                                          "programs again."));
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    box->close();
    deliverPosted();

    // A running converter comes forward and takes the number shown, in
    // either view and whatever base shows it.
    std::vector<pq::ui::HandOverMessage> received;
    pq::ui::HandOverServer converter(
        [&](const pq::ui::HandOverMessage& m) { received.push_back(m); });
    ASSERT_TRUE(converter.listen(options.converterServer));
    struct Case {
        unsigned view;
        const char* keys; // standard keys, or a formula of the scientific view
        unsigned base;    // the scientific view's base
        double value;
    } const cases[] = {
        {kCmdStandardView, "12.5", 0, 12.5},
        {kCmdStandardView, "1/8=", 0, 0.125},
        {kCmdScientificView, "2^10", kCmdBaseFirst, 1024},
        {kCmdScientificView, "255", kCmdBaseFirst + 1, 255},
        {kCmdScientificView, "1/3", kCmdBaseFirst, 1.0 / 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        received.clear();
        command(c.view);
        if (c.view == kCmdStandardView) {
            command(kCmdStandardKeyFirst + 20); // C
            type(QString::fromLatin1(c.keys));
        } else {
            command(c.base);
            frame->scientific()->edit()->setText(QString::fromLatin1(c.keys));
            command(kCmdEvaluate);
        }
        command(kCmdOpenConverter);
        ASSERT_TRUE(pq::test::waitFor([&] { return received.size() >= 2; }));
        EXPECT_EQ(received[0].tag, pq::ui::kRaiseTag);
        double value = 0;
        ASSERT_TRUE(pq::ui::DecodeValue(received[1], value));
        EXPECT_EQ(value, c.value);
    }
    EXPECT_EQ(message(), nullptr);
}

TEST_F(MainFrameTest, MenusDialogsAndExit) {
    // The function-name button opens the function menu.
    const QPoint button(10 * pq::ui::DisplayScale(), 56 * pq::ui::DisplayScale());
    QTest::mouseClick(frame->client(), Qt::LeftButton, {}, button);
    deliverPosted();
    const auto menus = frame->findChildren<QMenu*>();
    ASSERT_FALSE(menus.isEmpty());
    EXPECT_TRUE(menus.back()->isVisible());
    EXPECT_EQ(menus.back()->actions().back()->text(), QStringLiteral("Edit My Functions..."));
    menus.back()->close();
    deliverPosted();

    command(kCmdAbout);
    const auto dialogs = frame->findChildren<QDialog*>();
    ASSERT_EQ(dialogs.size(), 1);
    EXPECT_EQ(dialogs[0]->windowTitle(), QStringLiteral("Quorvane PqCalculator"));
    EXPECT_TRUE(dialogs[0]->isVisible());
    dialogs[0]->accept();

    command(kCmdExit);
    EXPECT_FALSE(frame->isVisible());
}
