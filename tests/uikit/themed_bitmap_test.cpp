#include <gtest/gtest.h>

#include <QPainter>
#include <QWidget>

#include "tests/uikit/test_support.h"
#include "uikit/resources.h"
#include "uikit/themed_bitmap.h"

using namespace pq::ui;

namespace {

const QColor kTheme(64, 64, 192);

// A 4 × 3 indexed image whose pixels all have colours of their own.
QImage patternImage() {
    QImage image(4, 3, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int i = 0; i < 12; ++i) table.push_back(qRgb(20 * i, 255 - 20 * i, 7 * i));
    image.setColorTable(table);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) image.setPixel(x, y, static_cast<uint>(y * 4 + x));
    return image;
}

} // namespace

TEST(RecolourEntry, GreysStayAndColoursTakeTheTint) {
    EXPECT_EQ(RecolourEntry(qRgb(128, 128, 128), kTheme), qRgb(128, 128, 128));
    EXPECT_EQ(RecolourEntry(qRgb(255, 255, 255), kTheme), qRgb(255, 255, 255));
    EXPECT_EQ(RecolourEntry(qRgb(0, 0, 0), kTheme), qRgb(0, 0, 0));
    // Pure red: L = 255 - ⌊√(255² / 3)⌋ = 108.
    EXPECT_EQ(RecolourEntry(qRgb(255, 0, 0), kTheme), qRgb(175, 175, 229));
    // The darkest colour comes out close to the tint, a bright one near white.
    EXPECT_EQ(RecolourEntry(qRgb(0, 0, 1), kTheme), qRgb(65, 65, 193));
    EXPECT_EQ(RecolourEntry(qRgb(250, 250, 255), kTheme), qRgb(253, 253, 255));
    EXPECT_EQ(RecolourEntry(qRgb(255, 0, 0), QColor(0, 128, 0)), qRgb(148, 202, 148));
}

TEST(ThemedBitmap, ResourcesAreIndexedAndRecolouredEntryByEntry) {
    pq::test::ScaleGuard scale(1);
    for (auto [id, width, height] : {std::tuple{131, 320, 96}, std::tuple{108, 80, 70}}) {
        const QImage raw(BitmapResourcePath(id));
        ASSERT_FALSE(raw.isNull()) << id;
        EXPECT_EQ(raw.format(), QImage::Format_Indexed8) << id;
        ThemedBitmap bitmap;
        ASSERT_TRUE(bitmap.load(id, kTheme, true));
        EXPECT_EQ(bitmap.width(), width);
        EXPECT_EQ(bitmap.height(), height);
        EXPECT_TRUE(bitmap.hasPalette());
        EXPECT_FALSE(bitmap.isDoubled());
        const QList<QRgb> before = raw.colorTable();
        const QList<QRgb> after = bitmap.image().colorTable();
        ASSERT_EQ(before.size(), after.size());
        for (qsizetype i = 0; i < before.size(); ++i)
            EXPECT_EQ(after[i], RecolourEntry(before[i], kTheme)) << id << " entry " << i;
        // The pixels keep their indices.
        EXPECT_EQ(bitmap.image().pixelIndex(5, 5), raw.pixelIndex(5, 5));
    }
}

TEST(ThemedBitmap, DoublesAtScaleTwoAndKeepsItsImageOnAFailedReload) {
    pq::test::ScaleGuard scale(2);
    ThemedBitmap bitmap;
    ASSERT_TRUE(bitmap.load(108, kTheme, true));
    EXPECT_TRUE(bitmap.isDoubled());
    EXPECT_EQ(bitmap.drawnWidth(), 160);
    EXPECT_EQ(bitmap.drawnHeight(), 140);
    EXPECT_EQ(bitmap.drawn().size(), QSize(160, 140));

    ThemedBitmap plain;
    ASSERT_TRUE(plain.loadPlain(131, false));
    EXPECT_FALSE(plain.isDoubled());
    EXPECT_EQ(plain.image().colorTable(), QImage(BitmapResourcePath(131)).colorTable());

    EXPECT_FALSE(bitmap.reload(999, QColor(200, 0, 0)));
    EXPECT_EQ(bitmap.width(), 80);
    EXPECT_TRUE(bitmap.reload(108, QColor(200, 0, 0)));
    EXPECT_TRUE(bitmap.isDoubled());
    EXPECT_NE(bitmap.image().colorTable(), QImage(BitmapResourcePath(108)).colorTable());

    ThemedBitmap missing;
    EXPECT_FALSE(missing.load(999, kTheme, true));
    EXPECT_TRUE(missing.isNull());
}

TEST(PaintAlignedBackground, FollowsTheWindowAndRepeatsTheDrawnBitmap) {
    pq::test::ScaleGuard scale(2);
    ThemedBitmap bitmap;
    ASSERT_TRUE(bitmap.setImage(patternImage(), nullptr, true));
    ASSERT_EQ(bitmap.drawnWidth(), 8);

    QWidget window;
    window.resize(200, 100);
    QWidget child(&window);
    child.setGeometry(31, 17, 60, 240);

    // Taller than one band of the painting.
    QImage painted(60, 240, QImage::Format_RGB32);
    painted.fill(Qt::black);
    {
        QPainter painter(&painted);
        PaintAlignedBackground(painter, child, QRect(3, 5, 50, 230), &bitmap);
    }
    const QImage source = patternImage();
    for (int y = 5; y < 235; ++y) {
        for (int x = 3; x < 53; ++x) {
            // The window point shows the bitmap pixel (X / 2 mod 4, (Y mod 6) / 2).
            const int wx = x + 31, wy = y + 17;
            const QRgb expected = source.pixel((wx / 2) % 4, (wy % 6) / 2);
            ASSERT_EQ(painted.pixel(x, y), expected) << x << "," << y;
        }
    }
    EXPECT_EQ(painted.pixel(0, 0), qRgb(0, 0, 0)) << "nothing outside the rectangle";

    QImage white(10, 10, QImage::Format_RGB32);
    white.fill(Qt::black);
    {
        QPainter painter(&white);
        PaintAlignedBackground(painter, child, QRect(0, 0, 10, 10), nullptr);
    }
    EXPECT_EQ(white.pixel(5, 5), qRgb(255, 255, 255));
}

TEST(Icons, EveryNamedIconExistsInBothSizes) {
    for (int id :
         {128, 133, 134, 149, 152, 155, 156, 157, 158, 159, 160, 161, 162, 166, 169, 182}) {
        const QIcon icon = LoadIcon(id);
        EXPECT_FALSE(icon.isNull()) << id;
        EXPECT_TRUE(icon.availableSizes().contains(QSize(16, 16))) << id;
        EXPECT_TRUE(icon.availableSizes().contains(QSize(32, 32))) << id;
    }
    for (const char* name :
         {"calculator", "converter", "copy", "paste", "standard-view", "scientific-view"})
        EXPECT_FALSE(LoadIcon(QString::fromLatin1(name)).isNull()) << name;
    EXPECT_TRUE(LoadIcon(QStringLiteral("calculator")).availableSizes().contains(QSize(64, 64)));
    // The images are read when first drawn, and then at every size.
    const QImage drawn = LoadIcon(QStringLiteral("calculator")).pixmap(32, 32).toImage();
    EXPECT_EQ(drawn.size(), QSize(32, 32));
    EXPECT_GT(drawn.pixelColor(16, 16).alpha(), 0);
    EXPECT_TRUE(LoadIcon(4242).isNull());
}
