#include "calculator/frame_client.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

namespace pq::calc {

FrameClient::FrameClient(QWidget* parent, Delegate& delegate)
    : ui::WindowObject(parent), delegate_(delegate) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

void FrameClient::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    delegate_.paintClient(painter, event->rect());
}

void FrameClient::resizeEvent(QResizeEvent* event) {
    ui::WindowObject::resizeEvent(event);
    delegate_.clientResized(event->size());
}

} // namespace pq::calc
