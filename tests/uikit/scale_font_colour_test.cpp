#include <gtest/gtest.h>

#include <vector>

#include <QFontDatabase>
#include <QFontMetrics>
#include <QSettings>

#include "tests/uikit/test_support.h"
#include "uikit/colours.h"
#include "uikit/display_scale.h"
#include "uikit/ui_font.h"

using namespace pq::ui;

TEST(DisplayScale, DensityDecidesUnlessOverridden) {
    EXPECT_EQ(ChooseDisplayScale(96, ""), 1);
    EXPECT_EQ(ChooseDisplayScale(131, ""), 1);
    EXPECT_EQ(ChooseDisplayScale(191.5, ""), 1);
    EXPECT_EQ(ChooseDisplayScale(192, ""), 2);
    EXPECT_EQ(ChooseDisplayScale(288, ""), 2);

    bool rejected = true;
    EXPECT_EQ(ChooseDisplayScale(96, "2", &rejected), 2);
    EXPECT_FALSE(rejected);
    EXPECT_EQ(ChooseDisplayScale(192, " 1\n", &rejected), 1);
    EXPECT_FALSE(rejected);
    // Anything but 1 or 2 is refused and the density decides.
    EXPECT_EQ(ChooseDisplayScale(96, "3", &rejected), 1);
    EXPECT_TRUE(rejected);
    EXPECT_EQ(ChooseDisplayScale(192, "big", &rejected), 2);
    EXPECT_TRUE(rejected);
}

TEST(CreateUiFont, CellHeightIsSizeTimesScale) {
    for (int scale : {1, 2}) {
        pq::test::ScaleGuard guard(scale);
        for (int size : {12, 14, 20, 28}) {
            const QFont font = CreateUiFont(size, false);
            const int cell = QFontMetrics(font).height();
            EXPECT_LE(cell, size * scale) << "size " << size << " scale " << scale;
            EXPECT_GE(cell, size * scale - 3) << "size " << size << " scale " << scale;
            EXPECT_EQ(font.weight(), QFont::Normal);
        }
    }
    EXPECT_EQ(CreateUiFont(18, true).weight(), QFont::Bold);
    // The desktop's own face, the one a program asks for first.
    EXPECT_EQ(CreateUiFont(14, false).family(),
              QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
}

// The largest em whose cell fits, found by trying every size from the cell
// down, as a font is fitted without any shortcut.
int fittedByTrial(int size, bool bold) {
    QFont font = CreateUiFont(size, bold);
    int pixels = size;
    font.setPixelSize(pixels);
    while (pixels > 1 && QFontMetrics(font).height() > size) font.setPixelSize(--pixels);
    return pixels;
}

TEST(CreateUiFont, FitsTheLargestEmWhateverTheOrderOfRequests) {
    std::vector<int> sizes;
    for (int size = 60; size >= 1; size -= 7) sizes.push_back(size); // down, then up
    for (int size = 2; size <= 64; size += 5) sizes.push_back(size);
    pq::test::ScaleGuard guard(1);
    for (bool bold : {false, true}) {
        for (int size : sizes) {
            const int expected = fittedByTrial(size, bold);
            EXPECT_EQ(CreateUiFont(size, bold).pixelSize(), expected)
                << size << (bold ? " bold" : "");
            EXPECT_EQ(CreateUiFont(size, bold).pixelSize(), expected); // kept
        }
    }
}

TEST(MeasureText, BlankTextsHaveTheFontHeightAndNoWidth) {
    const QFont font = CreateUiFont(14, false);
    const int height = QFontMetrics(font).height();
    EXPECT_EQ(MeasureText(font, QString()), QRect(0, 0, 0, height));
    EXPECT_EQ(MeasureText(font, QStringLiteral(" ")), QRect(0, 0, 0, height));
    const QRect two = MeasureText(font, QStringLiteral("  "));
    EXPECT_GT(two.width(), 0);
    const QRect word = MeasureText(font, QStringLiteral("Memory"));
    EXPECT_EQ(word.height(), height);
    EXPECT_GT(word.width(), MeasureText(font, QStringLiteral("M")).width());
}

TEST(TintColour, PalesEachComponentByTheFactor) {
    const QColor theme(64, 64, 192);
    EXPECT_EQ(TintColour(140, theme), QColor(170, 170, 227));
    EXPECT_EQ(TintColour(144, theme), QColor(173, 173, 228)); // the keypad's grid lines
    EXPECT_EQ(TintColour(0, theme), QColor(65, 65, 193));
    EXPECT_EQ(TintColour(255, theme), QColor(255, 255, 255));
    EXPECT_EQ(TintColour(100, QColor(0, 0, 0)), QColor(101, 101, 101));
    // Factors outside 0..255 are held to it.
    EXPECT_EQ(TintColour(400, theme), QColor(255, 255, 255));
}

TEST(ThemeColour, DefaultUnlessTheSettingsHoldAnother) {
    QSettings settings(QStringLiteral("Quorvane"));
    settings.remove(QStringLiteral("Appearance/ThemeColour"));
    ResetThemeColour();
    EXPECT_EQ(ThemeColour(), QColor(64, 64, 192));

    settings.setValue(QStringLiteral("Appearance/ThemeColour"), QStringLiteral("#2080a0"));
    settings.sync();
    EXPECT_EQ(ThemeColour(), QColor(64, 64, 192)) << "read once, then cached";
    ResetThemeColour();
    EXPECT_EQ(ThemeColour(), QColor(32, 128, 160));

    settings.setValue(QStringLiteral("Appearance/ThemeColour"), QStringLiteral("not a colour"));
    settings.sync();
    ResetThemeColour();
    EXPECT_EQ(ThemeColour(), QColor(64, 64, 192));

    settings.remove(QStringLiteral("Appearance/ThemeColour"));
    ResetThemeColour();
}
