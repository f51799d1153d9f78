#include "uikit/cursors.h"

#include <QCursor>
#include <QGuiApplication>

namespace pq::ui {

void SetWaitCursor() {
    const QCursor* current = QGuiApplication::overrideCursor();
    if (current && current->shape() == Qt::WaitCursor) return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

void SetArrowCursor() {
    while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
}

} // namespace pq::ui
