#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QStyleHints>
#include <QTest>

#include "tests/uikit/test_support.h"
#include "uikit/window_object.h"

using namespace pq::ui;

namespace {

// Writes down what reaches its window procedure.
class Recorder : public WindowObject {
  public:
    Recorder() { resize(100, 100); }

    std::vector<QString> log;
    bool postOnPenDown = false;

  protected:
    void penDown(QPoint p) override {
        log.push_back(QStringLiteral("down %1,%2").arg(p.x()).arg(p.y()));
        if (postOnPenDown) PostCommand(this, 42, 7);
    }
    void penMove(QPoint p) override {
        log.push_back(QStringLiteral("move %1,%2").arg(p.x()).arg(p.y()));
    }
    void penUp(QPoint p) override {
        log.push_back(QStringLiteral("up %1,%2").arg(p.x()).arg(p.y()));
    }
    void penCancel() override { log.push_back(QStringLiteral("cancel")); }
    void tapAndHold(QPoint p) override {
        log.push_back(QStringLiteral("hold %1,%2").arg(p.x()).arg(p.y()));
    }
    void command(const CommandEvent& c) override {
        log.push_back(QStringLiteral("command %1 %2").arg(c.id()).arg(c.parameter()));
    }
};

using Log = std::vector<QString>;

} // namespace

TEST(WindowObject, PenEventsAndPostedCommandsArriveInOrder) {
    Recorder window;
    window.postOnPenDown = true;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    QTest::mousePress(&window, Qt::LeftButton, {}, QPoint(10, 20));
    // The command posted while the press was handled comes after it.
    EXPECT_EQ(window.log, (Log{"down 10,20"}));
    pq::test::deliverPosted();
    QTest::mouseMove(&window, QPoint(30, 40));
    QTest::mouseRelease(&window, Qt::LeftButton, {}, QPoint(30, 40));
    EXPECT_EQ(window.log, (Log{"down 10,20", "command 42 7", "move 30,40", "up 30,40"}));

    // The right button is no pen.
    window.log.clear();
    QTest::mouseClick(&window, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_TRUE(window.log.empty());
}

TEST(WindowObject, RightClickAndAStillHeldPressAreTapAndHold) {
    Recorder window;
    window.enableTapAndHold();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(12, 13),
                           window.mapToGlobal(QPoint(12, 13)));
    QCoreApplication::sendEvent(&window, &menu);
    EXPECT_EQ(window.log, (Log{"hold 12,13"}));

    // Held still: the press is cancelled and the gesture reported; its
    // release is no tap.
    window.log.clear();
    const int holdTime = QGuiApplication::styleHints()->mousePressAndHoldInterval();
    QTest::mousePress(&window, Qt::LeftButton, {}, QPoint(50, 50));
    QTest::qWait(holdTime + 200);
    QTest::mouseRelease(&window, Qt::LeftButton, {}, QPoint(50, 50));
    EXPECT_EQ(window.log, (Log{"down 50,50", "cancel", "hold 50,50"}));

    // A press that moves away in time stays an ordinary press.
    window.log.clear();
    QTest::mousePress(&window, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(&window, QPoint(60, 60));
    QTest::qWait(holdTime + 200);
    QTest::mouseRelease(&window, Qt::LeftButton, {}, QPoint(60, 60));
    EXPECT_EQ(window.log, (Log{"down 10,10", "move 60,60", "up 60,60"}));
}

TEST(WindowObject, ShowingAlsoEnables) {
    QWidget parent;
    auto* child = new Recorder;
    child->setParent(&parent);
    parent.show();
    child->showObject(false);
    EXPECT_FALSE(child->isVisible());
    EXPECT_FALSE(child->isShown());
    child->showObject(true);
    EXPECT_TRUE(child->isVisible());
    EXPECT_TRUE(child->isShown());
}
