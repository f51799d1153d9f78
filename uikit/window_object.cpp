#include "uikit/window_object.h"

#include <QMouseEvent>

#include "uikit/command_event.h"
#include "uikit/tap_and_hold.h"

namespace pq::ui {

WindowObject::WindowObject(QWidget* parent) : QWidget(parent) {}

WindowObject::~WindowObject() = default;

void WindowObject::showObject(bool shown) {
    setVisible(shown);
    setEnabled(shown);
}

void WindowObject::enableTapAndHold() {
    if (tapAndHold_) return;
    tapAndHold_ = new TapAndHold(
        this, [this](QPoint point) { tapAndHold(point); },
        [this] {
            if (!penIsDown_) return;
            penIsDown_ = false;
            penCancel();
        });
    tapAndHold_->setKeyboardHandler([this] { keyboardMenu(); });
}

bool WindowObject::event(QEvent* event) {
    if (event->type() == CommandEvent::eventType()) {
        command(*static_cast<CommandEvent*>(event));
        return true;
    }
    return QWidget::event(event);
}

void WindowObject::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    penIsDown_ = true;
    penDown(event->position().toPoint());
}

void WindowObject::mouseDoubleClickEvent(QMouseEvent* event) {
    // A quick second tap is a tap like any other.
    mousePressEvent(event);
}

void WindowObject::mouseMoveEvent(QMouseEvent* event) {
    if (!penIsDown_) return QWidget::mouseMoveEvent(event);
    penMove(event->position().toPoint());
}

void WindowObject::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !penIsDown_) return QWidget::mouseReleaseEvent(event);
    penIsDown_ = false;
    penUp(event->position().toPoint());
}

} // namespace pq::ui
