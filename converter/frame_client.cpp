#include "converter/frame_client.h"

#include <QPaintEvent>
#include <QPainter>

namespace pq::conv {

FrameClient::FrameClient(QWidget* parent, Delegate& delegate)
    : ui::WindowObject(parent), delegate_(delegate) {}

void FrameClient::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    delegate_.paintClient(painter, event->rect());
}

void FrameClient::resizeEvent(QResizeEvent*) { delegate_.layoutClient(); }

} // namespace pq::conv
