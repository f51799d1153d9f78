#pragma once

#include <QList>
#include <QWidget>

#include <functional>

class QPainter;

namespace pq::ui {

class PushButton;

// The widget and its descendants that Tab may stop at now (visible, enabled,
// taking the focus from Tab), in the order they were made.
QList<QWidget*> FocusableWidgets(QWidget* root);

// Moves the focus to the next (or previous) of the stops that Tab may stop
// at now, after the stop that holds the focus or holds the focused widget;
// around at the ends. A window's focusNextPrevChild calls it with its
// stops in reading order. False when none may take the focus.
bool MoveFocus(const QList<QWidget*>& stops, bool next);

// Draws a keyboard focus frame inside a rectangle: a line of ink with a line
// of paper inside it, so that it shows on any ground.
void DrawFocusFrame(QPainter& painter, const QRect& rect);

// A keyboard stop for a button drawn without a window of its own: it lies
// over the button, takes the focus from Tab and Shift+Tab, shows a focus
// frame while it has the focus and presses the button with Space or Enter.
// The pointer passes through it to the window beneath.
class ButtonFocus : public QWidget {
  public:
    // `press` runs for Space and Enter; without one, the button's command
    // is posted to its owner as a tap would post it.
    ButtonFocus(QWidget* parent, const QString& name, std::function<void()> press = {});

    // Lies over the button and takes its enabled state.
    void follow(const PushButton& button);
    // Other keys: true when the handler took the key.
    void setKeyHandler(std::function<bool(int key)> handler) { keys_ = std::move(handler); }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    const PushButton* button_ = nullptr;
    std::function<void()> press_;
    std::function<bool(int key)> keys_;
};

} // namespace pq::ui
