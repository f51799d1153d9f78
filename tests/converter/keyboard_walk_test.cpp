// The converter worked with the keyboard alone: real key events go where the
// platform sends them (an open menu or dialog first, else the focus).
#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

#include "converter/dialogs/show_hide_dialog.h"
#include "converter/entry/value_entry_panel.h"
#include "converter/list/unit_list_view.h"
#include "converter/list/unit_row.h"
#include "document/item.h"
#include "engine/number_format.h"
#include "tests/converter/converter_fixture.h"
#include "tests/uikit/test_support.h"
#include "uikit/message_box.h"

namespace pq::test {
namespace {

using namespace pq::conv;

QWidget* keyTarget() {
    if (QWidget* popup = QApplication::activePopupWidget()) return popup;
    if (QWidget* modal = QApplication::activeModalWidget();
        modal && !modal->isAncestorOf(QApplication::focusWidget()))
        return modal;
    return QApplication::focusWidget();
}

void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = keyTarget();
    ASSERT_NE(target, nullptr);
    QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
    deliverPosted();
}

// A menu of the menu bar by its mnemonic, then entries by theirs.
void menu(char bar, const char* entries) {
    press(Qt::Key_A + (bar - 'a'), Qt::AltModifier);
    ASSERT_NE(QApplication::activePopupWidget(), nullptr) << bar;
    for (const char* c = entries; *c; ++c) press(Qt::Key_A + (*c - 'a'));
}

// The Menu key as the platform delivers it: a context-menu request from the
// keyboard to the focus, at the place the focus says its caret is.
void menuKey() {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    const QPoint at = focus->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
    QContextMenuEvent request(QContextMenuEvent::Keyboard, at, focus->mapToGlobal(at));
    QApplication::sendEvent(focus, &request);
    deliverPosted();
}

// Runs `act` once a modal dialog is open and has the keyboard, as a person
// waits for it: the dialogs run their own event loop, inside the key press
// that opened them, and take the focus when the platform activates them.
void whenModal(std::function<void(QWidget*)> act) {
    auto* timer = new QTimer;
    auto waited = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, waited, act] {
        QWidget* modal = QApplication::activeModalWidget();
        const bool ready = modal && modal->isActiveWindow() &&
                           modal->isAncestorOf(QApplication::focusWidget());
        if (!ready && ++*waited < 3000) return; // however slow the machine
        timer->stop();
        timer->deleteLater();
        if (modal) act(modal);
    });
    timer->start(10);
}

QString focusName() {
    QWidget* focus = QApplication::focusWidget();
    if (!focus) return QStringLiteral("(none)");
    if (!focus->accessibleName().isEmpty()) return focus->accessibleName();
    return focus->objectName().isEmpty() ? QString::fromLatin1(focus->metaObject()->className())
                                         : focus->objectName();
}

int rowOf(UnitListView& list, std::u16string_view identifier) {
    for (int i = 0; i < list.rowCount(); ++i)
        if (list.row(i).item().identifier.view() == identifier) return i;
    return -1;
}

