#pragma once

#include <QColor>
#include <QImage>
#include <QPalette>

namespace pq::ui {

// The two colour schemes both programs paint in.
enum class Scheme { Light, Dark };

// The scheme the programs paint in now (uikit/appearance.h chooses it).
Scheme ActiveScheme();

// The contrast ratio of two colours as accessibility guidelines define it:
// (L1 + 0.05) / (L2 + 0.05) of their relative luminances, 1 to 21.
double ContrastRatio(const QColor& a, const QColor& b);

// The colour itself when it reads on the background with at least the given
// contrast; otherwise the colour moved towards black or white (whichever
// stands out more on the background) just far enough.
QColor Readable(const QColor& colour, const QColor& background, double minimum = 4.5);

// The colours of a scheme. Every one derives from ThemeColour(): in the
// light scheme paper is white and ink black, as the programs always drew;
// in the dark scheme paper is a deep grey with a trace of the theme colour
// and ink a near white tinted by it.
struct SchemeColours {
    QColor paper;   // lists, displays, strips, text boxes
    QColor ink;     // text and lines on paper
    QColor theme;   // the theme colour (DarkTint of it in the dark scheme): highlights, tints
    QColor accent;  // the theme colour as text (titles): readable on paper and windows
    QColor window;  // the background of dialogs and bars
    QColor greyInk; // secondary text (a live value, a note, a label)
    QColor errorInk;
    QColor errorMark; // behind a marked error
    QColor outputInk; // computed values of calculation files
};

SchemeColours ColoursOf(Scheme scheme);
// The colours of the active scheme, kept until the scheme or theme changes.
const SchemeColours& Colours();
// Forgets the kept colours (after a change of theme colour or scheme).
void ResetSchemeColours();

// Paper mixed with `amount`/256 of ink: the greys of frames and pressed
// looks. In the light scheme Shade(128) is (128, 128, 128) and Shade(64)
// is (192, 192, 192), the classic greys.
QColor Shade(int amount);

// TintColour of the theme for the active scheme: the theme colour mixed
// with white in the light scheme, with the dark paper in the dark one, so
// that a tint stays close to the paper it sits on.
QColor SchemeTint(int factor);

// The dark scheme's form of a tint (the theme colour, a bitmap's tint): the
// colour itself, or darkened until the dark scheme's ink reads on it.
QColor DarkTint(const QColor& tint);

// A colour designed for the light scheme as the active scheme shows it:
// unchanged in the light scheme; in the dark one its lightness is mirrored
// (hue and saturation kept), so pale backgrounds turn deep and dark texts
// turn bright.
QColor SchemeColour(const QColor& designed);

// The colours of a sunken edge: the outer and inner lines along the top and
// left (shadow), along the bottom and right (light).
struct EdgeColours {
    QColor outerShadow, innerShadow, outerLight, innerLight;
};
EdgeColours SunkenEdgeColours();

// The application palette of a scheme for Qt's own widgets (dialogs, menus,
// text boxes): the style's standard palette with highlight, links, grey and
// disabled texts made readable in the light scheme; a palette of the dark
// scheme's colours in the dark one.
QPalette SchemePalette(Scheme scheme, const QPalette& standard);

// A palette (the desktop's) with every text colour that reads less than
// 4.5:1 on its background (text, window text, button text, selected text,
// placeholders, links, tooltips) moved just far enough that it does; what
// reads already is kept.
QPalette ReadablePalette(const QPalette& palette);

// An icon image drawn for a light background, for a dark one: the pixels
// that would show less than 3:1 on the dark scheme's window colour become
// lighter (black, grey and navy strokes take the mirrored lightness and a
// paler hue; blue ones lighten in their hue); every other pixel stays.
QImage DarkIconImage(const QImage& image);

} // namespace pq::ui
