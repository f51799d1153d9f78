#include <gtest/gtest.h>

#include <QTest>

#include "calculator/key_name_popup.h"
#include "calculator/keypad.h"
#include "calculator/standard_keys.h"
#include "tests/uikit/test_support.h"
#include "uikit/ui_font.h"

using namespace pq::calc;
using pq::test::CommandSink;
using pq::test::deliverPosted;

TEST(KeyGrid, CellsAndHitTesting) {
    const KeyGrid grid{242, 199, 5, 5};
    EXPECT_EQ(grid.cellRect(0), QRect(QPoint(0, 0), QPoint(47, 38)));
    EXPECT_EQ(grid.cellRect(6), QRect(QPoint(48, 39), QPoint(95, 78)));
    EXPECT_EQ(grid.cellRect(24), QRect(QPoint(193, 159), QPoint(241, 198)));
    EXPECT_EQ(grid.cellAt(QPoint(0, 0)), 0);
    EXPECT_EQ(grid.cellAt(QPoint(60, 50)), 6);
    EXPECT_EQ(grid.cellAt(QPoint(241, 198)), 24);
    EXPECT_EQ(grid.cellAt(QPoint(242, 10)), -1);
    EXPECT_EQ(grid.cellAt(QPoint(10, 199)), -1);
    EXPECT_EQ(grid.cellAt(QPoint(-1, 10)), -1);
    // Every point of a cell's inside hits that cell.
    const KeyGrid characters{242, 81, 10, 4};
    for (int cell = 0; cell < 40; ++cell) {
        const QRect r = characters.cellRect(cell).adjusted(1, 1, -1, -1);
        EXPECT_EQ(characters.cellAt(r.topLeft()), cell);
        EXPECT_EQ(characters.cellAt(r.bottomRight()), cell);
    }
}

TEST(StandardKeys, TableAndKeyboard) {
    const auto keys = standardKeys();
    ASSERT_EQ(keys.size(), 25u);
    EXPECT_EQ(QString::fromUtf16(keys[0].label), QStringLiteral("MC"));
    EXPECT_EQ(QString::fromUtf16(keys[4].longName), QStringLiteral("Devide"));
    EXPECT_EQ(QString::fromUtf16(keys[23].label), QStringLiteral("+/-"));
    EXPECT_EQ(keys[24].textColour, qRgb(0, 0, 128));
    EXPECT_EQ(keys[20].backgroundColour, qRgb(216, 236, 216));

    EXPECT_EQ(standardKeyForKeyboard(Qt::Key_7, QStringLiteral("7")), 6);
    EXPECT_EQ(standardKeyForKeyboard(Qt::Key_0, QStringLiteral("0")), 21);
    EXPECT_EQ(standardKeyForKeyboard(Qt::Key_Comma, QStringLiteral(",")), 22);
    EXPECT_EQ(standardKeyForKeyboard(Qt::Key_Period, QStringLiteral(".")), 22);
    EXPECT_EQ(standardKeyForKeyboard(Qt::Key_Plus, QStringLiteral("+")), 19);
    EXPECT_EQ(standardKeyForKeyboard(Qt::Key_Minus, QStringLiteral("-")), 14);
    EXPECT_EQ(standardKeyForKeyboard(Qt::Key_Asterisk, QStringLiteral("*")), 9);
    EXPECT_EQ(standardKeyForKeyboard(Qt::Key_Slash, QStringLiteral("/")), 4);
    EXPECT_EQ(standardKeyForKeyboard(Qt::Key_Percent, QStringLiteral("%")), 2);
    EXPECT_EQ(standardKeyForKeyboard(Qt::Key_Equal, QStringLiteral("=")), 24);
    EXPECT_EQ(standardKeyForKeyboard(Qt::Key_Return, QStringLiteral("\r")), 24);
    EXPECT_EQ(standardKeyForKeyboard(Qt::Key_Enter, QStringLiteral("\r")), 24);
    EXPECT_EQ(standardKeyForKeyboard(Qt::Key_Backspace, QStringLiteral("\b")), 3);
    EXPECT_EQ(standardKeyForKeyboard(Qt::Key_Escape, QString()), 20);
    EXPECT_EQ(standardKeyForKeyboard(Qt::Key_Delete, QString()), 15);
    EXPECT_EQ(standardKeyForKeyboard(Qt::Key_X, QStringLiteral("x")), 9);
    EXPECT_EQ(standardKeyForKeyboard(Qt::Key_X, QStringLiteral("X")), 9);
    EXPECT_EQ(standardKeyForKeyboard(Qt::Key_At, QStringLiteral("@")), 1);
    EXPECT_EQ(standardKeyForKeyboard(Qt::Key_F9, QString()), 23);
    EXPECT_EQ(standardKeyForControlKey(Qt::Key_L), 0);
    EXPECT_EQ(standardKeyForControlKey(Qt::Key_R), 5);
    EXPECT_EQ(standardKeyForControlKey(Qt::Key_P), 10);
    EXPECT_EQ(standardKeyForControlKey(Qt::Key_C), -1);
    EXPECT_EQ(standardKeyForKeyboard(Qt::Key_S, QStringLiteral("s")), -1);
    EXPECT_EQ(standardKeyForKeyboard(Qt::Key_F1, QString()), -1);
}

