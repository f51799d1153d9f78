// Numbers the calculator shows, copies and takes: every digit survives.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <string>

#include "calculator/commands.h"
#include "calculator/expression_edit.h"
#include "calculator/keypad.h"
#include "calculator/main_frame.h"
#include "calculator/scientific_keys.h"
#include "calculator/scientific_view.h"
#include "calculator/user_functions.h"
#include "engine/calendar_date.h"
#include "engine/expression_engine.h"
#include "engine/format_text.h"
#include "engine/locale_dates.h"
#include "tests/uikit/test_support.h"
#include "uikit/command_event.h"

using namespace pq::calc;
using pq::test::deliverPosted;

namespace {

class CalculatorNumbers : public ::testing::Test {
  protected:
    void SetUp() override {
        QSettings settings(QStringLiteral("Quorvane"), QStringLiteral("PqCalculator"));
        settings.clear();
        ASSERT_TRUE(folder.isValid());
        options.functionsFile = folder.filePath(QStringLiteral("PqCalculator.dat"));
        options.helpFile = folder.filePath(QStringLiteral("PqCalculator.htm"));
    }
    void TearDown() override {
        frame.reset();
        QSettings(QStringLiteral("Quorvane"), QStringLiteral("PqCalculator")).clear();
    }

    // A double(x) function applied in the standard view from the start.
    void withDoubling() {
        std::string error;
        ASSERT_TRUE(WriteFunctionFile(options.functionsFile.toStdString(),
                                      EncodeFunctionFile({{u"double(x)", u"x*2", u"Double", 1}}),
                                      error));
        QSettings settings(QStringLiteral("Quorvane"), QStringLiteral("PqCalculator"));
        settings.setValue(QStringLiteral("Settings/CurrentMacro"), 0);
        settings.setValue(QStringLiteral("Settings/CurrentView"), 0);
    }

    void open() {
        frame = std::make_unique<CMainFrame>(engine, options);
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
        frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    }
    void command(unsigned id) {
        QCoreApplication::postEvent(frame.get(), new pq::ui::CommandEvent(id));
        deliverPosted();
    }
    ExpressionEdit* edit() const { return frame->scientific()->edit(); }
    // Types a formula into an empty expression line and evaluates it.
    void evaluate(const QString& formula) {
        command(kCmdClear);
        QTest::keyClicks(edit(), formula);
        QTest::keyClick(edit(), Qt::Key_Return);
        deliverPosted();
    }
    QString copied() {
        QTest::keyClick(frame.get(), Qt::Key_C, Qt::ControlModifier);
        deliverPosted();
        return QGuiApplication::clipboard()->text();
    }
    QString shown() const { return frame->mainDisplay().shownText(); }

    QTemporaryDir folder;
    FrameOptions options;
    pq::ExpressionEngine engine;
    std::unique_ptr<CMainFrame> frame;
};

} // namespace

