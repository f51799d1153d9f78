#include "uikit/edges.h"

#include <QPainter>

#include "uikit/scheme_colours.h"

namespace pq::ui {

namespace {

void drawBorder(QPainter& painter, const QRect& r, int w, const QColor& topLeft,
                const QColor& bottomRight) {
    painter.fillRect(QRect(r.left(), r.top(), r.width(), w), topLeft);
    painter.fillRect(QRect(r.left(), r.top(), w, r.height()), topLeft);
    painter.fillRect(QRect(r.left(), r.bottom() - w + 1, r.width(), w), bottomRight);
    painter.fillRect(QRect(r.right() - w + 1, r.top(), w, r.height()), bottomRight);
}

} // namespace

void DrawSunkenEdge(QPainter& painter, const QRect& rect, int width) {
    const EdgeColours edge = SunkenEdgeColours();
    drawBorder(painter, rect, width, edge.outerShadow, edge.outerLight);
    drawBorder(painter, rect.adjusted(width, width, -width, -width), width, edge.innerShadow,
               edge.innerLight);
}

} // namespace pq::ui
