#include "converter/entry/compound_editor.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>

#include <algorithm>

#include "uikit/line_edit.h"
#include "uikit/scheme_colours.h"

namespace pq::conv {

CompoundEditor::CompoundEditor(QWidget* parent) : ui::WindowObject(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    font_ = font();
}

void CompoundEditor::setFields(int count, const std::array<QString, kMaxFields>& labels) {
    fieldCount_ = std::clamp(count, 1, kMaxFields);
    for (int i = 0; i < kMaxFields; ++i) {
        fields_[i].digits.clear();
        fields_[i].label = i < fieldCount_ ? labels[i] : QString();
    }
    currentField_ = 0;
    replaceNext_ = true;
    invalidatePlaces();
    update();
}

void CompoundEditor::setDigits(const std::array<QString, kMaxFields>& digits) {
    for (int i = 0; i < kMaxFields; ++i)
        fields_[i].digits = i < fieldCount_ ? digits[i].left(kMaxDigits) : QString();
    currentField_ = 0;
    replaceNext_ = true;
    invalidatePlaces();
    update();
}

void CompoundEditor::clearDigits() { setDigits({}); }

QString CompoundEditor::fieldText(int field) const {
    const QString& digits = fields_[field].digits;
    return digits.isEmpty() ? QStringLiteral("0") : digits;
}

QString CompoundEditor::compoundText() const {
    QString text = QStringLiteral("[");
    for (int i = 0; i < fieldCount_; ++i) {
        text += fieldText(i);
        text += fields_[i].label.isEmpty() ? QStringLiteral(" ") : fields_[i].label;
    }
    return text + QLatin1Char(']');
}

bool CompoundEditor::isBlank() const {
    for (int i = 0; i < fieldCount_; ++i)
        if (!fields_[i].digits.isEmpty()) return false;
    return true;
}

void CompoundEditor::setEditorFont(const QFont& font) {
    font_ = font;
    invalidatePlaces();
    update();
}

void CompoundEditor::typeDigit(QChar digit) {
    QString& digits = fields_[currentField_].digits;
    if (digits.size() >= kMaxDigits) return;
    if (replaceNext_ || digits == QLatin1String("0"))
        digits = digit;
    else
        digits += digit;
    replaceNext_ = false;
    changed();
}

void CompoundEditor::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key >= Qt::Key_0 && key <= Qt::Key_9 &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        typeDigit(QChar(u'0' + (key - Qt::Key_0)));
        return;
    }
    Field& field = fields_[currentField_];
    switch (key) {
    case Qt::Key_Backspace:
        if (!replaceNext_ && field.digits.size() > 1) {
            field.digits.chop(1);
        } else {
            field.digits = QStringLiteral("0");
            replaceNext_ = true;
        }
        changed();
        return;
    case Qt::Key_Delete:
        field.digits = QStringLiteral("0");
        replaceNext_ = true;
        changed();
        return;
    case Qt::Key_Left:
    case Qt::Key_Right: {
        const int next = currentField_ + (key == Qt::Key_Right ? 1 : -1);
        if (next >= 0 && next < fieldCount_) {
            currentField_ = next;
            replaceNext_ = true;
            changed();
        }
        // The arrows never leave the editor, even at its ends.
        return;
    }
    default: break;
    }
    event->ignore();
}

void CompoundEditor::penDown(QPoint point) {
    for (int i = 0; i < fieldCount_; ++i) {
        if (places()[i].digits.contains(point) || places()[i].label.contains(point)) {
            currentField_ = i;
            replaceNext_ = true;
            setFocus(Qt::MouseFocusReason);
            changed();
            return;
        }
    }
    setFocus(Qt::MouseFocusReason);
}

void CompoundEditor::changed() {
    invalidatePlaces();
    update();
    if (onChange_) onChange_();
}

void CompoundEditor::invalidatePlaces() { placedHeight_ = -1; }

QRect CompoundEditor::digitRect(int field) const { return places()[field].digits; }

const std::array<CompoundEditor::Place, CompoundEditor::kMaxFields>&
CompoundEditor::places() const {
    if (placedHeight_ == height()) return places_;
    placedHeight_ = height();
    const QFontMetrics metrics(font_);
    int x = 0;
    for (int i = 0; i < kMaxFields; ++i) {
        Place& place = places_[i];
        if (i >= fieldCount_) {
            place = Place();
            continue;
        }
        const int digitWidth = metrics.horizontalAdvance(fieldText(i));
        place.digits = QRect(x, 0, digitWidth, height());
        x += digitWidth;
        const int labelWidth = metrics.horizontalAdvance(fields_[i].label);
        place.label = QRect(x, 0, labelWidth, height());
        x += labelWidth;
    }
    return places_;
}

void CompoundEditor::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const ui::SchemeColours& colours = ui::Colours();
    painter.fillRect(rect(), colours.paper);
    painter.setFont(font_);
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
    for (int i = 0; i < fieldCount_; ++i) {
        const Place& place = places()[i];
        QColor text = colours.ink;
        if (i == currentField_) {
            // The current field without the focus: paper on a grey that reads.
            QColor back = ui::Shade(160);
            text = colours.paper;
            if (hasFocus()) {
                back = palette().color(QPalette::Active, QPalette::Highlight);
                text = palette().color(QPalette::Active, QPalette::HighlightedText);
            }
            painter.fillRect(place.digits, back);
        }
        painter.setPen(text);
        painter.drawText(place.digits, flags, fieldText(i));
        painter.setPen(colours.greyInk);
        painter.drawText(place.label, flags, fields_[i].label);
    }
}

void CompoundEditor::focusInEvent(QFocusEvent* event) {
    update();
    ui::WindowObject::focusInEvent(event);
}

void CompoundEditor::focusOutEvent(QFocusEvent* event) {
    update();
    ui::WindowObject::focusOutEvent(event);
}

} // namespace pq::conv