TEST_F(CalculatorNumbers, CopyTakesFifteenDigitsWithoutBinaryNoise) {
    open();
    command(kCmdScientificView);
    // Copy gives what a double carries safely: fifteen significant digits,
    // trailing zeros dropped, no grouping; more than the display shows, and
    // none of the binary noise of the last bits.
    struct Case {
        const char* formula;
        const char* shown;
        const char* copied;
    };
    for (const Case& c : {Case{"0.1+0.2", "0.3", "0.3"},
                          Case{"3-2.9", "0.1", "0.1"},
                          Case{"1/0.3048", "3.280839895", "3.28083989501312"},
                          Case{"2/0.3048", "6.56167979", "6.56167979002625"},
                          Case{"-2/3", "-0.6666666667", "-0.666666666666667"},
                          Case{"99999999999", "100e9", "99999999999"},
                          Case{"123456789012*2", "246.913578e9", "246913578024"},
                          Case{"1e-20/3", "3.333333333e-21", "3.33333333333333e-21"},
                          Case{"1e+20", "100e18", "1e20"},
                          Case{"1.5e300*2", "3e300", "3e300"},
                          Case{"1234.5", "1,234.5", "1234.5"}}) {
        evaluate(QString::fromUtf8(c.formula));
        EXPECT_EQ(shown(), QString::fromUtf8(c.shown)) << c.formula;
        const QString text = copied();
        EXPECT_EQ(text, QString::fromUtf8(c.copied)) << c.formula;
        // Pasted back, the copy is the number it says, shown as before.
        command(kCmdClear);
        QTest::keyClick(edit(), Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(edit(), Qt::Key_Return);
        deliverPosted();
        EXPECT_EQ(frame->mainDisplay().value(), std::stod(c.copied)) << c.formula;
        EXPECT_EQ(shown(), QString::fromUtf8(c.shown)) << c.formula;
    }

    // The standard view copies its full value, not the rounded display.
    command(kCmdStandardView);
    for (const Case& c : {Case{"0.1+0.2=", "0.3", "0.3"}, Case{"1/3*3=", "1", "1"},
                          Case{"2/3=", "0.6666666667", "0.666666666666667"},
                          Case{"2s*2s=", "2", "2"}}) {
        QTest::keyClick(frame.get(), Qt::Key_Escape); // C
        QTest::keyClicks(frame.get(), QString::fromUtf8(c.formula).replace(u's', u'@'));
        deliverPosted();
        EXPECT_EQ(shown(), QString::fromUtf8(c.shown)) << c.formula;
        EXPECT_EQ(copied(), QString::fromUtf8(c.copied)) << c.formula;
    }
}

TEST_F(CalculatorNumbers, BasesShowWholeNumbersOutside32BitsInDecimal) {
    open();
    command(kCmdScientificView);
    command(kCmdBase); // Hex
    ASSERT_EQ(frame->mainDisplay().base(), Base::Hex);
    struct Case {
        const char* formula;
        const char* shown;
    };
    for (const Case& c : {Case{"4294967296", "4,294,967,296"}, Case{"1e10", "10e9"},
                          Case{"2147483648", "2,147,483,648"}, Case{"2147483647", "7FFF FFFFh"},
                          Case{"0-1", "0 FFFF FFFFh"}, Case{"0x1F", "1Fh"}, Case{"0X1f+1", "20h"},
                          Case{"0x7fffffff", "7FFF FFFFh"}}) {
        evaluate(QString::fromUtf8(c.formula));
        EXPECT_EQ(shown(), QString::fromUtf8(c.shown)) << c.formula;
    }
    // The value, not the shown text, goes on to the next base.
    evaluate(QStringLiteral("12345678901"));
    command(kCmdBase); // Oct
    command(kCmdBase); // Bin
    command(kCmdBase); // Dec
    EXPECT_EQ(copied(), QStringLiteral("12345678901"));
}

TEST_F(CalculatorNumbers, TheFunctionResultGivesItsValueNotItsText) {
    withDoubling();
    open();
    ASSERT_EQ(frame->viewMode(), ViewMode::Standard);
    ASSERT_EQ(frame->callName(), QStringLiteral("double"));
    QTest::keyClicks(frame.get(), QStringLiteral("123456789012"));
    deliverPosted();
    EXPECT_EQ(frame->functionResult().shownText(), QStringLiteral("246.91358e9"));
    // A tap on the function result, as the pen gives it.
    const QPoint result = frame->functionResult().button().rect().center();
    QTest::mouseClick(frame->client(), Qt::LeftButton, {}, result);
    deliverPosted();
    EXPECT_EQ(shown(), QStringLiteral("246,913,578,024"));
    EXPECT_EQ(copied(), QStringLiteral("246913578024"));
}

TEST_F(CalculatorNumbers, PastedDisplayTextsAndDatesAreNumbers) {
    open();
    command(kCmdScientificView);
    const double christmas = pq::CalendarDate(12, 25, 2024, 10, 0, 0).day;
    const QString shownDate = QString::fromStdU16String(pq::displayDate(christmas, true));
    struct Case {
        QString text;
        double value;
    };
    for (const Case& c : {Case{QStringLiteral("1,295.4"), 1295.4},
                          Case{QStringLiteral("699.460043197 e-6"), 699.460043197e-6},
                          Case{QStringLiteral("0x1F"), 31}, Case{shownDate, christmas}}) {
        QGuiApplication::clipboard()->setText(c.text);
        command(kCmdClear);
        QTest::keyClick(edit(), Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(edit(), Qt::Key_Return);
        deliverPosted();
        EXPECT_EQ(frame->mainDisplay().value(), c.value) << c.text.toStdString();
    }
}

TEST_F(CalculatorNumbers, TheFunctionsKeyEndsTheInverseMode) {
    open();
    command(kCmdScientificView);
    KeyPad* keys = frame->scientific()->functionKeypad();
    auto tap = [&](int cell) {
        QTest::mouseClick(keys, Qt::LeftButton, {}, keys->grid().cellRect(cell).center());
        deliverPosted();
    };
    for (int mode : {kKeyInv, kKeyHyp}) {
        tap(mode);
        ASSERT_NE(frame->scientific()->mode(), KeyMode::Normal);
        tap(kKeyMyFunctions);
        if (QMenu* menu = frame->functionMenu()) menu->close();
        deliverPosted();
        EXPECT_EQ(frame->scientific()->mode(), KeyMode::Normal);
        EXPECT_EQ(keys->label(kKeySin), QStringLiteral("sin"));
    }
}

TEST_F(CalculatorNumbers, DigitsAndNotationChosenInTheMenuAreKept) {
    open();
    auto choose = [&](QMenu* menu, const QString& text) {
        ASSERT_NE(menu, nullptr);
        for (QAction* action : menu->actions()) {
            if (action->text().remove(u'&') == text) {
                action->trigger();
                deliverPosted();
                return;
            }
        }
        FAIL() << "no item " << text.toStdString();
    };
    // The standard view: ten digits unless chosen.
    QTest::keyClicks(frame.get(), QStringLiteral("2/3="));
    deliverPosted();
    EXPECT_EQ(shown(), QStringLiteral("0.6666666667"));
    choose(frame->digitsMenu(), QStringLiteral("6 digits"));
    EXPECT_EQ(shown(), QStringLiteral("0.666667")) << "the value is shown anew";
    EXPECT_EQ(copied(), QStringLiteral("0.666666666666667")) << "Copy keeps fifteen";

    command(kCmdScientificView);
    evaluate(QStringLiteral("-12345678.9"));
    EXPECT_EQ(shown(), QStringLiteral("-12.3457e6"));
    choose(frame->notationMenu(), QStringLiteral("Scientific"));
    EXPECT_EQ(shown(), QStringLiteral("-1.23457e7"));
    choose(frame->notationMenu(), QStringLiteral("Engineering"));
    EXPECT_EQ(shown(), QStringLiteral("-12.3457e6"));
    evaluate(QStringLiteral("0.000123456"));
    EXPECT_EQ(shown(), QStringLiteral("123.456e-6"));
    QMenu* decimals = frame->notationMenu()->findChild<QMenu*>(QStringLiteral("decimalsMenu"));
    choose(decimals, QStringLiteral("3 decimals"));
    EXPECT_EQ(shown(), QStringLiteral("0.000")) << "a number of decimals is fixed notation";
    evaluate(QStringLiteral("-1234567.891"));
    EXPECT_EQ(shown(), QStringLiteral("-1,234,567.891"));
    EXPECT_EQ(copied(), QStringLiteral("-1234567.891"));

    // Kept between runs.
    frame.reset();
    open();
    const auto checked = [](QMenu* menu) {
        for (QAction* action : menu->actions())
            if (action->isChecked()) return action->text().remove(u'&');
        return QString();
    };
    EXPECT_EQ(checked(frame->digitsMenu()), QStringLiteral("6 digits"));
    EXPECT_EQ(checked(frame->notationMenu()), QStringLiteral("Fixed decimals"));
    EXPECT_EQ(frame->mainDisplay().style().decimals, 3);
    EXPECT_EQ(frame->functionResult().style().digits, 6);
    evaluate(QStringLiteral("2/3"));
    EXPECT_EQ(shown(), QStringLiteral("0.667"));
    command(kCmdStandardView);
    QTest::keyClicks(frame.get(), QStringLiteral("1/8="));
    deliverPosted();
    EXPECT_EQ(shown(), QStringLiteral("0.125"));
    QTest::keyClicks(frame.get(), QStringLiteral("1/16="));
    deliverPosted();
    EXPECT_EQ(shown(), QStringLiteral("0.063")) << "fixed decimals in the standard view too";
}
