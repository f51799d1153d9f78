#pragma once

#include <QFont>
#include <QRect>
#include <QString>

namespace pq::ui {

// The desktop's general font, bold or normal, at the largest size whose cell
// height (ascent plus descent) is at most `size` × DisplayScale pixels: the
// layouts are drawn for cells of a given height.
QFont CreateUiFont(int size, bool bold);

// The single-line extent of a text at (0, 0). An empty text is measured as
// " ", and " " itself has width 0, so both give the font's height and no
// width.
QRect MeasureText(const QFont& font, const QString& text);

} // namespace pq::ui
