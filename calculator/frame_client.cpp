#include "calculator/frame_client.h"

#include <QPaintEvent>
#include <QPainter>

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

} // namespace pq::calc
