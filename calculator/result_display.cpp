#include "calculator/result_display.h"

#include <QAccessible>
#include <QLabel>

#include <cmath>

#include "calculator/frame_layout.h"
#include "engine/format_text.h"
#include "engine/number_parse.h"
#include "engine/plain_number.h"
#include "uikit/appearance.h"
#include "uikit/display_scale.h"
#include "uikit/ui_font.h"

namespace pq::calc {

void ResultDisplay::create(QWidget* owner, unsigned commandId, const QRect& box, int digits,
                           int fontSize, unsigned style, bool withIndicator) {
    digits_ = digits;
    style_.digits = std::min(style_.digits, digits);
    owner_ = owner;
    fontSize_ = fontSize;
    fontScale_ = 1.0;
    normalFont_.reset();
    smallFont_.reset();
    smallFontInUse_ = false;
    // The button draws no text, and so needs no font, before the first number.
    button_.create(owner, commandId, QString(), box.x(), box.y(), box.width(), box.height(),
                   QFont(), style);
    if (withIndicator && !indicator_) {
        const int s = ui::DisplayScale();
        indicator_ = new QLabel(QStringLiteral("M"), owner);
        indicator_->setObjectName(QStringLiteral("memoryIndicator"));
        indicator_->setAlignment(Qt::AlignCenter);
        indicator_->setAutoFillBackground(true);
        const auto colour = [indicator = indicator_] {
            QPalette palette = indicator->palette();
            palette.setColor(QPalette::Window, ui::Colours().paper);
            palette.setColor(QPalette::WindowText, ui::Colours().ink);
            indicator->setPalette(palette);
        };
        colour();
        ui::WhenSchemeChanges(indicator_, colour);
        indicator_->setGeometry(box.x() + 4 * s, box.y() + 2 * s, 10 * s, 12 * s);
        indicator_->hide();
    }
}

void ResultDisplay::setAccessibleName(const QString& name) {
    if (!owner_) return;
    if (!accessible_) {
        accessible_ = new QWidget(owner_);
        accessible_->setAttribute(Qt::WA_TransparentForMouseEvents);
        accessible_->setFocusPolicy(Qt::NoFocus);
    }
    accessible_->setGeometry(button_.layoutBox());
    accessible_->setAccessibleName(name);
    accessible_->show();
    updateAccessible();
}

void ResultDisplay::updateAccessible() {
    if (!accessible_) return;
    accessible_->setAccessibleDescription(button_.text());
    QAccessibleEvent event(accessible_, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}

const QFont& ResultDisplay::normalFont() {
    if (!normalFont_) normalFont_ = ScaledUiFont(fontSize_, fontScale_);
    return *normalFont_;
}

const QFont& ResultDisplay::smallFont() {
    if (!smallFont_) smallFont_ = ScaledUiFont(12, fontScale_);
    return *smallFont_;
}

void ResultDisplay::place(const QRect& box, double fontScale) {
    fontScale_ = fontScale;
    normalFont_.reset();
    smallFont_.reset();
    button_.place(box.x(), box.y(), box.width(), box.height());
    if (accessible_) accessible_->setGeometry(box);
    if (indicator_) {
        const int s = ui::DisplayScale();
        if (!indicator_->isHidden()) indicator_->setFont(smallFont());
        indicator_->setGeometry(box.x() + 4 * s, box.y() + 2 * s,
                                static_cast<int>(10 * s * fontScale),
                                static_cast<int>(12 * s * fontScale));
    }
    if (error_)
        showError();
    else if (!text_.isEmpty())
        show(source_, grouping_);
    else if (!button_.text().isEmpty())
        button_.setFont(normalFont());
}

void ResultDisplay::show(const QString& text, Base grouping) {
    error_ = false;
    grouping_ = grouping;
    source_ = text;
    text_ = text.toLower();
    const QString grouped = QString::fromStdU16String(groupDigits(text.toStdU16String(), grouping));
    // Past digits + 8 characters, or when the number would not fit the box in
    // the normal font (whose width depends on the face installed), the small
    // font keeps every digit visible, made smaller still if need be.
    const int room = button_.layoutBox().width() - 4 * ui::DisplayScale();
    auto fits = [&](const QFont& font) { return ui::MeasureText(font, grouped).width() <= room; };
    smallFontInUse_ = grouped.size() > digits_ + 8 || !fits(normalFont());
    QFont font = smallFontInUse_ ? smallFont() : normalFont();
    while (smallFontInUse_ && !fits(font) && font.pixelSize() > 6)
        font.setPixelSize(font.pixelSize() - 1);
    button_.setFont(font);
    button_.setText(grouped);
    updateAccessible();
}

void ResultDisplay::setText(const QString& text) {
    show(text, Base::Dec);
    fromValue_ = false;
    double value = 0;
    value_.reset();
    if (parseNumber(text_.toStdU16String(), value)) value_ = value;
}

void ResultDisplay::setText(const QString& text, double value) {
    show(text, Base::Dec);
    fromValue_ = false;
    value_ = value;
}

void ResultDisplay::setValue(double value) {
    if (!std::isfinite(value)) return showError();
    Base used = Base::Dec;
    const std::u16string text = baseOutput(value, base_, style_, &used);
    show(QString::fromStdU16String(text), used);
    value_ = value;
    fromValue_ = true;
}

void ResultDisplay::setStyle(const NumberStyle& style) {
    style_ = style;
    style_.digits = std::min(style.digits, digits_);
    // A number the display wrote itself is written anew; a text given to
    // it (the standard view's) stays as it was given.
    if (fromValue_ && value_ && !error_) setValue(*value_);
}

QString ResultDisplay::copyText() const {
    if (!value_) return QString();
    // A based number is exact as shown: "0ffh".
    if (grouping_ != Base::Dec) return text_;
    return QString::fromStdU16String(plainNumberText(*value_));
}

void ResultDisplay::showError() {
    error_ = true;
    text_.clear();
    value_.reset();
    smallFontInUse_ = false;
    button_.setFont(normalFont());
    button_.setText(QStringLiteral("Error"));
    updateAccessible();
}

void ResultDisplay::clear() {
    error_ = false;
    text_.clear();
    value_.reset();
    button_.setText(QString());
    updateAccessible();
}

QString ResultDisplay::cycleBase() {
    return showInBase(static_cast<Base>((static_cast<int>(base_) + 1) % 4));
}

QString ResultDisplay::showInBase(Base base) {
    base_ = base;
    if (value_) setValue(*value_);
    return baseName();
}

QString ResultDisplay::baseName() const {
    return QString::fromStdU16String(std::u16string(calc::baseName(base_)));
}

void ResultDisplay::showIndicator(bool shown) {
    if (!indicator_) return;
    if (shown) indicator_->setFont(smallFont());
    indicator_->setVisible(shown);
}

bool ResultDisplay::isIndicatorShown() const { return indicator_ && !indicator_->isHidden(); }

} // namespace pq::calc
