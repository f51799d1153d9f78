#pragma once

#include <QBasicTimer>
#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

#include <span>
#include <vector>

#include "uikit/window_object.h"

namespace pq::calc {

class KeyNamePopup;

// One key of a keypad as its table gives it.
struct KeyDefinition {
    const char16_t* label;
    const char16_t* longName; // shown while the key is held; may be null
    QRgb textColour;
    QRgb backgroundColour;
};

// The cells of a keypad of C columns and R rows over a W × H area: cell i
// is column i mod C, row i div C, from c·W/C to (c+1)·W/C - 1 across and
// r·H/R to (r+1)·H/R - 1 down.
struct KeyGrid {
    int width = 0;
    int height = 0;
    int columns = 1;
    int rows = 1;

    QRect cellRect(int cell) const;
    // The cell under a point, -1 outside the area.
    int cellAt(QPoint point) const;
};

// A grid of keys in one window. A tap on a key posts the command first id +
// cell to the command receiver; the key lights while the pen is on it, and
// a pen that slides off and is lifted elsewhere sends nothing. Holding a key
// for kLongNameDelay shows its long name in the frame's pop-up.
//
// From the keyboard a keypad is one stop of Tab: the arrow keys, Home and
// End move a focus frame over its keys and Space presses the framed key.
// Every other key goes on to the window.
class KeyPad : public ui::WindowObject {
  public:
    static constexpr int kLongNameDelay = 400; // ms
    static constexpr int kFlashTime = 120;     // ms a typed key stays lit

    KeyPad(QWidget* parent, QObject* commandReceiver);

    void create(const QRect& rect, int columns, int rows, unsigned firstId,
                std::span<const KeyDefinition> keys, const QFont& font, KeyNamePopup* popup);
    void setLabel(int column, int row, const QString& label);
    void setColours(int column, int row, const QColor& text, const QColor& background);
    // The text shown when the pointer rests on a key.
    void setToolTip(int cell, const QString& text);
    QString toolTip(int cell) const;

    // Lights a key typed on the keyboard for a moment and sends its command.
    void typeKey(int cell);

    KeyGrid grid() const { return {width(), height(), columns_, rows_}; }
    int cellCount() const { return columns_ * rows_; }
    QString label(int cell) const;
    QString longName(int cell) const;
    int pressedCell() const { return pressed_; }
    // The key the keyboard frames.
    int focusCell() const { return focusCell_; }
    unsigned firstId() const { return firstId_; }

  protected:
    void penDown(QPoint point) override;
    void penMove(QPoint point) override;
    void penUp(QPoint point) override;
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    struct Key {
        QString label;
        QString longName;
        QColor text;
        QColor background;
        QString toolTip;
    };

    void setPressed(int cell);
    // The filled part of a cell, without its grid lines.
    QRect faceRect(int cell) const;
    void hideName();

    QObject* receiver_;
    int columns_ = 1;
    int rows_ = 1;
    unsigned firstId_ = 0;
    std::vector<Key> keys_;
    bool hasLongNames_ = false;
    KeyNamePopup* popup_ = nullptr;
    int pressed_ = -1;
    int captured_ = -1;
    int focusCell_ = 0;
    bool framed_ = false; // the focus frame shows: the focus came from the keyboard
    QBasicTimer nameTimer_;
    QBasicTimer flashTimer_;
};

} // namespace pq::calc
