#pragma once

#include <QFont>
#include <QRect>
#include <QString>

namespace pq::ui {

// A font whose cell height (ascent plus descent) is `size` × DisplayScale
// pixels, bold or normal weight. The face is "Tahoma" unless another is
// given; when the face is not installed, fontconfig's sans face stands in.
QFont CreateUiFont(int size, bool bold, const QString& face = QStringLiteral("Tahoma"));

// The single-line extent of a text at (0, 0). An empty text is measured as
// " ", and " " itself has width 0, so both give the font's height and no
// width.
QRect MeasureText(const QFont& font, const QString& text);

} // namespace pq::ui
