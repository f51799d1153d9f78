#pragma once

#include <QColor>
#include <QImage>
#include <QPixmap>

#include <optional>

#include "uikit/scheme_colours.h"

class QPainter;
class QWidget;

namespace pq::ui {

// One colour-table entry recoloured to a tint: grey entries (red = green =
// blue) stay; any other entry of lightness L = 255 - ⌊√((r² + g² + b²) / 3)⌋
// becomes, per component c of the tint, 255 - ((255 - c) × L) / 256. Dark
// entries come out close to the tint, bright ones close to white.
QRgb RecolourEntry(QRgb entry, const QColor& tint);

// The same rule for the dark scheme: the entry mixes the dark paper with
// the tint (its DarkTint when the image is recoloured) by its lightness L, per component p + ((c - p) × L) / 256 (with
// white paper this is the rule above); a grey entry mixes the paper with
// the ink by 255 - grey, so that white turns to paper and black to ink.
QRgb RecolourEntryDark(QRgb entry, const QColor& tint, const QColor& paper, const QColor& ink);

// An indexed image with its colour table recoloured; other images unchanged.
QImage RecolourImage(const QImage& image, const QColor& tint);
QImage RecolourImage(const QImage& image, const QColor& tint, Scheme scheme);

// A bitmap resource recoloured to a tint, drawn pixel-doubled when doubling
// is allowed and the display scale is 2. A tinted bitmap follows the active
// scheme: it is recoloured again when first drawn in the other scheme.
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

    bool isNull() const { return source_.isNull(); }
    bool hasPalette() const { return !source_.colorTable().isEmpty(); }
    int width() const { return source_.width(); }
    int height() const { return source_.height(); }
    bool isDoubled() const { return doubled_; }
    int drawnWidth() const { return doubled_ ? 2 * width() : width(); }
    int drawnHeight() const { return doubled_ ? 2 * height() : height(); }
    // The bitmap as the active scheme shows it.
    const QImage& image() const;
    // The same at its drawn size.
    const QPixmap& drawn() const;
    // Of the bitmap's colours, the one on which `ink` reads least: text
    // drawn over the bitmap is made readable on it.
    QColor leastContrastWith(const QColor& ink) const;

  private:
    void recolour() const;

    QImage source_;
    std::optional<QColor> tint_;
    bool allowDoubling_ = false;
    bool doubled_ = false;
    // Made for `scheme_` when first asked for.
    mutable std::optional<Scheme> scheme_;
    mutable QImage image_;
    mutable QPixmap drawn_;
    mutable QList<bool> used_; // which colour-table entries the pixels use
};

// Fills a rectangle of a widget with a bitmap laid out on the widget's
// top-level window: the window point (X, Y) shows the drawn bitmap's pixel
// (X mod drawn width, Y mod drawn height), so neighbouring widgets continue
// one pattern. Without a bitmap the rectangle is filled with paper.
void PaintAlignedBackground(QPainter& painter, const QWidget& widget, const QRect& rect,
                            const ThemedBitmap* bitmap);

} // namespace pq::ui