namespace {

class KeyPadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        frame.resize(260, 260);
        popup = new KeyNamePopup(&frame);
        keypad = new KeyPad(&frame, &sink);
        keypad->create(QRect(-1, 50, 242, 199), 5, 5, 2200, standardKeys(),
                       pq::ui::CreateUiFont(24, false), popup);
        frame.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    }

    QPoint centre(int cell) const { return keypad->grid().cellRect(cell).center(); }

    std::vector<unsigned> commands() {
        deliverPosted();
        std::vector<unsigned> ids;
        for (const auto& c : sink.received) ids.push_back(c.id);
        sink.received.clear();
        return ids;
    }

    QWidget frame;
    CommandSink sink;
    KeyNamePopup* popup = nullptr;
    KeyPad* keypad = nullptr;
};

using Ids = std::vector<unsigned>;

} // namespace

TEST_F(KeyPadTest, PressSlideOffSlideBackRelease) {
    QTest::mousePress(keypad, Qt::LeftButton, {}, centre(6));
    EXPECT_EQ(keypad->pressedCell(), 6);
    QTest::mouseRelease(keypad, Qt::LeftButton, {}, centre(6));
    EXPECT_EQ(keypad->pressedCell(), -1);
    EXPECT_EQ(commands(), Ids{2206});

    // Slid off onto another key and released there: nothing.
    QTest::mousePress(keypad, Qt::LeftButton, {}, centre(6));
    QTest::mouseMove(keypad, centre(7));
    EXPECT_EQ(keypad->pressedCell(), -1);
    QTest::mouseRelease(keypad, Qt::LeftButton, {}, centre(7));
    EXPECT_EQ(commands(), Ids{});

    // Slid off and back again: the key counts.
    QTest::mousePress(keypad, Qt::LeftButton, {}, centre(24));
    QTest::mouseMove(keypad, centre(18));
    QTest::mouseMove(keypad, centre(24) + QPoint(5, 5));
    EXPECT_EQ(keypad->pressedCell(), 24);
    QTest::mouseRelease(keypad, Qt::LeftButton, {}, centre(24) + QPoint(5, 5));
    EXPECT_EQ(commands(), Ids{2224});

    // Released outside the keypad: nothing.
    QTest::mousePress(keypad, Qt::LeftButton, {}, centre(0));
    QTest::mouseRelease(keypad, Qt::LeftButton, {}, QPoint(10, -20));
    EXPECT_EQ(commands(), Ids{});
}

TEST_F(KeyPadTest, HoldingAKeyShowsItsLongName) {
    QTest::mousePress(keypad, Qt::LeftButton, {}, centre(9));
    QTest::qWait(KeyPad::kLongNameDelay / 2);
    EXPECT_FALSE(popup->isVisible());
    QTest::qWait(KeyPad::kLongNameDelay / 2 + 200);
    ASSERT_TRUE(popup->isVisible());
    EXPECT_EQ(popup->text(), QStringLiteral("Multiply"));
    // Just above the key, kept inside the frame.
    const QRect key(keypad->mapTo(&frame, keypad->grid().cellRect(9).topLeft()),
                    keypad->grid().cellRect(9).size());
    EXPECT_EQ(popup->geometry().bottom() + 1, key.top());
    EXPECT_LE(popup->geometry().right(), frame.width() - 1);
    QTest::mouseRelease(keypad, Qt::LeftButton, {}, centre(9));
    EXPECT_FALSE(popup->isVisible());
    EXPECT_EQ(commands(), Ids{2209});

    // A quick tap shows nothing.
    QTest::mouseClick(keypad, Qt::LeftButton, {}, centre(0));
    QTest::qWait(KeyPad::kLongNameDelay + 200);
    EXPECT_FALSE(popup->isVisible());
    EXPECT_EQ(commands(), Ids{2200});
}

TEST_F(KeyPadTest, TypedKeysLightForAMomentAndLabelsChange) {
    keypad->typeKey(12);
    EXPECT_EQ(keypad->pressedCell(), 12);
    EXPECT_EQ(commands(), Ids{2212});
    EXPECT_TRUE(pq::test::waitFor([&] { return keypad->pressedCell() == -1; }));
    keypad->typeKey(25);
    EXPECT_EQ(commands(), Ids{});

    keypad->setLabel(1, 1, QStringLiteral("VII"));
    EXPECT_EQ(keypad->label(6), QStringLiteral("VII"));
    EXPECT_EQ(keypad->longName(6), QStringLiteral("Seven"));
}
