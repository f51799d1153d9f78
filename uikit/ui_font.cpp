#include "uikit/ui_font.h"

#include <QFontMetrics>
#include <QStringList>

#include <algorithm>

#include "uikit/display_scale.h"

namespace pq::ui {

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
    const int cell = std::max(1, size * DisplayScale());
    // Qt sizes a font by its em square, the platform this layout was made for
    // by its cell; take the largest em whose cell still fits.
    int pixels = cell;
    font.setPixelSize(pixels);
    while (pixels > 1 && QFontMetrics(font).height() > cell) {
        --pixels;
        font.setPixelSize(pixels);
    }
    return font;
}

QRect MeasureText(const QFont& font, const QString& text) {
    const QFontMetrics metrics(font);
    const bool blank = text.isEmpty() || text == QLatin1String(" ");
    const int width = blank ? 0 : metrics.horizontalAdvance(text);
    return QRect(0, 0, width, metrics.height());
}

} // namespace pq::ui
