#pragma once

#include <QWidget>

namespace pq::ui {

class CommandEvent;
class TapAndHold;

// A window whose event handlers are the program's window procedure. The pen
// is the left mouse button: penDown, penMove (only while pressed; the window
// keeps the pointer until the release) and penUp. Commands posted to the
// window (CommandEvent) arrive in `command`.
class WindowObject : public QWidget {
  public:
    explicit WindowObject(QWidget* parent = nullptr);
    ~WindowObject() override;

    // Shows and enables the window, or hides and disables it.
    void showObject(bool shown);
    // The window's enabled state.
    bool isShown() const { return isEnabled(); }

    // Makes a right click, or a press held still, call tapAndHold, and the
    // keyboard's Menu key and Shift+F10 call keyboardMenu.
    void enableTapAndHold();

  protected:
    virtual void penDown(QPoint) {}
    virtual void penMove(QPoint) {}
    virtual void penUp(QPoint) {}
    // A held press became a tap-and-hold: the press is over without a penUp.
    virtual void penCancel() {}
    virtual void tapAndHold(QPoint) {}
    // The keyboard asked for the context menu; by default a tap-and-hold in
    // the middle of the window.
    virtual void keyboardMenu() { tapAndHold(rect().center()); }
    virtual void command(const CommandEvent&) {}

    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    TapAndHold* tapAndHold_ = nullptr;
    bool penIsDown_ = false;
};

} // namespace pq::ui
