#include "uikit/push_button.h"

#include <QWidget>

#include "uikit/command_event.h"

namespace pq::ui {

PushButton::PushButton() {
    holdTimer_.setInterval(kHoldInterval);
    QObject::connect(&holdTimer_, &QTimer::timeout, [this] { holdTick(); });
}

PushButton::~PushButton() = default;

void PushButton::init(const QRect& rect, QWidget* owner, unsigned commandId, bool holdEnabled,
                      int parameter) {
    rect_ = rect;
    owner_ = owner;
    commandId_ = commandId;
    holdEnabled_ = holdEnabled;
    parameter_ = parameter;
}

bool PushButton::contains(QPoint point) const {
    return state_ != Disabled && rect_.contains(point);
}

void PushButton::enable(bool enabled) {
    if (enabled) {
        if (state_ == Disabled) {
            state_ = Normal;
            repaint();
        }
    } else if (state_ != Disabled) {
        tracking_ = false;
        stopHold();
        state_ = Disabled;
        repaint();
    }
}

bool PushButton::press(QPoint point) {
    if (!contains(point)) return false;
    tracking_ = true;
    state_ = Pressed;
    repaint();
    if (holdEnabled_) {
        holdCounter_ = 1;
        holdTimer_.start();
    }
    return true;
}

bool PushButton::move(QPoint point) {
    if (!tracking_) return false;
    const State state = rect_.contains(point) ? Pressed : Normal;
    if (state != state_) {
        state_ = state;
        repaint();
    }
    return true;
}

bool PushButton::release(QPoint point) {
    if (!tracking_) return false;
    tracking_ = false;
    if (state_ == Pressed) state_ = Normal;
    if (rect_.contains(point)) PostCommand(owner_, commandId_, parameter_);
    repaint();
    stopHold();
    return false;
}

bool PushButton::holdTick() {
    if (holdCounter_ == 0) return false;
    ++holdCounter_;
    if (holdCounter_ < 2) return false;
    // Released as if the pen had left the button, so no tap follows.
    tracking_ = false;
    if (state_ == Pressed) state_ = Normal;
    repaint();
    PostCommand(owner_, commandId_, 0, kHoldCode);
    stopHold();
    return true;
}

void PushButton::repaint() const {
    if (owner_) owner_->update(rect_);
}

void PushButton::stopHold() {
    holdCounter_ = 0;
    holdTimer_.stop();
}

void TapList::clear() {
    buttons_.clear();
    active_ = nullptr;
}

bool TapList::penDown(QPoint point) {
    if (active_ && active_->press(point)) return true;
    active_ = nullptr;
    for (PushButton* button : buttons_) {
        if (button->press(point)) {
            active_ = button;
            return true;
        }
    }
    return false;
}

void TapList::penMove(QPoint point) {
    if (active_ && !active_->move(point)) active_ = nullptr;
}

void TapList::penUp(QPoint point) {
    if (active_ && !active_->release(point)) active_ = nullptr;
}

} // namespace pq::ui
