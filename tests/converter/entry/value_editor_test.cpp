#include <gtest/gtest.h>

#include <QTest>

#include "converter/entry/compound_editor.h"
#include "converter/entry/value_editor.h"
#include "engine/calendar_date.h"
#include "engine/expression_engine.h"
#include "engine/number_format.h"
#include "tests/converter/entry/entry_test_support.h"
#include "uikit/date_time_edit.h"
#include "uikit/line_edit.h"

namespace pq::test {
namespace {

using conv::ValueEditor;

TEST(ValueEditorText, BasesGetTheirSuffix) {
    EXPECT_EQ(ValueEditor::EngineText("ff", Hex), u"0ffh");
    EXPECT_EQ(ValueEditor::EngineText("1A", Hex), u"1ah");
    EXPECT_EQ(ValueEditor::EngineText("FF+1", Hex), u"0ff+1h");
    EXPECT_EQ(ValueEditor::EngineText("17", Octal), u"17o");
    EXPECT_EQ(ValueEditor::EngineText("101", Binary), u"101b");
    EXPECT_EQ(ValueEditor::EngineText("Sqrt(4)", Decimal), u"sqrt(4)");
    EXPECT_EQ(ValueEditor::EngineText("2", Currency), u"2");
}

class ValueEditorTest : public ::testing::Test {
  protected:
    ValueEditorTest() : editor(engine, &host) { editor.resize(190, 18); }

    ExpressionEngine engine;
    HostWindow host;
    ValueEditor editor;
    NumberFormat format;
};

TEST_F(ValueEditorTest, ShowsAndReadsEachFormat) {
    format.setAllowedFormats(Decimal | Hex | Currency | Compound | DateTime);
    format.setParts({WString(u"ft"), WString(u"in")}, {1, 12, 0, 0});
    editor.attach(&format);

    editor.setFormat(Currency, 1234.5);
    EXPECT_EQ(format.entryFormat, Currency);
    EXPECT_EQ(editor.textBox()->text(), "1234.50");
    EXPECT_EQ(editor.textBox()->selectedText(), "1234.50");
    EXPECT_EQ(editor.read(), 1234.5);

    editor.setFormat(Hex, 2.5); // no whole number: an empty box, which fails
    EXPECT_EQ(editor.textBox()->text(), "");
    EXPECT_TRUE(editor.isEmpty());
    EXPECT_EQ(editor.read(), std::nullopt);
    EXPECT_TRUE(editor.isValid());

    editor.setFormat(Compound, 5.5);
    EXPECT_EQ(editor.activeControl(), editor.compoundEditor());
    EXPECT_EQ(editor.compoundEditor()->label(0), " ft ");
    EXPECT_EQ(editor.compoundEditor()->compoundText(), "[5 ft 6 in ]");
    EXPECT_EQ(editor.read(), 5.5);
    editor.showValue(std::nullopt, false);
    EXPECT_TRUE(editor.isEmpty());
    EXPECT_EQ(editor.read(), std::nullopt);

    editor.setFormat(DateTime, CalendarDate(2, 29, 2000, 23, 59, 58).day);
    EXPECT_EQ(editor.datePicker()->date(), QDate(2000, 2, 29));
    EXPECT_EQ(editor.read(), CalendarDate(2, 29, 2000, 23, 59, 58).day);
    editor.showValue(CalendarDate(1, 1, 10000).day, false);
    EXPECT_FALSE(editor.datePicker()->hasDate());
    EXPECT_EQ(editor.read(), std::nullopt);

    // The value shown is read back whole, its time of day too, until the
    // user changes the date.
    editor.setFormat(Date, CalendarDate(7, 4, 1776, 12, 0, 0).day);
    EXPECT_FALSE(editor.timePicker()->isVisibleTo(&host));
    EXPECT_EQ(editor.read(), CalendarDate(7, 4, 1776, 12, 0, 0).day);
    editor.datePicker()->selectAll();
    QTest::keyClicks(editor.datePicker(), "7/5/1776");
    EXPECT_EQ(editor.read(), CalendarDate(7, 5, 1776).day);
}

TEST_F(ValueEditorTest, NotifiesOnlyWhenAskedOrEdited) {
    editor.attach(&format);
    editor.showValue(3, false);
    deliverPosted();
    EXPECT_TRUE(host.commands.empty());
    editor.showValue(4, true);
    deliverPosted();
    EXPECT_EQ(host.commands, std::vector<unsigned>{conv::kCmdEditorChanged});
    QTest::keyClicks(editor.textBox(), "12");
    deliverPosted();
    EXPECT_EQ(host.commands.size(), 3u);
    editor.clear();
    deliverPosted();
    EXPECT_EQ(host.commands.size(), 3u);
    EXPECT_TRUE(editor.isEmpty());
}

TEST_F(ValueEditorTest, AttachingTakesTheEntryFormat) {
    // A format word no tab stands for reads as a decimal text.
    format.setAllowedFormats(64);
    format.entryFormat = 64;
    editor.setFormat(Hex, 255);
    editor.attach(&format);
    EXPECT_EQ(editor.format(), 64);
    EXPECT_EQ(editor.activeControl(), editor.textBox());
    editor.textBox()->setText("10");
    EXPECT_EQ(editor.read(), 10);
}

TEST_F(ValueEditorTest, ADetachedEditorReadsNothing) {
    editor.attach(nullptr);
    QTest::keyClicks(editor.textBox(), "5");
    EXPECT_EQ(editor.read(), std::nullopt);
}

} // namespace
} // namespace pq::test
