#include <gtest/gtest.h>

#include <QWidget>

#include "calculator/result_display.h"
#include "tests/uikit/test_support.h"

using namespace pq::calc;

namespace {

constexpr unsigned kStyle = pq::ui::kShadowedText | pq::ui::kRightAligned;

} // namespace

TEST(ResultDisplay, BasesGroupingAndTheTextKeptForReading) {
    pq::test::ScaleGuard scale(1);
    QWidget owner;
    ResultDisplay display;
    display.create(&owner, 0, QRect(5, 8, 226, 30), 10, 28, kStyle, true);

    display.setValue(255);
    EXPECT_EQ(display.shownText(), QStringLiteral("255"));
    EXPECT_EQ(display.cycleBase(), QStringLiteral("Hex"));
    EXPECT_EQ(display.shownText(), QStringLiteral("0FFh"));
    EXPECT_EQ(display.text(), QStringLiteral("0ffh")) << "kept in lower case for the engine";
    EXPECT_EQ(display.cycleBase(), QStringLiteral("Oct"));
    EXPECT_EQ(display.shownText(), QStringLiteral("377o"));
    EXPECT_EQ(display.cycleBase(), QStringLiteral("Bin"));
    EXPECT_EQ(display.shownText(), QStringLiteral("1111 1111b"));
    display.setValue(2.5);
    EXPECT_EQ(display.shownText(), QStringLiteral("2.5")) << "fractions stay decimal";
    EXPECT_EQ(display.cycleBase(), QStringLiteral("Dec"));

    // Texts from elsewhere are grouped as decimal whatever the base.
    display.cycleBase();
    display.setText(QStringLiteral("-1234567.25"));
    EXPECT_EQ(display.shownText(), QStringLiteral("-1,234,567.25"));
    display.setText(QStringLiteral("E1"));
    display.cycleBase();
    EXPECT_EQ(display.shownText(), QStringLiteral("E1")) << "a text that is no number stays";

    display.showError();
    EXPECT_EQ(display.shownText(), QStringLiteral("Error"));
    EXPECT_FALSE(display.hasText());
    display.setValue(1.0 / 0.0);
    EXPECT_EQ(display.shownText(), QStringLiteral("Error"));

    display.showIndicator(true);
    EXPECT_TRUE(display.isIndicatorShown());
    display.showIndicator(false);
    EXPECT_FALSE(display.isIndicatorShown());
}

TEST(ResultDisplay, TheSmallFontKeepsLongNumbersWhole) {
    for (int s : {1, 2}) {
        pq::test::ScaleGuard scale(s);
        QWidget owner;
        ResultDisplay display;
        display.create(&owner, 0, QRect(5 * s, 8 * s, 226 * s, 30 * s), 10, 28, kStyle, false);
        display.setValue(123456);
        EXPECT_FALSE(display.usesSmallFont());

        display.setBase(Base::Bin);
        display.setValue(-1); // 32 binary digits: past digits + 8 characters
        EXPECT_TRUE(display.usesSmallFont());
        EXPECT_FALSE(display.button().shownText().contains(u'~'));

        display.setBase(Base::Dec);
        display.setValue(-1.234567891e-100); // 17 characters, but wide
        EXPECT_FALSE(display.button().shownText().contains(u'~'));

        display.showError();
        EXPECT_FALSE(display.usesSmallFont()) << "the error drops the small font";
        display.setValue(7);
        EXPECT_FALSE(display.usesSmallFont());
    }
}
