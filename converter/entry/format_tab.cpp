#include "converter/entry/format_tab.h"

#include <QFontMetrics>
#include <QPainter>

#include "engine/format_text.h"
#include "uikit/display_scale.h"
#include "uikit/scheme_colours.h"

namespace pq::conv {

QString FormatTab::LabelFor(int32_t format) {
    switch (format) {
    case Decimal:
    case Currency: return QStringLiteral("number"); // or a formula that gives one
    case Hex: return QStringLiteral("hexadecimal");
    case Octal: return QStringLiteral("octal");
    case Binary: return QStringLiteral("binary");
    case Compound: return QStringLiteral("compound");
    case Date: return QStringLiteral("date");
    case DateTime: return QStringLiteral("date and time");
    default: return {};
    }
}

void FormatTab::create(QWidget* owner, unsigned commandId, int32_t format, const QFont& font,
                       int x) {
    const int s = ui::DisplayScale();
    format_ = format;
    font_ = font;
    label_ = LabelFor(format).left(kMaxLabel);
    const int width = QFontMetrics(font).horizontalAdvance(label_) + 8 * s;
    init(QRect(x, 0, width, 20 * s), owner, commandId);
}

void FormatTab::setSelected(bool selected) {
    if (selected == selected_) return;
    selected_ = selected;
    repaint();
}

void FormatTab::draw(QPainter& painter) const {
    const int s = ui::DisplayScale();
    const QRect r = rect();
    const QColor shadow = ui::Shade(128);
    // A flat sunken frame: one grey line of s pixels all round.
    painter.fillRect(QRect(r.left(), r.top(), r.width(), s), shadow);
    painter.fillRect(QRect(r.left(), r.bottom() - s + 1, r.width(), s), shadow);
    painter.fillRect(QRect(r.left(), r.top(), s, r.height()), shadow);
    painter.fillRect(QRect(r.right() - s + 1, r.top(), s, r.height()), shadow);
    if (selected_)
        painter.fillRect(r.adjusted(s, s, -s, 0), ui::Colours().paper);
    else if (state() == Pressed)
        painter.fillRect(r.adjusted(s, s, -s, -s), ui::Shade(64));
    painter.setFont(font_);
    painter.setPen(ui::Colours().ink);
    painter.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, label_);
}

} // namespace pq::conv
