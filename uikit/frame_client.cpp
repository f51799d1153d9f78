#include "uikit/frame_client.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

namespace pq::ui {

FrameClient::FrameClient(QWidget* parent, Delegate& delegate)
    : WindowObject(parent), delegate_(delegate) {}

void FrameClient::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    delegate_.paintClient(painter, event->rect());
}

void FrameClient::resizeEvent(QResizeEvent* event) {
    WindowObject::resizeEvent(event);
    delegate_.clientResized(event->size());
}

} // namespace pq::ui
