#pragma once

#include <QBasicTimer>
#include <QObject>
#include <QPoint>

#include <functional>

class QWidget;

namespace pq::ui {

// Recognises the tap-and-hold gesture on a widget: a context-menu request
// (a right click, or the keyboard's menu key) or a left press held still for
// the platform's press-and-hold time. On a held press, `onCancel` runs first
// and the rest of that press (moves and release) is kept from the widget.
// With a keyboard handler, the keyboard's requests (the Menu key, Shift+F10)
// go to it instead, which knows where the widget's selection is.
class TapAndHold : public QObject {
  public:
    using Handler = std::function<void(QPoint)>;

    TapAndHold(QWidget* widget, Handler onGesture, std::function<void()> onCancel = {});

    void setKeyboardHandler(std::function<void()> handler) { onKeyboard_ = std::move(handler); }

    bool eventFilter(QObject* watched, QEvent* event) override;

  protected:
    void timerEvent(QTimerEvent* event) override;

  private:
    QWidget* widget_;
    Handler onGesture_;
    std::function<void()> onCancel_;
    std::function<void()> onKeyboard_;
    QBasicTimer holdTimer_;
    QPoint pressPoint_;
    bool swallowing_ = false;
};

} // namespace pq::ui
