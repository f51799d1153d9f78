#include "uikit/themed_bitmap.h"

#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <array>
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

QRgb RecolourEntryDark(QRgb entry, const QColor& tint, const QColor& paper, const QColor& ink) {
    const int r = qRed(entry), g = qGreen(entry), b = qBlue(entry);
    auto mix = [](int p, int c, int amount) { return p + ((c - p) * amount) / 256; };
    if (r == g && g == b)
        return qRgba(mix(paper.red(), ink.red(), 255 - r), mix(paper.green(), ink.green(), 255 - r),
                     mix(paper.blue(), ink.blue(), 255 - r), qAlpha(entry));
    const int mean = (r * r + g * g + b * b) / 3;
    const int level = 255 - static_cast<int>(std::sqrt(static_cast<double>(mean)));
    return qRgba(mix(paper.red(), tint.red(), level), mix(paper.green(), tint.green(), level),
                 mix(paper.blue(), tint.blue(), level), qAlpha(entry));
}

QImage RecolourImage(const QImage& image, const QColor& tint) {
    return RecolourImage(image, tint, Scheme::Light);
}

QImage RecolourImage(const QImage& image, const QColor& tint, Scheme scheme) {
    QList<QRgb> table = image.colorTable();
    if (table.isEmpty()) return image;
    const SchemeColours colours = ColoursOf(Scheme::Dark);
    const QColor darkTint = DarkTint(tint);
    for (QRgb& entry : table)
        entry = scheme == Scheme::Light
                    ? RecolourEntry(entry, tint)
                    : RecolourEntryDark(entry, darkTint, colours.paper, colours.ink);
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
    source_ = image;
    used_.clear();
    tint_ = tint ? std::optional<QColor>(*tint) : std::nullopt;
    allowDoubling_ = allowDoubling;
    doubled_ = allowDoubling && DisplayScale() != 1;
    scheme_.reset();
    return true;
}

void ThemedBitmap::recolour() const {
    const Scheme scheme = tint_ ? ActiveScheme() : Scheme::Light;
    if (scheme_ == scheme) return;
    scheme_ = scheme;
    image_ = tint_ ? RecolourImage(source_, *tint_, scheme) : source_;
    const QImage shown =
        doubled_ ? image_.scaled(image_.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                 : image_;
    drawn_ = QPixmap::fromImage(shown);
}

const QImage& ThemedBitmap::image() const {
    if (!source_.isNull()) recolour();
    return image_;
}

const QPixmap& ThemedBitmap::drawn() const {
    if (!source_.isNull()) recolour();
    return drawn_;
}

QColor ThemedBitmap::leastContrastWith(const QColor& ink) const {
    const QImage& shown = image();
    QList<QRgb> colours;
    const QList<QRgb> table = shown.colorTable();
    if (used_.isEmpty() && !table.isEmpty() && source_.format() == QImage::Format_Indexed8) {
        std::array<bool, 256> used{};
        for (int y = 0; y < source_.height(); ++y) {
            const uchar* line = source_.constScanLine(y);
            for (int x = 0; x < source_.width(); ++x) used[line[x]] = true;
        }
        used_ = QList<bool>(used.begin(), used.begin() + std::min<qsizetype>(table.size(), 256));
    }
    for (qsizetype i = 0; i < table.size(); ++i)
        if (used_.value(i)) colours.push_back(table[i]);
    if (table.isEmpty()) {
        // Without a table, a sample of the pixels stands for them.
        for (int y = 0; y < shown.height(); y += 4)
            for (int x = 0; x < shown.width(); x += 4) colours.push_back(shown.pixel(x, y));
    }
    QColor least = Colours().paper;
    double lowest = 22;
    for (QRgb colour : colours) {
        const double ratio = ContrastRatio(ink, QColor::fromRgb(colour));
        if (ratio < lowest) lowest = ratio, least = QColor::fromRgb(colour);
    }
    return least;
}

void ThemedBitmap::drawAt(QPainter& painter, int x, int y) const {
    if (!isNull()) painter.drawPixmap(x, y, drawn());
}

void ThemedBitmap::drawPart(QPainter& painter, const QRect* destination, int sourceX,
                            int sourceY) const {
    if (isNull()) return;
    if (!destination) {
        painter.drawPixmap(0, 0, drawn());
        return;
    }
    painter.drawPixmap(destination->topLeft(), drawn(),
                       QRect(QPoint(sourceX, sourceY), destination->size()));
}

void ThemedBitmap::destroy() {
    source_ = QImage();
    tint_.reset();
    scheme_.reset();
    image_ = QImage();
    drawn_ = QPixmap();
    doubled_ = false;
}

void PaintAlignedBackground(QPainter& painter, const QWidget& widget, const QRect& rect,
                            const ThemedBitmap* bitmap) {
    if (!bitmap || bitmap->isNull()) {
        painter.fillRect(rect, Colours().paper);
        return;
    }
    const QPoint origin = widget.mapTo(widget.window(), QPoint(0, 0));
    const int w = bitmap->drawnWidth();
    const int h = bitmap->drawnHeight();
    auto wrap = [](int value, int period) { return ((value % period) + period) % period; };
    // In bands: Qt spreads a textured fill of more than about a hundred rows
    // over its thread pool, and handing the rows over and back costs more than
    // painting them.
    constexpr int kBandRows = 64;
    for (int top = rect.top(); top <= rect.bottom(); top += kBandRows) {
        const QRect band(rect.left(), top, rect.width(),
                         std::min(kBandRows, rect.bottom() + 1 - top));
        const QPoint offset(wrap(band.left() + origin.x(), w), wrap(band.top() + origin.y(), h));
        painter.drawTiledPixmap(band, bitmap->drawn(), offset);
    }
}

} // namespace pq::ui
