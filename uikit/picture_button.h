#pragma once

#include <QFont>
#include <QIcon>
#include <QString>

#include "uikit/push_button.h"

class QFontMetrics;
class QPainter;

namespace pq::ui {

// Style flags of a PictureButton.
enum PictureStyle : unsigned {
    kFocusWhenPressed = 1,     // focus rectangle while shown pressed
    kUnderlineWhenPressed = 2, // black bottom line while shown pressed
    kSunkenWhenPressed = 4,    // flat sunken frame while shown pressed
    kDropDownArrow = 8,        // drop-down arrow, icon 133
    kDropDownArrowAlt = 16,    // drop-down arrow, icon 134
    kRightAligned = 32,        // placed at the right of its layout box
    kShadowedText = 64,        // text with a light grey shadow
};

// A PushButton with an optional icon, text and drop-down arrow, sized to its
// content within a layout box. A text too wide for the button is shortened
// and ends in "~".
class PictureButton : public PushButton {
  public:
    void create(QWidget* owner, unsigned commandId, const QString& text, int x, int y, int width,
                int height, const QFont& font, unsigned style, int parameter = 0);

    void setText(const QString& text);
    void setIcon(const QIcon& icon);
    void setFont(const QFont& font);
    // A new layout box.
    void place(int x, int y, int width, int height);

    void draw(QPainter& painter) const;

    const QString& text() const { return text_; }
    const QFont& font() const { return font_; }
    unsigned style() const { return style_; }
    const QRect& layoutBox() const { return box_; }
    // The text as drawn: shortened to the content area.
    QString shownText() const;

    // Drops characters from the end until the text is at most 3·s pixels
    // wider than `width`; every shortened text of more than one character
    // ends in "~".
    static QString ShortenText(const QString& text, const QFontMetrics& metrics, int width);

  private:
    void layout();
    QRect contentRect() const;

    QIcon icon_;
    QString text_;
    QFont font_;
    QRect box_;
    unsigned style_ = 0;
};

} // namespace pq::ui
