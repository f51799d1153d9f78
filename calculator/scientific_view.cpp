#include "calculator/scientific_view.h"

#include <QPainter>

#include "uikit/display_scale.h"
#include "uikit/ui_font.h"

namespace pq::calc {

ScientificView::ScientificView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ScientificView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setPen(QColor(128, 128, 128));
    painter.setFont(ui::CreateUiFont(13, false));
    const int margin = ui::Scaled(16);
    painter.drawText(rect().adjusted(margin, margin, -margin, -margin),
                     Qt::AlignCenter | Qt::TextWordWrap,
                     QStringLiteral("The scientific view is not available in this version."));
}

} // namespace pq::calc
