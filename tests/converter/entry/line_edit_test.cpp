#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QTest>

#include <memory>

#include "uikit/date_time_edit.h"
#include "uikit/line_edit.h"

namespace pq::test {
namespace {

std::vector<std::pair<QString, bool>> entries(QMenu& menu) {
    std::vector<std::pair<QString, bool>> result;
    for (QAction* action : menu.actions())
        result.emplace_back(action->isSeparator() ? QStringLiteral("-") : action->text(),
                            action->isEnabled());
    return result;
}

TEST(LineEditMenu, GreysWhatCannotBeDone) {
    ui::LineEdit box;
    box.setText("12.5");
    QApplication::clipboard()->clear();
    box.deselect();
    std::unique_ptr<QMenu> menu(box.createEditMenu(nullptr));
    using Entries = std::vector<std::pair<QString, bool>>;
    EXPECT_EQ(
        entries(*menu),
        (Entries{
            {"Cut", false}, {"Copy", false}, {"Paste", false}, {"-", true}, {"Select All", true}}));

    box.setSelection(0, 2);
    QApplication::clipboard()->setText("3");
    menu.reset(box.createEditMenu(nullptr));
    EXPECT_EQ(
        entries(*menu),
        (Entries{
            {"Cut", true}, {"Copy", true}, {"Paste", true}, {"-", true}, {"Select All", true}}));

    // The entries act on the box.
    menu->actions()[0]->trigger(); // Cut
    EXPECT_EQ(box.text(), ".5");
    EXPECT_EQ(QApplication::clipboard()->text(), "12");
    menu->actions()[4]->trigger(); // Select All
    EXPECT_EQ(box.selectedText(), ".5");
    menu->actions()[2]->trigger(); // Paste
    EXPECT_EQ(box.text(), "12");
}

TEST(LineEditMenu, RightClickOpensIt) {
    ui::LineEdit box;
    box.resize(100, 20);
    box.show();
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), box.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&box, &event);
    auto* menu = box.findChild<QMenu*>();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->isVisible());
    menu->close();
}

TEST(LineEditMenu, APressHeldStillOpensIt) {
    ui::LineEdit box;
    box.resize(100, 20);
    box.show();
    QTest::mousePress(&box, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_TRUE(QTest::qWaitFor([&] { return box.findChild<QMenu*>() != nullptr; }, 3000));
    QTest::mouseRelease(&box, Qt::LeftButton, {}, QPoint(5, 5));
    box.findChild<QMenu*>()->close();
}

TEST(LineEditShortcuts, CtrlKeysGoToTheWindowsShortcutsFirst) {
    ui::LineEdit box;
    auto overrideClaimed = [&](Qt::Key key, Qt::KeyboardModifiers modifiers) {
        QKeyEvent event(QEvent::ShortcutOverride, key, modifiers, QKeySequence(key).toString());
        event.ignore();
        QApplication::sendEvent(&box, &event);
        return event.isAccepted();
    };
    box.setText("12");
    box.selectAll();
    EXPECT_TRUE(overrideClaimed(Qt::Key_C, Qt::ControlModifier)); // a plain box copies
    box.setShortcutsFirst(true);
    EXPECT_FALSE(overrideClaimed(Qt::Key_C, Qt::ControlModifier));
    EXPECT_FALSE(overrideClaimed(Qt::Key_V, Qt::ControlModifier));

    // A key that no shortcut takes still works in the box.
    QApplication::clipboard()->setText("7");
    QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box.text(), "7");
}

TEST(DateEditRange, HoldsNoDateOutsideItsRange) {
    ui::DateEdit date;
    EXPECT_FALSE(date.hasDate());
    EXPECT_FALSE(date.dateOrNone().isValid());
    date.setDateOrNone(QDate(1753, 1, 1));
    EXPECT_TRUE(date.hasDate());
    date.setDateOrNone(QDate(1752, 12, 31));
    EXPECT_FALSE(date.hasDate());
    date.setDateOrNone(QDate(9999, 12, 31));
    EXPECT_EQ(date.dateOrNone(), QDate(9999, 12, 31));
    date.setDateOrNone(QDate());
    EXPECT_FALSE(date.hasDate());
    EXPECT_TRUE(ui::DateEdit::ShortDateFormat().contains("yyyy"));
    EXPECT_FALSE(ui::DateEdit::ShortDateFormat().contains("yyyyy"));

    EXPECT_FALSE(ui::DateEdit::ShortDateFormat().contains("MMM"));
    EXPECT_TRUE(ui::TimeEdit::TimeFormat().contains("ss"));
    EXPECT_FALSE(ui::TimeEdit::TimeFormat().contains('t'));

    ui::TimeEdit time;
    time.setNoTime();
    EXPECT_FALSE(time.hasTime());
    time.setTimeOrNone(QTime(0, 0, 0));
    EXPECT_TRUE(time.hasTime());
    EXPECT_EQ(time.time(), QTime(0, 0, 0));
}

} // namespace
} // namespace pq::test
