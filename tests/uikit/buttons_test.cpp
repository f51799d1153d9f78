#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QTest>
#include <QWidget>

#include "tests/uikit/test_support.h"
#include "uikit/picture_button.h"
#include "uikit/push_button.h"
#include "uikit/resources.h"
#include "uikit/ui_font.h"

using namespace pq::ui;
using pq::test::CommandSink;
using pq::test::deliverPosted;

namespace {

// An owner window that receives the buttons' commands.
class Owner : public QWidget {
  public:
    bool event(QEvent* event) override {
        if (event->type() == CommandEvent::eventType()) return sink.event(event);
        return QWidget::event(event);
    }
    CommandSink sink;
};

} // namespace

TEST(PushButton, PressSlideAndRelease) {
    Owner owner;
    PushButton button;
    button.init(QRect(10, 10, 40, 20), &owner, 77, false, 5);

    // A tap inside posts the command with its parameter, after the event.
    EXPECT_TRUE(button.press(QPoint(20, 15)));
    EXPECT_EQ(button.state(), PushButton::Pressed);
    EXPECT_FALSE(button.release(QPoint(21, 16)));
    EXPECT_EQ(button.state(), PushButton::Normal);
    EXPECT_TRUE(owner.sink.received.empty());
    deliverPosted();
    ASSERT_EQ(owner.sink.received.size(), 1u);
    EXPECT_EQ(owner.sink.received[0].id, 77u);
    EXPECT_EQ(owner.sink.received[0].parameter, 5);
    EXPECT_EQ(owner.sink.received[0].code, 0);

    // Sliding off shows it unpressed, and a release outside posts nothing.
    owner.sink.received.clear();
    EXPECT_TRUE(button.press(QPoint(20, 15)));
    EXPECT_TRUE(button.move(QPoint(80, 15)));
    EXPECT_EQ(button.state(), PushButton::Normal);
    EXPECT_FALSE(button.release(QPoint(80, 15)));
    deliverPosted();
    EXPECT_TRUE(owner.sink.received.empty());

    // Sliding back before the release brings the command back.
    EXPECT_TRUE(button.press(QPoint(20, 15)));
    button.move(QPoint(80, 15));
    button.move(QPoint(49, 29));
    EXPECT_EQ(button.state(), PushButton::Pressed);
    button.release(QPoint(49, 29));
    deliverPosted();
    EXPECT_EQ(owner.sink.received.size(), 1u);

    // Moves and releases without a press are not the button's.
    EXPECT_FALSE(button.move(QPoint(20, 15)));
    EXPECT_FALSE(button.release(QPoint(20, 15)));
    EXPECT_FALSE(button.press(QPoint(9, 15)));
}

TEST(PushButton, DisabledButtonsTakeNoPress) {
    Owner owner;
    PushButton button;
    button.init(QRect(0, 0, 10, 10), &owner, 1);
    button.enable(false);
    EXPECT_EQ(button.state(), PushButton::Disabled);
    EXPECT_FALSE(button.contains(QPoint(5, 5)));
    EXPECT_FALSE(button.press(QPoint(5, 5)));
    button.enable(true);
    EXPECT_EQ(button.state(), PushButton::Normal);
    EXPECT_TRUE(button.press(QPoint(5, 5)));
    button.enable(true); // enabling leaves a pressed button pressed
    EXPECT_EQ(button.state(), PushButton::Pressed);
}

TEST(PushButton, HoldingPostsTheLongPressInsteadOfTheTap) {
    Owner owner;
    PushButton button;
    button.init(QRect(0, 0, 10, 10), &owner, 12, true, 9);

    // Released before the hold time: an ordinary tap.
    button.press(QPoint(5, 5));
    button.release(QPoint(5, 5));
    QTest::qWait(PushButton::kHoldInterval + 150);
    deliverPosted();
    ASSERT_EQ(owner.sink.received.size(), 1u);
    EXPECT_EQ(owner.sink.received[0].code, 0);

    // Held: the hold command (code 1, parameter 0), and no tap on release.
    owner.sink.received.clear();
    button.press(QPoint(5, 5));
    ASSERT_TRUE(pq::test::waitFor([&] { return !owner.sink.received.empty(); }));
    EXPECT_EQ(owner.sink.received[0].id, 12u);
    EXPECT_EQ(owner.sink.received[0].code, kHoldCode);
    EXPECT_EQ(owner.sink.received[0].parameter, 0);
    EXPECT_EQ(button.state(), PushButton::Normal);
    EXPECT_FALSE(button.release(QPoint(5, 5)));
    QTest::qWait(PushButton::kHoldInterval + 150);
    deliverPosted();
    EXPECT_EQ(owner.sink.received.size(), 1u);
}

