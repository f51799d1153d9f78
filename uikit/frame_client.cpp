#include "uikit/frame_client.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QToolTip>

namespace pq::ui {

FrameClient::FrameClient(QWidget* parent, Delegate& delegate)
    : WindowObject(parent), delegate_(delegate) {}

bool FrameClient::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return WindowObject::event(event);
    auto* help = static_cast<QHelpEvent*>(event);
    const QString tip = delegate_.clientToolTip(help->pos());
    if (tip.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
    } else {
        QToolTip::showText(help->globalPos(), tip, this);
    }
    return true;
}

void FrameClient::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    delegate_.paintClient(painter, event->rect());
}

void FrameClient::resizeEvent(QResizeEvent* event) {
    WindowObject::resizeEvent(event);
    delegate_.clientResized(event->size());
}

} // namespace pq::ui
