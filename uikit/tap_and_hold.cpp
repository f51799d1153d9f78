#include "uikit/tap_and_hold.h"

#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleHints>
#include <QWidget>

namespace pq::ui {

TapAndHold::TapAndHold(QWidget* widget, Handler onGesture, std::function<void()> onCancel)
    : QObject(widget), widget_(widget), onGesture_(std::move(onGesture)),
      onCancel_(std::move(onCancel)) {
    widget->installEventFilter(this);
}

bool TapAndHold::eventFilter(QObject* watched, QEvent* event) {
    if (watched != widget_) return false;
    switch (event->type()) {
    case QEvent::ContextMenu: {
        holdTimer_.stop();
        auto* request = static_cast<QContextMenuEvent*>(event);
        if (request->reason() == QContextMenuEvent::Keyboard && onKeyboard_)
            onKeyboard_();
        else
            onGesture_(request->pos());
        return true;
    }
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!onKeyboard_ || key->key() != Qt::Key_F10 || key->modifiers() != Qt::ShiftModifier)
            return false;
        onKeyboard_();
        return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            pressPoint_ = mouse->position().toPoint();
            swallowing_ = false;
            holdTimer_.start(QGuiApplication::styleHints()->mousePressAndHoldInterval(), this);
        }
        return false;
    }
    case QEvent::MouseMove: {
        if (swallowing_) return true;
        auto* mouse = static_cast<QMouseEvent*>(event);
        const int distance = (mouse->position().toPoint() - pressPoint_).manhattanLength();
        if (holdTimer_.isActive() && distance > QGuiApplication::styleHints()->startDragDistance())
            holdTimer_.stop();
        return false;
    }
    case QEvent::MouseButtonRelease: {
        holdTimer_.stop();
        if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) return false;
        const bool swallow = swallowing_;
        swallowing_ = false;
        return swallow;
    }
    default: return false;
    }
}

void TapAndHold::timerEvent(QTimerEvent* event) {
    if (event->timerId() != holdTimer_.timerId()) return QObject::timerEvent(event);
    holdTimer_.stop();
    swallowing_ = true;
    if (onCancel_) onCancel_();
    onGesture_(pressPoint_);
}

} // namespace pq::ui
