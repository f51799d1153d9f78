#include "uikit/picture_button.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

#include "uikit/display_scale.h"
#include "uikit/resources.h"
#include "uikit/scheme_colours.h"
#include "uikit/ui_font.h"

namespace pq::ui {

namespace {

constexpr unsigned kAnyArrow = kDropDownArrow | kDropDownArrowAlt;

} // namespace

void PictureButton::create(QWidget* owner, unsigned commandId, const QString& text, int x, int y,
                           int width, int height, const QFont& font, unsigned style,
                           int parameter) {
    init(QRect(), owner, commandId, false, parameter);
    font_ = font;
    style_ = style;
    box_ = QRect(x, y, width, height);
    text_.clear();
    layout();
    setText(text);
}

void PictureButton::setText(const QString& text) {
    if (text == text_) return;
    text_ = text;
    repaint();
    layout();
    repaint();
}

void PictureButton::setIcon(const QIcon& icon) {
    if (icon.cacheKey() == icon_.cacheKey()) return;
    icon_ = icon;
    repaint();
    layout();
    repaint();
}

void PictureButton::setFont(const QFont& font) {
    if (font == font_) return;
    font_ = font;
    repaint();
    layout();
    repaint();
}

void PictureButton::place(int x, int y, int width, int height) {
    repaint();
    box_ = QRect(x, y, width, height);
    layout();
    repaint();
}

void PictureButton::layout() {
    const int s = DisplayScale();
    const QRect measured = MeasureText(font_, text_);
    int height = measured.height();
    if (!icon_.isNull()) height = std::max(height, 20 * s);
    int width = measured.width();
    if (!text_.isEmpty()) width += 4 * s;
    if (style_ & kAnyArrow) width += 16 * s;
    if (!icon_.isNull()) width += 20 * s;

    const int boxRight = box_.x() + box_.width();
    const int boxBottom = box_.y() + box_.height();
    int left = box_.x();
    int right = left + width;
    if (style_ & kRightAligned) {
        right = boxRight;
        left = right - width;
    }
    right = std::min(right, boxRight);
    left = std::max(left, box_.x());
    const int top = box_.y();
    const int bottom = std::min(top + height, boxBottom);
    setRect(QRect(left, top, std::max(0, right - left), std::max(0, bottom - top)));
}

QRect PictureButton::contentRect() const {
    const int s = DisplayScale();
    QRect content = rect().adjusted(2 * s, 0, -2 * s, 0);
    if (style_ & kAnyArrow) content.setRight(content.right() - 16 * s);
    if (!icon_.isNull()) content.setLeft(content.left() + 20 * s);
    return content;
}

QString PictureButton::shownText() const {
    return ShortenText(text_, QFontMetrics(font_), contentRect().width());
}

QString PictureButton::ShortenText(const QString& text, const QFontMetrics& metrics, int width) {
    const int slack = 3 * DisplayScale();
    QString shown = text;
    while (!shown.isEmpty() && metrics.horizontalAdvance(shown) > width + slack) {
        shown.chop(shown.size() >= 2 && shown.back().isLowSurrogate() ? 2 : 1);
        if (shown.size() > 1) {
            if (shown.back().isLowSurrogate()) shown.chop(1);
            shown.back() = QLatin1Char('~');
        }
    }
    return shown;
}

void PictureButton::draw(QPainter& painter) const {
    const int s = DisplayScale();
    const QRect r = rect();
    if (r.isEmpty()) return;
    painter.save();
    if (state() == Pressed) {
        if (style_ & kFocusWhenPressed) {
            painter.setPen(QPen(Shade(192), s, Qt::DotLine));
            painter.setBrush(Qt::NoBrush);
            const int half = s / 2;
            painter.drawRect(r.adjusted(half, half, -half - 1, -half - 1));
        }
        if (style_ & kUnderlineWhenPressed) {
            const int from = r.left() + (icon_.isNull() ? 0 : 20 * s);
            painter.fillRect(QRect(from, r.bottom() - s + 1, r.right() + 1 - from, s), Colours().ink);
        }
        if (style_ & kSunkenWhenPressed) {
            const QColor shadow = Shade(128);
            painter.fillRect(QRect(r.left(), r.top(), r.width(), s), shadow);
            painter.fillRect(QRect(r.left(), r.bottom() - s + 1, r.width(), s), shadow);
            painter.fillRect(QRect(r.left(), r.top(), s, r.height()), shadow);
            painter.fillRect(QRect(r.right() - s + 1, r.top(), s, r.height()), shadow);
        }
    }

    QRect content = r.adjusted(2 * s, 0, -2 * s, 0);
    const int centre = r.top() + r.height() / 2;
    const int icon = IconSize();
    if (style_ & kAnyArrow) {
        content.setRight(content.right() - 16 * s);
        const QIcon arrow = LoadIcon((style_ & kDropDownArrow) ? 133 : 134);
        arrow.paint(&painter, QRect(content.right() + 1 + 2 * s, centre - 8 * s, icon, icon));
    }
    if (!icon_.isNull()) {
        icon_.paint(&painter, QRect(content.left(), centre - 8 * s, icon, icon), Qt::AlignCenter,
                    state() == Disabled ? QIcon::Disabled : QIcon::Normal);
        content.setLeft(content.left() + 20 * s);
    }
    if (!text_.isEmpty()) {
        painter.setFont(font_);
        const QString shown = ShortenText(text_, painter.fontMetrics(), content.width());
        const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
        QRect textRect(content.topLeft(),
                       QSize(painter.fontMetrics().horizontalAdvance(shown) + s, r.height()));
        if (style_ & kShadowedText) {
            painter.setPen(Shade(64));
            painter.drawText(textRect.translated(s, s), flags, shown);
        }
        painter.setPen(Colours().ink);
        painter.drawText(textRect, flags, shown);
    }
    painter.restore();
}

} // namespace pq::ui
