#include "uikit/themed_bitmap.h"

#include <QPainter>
#include <QWidget>

#include <cmath>

#include "uikit/deferred_icon.h"
#include "uikit/display_scale.h"
#include "uikit/resources.h"

namespace pq::ui {

QRgb RecolourEntry(QRgb entry, const QColor& tint) {
    const int r = qRed(entry), g = qGreen(entry), b = qBlue(entry);
    if (r == g && g == b) return entry;
    const int mean = (r * r + g * g + b * b) / 3;
    const int level = 255 - static_cast<int>(std::sqrt(static_cast<double>(mean)));
    auto component = [level](int c) { return 255 - ((255 - c) * level) / 256; };
    return qRgba(component(tint.red()), component(tint.green()), component(tint.blue()),
                 qAlpha(entry));
}

QImage RecolourImage(const QImage& image, const QColor& tint) {
    QList<QRgb> table = image.colorTable();
    if (table.isEmpty()) return image;
    for (QRgb& entry : table) entry = RecolourEntry(entry, tint);
    QImage recoloured = image;
    recoloured.setColorTable(table);
    return recoloured;
}

bool ThemedBitmap::load(int id, const QColor& tint, bool allowDoubling) {
    const QImage image = ReadImageFile(BitmapResourcePath(id));
    return setImage(image, &tint, allowDoubling);
}

bool ThemedBitmap::loadPlain(int id, bool allowDoubling) {
    const QImage image = ReadImageFile(BitmapResourcePath(id));
    return setImage(image, nullptr, allowDoubling);
}

bool ThemedBitmap::reload(int id, const QColor& tint) {
    const QImage image = ReadImageFile(BitmapResourcePath(id));
    if (image.isNull()) return false;
    return setImage(image, &tint, allowDoubling_);
}

bool ThemedBitmap::setImage(const QImage& image, const QColor* tint, bool allowDoubling) {
    if (image.isNull()) return false;
    image_ = tint ? RecolourImage(image, *tint) : image;
    allowDoubling_ = allowDoubling;
    doubled_ = allowDoubling && DisplayScale() != 1;
    const QImage shown =
        doubled_ ? image_.scaled(image_.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                 : image_;
    drawn_ = QPixmap::fromImage(shown);
    return true;
}

void ThemedBitmap::drawAt(QPainter& painter, int x, int y) const {
    if (!drawn_.isNull()) painter.drawPixmap(x, y, drawn_);
}

void ThemedBitmap::drawPart(QPainter& painter, const QRect* destination, int sourceX,
                            int sourceY) const {
    if (drawn_.isNull()) return;
    if (!destination) {
        painter.drawPixmap(0, 0, drawn_);
        return;
    }
    painter.drawPixmap(destination->topLeft(), drawn_,
                       QRect(QPoint(sourceX, sourceY), destination->size()));
}

void ThemedBitmap::destroy() {
    image_ = QImage();
    drawn_ = QPixmap();
    doubled_ = false;
}

void PaintAlignedBackground(QPainter& painter, const QWidget& widget, const QRect& rect,
                            const ThemedBitmap* bitmap) {
    if (!bitmap || bitmap->isNull()) {
        painter.fillRect(rect, Qt::white);
        return;
    }
    const QPoint origin = widget.mapTo(widget.window(), QPoint(0, 0));
    const int w = bitmap->drawnWidth();
    const int h = bitmap->drawnHeight();
    auto wrap = [](int value, int period) { return ((value % period) + period) % period; };
    const QPoint offset(wrap(rect.left() + origin.x(), w), wrap(rect.top() + origin.y(), h));
    painter.drawTiledPixmap(rect, bitmap->drawn(), offset);
}

} // namespace pq::ui
