#pragma once

#include <QColor>
#include <QImage>
#include <QPixmap>

class QPainter;
class QWidget;

namespace pq::ui {

// One colour-table entry recoloured to a tint: grey entries (red = green =
// blue) stay; any other entry of lightness L = 255 - ⌊√((r² + g² + b²) / 3)⌋
// becomes, per component c of the tint, 255 - ((255 - c) × L) / 256. Dark
// entries come out close to the tint, bright ones close to white.
QRgb RecolourEntry(QRgb entry, const QColor& tint);

// An indexed image with its colour table recoloured; other images unchanged.
QImage RecolourImage(const QImage& image, const QColor& tint);

// A bitmap resource recoloured to a tint, drawn pixel-doubled when doubling
// is allowed and the display scale is 2.
class ThemedBitmap {
  public:
    // Loads the bitmap resource `id`; an indexed bitmap is recoloured, one
    // without a colour table is used as it is. False when it is missing.
    bool load(int id, const QColor& tint, bool allowDoubling);
    // Loads the bitmap without recolouring.
    bool loadPlain(int id, bool allowDoubling);
    // Replaces the image by the resource recoloured to a new tint; keeps the
    // old one when the new one cannot be made.
    bool reload(int id, const QColor& tint);
    // The same from an image already at hand.
    bool setImage(const QImage& image, const QColor* tint, bool allowDoubling);

    // The whole bitmap at its drawn size at (x, y).
    void drawAt(QPainter& painter, int x, int y) const;
    // Copies unscaled from (sourceX, sourceY) into the destination, or the
    // whole bitmap at (0, 0) without one.
    void drawPart(QPainter& painter, const QRect* destination, int sourceX, int sourceY) const;
    void destroy();

    bool isNull() const { return image_.isNull(); }
    bool hasPalette() const { return !image_.colorTable().isEmpty(); }
    int width() const { return image_.width(); }
    int height() const { return image_.height(); }
    bool isDoubled() const { return doubled_; }
    int drawnWidth() const { return doubled_ ? 2 * width() : width(); }
    int drawnHeight() const { return doubled_ ? 2 * height() : height(); }
    const QImage& image() const { return image_; }
    // The bitmap at its drawn size.
    const QPixmap& drawn() const { return drawn_; }

  private:
    QImage image_;
    QPixmap drawn_;
    bool allowDoubling_ = false;
    bool doubled_ = false;
};

// Fills a rectangle of a widget with a bitmap laid out on the widget's
// top-level window: the window point (X, Y) shows the drawn bitmap's pixel
// (X mod drawn width, Y mod drawn height), so neighbouring widgets continue
// one pattern. Without a bitmap the rectangle is filled white.
void PaintAlignedBackground(QPainter& painter, const QWidget& widget, const QRect& rect,
                            const ThemedBitmap* bitmap);

} // namespace pq::ui
