#pragma once

#include <QFont>
#include <QString>

#include <optional>

#include "calculator/number_text.h"
#include "uikit/picture_button.h"

class QLabel;
class QPainter;

namespace pq::calc {

// A number shown in a windowless picture button: in one of four bases,
// grouped, in a smaller font when it grows past digits + 8 characters or past
// the width of its box, with
// an optional "M" indicator in its top-left corner. It keeps the number's
// text in lower case, ungrouped, the form the engine reads back.
class ResultDisplay {
  public:
    // box: the space the display may use; fontSize: the normal font's size.
    void create(QWidget* owner, unsigned commandId, const QRect& box, int digits, int fontSize,
                unsigned style, bool withIndicator);

    // A new box, the fonts scaled by fontScale; the number is shown anew.
    void place(const QRect& box, double fontScale);

    // Shows a decimal number text; the value is what it reads as, or the
    // value given, of which the text is a rounded form.
    void setText(const QString& text);
    void setText(const QString& text, double value);
    // Shows a value in the current base.
    void setValue(double value);
    // Shows "Error"; the text becomes empty.
    void showError();
    // Shows nothing.
    void clear();
    // The number's text: lower case, ungrouped; empty after an error.
    const QString& text() const { return text_; }
    // The number shown, to the last bit: the value given to setValue, or
    // what the text given to setText reads as.
    std::optional<double> value() const { return value_; }
    // What Copy takes: the value with the 15 significant digits a double
    // carries safely, trailing zeros dropped ("0.3" for 0.1 + 0.2,
    // "99999999999" where the display shows "100e9"); a based number as
    // shown ("0ffh"); empty after an error.
    QString copyText() const;
    bool hasText() const { return !text_.isEmpty(); }
    // The text, and whether there is one.
    bool getText(QString& text) const {
        text = text_;
        return hasText();
    }

    // The next base; a text that reads as a number is shown anew in it.
    QString cycleBase();
    // A base; a text that reads as a number is shown anew in it. The base's name.
    QString showInBase(Base base);
    Base base() const { return base_; }
    void setBase(Base base) { base_ = base; }
    // The digits and notation of decimal values; the value shown is shown
    // anew. A style's digits above the display's own count are cut to it.
    void setStyle(const NumberStyle& style);
    const NumberStyle& style() const { return style_; }
    QString baseName() const;

    // Gives the display a name for screen readers, which read the number
    // shown as its value.
    void setAccessibleName(const QString& name);
    QWidget* accessibleProxy() const { return accessible_; }

    void showIndicator(bool shown);
    bool isIndicatorShown() const;

    void draw(QPainter& painter) const { button_.draw(painter); }
    ui::PictureButton& button() { return button_; }
    const ui::PictureButton& button() const { return button_; }
    // What the display shows, grouped.
    const QString& shownText() const { return button_.text(); }
    bool usesSmallFont() const { return smallFontInUse_; }
    int digits() const { return digits_; }

  private:
    void show(const QString& text, Base grouping);
    // The fonts, made when first drawn with: a display that stays empty
    // costs no font at start.
    const QFont& normalFont();
    const QFont& smallFont();

    ui::PictureButton button_;
    Base base_ = Base::Dec;
    int digits_ = 10;     // the most digits this display shows
    NumberStyle style_;   // its digits no more than digits_
    QString text_;
    std::optional<double> value_;
    QString source_;            // the text as given, before lower-casing
    Base grouping_ = Base::Dec; // how the text was grouped
    bool error_ = false;        // "Error" is shown
    bool fromValue_ = false;    // the text was written from the value by setValue
    int fontSize_ = 28;
    double fontScale_ = 1.0; // how much larger than at the window's smallest
    std::optional<QFont> normalFont_;
    std::optional<QFont> smallFont_;
    bool smallFontInUse_ = false;
    QLabel* indicator_ = nullptr;
    QWidget* accessible_ = nullptr; // an empty window over the box
    QWidget* owner_ = nullptr;
    void updateAccessible();
};

} // namespace pq::calc
