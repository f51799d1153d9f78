#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QSettings>
#include <QStyle>
#include <QToolTip>

#include <memory>

#include "uikit/appearance.h"
#include "uikit/appearance_menu.h"
#include "uikit/colours.h"
#include "uikit/resources.h"
#include "uikit/themed_bitmap.h"

using namespace pq::ui;

namespace {

QSettings organisation() { return QSettings(QStringLiteral("Quorvane")); }

// Each case starts and ends with the desktop's palette, System and the
// default theme colour.
class Appearance : public ::testing::Test {
  protected:
    void SetUp() override { reset(); }
    void TearDown() override { reset(); }
    static void reset() {
        ApplyAppearanceChoice(AppearanceChoice::System);
        QApplication::setPalette(QPalette());
        organisation().remove(QStringLiteral("Appearance"));
        ResetThemeColour();
    }
};

bool isDark(const QColor& colour) { return colour.lightness() < 128; }

} // namespace

TEST(ContrastRatio, FollowsTheGuidelinesFormula) {
    EXPECT_DOUBLE_EQ(ContrastRatio(Qt::black, Qt::white), 21.0);
    EXPECT_DOUBLE_EQ(ContrastRatio(Qt::white, Qt::black), 21.0);
    EXPECT_DOUBLE_EQ(ContrastRatio(QColor(90, 90, 90), QColor(90, 90, 90)), 1.0);
    EXPECT_NEAR(ContrastRatio(QColor(255, 0, 0), Qt::white), 4.00, 0.01);
    EXPECT_NEAR(ContrastRatio(QColor(0, 128, 0), Qt::white), 5.14, 0.01);
    EXPECT_NEAR(ContrastRatio(QColor(64, 64, 192), Qt::white), 7.74, 0.01);
}

TEST(Readable, MovesAColourJustFarEnough) {
    struct Case {
        QColor colour, background;
    };
    const Case cases[] = {
        {Qt::black, Qt::white},           {QColor(255, 0, 0), Qt::white},
        {QColor(0, 128, 128), QColor(216, 236, 216)}, {QColor(64, 64, 192), QColor(30, 30, 38)},
        {QColor(128, 128, 128), QColor(128, 128, 128)}, {Qt::white, QColor(255, 255, 200)},
    };
    for (const Case& c : cases) {
        const QColor readable = Readable(c.colour, c.background);
        EXPECT_GE(ContrastRatio(readable, c.background), 4.5)
            << c.colour.name().toStdString() << " on " << c.background.name().toStdString();
        if (ContrastRatio(c.colour, c.background) >= 4.5) {
            EXPECT_EQ(readable, c.colour);
        }
    }
    // Towards black on light grounds, towards white on dark ones.
    EXPECT_LT(Readable(QColor(255, 0, 0), Qt::white).lightness(), 128);
    EXPECT_GT(Readable(QColor(64, 64, 192), QColor(30, 30, 38)).lightness(), 128);
}

// Whatever the theme colour, every text colour of both schemes reads on the
// grounds it is drawn on, and the palettes given to Qt's widgets do too.
TEST_F(Appearance, EveryTextColourReadsForAnyTheme) {
    const QPalette standard = QApplication::style()->standardPalette();
    for (const char* theme : {"", "#2080a0", "#e0e000", "#000080", "#ff4040", "#808080"}) {
        organisation().setValue(QStringLiteral("Appearance/ThemeColour"), QString::fromLatin1(theme));
        ResetThemeColour();
        for (Scheme scheme : {Scheme::Light, Scheme::Dark}) {
            const SchemeColours c = ColoursOf(scheme);
            const std::string where = std::string(theme) +
                                      (scheme == Scheme::Dark ? " dark" : " light");
            EXPECT_EQ(isDark(c.paper), scheme == Scheme::Dark) << where;
            for (const QColor& ground : {c.paper, c.window})
                for (const QColor& text : {c.ink, c.accent, c.greyInk, c.errorInk, c.outputInk})
                    EXPECT_GE(ContrastRatio(text, ground), 4.5)
                        << where << ": " << text.name().toStdString() << " on "
                        << ground.name().toStdString();
            EXPECT_GE(ContrastRatio(c.errorInk, c.errorMark), 4.5) << where;

            const QPalette p = SchemePalette(scheme, standard);
            EXPECT_EQ(isDark(p.color(QPalette::Window)), scheme == Scheme::Dark) << where;
            const std::pair<QPalette::ColorRole, QPalette::ColorRole> pairs[] = {
                {QPalette::Text, QPalette::Base},
                {QPalette::WindowText, QPalette::Window},
                {QPalette::ButtonText, QPalette::Button},
                {QPalette::HighlightedText, QPalette::Highlight},
                {QPalette::PlaceholderText, QPalette::Base},
                {QPalette::Link, QPalette::Base},
                {QPalette::ToolTipText, QPalette::ToolTipBase},
            };
            for (auto group : {QPalette::Active, QPalette::Disabled})
                for (const auto& [text, ground] : pairs)
                    EXPECT_GE(ContrastRatio(p.color(group, text), p.color(group, ground)), 4.5)
                        << where << " roles " << text << " on " << ground << " in group "
                        << group;
        }
    }
}

