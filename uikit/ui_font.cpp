#include "uikit/ui_font.h"

#include <QFontMetrics>
#include <QHash>
#include <QStringList>

#include <algorithm>

#include "uikit/display_scale.h"

namespace pq::ui {

namespace {

// The largest em, in pixels, whose cell (ascent plus descent) fits `cell`.
// Cells grow with the em, so the search starts where the face's proportion
// of cell to em, learnt from its last fit, says the answer lies; each size
// tried loads a font, so every fit found is kept.
int FittingPixelSize(QFont font, const QString& key, int cell) {
    struct Fit {
        double cellPerPixel = 0;
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
    int pixels = cell;
    if (fit.cellPerPixel > 0) {
        pixels = std::clamp(static_cast<int>(cell / fit.cellPerPixel), 1, cell);
    } else if (const int h = height(cell); h > cell) {
        fit.cellPerPixel = static_cast<double>(h) / cell;
        pixels = std::clamp(cell * cell / h, 1, cell);
    }
    bool tooLargeAbove = pixels == cell;
    while (pixels > 1 && height(pixels) > cell) {
        --pixels;
        tooLargeAbove = true;
    }
    while (!tooLargeAbove && pixels < cell && height(pixels + 1) <= cell) ++pixels;
    if (pixels > 1) fit.cellPerPixel = static_cast<double>(height(pixels)) / pixels;
    fit.pixelsOfCell.insert(cell, pixels);
    return pixels;
}

} // namespace

QFont CreateUiFont(int size, bool bold, const QString& face) {
    QFont font;
    const QStringList families{face, QStringLiteral("DejaVu Sans"),
                               QStringLiteral("Liberation Sans"), QStringLiteral("sans-serif")};
    font.setFamilies(families);
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    // Qt sizes a font by its em square, the platform this layout was made for
    // by its cell; take the largest em whose cell still fits.
    const int cell = std::max(1, size * DisplayScale());
    font.setPixelSize(cell);
    font.setPixelSize(FittingPixelSize(
        font, face + (bold ? QStringLiteral("/bold") : QStringLiteral("/normal")), cell));
    return font;
}

QRect MeasureText(const QFont& font, const QString& text) {
    const QFontMetrics metrics(font);
    const bool blank = text.isEmpty() || text == QLatin1String(" ");
    const int width = blank ? 0 : metrics.horizontalAdvance(text);
    return QRect(0, 0, width, metrics.height());
}

} // namespace pq::ui
