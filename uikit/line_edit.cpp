#include "uikit/line_edit.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QWheelEvent>

#include "uikit/clipboard.h"
#include "uikit/tap_and_hold.h"

namespace pq::ui {

LineEdit::LineEdit(QWidget* parent) : QLineEdit(parent) {
    // The gesture handler takes the context-menu requests, so the box's own
    // menu never opens.
    tapAndHold_ = new TapAndHold(this, [this](QPoint point) { openEditMenu(point); });
}

QMenu* LineEdit::createEditMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    const bool selected = hasSelectedText();
    QAction* cutAction = menu->addAction(QStringLiteral("Cut"), this, &QLineEdit::cut);
    cutAction->setEnabled(selected && !isReadOnly() && echoMode() == Normal);
    QAction* copyAction = menu->addAction(QStringLiteral("Copy"), this, &QLineEdit::copy);
    copyAction->setEnabled(selected && echoMode() == Normal);
    QAction* pasteAction = menu->addAction(QStringLiteral("Paste"), this, &QLineEdit::paste);
    pasteAction->setEnabled(!isReadOnly() && ClipboardHasText());
    menu->addSeparator();
    menu->addAction(QStringLiteral("Select All"), this, &QLineEdit::selectAll);
    return menu;
}

void LineEdit::openEditMenu(QPoint point) {
    QMenu* menu = createEditMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(mapToGlobal(point));
}

bool LineEdit::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && shortcutsFirst_ &&
        (static_cast<QKeyEvent*>(event)->modifiers() & Qt::ControlModifier)) {
        // Not claimed: the shortcuts look at the key first.
        event->ignore();
        return true;
    }
    return QLineEdit::event(event);
}

bool LineEdit::IsListKey(int key) {
    return key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp ||
           key == Qt::Key_PageDown;
}

void LineEdit::keyPressEvent(QKeyEvent* event) {
    if (IsListKey(event->key())) {
        event->ignore();
        return;
    }
    QLineEdit::keyPressEvent(event);
    // The arrows move the cursor and never leave the box, even at its ends.
    if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) event->accept();
}

void LineEdit::wheelEvent(QWheelEvent* event) {
    if (!wheelTarget_) return QLineEdit::wheelEvent(event);
    ForwardWheel(event, wheelTarget_);
}

void LineEdit::ForwardWheel(QWheelEvent* event, QWidget* target) {
    if (!target) return event->ignore();
    const QPointF position = target->mapFromGlobal(event->globalPosition());
    QWheelEvent passed(position, event->globalPosition(), event->pixelDelta(), event->angleDelta(),
                       event->buttons(), event->modifiers(), event->phase(), event->inverted(),
                       event->source());
    QCoreApplication::sendEvent(target, &passed);
    event->accept();
}

} // namespace pq::ui