TEST(RecolourEntryDark, IsTheLightRuleOnDarkPaper) {
    const QColor theme(64, 64, 192), paper(30, 30, 38), ink(238, 238, 250);
    // With white paper the rule is the light one.
    for (QRgb entry : {qRgb(255, 0, 0), qRgb(0, 0, 1), qRgb(250, 250, 255), qRgb(210, 210, 246)})
        EXPECT_EQ(RecolourEntryDark(entry, theme, Qt::white, Qt::black),
                  RecolourEntry(entry, theme));
    // White turns to paper, black to ink, a bright colour stays near paper
    // and a dark one comes close to the tint.
    EXPECT_EQ(RecolourEntryDark(qRgb(255, 255, 255), theme, paper, ink), paper.rgb());
    EXPECT_EQ(RecolourEntryDark(qRgb(0, 0, 0), theme, paper, ink), qRgb(237, 237, 249));
    EXPECT_EQ(RecolourEntryDark(qRgb(250, 250, 255), theme, paper, ink), qRgb(30, 30, 40));
    EXPECT_EQ(RecolourEntryDark(qRgb(0, 0, 1), theme, paper, ink), qRgb(63, 63, 191));
}

TEST(DarkIconImage, LightensOnlyWhatWouldVanishOnDarkPaper) {
    QImage image(5, 1, QImage::Format_ARGB32);
    const QRgb pixels[] = {qRgb(0, 0, 0), qRgb(0, 0, 128), qRgb(230, 200, 0), qRgba(0, 0, 0, 0),
                           qRgb(255, 255, 255)};
    for (int x = 0; x < 5; ++x) image.setPixel(x, 0, pixels[x]);
    const QImage dark = DarkIconImage(image);
    const QColor paper = ColoursOf(Scheme::Dark).paper;
    for (int x : {0, 1})
        EXPECT_GE(ContrastRatio(dark.pixelColor(x, 0), paper), 4.5) << x;
    for (int x : {2, 3, 4}) EXPECT_EQ(dark.pixel(x, 0), image.pixel(x, 0)) << x;
}

