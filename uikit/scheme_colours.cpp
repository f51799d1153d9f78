#include "uikit/scheme_colours.h"

#include <QGuiApplication>

#include <algorithm>
#include <cmath>
#include <optional>

#include "uikit/colours.h"

namespace pq::ui {

namespace {

double linear(int component) {
    const double c = component / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& colour) {
    return 0.2126 * linear(colour.red()) + 0.7152 * linear(colour.green()) +
           0.0722 * linear(colour.blue());
}

// `from` moved amount/256 of the way to `to`, component by component.
QColor mix(const QColor& from, const QColor& to, int amount) {
    auto part = [amount](int a, int b) { return a + ((b - a) * amount) / 256; };
    return QColor(part(from.red(), to.red()), part(from.green(), to.green()),
                  part(from.blue(), to.blue()));
}

// The contrast asked of text everywhere, with a little room for rounding.
constexpr double kTextContrast = 4.6;

std::optional<SchemeColours> g_colours;
Scheme g_coloursScheme = Scheme::Light;

} // namespace

double ContrastRatio(const QColor& a, const QColor& b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor Readable(const QColor& colour, const QColor& background, double minimum) {
    if (ContrastRatio(colour, background) >= minimum) return colour;
    const QColor target = ContrastRatio(Qt::black, background) >= ContrastRatio(Qt::white, background)
                              ? QColor(Qt::black)
                              : QColor(Qt::white);
    for (int amount = 16; amount < 256; amount += 16) {
        const QColor moved = mix(colour, target, amount);
        if (ContrastRatio(moved, background) >= minimum) return moved;
    }
    return target;
}

QColor DarkTint(const QColor& tint) {
    const QColor ink = TintColour(232, ThemeColour());
    return Readable(tint, ink, kTextContrast);
}

SchemeColours ColoursOf(Scheme scheme) {
    const QColor theme = ThemeColour();
    SchemeColours c;
    c.theme = scheme == Scheme::Light ? theme : DarkTint(theme);
    if (scheme == Scheme::Light) {
        c.paper = Qt::white;
        c.ink = Qt::black;
        c.errorInk = QColor(192, 0, 0);
        c.errorMark = QColor(255, 208, 208);
        c.outputInk = QColor(0, 112, 0);
    } else {
        auto deep = [](int component) { return 26 + (component * 16) / 256; };
        c.paper = QColor(deep(theme.red()), deep(theme.green()), deep(theme.blue()));
        c.ink = TintColour(232, theme);
        c.errorInk = QColor(255, 128, 128);
        c.errorMark = QColor(88, 28, 36);
        c.outputInk = QColor(120, 216, 120);
    }
    c.window = mix(c.paper, c.ink, 16);
    // Grey text reads on paper, windows and (disabled) buttons alike; styles
    // draw a button's face somewhat lighter than the palette's colour.
    const QColor button = mix(c.paper, c.ink, 48);
    c.greyInk = Readable(Readable(mix(c.paper, c.ink, 152), c.window, kTextContrast), button,
                         kTextContrast);
    c.accent = Readable(Readable(theme, c.paper, kTextContrast), c.window, kTextContrast);
    return c;
}

const SchemeColours& Colours() {
    const Scheme scheme = ActiveScheme();
    if (!g_colours || g_coloursScheme != scheme) {
        g_colours = ColoursOf(scheme);
        g_coloursScheme = scheme;
    }
    return *g_colours;
}

void ResetSchemeColours() { g_colours.reset(); }

QColor Shade(int amount) {
    const SchemeColours& c = Colours();
    return mix(c.paper, c.ink, std::clamp(amount, 0, 256));
}

QColor SchemeTint(int factor) {
    const SchemeColours& c = Colours();
    if (ActiveScheme() == Scheme::Light) return TintColour(factor, c.theme);
    return mix(c.paper, c.theme, 255 - std::clamp(factor, 0, 255));
}

QColor SchemeColour(const QColor& designed) {
    if (ActiveScheme() == Scheme::Light) return designed;
    float h = 0, s = 0, l = 0, a = 1;
    designed.getHslF(&h, &s, &l, &a);
    // Mirrored about a point a little above the middle, so that pale
    // backgrounds turn deep but not black, and dark texts bright.
    const float mirrored = std::clamp(1.08f - l, 0.0f, 1.0f);
    return QColor::fromHslF(h, s, mirrored, a).toRgb();
}

EdgeColours SunkenEdgeColours() {
    if (ActiveScheme() == Scheme::Light)
        return {QColor(128, 128, 128), QColor(64, 64, 64), QColor(255, 255, 255),
                QColor(212, 208, 200)};
    const SchemeColours& c = Colours();
    return {mix(c.paper, Qt::black, 128), mix(c.paper, Qt::black, 192), mix(c.paper, c.ink, 72),
            mix(c.paper, c.ink, 40)};
}

QPalette SchemePalette(Scheme scheme, const QPalette& standard) {
    const SchemeColours c = ColoursOf(scheme);
    QPalette p = standard;
    auto setAll = [&p](QPalette::ColorRole role, const QColor& colour) {
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            p.setColor(group, role, colour);
    };
    if (scheme == Scheme::Dark) {
        setAll(QPalette::Window, c.window);
        setAll(QPalette::Base, c.paper);
        setAll(QPalette::AlternateBase, mix(c.paper, c.ink, 8));
        setAll(QPalette::Button, mix(c.paper, c.ink, 24));
        setAll(QPalette::Light, mix(c.paper, c.ink, 64));
        setAll(QPalette::Midlight, mix(c.paper, c.ink, 44));
        setAll(QPalette::Mid, mix(c.paper, Qt::black, 64));
        setAll(QPalette::Dark, mix(c.paper, Qt::black, 128));
        setAll(QPalette::Shadow, Qt::black);
        for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText,
                          QPalette::BrightText, QPalette::ToolTipText})
            setAll(role, c.ink);
        setAll(QPalette::ToolTipBase, mix(c.paper, c.ink, 40));
    } else {
        setAll(QPalette::Base, c.paper);
        for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            setAll(role, c.ink);
    }
    // The selection in the theme colour (made darker or lighter when its text
    // would not read), its text in ink or paper, whichever reads better.
    const QColor selected =
        ContrastRatio(c.ink, c.theme) >= ContrastRatio(c.paper, c.theme) ? c.ink : c.paper;
    setAll(QPalette::Highlight, Readable(c.theme, selected, kTextContrast));
    setAll(QPalette::HighlightedText, selected);
    setAll(QPalette::Link, c.accent);
    setAll(QPalette::LinkVisited, c.accent);
    setAll(QPalette::PlaceholderText, c.greyInk);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, c.greyInk);
    // A tooltip's own colours, when they do not read, fall back to the window's.
    if (ContrastRatio(p.color(QPalette::ToolTipText), p.color(QPalette::ToolTipBase)) <
        kTextContrast) {
        setAll(QPalette::ToolTipBase, c.window);
        setAll(QPalette::ToolTipText, c.ink);
    }
    return p;
}

