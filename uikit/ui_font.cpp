#include "uikit/ui_font.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QHash>
#include <QRawFont>

#include <algorithm>
#include <cmath>

#include "uikit/display_scale.h"
#include "uikit/font_warm_up.h"

namespace pq::ui {

namespace {

// Ascent plus descent of common sans faces, in ems (DejaVu Sans 1.16,
// Liberation Sans 1.15, Noto Sans 1.36).
constexpr double kCellPerEm = 1.16;

// The cell of a font: its ascent and descent, each rounded, as QFontMetrics
// gives its height.
int CellOf(const QRawFont& raw) {
    return static_cast<int>(std::lround(raw.ascent())) +
           static_cast<int>(std::lround(raw.descent()));
}

// The largest em, in pixels, whose cell (ascent plus descent) fits `cell`:
// the first size, from the cell down, that fits. Loading a font for every
// size tried would ask fontconfig each time; the sizes are tried on one
// outline font of the face instead, scaled without fontconfig, and the
// answer is checked against the font itself, which is loaded for drawing in
// any case. Should the two ever disagree, every size is loaded after all.
int FittingPixelSize(QFont font, const QString& key, int cell) {
    struct Fit {
        QRawFont outline;
        QHash<int, int> pixelsOfCell;
    };
    static QHash<QString, Fit> fits;
    Fit& fit = fits[key];
    if (const auto found = fit.pixelsOfCell.constFind(cell); found != fit.pixelsOfCell.constEnd())
        return *found;
    auto height = [&font](int pixels) {
        font.setPixelSize(pixels);
        return QFontMetrics(font).height();
    };
    if (!fit.outline.isValid()) {
        // Any size of the face serves for the outline; the em most sans faces
        // need for this cell is likely the size drawn, so the face is looked
        // up once instead of twice.
        QFont likely = font;
        likely.setPixelSize(std::max(1, static_cast<int>(std::lround(cell / kCellPerEm))));
        fit.outline = QRawFont::fromFont(likely);
    }
    int pixels = cell;
    bool checked = false;
    if (fit.outline.isValid()) {
        QRawFont scaled = fit.outline;
        auto scaledHeight = [&scaled](int size) {
            scaled.setPixelSize(size);
            return CellOf(scaled);
        };
        while (pixels > 1 && scaledHeight(pixels) > cell) --pixels;
        checked = height(pixels) == scaledHeight(pixels);
    }
    if (!checked) {
        pixels = cell;
        while (pixels > 1 && height(pixels) > cell) --pixels;
    }
    fit.pixelsOfCell.insert(cell, pixels);
    return pixels;
}

} // namespace

QFont CreateUiFont(int size, bool bold) {
    WaitForFonts();
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    // Qt sizes a font by its em square, this layout by the font's cell; take
    // the largest em whose cell still fits.
    const int cell = std::max(1, size * DisplayScale());
    font.setPixelSize(cell);
    font.setPixelSize(FittingPixelSize(
        font, font.family() + (bold ? QStringLiteral("/bold") : QStringLiteral("/normal")), cell));
    return font;
}

QRect MeasureText(const QFont& font, const QString& text) {
    const QFontMetrics metrics(font);
    const bool blank = text.isEmpty() || text == QLatin1String(" ");
    const int width = blank ? 0 : metrics.horizontalAdvance(text);
    return QRect(0, 0, width, metrics.height());
}

} // namespace pq::ui