// The desktop turning dark and light again while the programs run: the
// scheme, a themed bitmap and the icons follow, and the programs' controls
// are told once per change.
TEST_F(Appearance, SystemFollowsTheDesktopPaletteAtRunTime) {
    ASSERT_EQ(ActiveScheme(), Scheme::Light);
    const QPalette desktop = QApplication::palette();
    ThemedBitmap bitmap;
    ASSERT_TRUE(bitmap.load(131, ThemeColour(), true));
    const QImage raw(BitmapResourcePath(131));
    EXPECT_EQ(bitmap.image().colorTable(), RecolourImage(raw, ThemeColour()).colorTable());
    const QImage lightArrow = LoadIcon(133).pixmap(16, 16).toImage();
    const QImage lightProgram = LoadIcon(QStringLiteral("calculator")).pixmap(16, 16).toImage();

    int told = 0;
    auto context = std::make_unique<QObject>();
    WhenSchemeChanges(context.get(), [&told] { ++told; });

    QApplication::setPalette(SchemePalette(Scheme::Dark, desktop));
    EXPECT_EQ(ActiveScheme(), Scheme::Dark);
    EXPECT_EQ(told, 1);
    EXPECT_EQ(bitmap.image().colorTable(),
              RecolourImage(raw, ThemeColour(), Scheme::Dark).colorTable());
    EXPECT_NE(LoadIcon(133).pixmap(16, 16).toImage(), lightArrow) << "strokes turn light";
    EXPECT_EQ(LoadIcon(QStringLiteral("calculator")).pixmap(16, 16).toImage(), lightProgram)
        << "the programs' icons keep their colours";

    QApplication::setPalette(desktop);
    EXPECT_EQ(ActiveScheme(), Scheme::Light);
    EXPECT_EQ(told, 2);
    EXPECT_EQ(LoadIcon(133).pixmap(16, 16).toImage(), lightArrow);

    context.reset();
    QApplication::setPalette(SchemePalette(Scheme::Dark, desktop));
    EXPECT_EQ(told, 2) << "a control gone is not told";
}

// Light and Dark give Qt's widgets and tooltips the scheme's palette
// whatever the desktop shows; System gives the desktop's back.
TEST_F(Appearance, ChoicesSetThePaletteAndSystemGivesItBack) {
    const QColor desktopWindow = QApplication::palette().color(QPalette::Window);
    ApplyAppearanceChoice(AppearanceChoice::Dark);
    EXPECT_EQ(ActiveScheme(), Scheme::Dark);
    EXPECT_TRUE(isDark(QApplication::palette().color(QPalette::Window)));
    EXPECT_TRUE(isDark(QToolTip::palette().color(QPalette::ToolTipBase)));
    ApplyAppearanceChoice(AppearanceChoice::Light);
    EXPECT_EQ(ActiveScheme(), Scheme::Light);
    EXPECT_FALSE(isDark(QApplication::palette().color(QPalette::Window)));
    EXPECT_EQ(QApplication::palette().color(QPalette::Highlight), ThemeColour());
    ApplyAppearanceChoice(AppearanceChoice::System);
    EXPECT_EQ(QApplication::palette().color(QPalette::Window), desktopWindow);
}

TEST_F(Appearance, TheChoiceIsKeptAndReadAtStart) {
    const std::pair<const char*, AppearanceChoice> names[] = {
        {"System", AppearanceChoice::System}, {"Light", AppearanceChoice::Light},
        {"Dark", AppearanceChoice::Dark},     {" dark ", AppearanceChoice::Dark},
        {"", AppearanceChoice::System},       {"Sepia", AppearanceChoice::System},
    };
    for (const auto& [name, choice] : names)
        EXPECT_EQ(AppearanceChoiceFromName(QString::fromLatin1(name)), choice) << name;

    SetAppearanceChoice(AppearanceChoice::Dark);
    EXPECT_EQ(organisation().value(QStringLiteral("Appearance/Scheme")).toString(), "Dark");
    organisation().setValue(QStringLiteral("Appearance/Scheme"), QStringLiteral("Light"));
    InitAppearance();
    EXPECT_EQ(CurrentAppearanceChoice(), AppearanceChoice::Light);
    EXPECT_EQ(ActiveScheme(), Scheme::Light);
}

TEST_F(Appearance, TheMenuShowsAndKeepsTheChoice) {
    std::unique_ptr<QMenu> menu(CreateAppearanceMenu(nullptr));
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_EQ(actions[0]->text(), "&System");
    EXPECT_TRUE(actions[0]->isChecked());
    actions[2]->trigger();
    EXPECT_EQ(CurrentAppearanceChoice(), AppearanceChoice::Dark);
    EXPECT_EQ(ActiveScheme(), Scheme::Dark);
    EXPECT_EQ(organisation().value(QStringLiteral("Appearance/Scheme")).toString(), "Dark");
    ApplyAppearanceChoice(AppearanceChoice::Light); // as the other program might
    emit menu->aboutToShow();
    EXPECT_TRUE(actions[1]->isChecked());
    EXPECT_FALSE(actions[2]->isChecked());
}