QPalette ReadablePalette(const QPalette& palette) {
    struct Pair {
        QPalette::ColorRole text, ground;
    };
    static constexpr Pair kPairs[] = {
        {QPalette::Text, QPalette::Base},
        {QPalette::WindowText, QPalette::Window},
        {QPalette::ButtonText, QPalette::Button},
        {QPalette::HighlightedText, QPalette::Highlight},
        {QPalette::PlaceholderText, QPalette::Base},
        {QPalette::Link, QPalette::Base},
        {QPalette::LinkVisited, QPalette::Base},
        {QPalette::ToolTipText, QPalette::ToolTipBase},
    };
    QPalette readable = palette;
    // Disabled controls keep the desktop's look: nothing is asked of them.
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        for (const Pair& pair : kPairs) {
            const QColor text = palette.color(group, pair.text);
            const QColor ground = palette.color(group, pair.ground);
            if (ContrastRatio(text, ground) < kTextContrast)
                readable.setColor(group, pair.text, Readable(text, ground, kTextContrast));
        }
    }
    return readable;
}

QImage DarkIconImage(const QImage& image) {
    // Icons sit on paper, on the lighter window colour (bars) and on the
    // selection's tint. What stands out less than 3:1 from those, as
    // guidelines ask of icons, is lightened: the nearly black strokes
    // mirrored, the rest (blue strokes) made lighter, each keeping its hue.
    const SchemeColours dark = ColoursOf(Scheme::Dark);
    const QColor selected = mix(dark.paper, dark.theme, 255 - 140); // SchemeTint(140)
    // With room for the lighter faces of pressed and checked buttons.
    constexpr double kIconContrast = 3.6;
    auto standsOut = [&](const QColor& c) {
        return ContrastRatio(c, dark.window) >= kIconContrast &&
               ContrastRatio(c, selected) >= kIconContrast;
    };
    QImage shown = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < shown.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(shown.scanLine(y));
        for (int x = 0; x < shown.width(); ++x) {
            const QColor colour = QColor::fromRgba(line[x]);
            if (colour.alpha() == 0 || standsOut(colour)) continue;
            QColor lighter = colour;
            if (ContrastRatio(colour, dark.paper) < 2.0) {
                float h = 0, s = 0, l = 0, a = 1;
                colour.getHslF(&h, &s, &l, &a);
                lighter = QColor::fromHslF(h, 0.4f * s, 1.0f - l, a);
            }
            for (int k = 0; k < 4 && !standsOut(lighter); ++k)
                lighter = Readable(Readable(lighter, dark.window, kIconContrast), selected,
                                   kIconContrast);
            lighter.setAlpha(colour.alpha());
            line[x] = lighter.rgba();
        }
    }
    return shown;
}

} // namespace pq::ui
