#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>

#include "converter/entry/compound_editor.h"
#include "converter/entry/format_tab.h"
#include "converter/entry/value_editor.h"
#include "document/document.h"
#include "engine/calendar_date.h"
#include "tests/converter/entry/entry_test_support.h"
#include "uikit/date_time_edit.h"
#include "uikit/line_edit.h"

namespace pq::test {
namespace {

using conv::ValueEntryPanel;

class EntryPanel : public ::testing::Test, public PanelFixture {
  protected:
    QLineEdit* box() { return panel.editor()->textBox(); }
    void type(const QString& text) { QTest::keyClicks(box(), text); }
    void retype(const QString& text) {
        box()->selectAll();
        QTest::keyClick(box(), Qt::Key_Backspace);
        type(text);
    }
};

TEST_F(EntryPanel, TabsFollowTheAllowedFormatsInTheirOrder) {
    UnitItem money;
    setUp(money, Decimal | Currency, Currency);
    panel.attach(&money);
    ASSERT_EQ(panel.tabCount(), 1);
    EXPECT_EQ(panel.tab(0).label(), "number");
    EXPECT_EQ(panel.tab(0).format(), Decimal);
    EXPECT_EQ(panel.currentTab(), 0);

    UnitItem onlyCurrency;
    setUp(onlyCurrency, Currency, Currency);
    panel.attach(&onlyCurrency);
    ASSERT_EQ(panel.tabCount(), 1);
    EXPECT_EQ(panel.tab(0).format(), Currency);

    UnitItem day;
    setUp(day, Date | DateTime, Date);
    panel.attach(&day);
    ASSERT_EQ(panel.tabCount(), 1);
    EXPECT_EQ(panel.tab(0).label(), "date and time");
    EXPECT_EQ(day.format.entryFormat, DateTime);

    UnitItem all;
    setUp(all, Compound | Binary | Date | Octal | Hex | Decimal, Octal);
    all.format.setParts({WString(u"ft"), WString(u"in")}, {1, 12, 0, 0});
    panel.attach(&all);
    ASSERT_EQ(panel.tabCount(), 6);
    const char* labels[] = {"number", "hexadecimal", "octal", "binary", "date", "compound"};
    for (int k = 0; k < 6; ++k) EXPECT_EQ(panel.tab(k).label(), labels[k]) << k;
    EXPECT_EQ(panel.currentTab(), 2);
    EXPECT_TRUE(panel.tab(2).isSelected());
    EXPECT_FALSE(panel.tab(0).isSelected());

    // Tabs overlap their neighbours by one scaled pixel; each is its label
    // plus 8 pixels wide and 20 high; commands 103 upwards.
    EXPECT_EQ(panel.tab(0).rect().left(), -1);
    for (int k = 0; k < 6; ++k) {
        const QRect r = panel.tab(k).rect();
        EXPECT_EQ(r.height(), 20);
        EXPECT_EQ(r.width(), QFontMetrics(panel.tab(k).font()).horizontalAdvance(labels[k]) + 8);
        EXPECT_EQ(panel.tab(k).commandId(), conv::kCmdTabFirst + unsigned(k));
        if (k > 0) {
            EXPECT_EQ(r.left(), panel.tab(k - 1).rect().right());
        }
    }
}

TEST_F(EntryPanel, PanelShowsOnlyForInputs) {
    EXPECT_FALSE(panel.isVisible());
    CalcItem output;
    output.role = Output;
    panel.attach(&output);
    EXPECT_FALSE(panel.isVisible());
    EXPECT_FALSE(panel.isEnabled());
    EXPECT_EQ(panel.tabCount(), 0);

    CalcItem input;
    panel.attach(&input);
    EXPECT_TRUE(panel.isVisible());
    EXPECT_TRUE(panel.isShown());
    EXPECT_EQ(panel.item(), &input);

    panel.attach(nullptr);
    EXPECT_FALSE(panel.isShown());
    // A detached panel stores nothing, even when forced.
    EXPECT_FALSE(panel.accept(true));
    EXPECT_EQ(ValueEntryPanel::panelHeight(), 42);
}

TEST_F(EntryPanel, APauseOfFourBeatsStoresOnce) {
    UnitItem item;
    panel.attach(&item);
    beat(8); // the empty box of the attach stores nothing
    EXPECT_EQ(host.calculations(), 0);
    EXPECT_EQ(item.state, ValueState::Empty);

    type("12");
    beat(3);
    EXPECT_EQ(item.state, ValueState::Empty);
    type("3"); // a further digit starts the count again
    beat(3);
    EXPECT_EQ(item.state, ValueState::Empty);
    beat(1);
    EXPECT_EQ(item.state, ValueState::Valid);
    EXPECT_EQ(item.value, 123);
    EXPECT_EQ(host.calculations(), 1);
    beat(12);
    EXPECT_EQ(host.calculations(), 1);
}

TEST_F(EntryPanel, TheRealTimerAcceptsAfterTypingStops) {
    UnitItem item;
    panel.attach(&item);
    panel.setTicking(true);
    type("1+1");
    ASSERT_TRUE(waitFor([&] { return host.calculations() == 1; }, 2000));
    EXPECT_EQ(item.value, 2);
    QTest::qWait(600);
    EXPECT_EQ(host.calculations(), 1);
}

TEST_F(EntryPanel, EnterAcceptsAtOnceAndShowsTheResult) {
    UnitItem item;
    panel.attach(&item);
    type("2*(3+4)");
    deliverPosted();
    QTest::keyClick(box(), Qt::Key_Return);
    deliverPosted();
    EXPECT_EQ(item.value, 14);
    EXPECT_EQ(host.calculations(), 1);
    EXPECT_EQ(box()->text(), "14");
    EXPECT_EQ(panel.pendingEdits(), 0);
    beat(8); // nothing left for the timer
    EXPECT_EQ(host.calculations(), 1);

    // The accept button does the same.
    retype("10/4");
    ui::PostCommand(&panel, conv::kCmdAccept);
    deliverPosted();
    EXPECT_EQ(item.value, 2.5);
    EXPECT_EQ(box()->text(), "2.5");
    EXPECT_EQ(host.calculations(), 2);
}

TEST_F(EntryPanel, TextThatDoesNotReadKeepsTheStoredValue) {
    UnitItem item;
    setUp(item, Decimal | Compound, Decimal);
    item.format.setParts({WString(u"ft"), WString(u"in")}, {1, 12, 0, 0});
    item.value = 7;
    item.state = ValueState::Valid;
    panel.attach(&item);
    beat(4);
    ASSERT_EQ(host.calculations(), 1); // the shown value is accepted again

    for (const QString text : {"(1+2", "1+", "1e309", "[", "[5", "2*)", "12abc"}) {
        retype(text);
        beat(4);
        EXPECT_EQ(item.value, 7) << text.toStdString();
        EXPECT_EQ(item.state, ValueState::Valid);
        EXPECT_FALSE(panel.editor()->isValid()) << text.toStdString();
        EXPECT_EQ(box()->palette().color(QPalette::Text), QColor(192, 0, 0));
        EXPECT_EQ(panel.acceptIcon(), ValueEntryPanel::kErrorIcon);
        EXPECT_FALSE(box()->toolTip().isEmpty()) << "the reason, for " << text.toStdString();
    }
    EXPECT_EQ(host.calculations(), 1);
    const std::pair<QString, QString> reasons[] = {
        {"(1+2", "Missing \")\""},
        {"2/(1-1)", "Division by zero"},
        {"sqrt(-4)", "\"sqrt\" is not defined for this value"},
        {"wide*2", "Unknown name \"wide\""},
        {"12abc", "\"12abc\" is not a number"}, // the text left in the box below
    };
    for (const auto& [text, reason] : reasons) {
        retype(text);
        beat(4);
        EXPECT_EQ(box()->toolTip(), reason);
    }

    // Enter on a bad text changes nothing either, and keeps the text.
    QTest::keyClick(box(), Qt::Key_Return);
    deliverPosted();
    EXPECT_EQ(box()->text(), "12abc");
    EXPECT_EQ(host.calculations(), 1);

    // An emptied box stores nothing and shows the ready icon.
    retype("");
    QTest::keyClick(box(), Qt::Key_Backspace);
    beat(4);
    EXPECT_EQ(panel.acceptIcon(), ValueEntryPanel::kReadyIcon);
    EXPECT_EQ(item.value, 7);
    EXPECT_EQ(host.calculations(), 1);

    // A text that reads turns black again.
    type("[5 6]*2");
    beat(4);
    EXPECT_EQ(item.value, 11);
    EXPECT_TRUE(panel.editor()->isValid());
    EXPECT_EQ(box()->palette().color(QPalette::Text), QColor(Qt::black));
    EXPECT_EQ(box()->toolTip(), QString());
    EXPECT_EQ(host.calculations(), 2);
}

TEST_F(EntryPanel, HugeTextsAreCutAndDoNotHang) {
    UnitItem item;
    item.value = 3;
    item.state = ValueState::Valid;
    panel.attach(&item);
    beat(4);
    const int before = host.calculations();

    // 10,000 characters of "1+1+...": cut to 4,096, which ends in "+".
    QString formula;
    while (formula.size() < 10000) formula += "1+";
    QApplication::clipboard()->setText(formula);
    box()->selectAll();
    panel.paste();
    EXPECT_EQ(box()->text().size(), conv::ValueEditor::kMaxTextLength);
    beat(4);
    EXPECT_EQ(item.value, 3);
    EXPECT_EQ(panel.acceptIcon(), ValueEntryPanel::kErrorIcon);

    // Deeply nested brackets that never close.
    QApplication::clipboard()->setText(QString(5000, '('));
    box()->selectAll();
    panel.paste();
    beat(4);
    EXPECT_EQ(item.value, 3);

    // A user function that calls itself without end.
    int parameters = 0;
    ASSERT_TRUE(engine.setFunction(u"loop(x)", u"loop(x+1)+1", parameters));
    retype("loop(1)");
    beat(4);
    EXPECT_EQ(item.value, 3);
    EXPECT_FALSE(panel.editor()->isValid());

    // A cut formula that reads is stored.
    QApplication::clipboard()->setText(formula.left(4095));
    box()->selectAll();
    panel.paste();
    beat(4);
    EXPECT_EQ(item.value, 2048);
    EXPECT_EQ(host.calculations(), before + 1);
}

TEST_F(EntryPanel, BaseTabsAddTheirSuffixes) {
    UnitItem item;
    setUp(item, Hex | Octal | Binary, Hex);
    panel.attach(&item);
    type("ff");
    beat(4);
    EXPECT_EQ(item.value, 255);
    retype("1A");
    beat(4);
    EXPECT_EQ(item.value, 26);

    panel.selectTab(1); // octal: the value is shown again and stored again
    EXPECT_EQ(box()->text(), "0032");
    beat(4);
    EXPECT_EQ(host.calculations(), 3);
    retype("17");
    beat(4);
    EXPECT_EQ(item.value, 15);
    panel.selectTab(2);
    retype("101");
    beat(4);
    EXPECT_EQ(item.value, 5);
}

TEST_F(EntryPanel, AnotherTabShowsTheSameValueAndStoresItAgain) {
    UnitItem item;
    setUp(item, Decimal | Hex, Decimal);
    item.value = 255;
    item.state = ValueState::Valid;
    panel.attach(&item);
    EXPECT_EQ(box()->text(), "255");
    beat(4);
    EXPECT_EQ(host.calculations(), 1);

    ui::PostCommand(&panel, conv::kCmdTabFirst + 1); // a tap on "hexadecimal"
    deliverPosted();
    EXPECT_EQ(panel.currentTab(), 1);
    EXPECT_EQ(item.format.entryFormat, Hex);
    EXPECT_EQ(box()->text(), "00FF");
    beat(4);
    EXPECT_EQ(host.calculations(), 2);
    EXPECT_EQ(item.value, 255);

    // Selecting the current tab again does nothing.
    panel.selectTab(1);
    beat(4);
    EXPECT_EQ(host.calculations(), 2);

    // Without a stored value the tab reads the item's value text.
    UnitItem fresh;
    setUp(fresh, Decimal | Hex, Decimal);
    fresh.valueText = WString(u"16");
    panel.attach(&fresh);
    EXPECT_EQ(box()->text(), "");
    panel.selectTab(1);
    EXPECT_EQ(box()->text(), "0010");
}

TEST_F(EntryPanel, TheDefaultButtonShowsTheValueText) {
    UnitItem item;
    item.valueText = WString(u"2+3");
    panel.attach(&item);
    beat(4);
    EXPECT_EQ(host.calculations(), 0);
    ui::PostCommand(&panel, conv::kCmdDefault);
    beat(4);
    EXPECT_EQ(box()->text(), "5");
    EXPECT_EQ(item.value, 5);
    EXPECT_EQ(host.calculations(), 1);

    // A value text that does not read leaves the box alone.
    item.valueText = WString(u"2+");
    ui::PostCommand(&panel, conv::kCmdDefault);
    beat(4);
    EXPECT_EQ(box()->text(), "5");
    EXPECT_EQ(host.calculations(), 1);
}

TEST_F(EntryPanel, CompoundValuesAreTypedFieldByField) {
    UnitItem item;
    setUp(item, Compound, Compound);
    item.format.setParts({WString(u"ft"), WString(u"in")}, {1, 12, 0, 0});
    panel.attach(&item);
    conv::CompoundEditor* editor = panel.editor()->compoundEditor();
    ASSERT_TRUE(editor->isVisibleTo(&host));
    EXPECT_FALSE(box()->isVisibleTo(&host));
    beat(8);
    EXPECT_EQ(host.calculations(), 0); // nothing typed yet, nothing stored

    QTest::keyClick(editor, Qt::Key_5);
    QTest::keyClick(editor, Qt::Key_Right);
    QTest::keyClick(editor, Qt::Key_6);
    EXPECT_EQ(editor->compoundText(), "[5 ft 6 in ]");
    beat(4);
    EXPECT_EQ(item.value, 5.5);
    EXPECT_EQ(host.calculations(), 1);

    // Right at the last field and Left at the first stay in the editor.
    QTest::keyClick(editor, Qt::Key_Right);
    QTest::keyClick(editor, Qt::Key_Left);
    QTest::keyClick(editor, Qt::Key_Left);
    EXPECT_TRUE(host.keys.empty());
    EXPECT_EQ(editor->currentField(), 0);

    // Up and Down move the list, not the fields.
    QTest::keyClick(editor, Qt::Key_Down);
    EXPECT_EQ(host.keys, std::vector<int>{Qt::Key_Down});
    EXPECT_EQ(editor->currentField(), 0);

    // Re-attaching shows the stored value split into the fields.
    panel.attach(&item);
    EXPECT_EQ(editor->fieldText(0), "5");
    EXPECT_EQ(editor->fieldText(1), "6");
}

TEST_F(EntryPanel, DateAndTimeGoThroughThePickers) {
    UnitItem item;
    setUp(item, DateTime, DateTime);
    const double christmas = CalendarDate(12, 25, 2004, 10, 30, 15).day;
    item.value = christmas;
    item.state = ValueState::Valid;
    panel.attach(&item);
    auto* date = panel.editor()->datePicker();
    auto* time = panel.editor()->timePicker();
    ASSERT_TRUE(date->isVisibleTo(&host));
    ASSERT_TRUE(time->isVisibleTo(&host));
    EXPECT_EQ(date->nextInFocusChain(), time) << "Tab goes from the date to the time";
    EXPECT_EQ(date->date(), QDate(2004, 12, 25));
    EXPECT_EQ(time->time(), QTime(10, 30, 15));
    EXPECT_TRUE(date->text().contains("2004")); // four-digit years
    beat(4);
    EXPECT_EQ(host.calculations(), 1);
    EXPECT_DOUBLE_EQ(item.value, christmas);

    // A date typed into the box is stored after the pause.
    date->selectAll();
    QTest::keyClicks(date, "1/1/2005");
    beat(4);
    EXPECT_DOUBLE_EQ(item.value, CalendarDate(1, 1, 2005, 10, 30, 15).day);
    EXPECT_EQ(host.calculations(), 2);

    // A value before 1753 shows as no date, which stores nothing.
    UnitItem old;
    setUp(old, DateTime, DateTime);
    old.value = CalendarDate(1, 1, 1500).day;
    old.state = ValueState::Valid;
    panel.attach(&old);
    EXPECT_FALSE(date->hasDate());
    EXPECT_FALSE(time->hasTime());
    beat(4);
    EXPECT_FALSE(panel.accept(true));
    EXPECT_EQ(old.value, CalendarDate(1, 1, 1500).day);
    EXPECT_EQ(host.calculations(), 2);
}

TEST_F(EntryPanel, ListKeysAndWheelReachTheMainWindow) {
    UnitItem item;
    panel.attach(&item);
    type("12");
    for (int key : {Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp, Qt::Key_PageDown})
        QTest::keyClick(box(), Qt::Key(key));
    box()->setCursorPosition(0);
    QTest::keyClick(box(), Qt::Key_Left);
    box()->setCursorPosition(2);
    QTest::keyClick(box(), Qt::Key_Right);
    QTest::keyClick(box(), Qt::Key_Left);
    EXPECT_EQ(host.keys,
              (std::vector<int>{Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp, Qt::Key_PageDown}));
    EXPECT_EQ(box()->cursorPosition(), 1);

    UnitItem day;
    setUp(day, Date, Date);
    panel.attach(&day);
    host.keys.clear();
    QTest::keyClick(panel.editor()->datePicker(), Qt::Key_Down);
    EXPECT_EQ(host.keys, std::vector<int>{Qt::Key_Down});

    panel.attach(&item);
    QWheelEvent wheel(QPointF(5, 5), box()->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(box(), &wheel);
    EXPECT_EQ(host.wheelTurns, 1);
}

TEST_F(EntryPanel, TapsOnTabsAndButtons) {
    UnitItem item;
    setUp(item, Decimal | Binary, Decimal);
    panel.attach(&item);
    type("5");
    QTest::mouseClick(&panel, Qt::LeftButton, {}, panel.tab(1).rect().center());
    deliverPosted();
    EXPECT_EQ(panel.currentTab(), 1);
    // The typed text was not stored yet: the tab shows the stored value,
    // which is none.
    EXPECT_EQ(box()->text(), "");

    type("110");
    QTest::mouseClick(&panel, Qt::LeftButton, {}, panel.acceptButton().rect().center());
    deliverPosted();
    EXPECT_EQ(item.value, 6);
    EXPECT_EQ(box()->text(), "0110");
    EXPECT_EQ(host.calculations(), 1);

    // A press that leaves the button before the release does nothing.
    type("1");
    QTest::mousePress(&panel, Qt::LeftButton, {}, panel.acceptButton().rect().center());
    QTest::mouseMove(&panel, QPoint(120, 30));
    QTest::mouseRelease(&panel, Qt::LeftButton, {}, QPoint(120, 30));
    deliverPosted();
    EXPECT_EQ(host.calculations(), 1);

    // A value shown again after a failed read is black.
    retype("12");
    beat(4);
    EXPECT_FALSE(panel.editor()->isValid());
    QTest::mouseClick(&panel, Qt::LeftButton, {}, panel.tab(0).rect().center());
    deliverPosted();
    EXPECT_EQ(box()->text(), "6");
    EXPECT_TRUE(panel.editor()->isValid());
}

TEST(EntryPanelScale, TheDoubledLayout) {
    ScaleGuard scale(2);
    PanelFixture fixture;
    auto& panel = fixture.panel;
    panel.setGeometry(0, 0, 480, ValueEntryPanel::panelHeight());
    UnitItem item;
    PanelFixture::setUp(item, Decimal | Hex, Decimal);
    panel.attach(&item);
    EXPECT_EQ(ValueEntryPanel::panelHeight(), 84);
    EXPECT_EQ(panel.editor()->geometry(), QRect(44, 44, 480 - 96, 36));
    EXPECT_EQ(panel.tab(0).rect().left(), -2);
    EXPECT_EQ(panel.tab(0).rect().height(), 40);
    EXPECT_EQ(panel.tab(1).rect().left(), panel.tab(0).rect().right() - 1);
    EXPECT_TRUE(panel.acceptButton().layoutBox() == QRect(2, 42, 40, 40));
    EXPECT_TRUE(panel.defaultButton().layoutBox() == QRect(480 - 44, 42, 40, 40));
}

TEST_F(EntryPanel, ATypedFeetValueConvertsThroughTheLengthFile) {
    ConversionDocument document;
    ASSERT_TRUE(document.loadFrom(PQ_DATA_DIR "/Length.cnv", true));
    auto find = [&](std::u16string_view id) -> Item* {
        for (auto& item : document.items)
            if (item->identifier.view() == id) return item.get();
        return nullptr;
    };
    Item* feet = find(u"ft");
    Item* metres = find(u"m");
    Item* feetInches = find(u"ft_in");
    ASSERT_TRUE(feet && metres && feetInches);

    document.currentItem = metres;
    panel.attach(metres);
    type("1+1");
    beat(4);
    ASSERT_EQ(host.calculations(), 1);
    document.computeAll(engine);
    EXPECT_EQ(feet->displayValue(), u"6.56167979003");

    retype("1+");
    beat(4);
    EXPECT_EQ(metres->value, 2);
    EXPECT_EQ(host.calculations(), 1);

    document.currentItem = feetInches;
    panel.attach(feetInches);
    conv::CompoundEditor* editor = panel.editor()->compoundEditor();
    if (panel.editor()->format() != Compound) {
        for (int k = 0; k < panel.tabCount(); ++k)
            if (panel.tab(k).format() == Compound) panel.selectTab(k);
    }
    QTest::keyClick(editor, Qt::Key_5);
    QTest::keyClick(editor, Qt::Key_Right);
    QTest::keyClick(editor, Qt::Key_6);
    beat(4);
    document.computeAll(engine);
    EXPECT_DOUBLE_EQ(feet->value, 5.5);
    EXPECT_NEAR(metres->value, 1.6764, 1e-12);
}

} // namespace
} // namespace pq::test