TEST(ConverterKeyboard, TabMenusAndTheMenuKeyReachEveryCommand) {
    ConverterWorld world;
    auto frame = world.openShowing(QStringLiteral("Length.cnv"));
    ASSERT_TRUE(frame);
    frame->resize(240, 420);
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    UnitListView& list = *frame->list();
    std::vector<ui::MessageRequest> messages;
    ui::SetMessageResponder([&](const ui::MessageRequest& request) {
        messages.push_back(request);
        return false;
    });

    // The value box has the keyboard. Down walks the list to "Feet and
    // inches", which is typed as a number or in feet and inches.
    EXPECT_EQ(focusName(), QStringLiteral("Value"));
    const int feet = rowOf(list, u"ft_in");
    ASSERT_GT(feet, list.pageRows() / 2) << "below the middle row";
    for (int k = 0; k < feet; ++k) press(Qt::Key_Down);
    ASSERT_EQ(list.selected(), feet);
    ASSERT_EQ(frame->panel()->tabCount(), 2);

    // Tab walks the window as it reads and comes round again.
    QStringList walk;
    for (int k = 0; k < 8; ++k) {
        press(Qt::Key_Tab);
        walk << focusName();
    }
    EXPECT_EQ(walk, (QStringList{"Accept the value", "Enter the default value", "Switch file",
                                 "Show or hide units", "Units", "Entry format", "Value",
                                 "Accept the value"}));
    press(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(focusName(), QStringLiteral("Value"));
    press(Qt::Key_Tab, Qt::ShiftModifier);
    ASSERT_EQ(focusName(), QStringLiteral("Entry format"));
    // The arrows choose the entry format; the focus stays on the tabs.
    press(Qt::Key_Right);
    EXPECT_EQ(frame->panel()->currentTab(), 1);
    EXPECT_EQ(list.row(feet).item().format.entryFormat, Compound);
    EXPECT_EQ(focusName(), QStringLiteral("Entry format"));
    press(Qt::Key_Left);
    EXPECT_EQ(frame->panel()->currentTab(), 0);

    // The Menu key on the list opens the selected row's menu at that row,
    // the selection kept; its Format submenu sets the row's format.
    press(Qt::Key_Tab, Qt::ShiftModifier);
    ASSERT_EQ(focusName(), QStringLiteral("Units"));
    menuKey();
    auto* rowMenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(rowMenu, nullptr);
    EXPECT_EQ(list.selected(), feet);
    const QRect row = list.row(feet).rect().translated(list.mapToGlobal(QPoint()));
    EXPECT_TRUE(row.adjusted(0, 0, 0, 4).contains(rowMenu->geometry().topLeft()))
        << "the menu opens at the selected row";
    press(Qt::Key_Escape);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    press(Qt::Key_F10, Qt::ShiftModifier); // the same
    ASSERT_NE(QApplication::activePopupWidget(), nullptr);
    press(Qt::Key_F); // Format
    press(Qt::Key_D); // Default (decimal)
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(list.row(feet).item().format.displayFormat, Decimal);
    EXPECT_EQ(list.selected(), feet);

    // View > Compact List, and back.
    const int rowHeight = list.rowHeight();
    menu('v', "c");
    EXPECT_TRUE(frame->settings().compactList());
    EXPECT_LT(list.rowHeight(), rowHeight);
    menu('v', "c");
    EXPECT_FALSE(frame->settings().compactList());

    // View > Format of the selected unit.
    menu('v', "fm"); // Compound
    EXPECT_EQ(list.row(feet).item().format.displayFormat, Compound);

    // View > Show/Hide Units: Space unchecks the first unit, Enter is OK.
    const int shown = list.rowCount();
    QString title, first;
    bool wasShown = false;
    whenModal([&](QWidget* modal) {
        auto* dialog = dynamic_cast<ShowHideDialog*>(modal);
        if (!dialog) {
            modal->close();
            return;
        }
        title = dialog->title();
        first = dialog->list()->item(0)->text();
        wasShown = dialog->list()->item(0)->checkState() == Qt::Checked;
        press(Qt::Key_Space);
        press(Qt::Key_Return);
    });
    menu('v', "u");
    EXPECT_EQ(title, QStringLiteral("Show or Hide Units"));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    frame->activateWindow(); // as the window manager does when the dialog goes
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    ASSERT_EQ(list.rowCount(), shown + (wasShown ? -1 : 1));
    bool listed = false;
    for (int k = 0; k < list.rowCount(); ++k)
        listed = listed ||
                 QString::fromStdU16String(std::u16string(list.row(k).item().name.view())) == first;
    EXPECT_NE(listed, wasShown) << first.toStdString();

    // Tools > Open Calculator (none is there to start: the message says so).
    menu('t', "c");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, QStringLiteral("Calculator"));
    ui::SetMessageResponder({});
}

} // namespace
} // namespace pq::test
