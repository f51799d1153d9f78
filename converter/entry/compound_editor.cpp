#include "converter/entry/compound_editor.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>

#include <algorithm>
#include <span>

#include "engine/compound_text.h"
#include "engine/format_text.h"
#include "engine/typed_number.h"
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
    endTyping();
    invalidatePlaces();
    update();
}

void CompoundEditor::setDigits(const std::array<QString, kMaxFields>& digits) {
    for (int i = 0; i < kMaxFields; ++i)
        fields_[i].digits = i < fieldCount_ ? digits[i].left(kMaxDigits) : QString();
    currentField_ = 0;
    replaceNext_ = true;
    endTyping();
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
        QString number = fieldText(i);
        double value = 0;
        const bool plain = std::all_of(number.begin(), number.end(),
                                       [](QChar c) { return c.isDigit() || c == u'.'; });
        if (!plain && readTypedNumber(number.toStdU16String(), value))
            number = QString::fromStdU16String(shortestNumberText(value));
        text += number;
        text += fields_[i].label.isEmpty() ? QStringLiteral(" ") : fields_[i].label;
    }
    return text + QLatin1Char(']');
}

bool CompoundEditor::isFinished() const {
    double value = 0;
    for (int i = 0; i < fieldCount_; ++i)
        if (!readTypedNumber(fieldText(i).toStdU16String(), value)) return false;
    return true;
}

void CompoundEditor::setErrorShown(bool shown) {
    if (shown == errorShown_) return;
    errorShown_ = shown;
    update();
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

void CompoundEditor::endTyping() {
    typed_.clear();
    typedFrom_ = currentField_;
}

bool CompoundEditor::showTyped(const QString& typed) {
    std::array<std::u16string, kMaxFields> names;
    std::array<std::u16string_view, kMaxFields> labels;
    for (int i = 0; i < fieldCount_; ++i) {
        names[i] = fields_[i].label.trimmed().toStdU16String();
        labels[i] = names[i];
    }
    CompoundReading reading;
    if (!readCompoundParts(typed.toStdU16String(),
                           std::span(labels).first(static_cast<size_t>(fieldCount_)), typedFrom_,
                           true, reading))
        return false;
    std::array<QString, kMaxFields> shown = typedOver_;
    for (int i = typedFrom_; i < fieldCount_; ++i) {
        // Digits alone change only their field; a value written out sets
        // every field from there on.
        if (!reading.written && i != typedFrom_) continue;
        QString number = QString::fromStdU16String(reading.numbers[i]);
        // "05" is 5, as a typed digit replaces a lone "0".
        while (number.size() > 1 && number[0] == u'0' && number[1].isDigit()) number.remove(0, 1);
        if (std::count_if(number.begin(), number.end(), [](QChar c) { return c.isDigit(); }) >
            kMaxDigits)
            return false;
        shown[i] = number;
    }
    for (int i = 0; i < fieldCount_; ++i) fields_[i].digits = shown[i];
    currentField_ = reading.written ? reading.next : typedFrom_;
    typed_ = typed;
    return true;
}

bool CompoundEditor::type(QChar character) {
    // A blank starts nothing and follows no blank.
    if (character.isSpace() && (replaceNext_ || typed_.isEmpty() || typed_.back().isSpace()))
        return false;
    // A full field takes no digit, not even in place of its own.
    if (replaceNext_ && character.isDigit() &&
        std::count_if(fields_[currentField_].digits.begin(), fields_[currentField_].digits.end(),
                      [](QChar c) { return c.isDigit(); }) >= kMaxDigits)
        return false;
    if (replaceNext_) {
        typedFrom_ = currentField_;
        typed_.clear();
        for (int i = 0; i < kMaxFields; ++i) typedOver_[i] = fields_[i].digits;
    }
    if (!showTyped(typed_ + character)) return false;
    replaceNext_ = false;
    changed();
    return true;
}

bool CompoundEditor::untype() {
    if (replaceNext_ || typed_.size() <= 1) return false;
    if (!showTyped(typed_.chopped(1))) return false;
    changed();
    return true;
}

void CompoundEditor::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const QString text = event->text();
    if (!(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) && text.size() == 1 &&
        text[0].isPrint() && key != Qt::Key_Backspace && key != Qt::Key_Delete) {
        // A character that cannot go on the value is not taken.
        type(text[0]);
        return;
    }
    Field& field = fields_[currentField_];
    switch (key) {
    case Qt::Key_Backspace:
        if (untype()) return;
        // The single digit typed, or a field entered afresh, becomes "0".
        field.digits = QStringLiteral("0");
        replaceNext_ = true;
        endTyping();
        changed();
        return;
    case Qt::Key_Delete:
        field.digits = QStringLiteral("0");
        replaceNext_ = true;
        endTyping();
        changed();
        return;
    case Qt::Key_Left:
    case Qt::Key_Right: {
        const int next = currentField_ + (key == Qt::Key_Right ? 1 : -1);
        if (next >= 0 && next < fieldCount_) {
            currentField_ = next;
            replaceNext_ = true;
            endTyping();
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
            endTyping();
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
        QColor text = errorShown_ ? colours.errorInk : colours.ink;
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
        if (errorShown_) {
            // Under the digits too, where the highlight hides the colour.
            const int line = std::max(1, height() / 12);
            painter.fillRect(place.digits.left(), place.digits.bottom() + 1 - line,
                             place.digits.width(), line, colours.errorInk);
        }
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
