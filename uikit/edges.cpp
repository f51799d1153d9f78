#include "uikit/edges.h"

#include <QPainter>

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
    drawBorder(painter, rect, width, QColor(128, 128, 128), QColor(255, 255, 255));
    drawBorder(painter, rect.adjusted(width, width, -width, -width), width, QColor(64, 64, 64),
               QColor(212, 208, 200));
}

} // namespace pq::ui