TEST(TapList, TheButtonThatTookThePressGetsTheRest) {
    Owner owner;
    PushButton first, second;
    first.init(QRect(0, 0, 10, 10), &owner, 1);
    second.init(QRect(20, 0, 10, 10), &owner, 2);
    TapList taps;
    taps.add(&first);
    taps.add(&second);

    EXPECT_FALSE(taps.penDown(QPoint(15, 5)));
    EXPECT_EQ(taps.active(), nullptr);
    EXPECT_TRUE(taps.penDown(QPoint(25, 5)));
    EXPECT_EQ(taps.active(), &second);
    taps.penMove(QPoint(5, 5)); // over the first button: still the second's press
    EXPECT_EQ(second.state(), PushButton::Normal);
    EXPECT_EQ(first.state(), PushButton::Normal);
    taps.penMove(QPoint(22, 2));
    taps.penUp(QPoint(22, 2));
    EXPECT_EQ(taps.active(), nullptr);
    deliverPosted();
    ASSERT_EQ(owner.sink.received.size(), 1u);
    EXPECT_EQ(owner.sink.received[0].id, 2u);
}

TEST(PictureButton, LayoutFollowsContentFlagsAndBox) {
    pq::test::ScaleGuard scale(2);
    Owner owner;
    const QFont font = CreateUiFont(13, false);
    const int textHeight = QFontMetrics(font).height();

    PictureButton iconOnly;
    iconOnly.create(&owner, 1, QString(), 10, 20, 200, 50, font, 0);
    iconOnly.setIcon(LoadIcon(169));
    EXPECT_EQ(iconOnly.rect(), QRect(10, 20, 40, 40)); // 20·s square

    PictureButton text;
    text.create(&owner, 2, QStringLiteral("Units"), 10, 20, 200, 50, font, 0);
    const int textWidth = MeasureText(font, QStringLiteral("Units")).width();
    EXPECT_EQ(text.rect(), QRect(10, 20, textWidth + 8, textHeight));

    PictureButton arrowRight;
    arrowRight.create(&owner, 3, QStringLiteral("Units"), 10, 20, 200, 50, font,
                      kDropDownArrow | kRightAligned);
    EXPECT_EQ(arrowRight.rect().right() + 1, 210);
    EXPECT_EQ(arrowRight.rect().width(), textWidth + 8 + 32);

    // Content wider than the box is cut to it, and the text is shortened.
    PictureButton narrow;
    narrow.create(&owner, 4, QStringLiteral("A rather long file title"), 10, 20, 60, 10, font,
                  kRightAligned);
    EXPECT_EQ(narrow.rect(), QRect(10, 20, 60, 10));
    EXPECT_TRUE(narrow.shownText().endsWith(u'~'));

    // Setting an empty text leaves only what the flags and icon need.
    text.setText(QString());
    EXPECT_EQ(text.rect().width(), 0);
    text.place(100, 0, 50, 50);
    text.setText(QStringLiteral("x"));
    EXPECT_EQ(text.rect().topLeft(), QPoint(100, 0));
}

TEST(PictureButton, ShorteningEndsInATildeUnlessOneCharacterIsLeft) {
    const QFont font = CreateUiFont(13, false);
    const QFontMetrics metrics(font);
    const int slack = 3 * pq::ui::DisplayScale();
    const QString text = QStringLiteral("Conversion of lengths");
    EXPECT_EQ(PictureButton::ShortenText(text, metrics, 1000), text);

    const int width = metrics.horizontalAdvance(QStringLiteral("Conversion"));
    const QString shortened = PictureButton::ShortenText(text, metrics, width);
    EXPECT_TRUE(shortened.endsWith(u'~'));
    EXPECT_TRUE(text.startsWith(shortened.chopped(1)));
    EXPECT_LE(metrics.horizontalAdvance(shortened), width + slack);
    // One more character would not have fitted.
    const QString longer = text.left(shortened.size()) + u'~';
    EXPECT_GT(metrics.horizontalAdvance(longer), width + slack);

    const QString one = PictureButton::ShortenText(QStringLiteral("WWWW"), metrics,
                                                   metrics.horizontalAdvance(u'W'));
    EXPECT_EQ(one, QStringLiteral("W"));
    EXPECT_EQ(PictureButton::ShortenText(QStringLiteral("WWWW"), metrics, -100), QString());
}
