#pragma once

#include <QRect>

class QPainter;

namespace pq::ui {

// A sunken edge just inside a rectangle, two lines of `width` pixels: grey
// and dark grey along the top and left, white and light grey along the
// bottom and right, as the classic 3-D look draws a well.
void DrawSunkenEdge(QPainter& painter, const QRect& rect, int width);

} // namespace pq::ui
