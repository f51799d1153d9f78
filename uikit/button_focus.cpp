#include "uikit/button_focus.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>

#include <algorithm>

#include "uikit/command_event.h"
#include "uikit/display_scale.h"
#include "uikit/push_button.h"
#include "uikit/scheme_colours.h"

namespace pq::ui {

namespace {

bool takesTab(const QWidget* widget) {
    return widget && widget->isVisible() && widget->isEnabled() &&
           (widget->focusPolicy() & Qt::TabFocus) == Qt::TabFocus;
}

} // namespace

QList<QWidget*> FocusableWidgets(QWidget* root) {
    QList<QWidget*> found;
    if (!root || !root->isVisible()) return found;
    if (takesTab(root)) found.append(root);
    for (QWidget* child : root->findChildren<QWidget*>()) {
        // A widget made of widgets (a spin box and its text box) is one stop.
        const bool inside = std::any_of(found.begin(), found.end(),
                                        [child](QWidget* w) { return w->isAncestorOf(child); });
        if (takesTab(child) && !inside) found.append(child);
    }
    return found;
}

bool MoveFocus(const QList<QWidget*>& stops, bool next) {
    QList<QWidget*> open;
    for (QWidget* stop : stops)
        if (takesTab(stop)) open.append(stop);
    if (open.isEmpty()) return false;
    const QWidget* focus = QApplication::focusWidget();
    qsizetype at = -1;
    for (qsizetype k = 0; k < open.size() && at < 0; ++k)
        if (open[k] == focus || open[k]->isAncestorOf(focus)) at = k;
    const qsizetype count = open.size();
    const qsizetype to = at < 0 ? (next ? 0 : count - 1) : (at + (next ? 1 : count - 1)) % count;
    open[to]->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

void DrawFocusFrame(QPainter& painter, const QRect& rect) {
    const int s = DisplayScale();
    const SchemeColours& colours = Colours();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    const QRect outer = rect.adjusted(0, 0, -1, -1);
    for (int k = 0; k < s; ++k) {
        painter.setPen(colours.ink);
        painter.drawRect(outer.adjusted(k, k, -k, -k));
        painter.setPen(colours.paper);
        painter.drawRect(outer.adjusted(s + k, s + k, -s - k, -s - k));
    }
    painter.restore();
}

ButtonFocus::ButtonFocus(QWidget* parent, const QString& name, std::function<void()> press)
    : QWidget(parent), press_(std::move(press)) {
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setAccessibleName(name);
}

void ButtonFocus::follow(const PushButton& button) {
    button_ = &button;
    setGeometry(button.rect());
    setEnabled(button.state() != PushButton::Disabled);
}

void ButtonFocus::paintEvent(QPaintEvent*) {
    if (!hasFocus()) return;
    QPainter painter(this);
    DrawFocusFrame(painter, rect());
}

void ButtonFocus::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier))
        return QWidget::keyPressEvent(event);
    if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (press_)
            press_();
        else if (button_ && button_->state() != PushButton::Disabled)
            PostCommand(button_->owner(), button_->commandId(), button_->parameter());
        return event->accept();
    }
    if (keys_ && keys_(key)) return event->accept();
    QWidget::keyPressEvent(event);
}

void ButtonFocus::focusInEvent(QFocusEvent* event) {
    update();
    QWidget::focusInEvent(event);
}

void ButtonFocus::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
}

} // namespace pq::ui
