#include "calculator/keypad.h"

#include <QFocusEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTimerEvent>
#include <QToolTip>

#include "calculator/key_name_popup.h"
#include "calculator/keypad_accessible.h"
#include "uikit/button_focus.h"
#include "uikit/colours.h"
#include "uikit/command_event.h"
#include "uikit/display_scale.h"
#include "uikit/scheme_colours.h"

namespace pq::calc {

QRect KeyGrid::cellRect(int cell) const {
    const int c = cell % columns;
    const int r = cell / columns;
    const int left = c * width / columns;
    const int top = r * height / rows;
    return QRect(QPoint(left, top),
                 QPoint((c + 1) * width / columns - 1, (r + 1) * height / rows - 1));
}

int KeyGrid::cellAt(QPoint point) const {
    if (point.x() < 0 || point.y() < 0 || point.x() >= width || point.y() >= height) return -1;
    const int row = point.y() * rows / height;
    const int column = point.x() * columns / width;
    return row * columns + column;
}

KeyPad::KeyPad(QWidget* parent, QObject* commandReceiver)
    : ui::WindowObject(parent), receiver_(commandReceiver) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::TabFocus);
    InstallKeyPadAccessibility();
}

void KeyPad::create(const QRect& rect, int columns, int rows, unsigned firstId,
                    std::span<const KeyDefinition> keys, const QFont& font, KeyNamePopup* popup) {
    columns_ = std::max(1, columns);
    rows_ = std::max(1, rows);
    firstId_ = firstId;
    popup_ = popup;
    keys_.clear();
    hasLongNames_ = false;
    for (const KeyDefinition& key : keys) {
        Key k{QString::fromUtf16(key.label),
              key.longName ? QString::fromUtf16(key.longName) : QString(),
              QColor::fromRgb(key.textColour), QColor::fromRgb(key.backgroundColour), QString()};
        hasLongNames_ = hasLongNames_ || !k.longName.isEmpty();
        keys_.push_back(std::move(k));
    }
    keys_.resize(static_cast<size_t>(columns_ * rows_), Key{{}, {}, Qt::black, Qt::white, {}});
    setFont(font);
    setGeometry(rect);
    update();
}

void KeyPad::setLabel(int column, int row, const QString& label) {
    const int cell = row * columns_ + column;
    if (cell < 0 || cell >= cellCount()) return;
    keys_[static_cast<size_t>(cell)].label = label;
    update(grid().cellRect(cell));
}

void KeyPad::setColours(int column, int row, const QColor& text, const QColor& background) {
    const int cell = row * columns_ + column;
    if (cell < 0 || cell >= cellCount()) return;
    keys_[static_cast<size_t>(cell)].text = text;
    keys_[static_cast<size_t>(cell)].background = background;
    update(grid().cellRect(cell));
}

void KeyPad::setToolTip(int cell, const QString& text) {
    if (cell >= 0 && cell < cellCount()) keys_[static_cast<size_t>(cell)].toolTip = text;
}

QString KeyPad::toolTip(int cell) const {
    if (cell < 0 || cell >= cellCount()) return QString();
    const Key& key = keys_[static_cast<size_t>(cell)];
    return key.toolTip.isEmpty() ? key.longName : key.toolTip;
}

bool KeyPad::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int cell = grid().cellAt(help->pos());
        const QString text = toolTip(cell);
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, this, grid().cellRect(cell));
        return true;
    }
    return ui::WindowObject::event(event);
}

void KeyPad::keyPressEvent(QKeyEvent* event) {
    const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
    int cell = focusCell_;
    const int column = cell % columns_;
    switch (modifiers == Qt::NoModifier ? event->key() : 0) {
    case Qt::Key_Left: cell = column > 0 ? cell - 1 : cell; break;
    case Qt::Key_Right: cell = column < columns_ - 1 ? cell + 1 : cell; break;
    case Qt::Key_Up: cell = cell >= columns_ ? cell - columns_ : cell; break;
    case Qt::Key_Down: cell = cell + columns_ < cellCount() ? cell + columns_ : cell; break;
    case Qt::Key_Home: cell -= column; break;
    case Qt::Key_End: cell += columns_ - 1 - column; break;
    case Qt::Key_Space:
        framed_ = true;
        typeKey(focusCell_);
        return event->accept();
    default: return event->ignore();
    }
    framed_ = true;
    if (cell != focusCell_) {
        update(grid().cellRect(focusCell_));
        focusCell_ = cell;
    }
    update(grid().cellRect(focusCell_));
    event->accept();
}

