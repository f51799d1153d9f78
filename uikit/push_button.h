#pragma once

#include <QRect>
#include <QTimer>

#include <vector>

class QWidget;

namespace pq::ui {

// A pressable rectangle drawn inside its owner window. The owner passes its
// pen events on (see TapList); a release inside posts the command to the
// owner. With hold enabled, keeping the pen down for kHoldInterval posts the
// command with the code kHoldCode and parameter 0 instead.
class PushButton {
  public:
    enum State { Normal = 0, Pressed = 1, Disabled = 3 };
    static constexpr int kHoldInterval = 600; // ms, shared by all buttons

    PushButton();
    virtual ~PushButton();
    PushButton(const PushButton&) = delete;
    PushButton& operator=(const PushButton&) = delete;

    void init(const QRect& rect, QWidget* owner, unsigned commandId, bool holdEnabled = false,
              int parameter = 0);

    // False when disabled, else whether the point lies in the rectangle.
    bool contains(QPoint point) const;
    // Enabling turns a disabled button normal; disabling disables it.
    void enable(bool enabled);

    // Takes a press inside: tracking, shown pressed. Returns whether taken.
    bool press(QPoint point);
    // While tracking, shows the button pressed exactly while the pen is
    // inside. Returns whether it is tracking.
    bool move(QPoint point);
    // Ends the tracking; a release inside posts the command. Always false, so
    // the owner forgets the button.
    bool release(QPoint point);
    // One tick of the hold timer; true when the long press fired.
    bool holdTick();

    State state() const { return state_; }
    bool isTracking() const { return tracking_; }
    const QRect& rect() const { return rect_; }
    QWidget* owner() const { return owner_; }
    unsigned commandId() const { return commandId_; }
    int parameter() const { return parameter_; }

  protected:
    void setRect(const QRect& rect) { rect_ = rect; }
    // Repaints the button's rectangle in the owner.
    void repaint() const;

  private:
    void stopHold();

    bool tracking_ = false;
    State state_ = Normal;
    QWidget* owner_ = nullptr;
    unsigned commandId_ = 0;
    int holdCounter_ = 0;
    QRect rect_;
    bool holdEnabled_ = false;
    int parameter_ = 0;
    QTimer holdTimer_;
};

// The owner's pen routine for its windowless buttons: a press is offered to
// the button that is still remembered first, then to each button in order;
// the button that takes it gets the moves and the release and is forgotten
// when it is done.
class TapList {
  public:
    void add(PushButton* button) { buttons_.push_back(button); }
    void clear();

    bool penDown(QPoint point);
    void penMove(QPoint point);
    void penUp(QPoint point);

    PushButton* active() const { return active_; }

  private:
    std::vector<PushButton*> buttons_;
    PushButton* active_ = nullptr;
};

} // namespace pq::ui
