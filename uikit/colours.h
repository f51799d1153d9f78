#pragma once

#include <QColor>

namespace pq::ui {

// The title and highlight colour of both programs: RGB (64, 64, 192), unless
// the organisation settings of "Quorvane" hold "Appearance/ThemeColour" (any
// colour name Qt reads, such as "#2080a0"). Read once and cached.
QColor ThemeColour();

// Forgets the cached theme colour, so that the next call reads it again.
void ResetThemeColour();

// A paler form of a colour: each component c becomes
// 255 - ((255 - c) × (255 - factor)) / 256; factor 0 keeps the colour
// (almost), 255 gives white.
QColor TintColour(int factor, const QColor& colour);

} // namespace pq::ui