void KeyPad::focusInEvent(QFocusEvent* event) {
    framed_ = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    update(grid().cellRect(focusCell_));
    ui::WindowObject::focusInEvent(event);
}

void KeyPad::focusOutEvent(QFocusEvent* event) {
    update(grid().cellRect(focusCell_));
    ui::WindowObject::focusOutEvent(event);
}

QString KeyPad::label(int cell) const {
    return cell >= 0 && cell < cellCount() ? keys_[static_cast<size_t>(cell)].label : QString();
}

QString KeyPad::longName(int cell) const {
    return cell >= 0 && cell < cellCount() ? keys_[static_cast<size_t>(cell)].longName : QString();
}

void KeyPad::setPressed(int cell) {
    if (cell == pressed_) return;
    if (pressed_ >= 0) update(grid().cellRect(pressed_));
    pressed_ = cell;
    if (pressed_ >= 0) update(grid().cellRect(pressed_));
}

void KeyPad::penDown(QPoint point) {
    const int cell = grid().cellAt(point);
    flashTimer_.stop();
    captured_ = cell;
    setPressed(cell);
    if (cell < 0) return;
    if (hasLongNames_) nameTimer_.start(kLongNameDelay, this);
}

void KeyPad::penMove(QPoint point) {
    if (captured_ < 0) return;
    setPressed(grid().cellAt(point) == captured_ ? captured_ : -1);
}

void KeyPad::penUp(QPoint point) {
    if (captured_ < 0) return;
    const int cell = captured_;
    captured_ = -1;
    setPressed(-1);
    hideName();
    if (grid().cellAt(point) == cell)
        ui::PostCommand(receiver_, firstId_ + static_cast<unsigned>(cell));
}

void KeyPad::typeKey(int cell) {
    if (cell < 0 || cell >= cellCount()) return;
    if (captured_ < 0) {
        setPressed(cell);
        flashTimer_.start(kFlashTime, this);
    }
    ui::PostCommand(receiver_, firstId_ + static_cast<unsigned>(cell));
}

void KeyPad::hideName() {
    nameTimer_.stop();
    if (popup_) popup_->hide();
}

void KeyPad::timerEvent(QTimerEvent* event) {
    if (event->timerId() == nameTimer_.timerId()) {
        nameTimer_.stop();
        if (captured_ >= 0 && popup_) {
            const QString name = longName(captured_);
            if (!name.isEmpty()) {
                const QRect cell = grid().cellRect(captured_);
                const QWidget* frame = popup_->parentWidget();
                popup_->showName(name, QRect(mapTo(frame, cell.topLeft()), cell.size()));
            }
        }
    } else if (event->timerId() == flashTimer_.timerId()) {
        flashTimer_.stop();
        if (captured_ < 0) setPressed(-1);
    } else {
        ui::WindowObject::timerEvent(event);
    }
}

QRect KeyPad::faceRect(int cell) const {
    // Grid lines of s pixels end each cell on the right (but the last column,
    // which runs past the window's edge) and at the bottom.
    const int s = ui::DisplayScale();
    const QRect r = grid().cellRect(cell);
    const bool lastColumn = cell % columns_ == columns_ - 1;
    return r.adjusted(0, 0, lastColumn ? 0 : -s, -s);
}

void KeyPad::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(rect(), ui::SchemeTint(144));
    painter.setFont(font());
    const QColor highlight = palette().color(QPalette::Active, QPalette::Highlight);
    const QColor highlightText = palette().color(QPalette::Active, QPalette::HighlightedText);
    for (int cell = 0; cell < cellCount(); ++cell) {
        const QRect face = faceRect(cell);
        if (!face.intersects(event->rect())) continue;
        const Key& key = keys_[static_cast<size_t>(cell)];
        const bool lit = cell == pressed_;
        // The keys' colours are designed for the light scheme; the active
        // scheme shows its own form of them, the text always readable.
        const QColor background = lit ? highlight : ui::SchemeColour(key.background);
        painter.fillRect(face, background);
        // The labels are small and thin: they keep 7:1, so that their
        // smoothed edges still read well above 4.5:1.
        painter.setPen(
            ui::Readable(lit ? highlightText : ui::SchemeColour(key.text), background, 7.0));
        painter.drawText(face, Qt::AlignCenter | Qt::TextSingleLine, key.label);
        if (cell == focusCell_ && framed_ && hasFocus()) ui::DrawFocusFrame(painter, face);
    }
}

} // namespace pq::calc
