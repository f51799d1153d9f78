#include <gtest/gtest.h>

#include <QTest>

#include "converter/commands.h"
#include "converter/entry/compound_editor.h"
#include "converter/entry/format_tab.h"
#include "converter/entry/value_editor.h"
#include "converter/entry/value_entry_panel.h"
#include "converter/list/unit_list_view.h"
#include "converter/list/unit_row.h"
#include "document/document.h"
#include "tests/converter/converter_fixture.h"
#include "tests/uikit/test_support.h"
#include "uikit/clipboard.h"
#include "uikit/line_edit.h"

namespace pq::test {
namespace {

int rowOf(conv::UnitListView& list, std::u16string_view identifier) {
    for (int i = 0; i < list.rowCount(); ++i)
        if (list.row(i).item().identifier.view() == identifier) return i;
    return -1;
}

// Typing into the panel of the real window recomputes the rows.
TEST(FrameEntry, TypedValuesRecomputeTheRows) {
    ConverterWorld world;
    auto frame = world.openShowing(QStringLiteral("Length.cnv"));
    ASSERT_TRUE(frame);
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    conv::UnitListView& list = *frame->list();
    conv::ValueEntryPanel& panel = *frame->panel();
    QLineEdit* box = panel.editor()->textBox();
    const int feet = rowOf(list, u"ft");
    const int inches = rowOf(list, u"in");
    const int metres = rowOf(list, u"m");
    const int feetInches = rowOf(list, u"ft_in");
    ASSERT_TRUE(feet >= 0 && inches == feet + 1 && metres >= 0 && feetInches >= 0);

    // 5 for feet, then Down: the next row is selected and Ctrl+C copies it.
    list.select(feet);
    ASSERT_TRUE(panel.isShown());
    box->setFocus();
    QTest::keyClicks(box, "5");
    ASSERT_TRUE(waitFor([&] { return list.row(inches).valueLabel().text() == "60"; }));
    QTest::keyClick(box, Qt::Key_Down);
    EXPECT_EQ(list.selected(), inches);
    QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
    deliverPosted();
    EXPECT_EQ(ui::ClipboardText(), "60");

    // 1+1 for metres.
    list.select(metres);
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, "1+1");
    ASSERT_TRUE(waitFor([&] { return list.row(feet).valueLabel().text() == "6.56167979003"; }));

    // 1+ turns red and changes nothing.
    box->selectAll();
    QTest::keyClicks(box, "1+");
    ASSERT_TRUE(waitFor([&] { return !panel.editor()->isValid(); }));
    EXPECT_EQ(box->palette().color(QPalette::Text), QColor(192, 0, 0));
    EXPECT_EQ(list.row(feet).valueLabel().text(), "6.56167979003");
    EXPECT_EQ(list.row(metres).item().value, 2);

    // Enter stores at once.
    box->selectAll();
    QTest::keyClicks(box, "3*1");
    deliverPosted();
    QTest::keyClick(box, Qt::Key_Return);
    deliverPosted();
    EXPECT_EQ(box->text(), "3");
    EXPECT_EQ(list.row(metres).item().value, 3);

    // Five feet six inches on the compound row.
    list.select(feetInches);
    conv::CompoundEditor* compound = panel.editor()->compoundEditor();
    if (panel.editor()->format() != Compound)
        for (int k = 0; k < panel.tabCount(); ++k)
            if (panel.tab(k).format() == Compound) panel.selectTab(k);
    ASSERT_TRUE(compound->isVisible());
    QTest::keyClick(compound, Qt::Key_5);
    QTest::keyClick(compound, Qt::Key_Right);
    QTest::keyClick(compound, Qt::Key_6);
    ASSERT_TRUE(waitFor([&] { return list.row(inches).valueLabel().text() == "66"; }));
    EXPECT_EQ(list.row(feet).valueLabel().text(), "5.5");
}

} // namespace
} // namespace pq::test
