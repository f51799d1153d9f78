#include "converter/entry/value_editor.h"

#include <QSignalBlocker>

#include <algorithm>
#include <array>

#include "converter/commands.h"
#include "converter/entry/compound_editor.h"
#include "engine/calendar_date.h"
#include "engine/date_text.h"
#include "engine/eval_error.h"
#include "engine/expression_engine.h"
#include "engine/locale_dates.h"
#include "engine/number_format.h"
#include "uikit/appearance.h"
#include "uikit/command_event.h"
#include "uikit/date_time_edit.h"
#include "uikit/display_scale.h"
#include "uikit/line_edit.h"

namespace pq::conv {

namespace {

QString toQString(std::u16string_view text) {
    return QString(reinterpret_cast<const QChar*>(text.data()), qsizetype(text.size()));
}

// Ink, or the error colour while the text does not read as a value, on paper.
void setTextColour(QWidget* widget, bool valid) {
    const ui::SchemeColours& colours = ui::Colours();
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Text, valid ? colours.ink : colours.errorInk);
    palette.setColor(QPalette::Base, colours.paper);
    widget->setPalette(palette);
}

} // namespace

ValueEditor::ValueEditor(ExpressionEngine& engine, QWidget* panel)
    : QWidget(panel), engine_(engine), panel_(panel), textBox_(new ui::LineEdit(this)),
      datePicker_(new ui::DateEdit(this)), compound_(new CompoundEditor(this)) {
    textBox_->setAccessibleName(QStringLiteral("Value"));
    datePicker_->setAccessibleName(QStringLiteral("Date"));
    compound_->setAccessibleName(QStringLiteral("Value"));
    textBox_->setFrame(false);
    textBox_->setTextMargins(0, 0, 0, 0);
    textBox_->setMaxLength(kMaxTextLength);
    textBox_->setWheelTarget(panel);
    // The main window's Ctrl accelerators (Copy, Paste, ...) take the keys.
    textBox_->setShortcutsFirst(true);
    setTextColour(textBox_, true);
    setTextColour(datePicker_, true);
    ui::WhenSchemeChanges(this, [this] {
        setTextColour(textBox_, valid_);
        setTextColour(datePicker_, valid_);
    });
    connect(textBox_, &QLineEdit::textEdited, this, [this] { edited(); });
    datePicker_->setFrame(false);
    datePicker_->setWheelTarget(panel);
    datePicker_->setShortcutsFirst(true);
    datePicker_->setTextForms(&ValueEditor::ReadDateText, &ValueEditor::DateText);
    datePicker_->setChangeHandler([this] { dateEdited(); });
    compound_->setChangeHandler([this] { edited(); });
    datePicker_->hide();
    compound_->hide();
    layoutControls();
}

ValueEditor::~ValueEditor() = default;

void ValueEditor::attach(NumberFormat* format) {
    numberFormat_ = format;
    if (!format) return;
    // Until a tab sets it, the item's own entry format is the editor's.
    format_ = format->entryFormat;
    showActiveControl();
    if (format->allows(Compound)) {
        std::array<WString, NumberFormat::kMaxParts> labels;
        const int count = format->getLabels(labels);
        std::array<QString, CompoundEditor::kMaxFields> shown;
        for (int i = 0; i < count && i < CompoundEditor::kMaxFields; ++i)
            shown[i] = QLatin1Char(' ') + toQString(labels[i].view()) + QLatin1Char(' ');
        compound_->setFields(count, shown);
    }
}

bool ValueEditor::isDateFormat() const { return format_ == Date || format_ == DateTime; }

void ValueEditor::setFormat(int32_t format, std::optional<double> value) {
    format_ = format;
    if (numberFormat_) numberFormat_->entryFormat = format;
    showValue(value, true);
    showActiveControl();
    activeControl()->setFocus(Qt::OtherFocusReason);
}

void ValueEditor::showActiveControl() {
    QWidget* active = activeControl();
    for (QWidget* control : {static_cast<QWidget*>(textBox_), static_cast<QWidget*>(datePicker_),
                             static_cast<QWidget*>(compound_)})
        control->setVisible(control == active);
    if (format_ == DateTime)
        timePicker()->show();
    else if (timePicker_)
        timePicker_->hide();
}

ui::TimeEdit* ValueEditor::timePicker() {
    if (timePicker_) return timePicker_;
    timePicker_ = new ui::TimeEdit(this);
    timePicker_->hide();
    timePicker_->setFont(pickerFont_);
    connect(timePicker_, &QTimeEdit::timeChanged, this, [this] { edited(); });
    setTabOrder(datePicker_, timePicker_); // Tab goes from the date to the time
    layoutControls();
    return timePicker_;
}

QWidget* ValueEditor::activeControl() const {
    if (isDateFormat()) return datePicker_;
    if (format_ == Compound) return compound_;
    return textBox_;
}

void ValueEditor::showValue(std::optional<double> value, bool notify) {
    shown_ = numberFormat_ ? value : std::nullopt;
    if (isDateFormat()) {
        showDate(value);
        if (!datePicker_->hasDate()) shown_.reset(); // outside the pickers' years
        setValid(true);
    } else if (format_ == Compound) {
        std::array<QString, CompoundEditor::kMaxFields> digits;
        if (value && numberFormat_) {
            std::array<std::u16string, NumberFormat::kMaxParts> parts;
            const int count = numberFormat_->splitCompound(*value, parts);
            for (int i = 0; i < count && i < CompoundEditor::kMaxFields; ++i)
                digits[i] = toQString(parts[i]);
            compound_->setDigits(digits);
        } else {
            compound_->clearDigits();
        }
    } else {
        QString text;
        if (value && numberFormat_) text = toQString(numberFormat_->formatForEntry(*value));
        textBox_->setText(text);
        textBox_->selectAll();
        // A value shown in its own format reads: the text is black again.
        if (value) setValid(true);
        if (text.isEmpty()) shown_.reset(); // a base cannot show a fraction
    }
    if (notify) this->notify();
}

void ValueEditor::showDate(std::optional<double> value) {
    ui::TimeEdit* time = format_ == DateTime ? timePicker() : timePicker_;
    const QSignalBlocker dateBlocker(datePicker_);
    const QSignalBlocker timeBlocker(time);
    if (value) {
        const CalendarDate date(*value);
        if (date.year >= 1753 && date.year <= 9999) {
            datePicker_->setDateOrNone(QDate(date.year, date.month, date.dayOfMonth));
            datePicker_->selectAll();
            if (time) time->setTimeOrNone(QTime(date.hour, date.minute, date.second));
            return;
        }
    }
    datePicker_->setNoDate();
    if (time) time->setNoTime();
}

void ValueEditor::clear() {
    shown_.reset();
    textBox_->setText(QString());
    textBox_->selectAll();
    setValid(true);
}

bool ValueEditor::pasteIntoFields(const QString& text) {
    double value = 0;
    if (format_ != Compound || !numberFormat_ ||
        !numberFormat_->readEntry(text.toStdU16String(), engine_, value))
        return false;
    showValue(value, true);
    return true;
}

bool ValueEditor::isEmpty() const {
    if (isDateFormat()) return !datePicker_->hasDate();
    if (format_ == Compound) return compound_->isBlank();
    return textBox_->text().isEmpty();
}

std::u16string ValueEditor::EngineText(const QString& text, int32_t format) {
    return baseEntryText(text.toStdU16String(), format);
}

QString ValueEditor::DateText(const QDate& date) {
    return toQString(localeShortDate(CalendarDate(date.month(), date.day(), date.year())));
}

bool ValueEditor::ReadDateText(const QString& text, QDate& date, std::optional<QTime>& time) {
    double day = 0;
    bool withTime = false;
    if (!readDateText(text.toStdU16String(), day, &withTime)) return false;
    const CalendarDate read(day);
    date = QDate(read.year, read.month, read.dayOfMonth);
    if (withTime) time = QTime(read.hour, read.minute, read.second);
    return date.isValid();
}

std::optional<double> ValueEditor::read() {
    if (!numberFormat_) return std::nullopt;
    if (shown_) {
        setValid(true);
        return shown_;
    }
    if (isDateFormat()) {
        std::optional<double> value = readDate();
        setValid(value || datePicker_->text().trimmed().isEmpty());
        return value;
    }
    if (format_ == Compound && compound_->isBlank()) return std::nullopt;
    if (format_ == Compound && !compound_->isFinished()) {
        setValid(false, QStringLiteral("The number is not finished"));
        return std::nullopt;
    }
    const QString text = format_ == Compound ? compound_->compoundText() : textBox_->text();
    if (text.isEmpty()) {
        setValid(true);
        return std::nullopt;
    }
    double value = 0;
    const bool read = numberFormat_->readEntry(text.toStdU16String(), engine_, value);
    setValid(read,
             read ? QString() : QString::fromStdU16String(DescribeEvalError(engine_.lastError())));
    if (!read) return std::nullopt;
    return value;
}

std::optional<double> ValueEditor::readDate() const {
    const QDate date = datePicker_->dateOrNone();
    if (!date.isValid()) return std::nullopt;
    CalendarDate calendar(date.month(), date.day(), date.year());
    if (format_ == DateTime && timePicker_ && timePicker_->hasTime()) {
        const QTime time = timePicker_->time();
        calendar.setTime(time.hour(), time.minute(), time.second());
    }
    return calendar.day;
}

void ValueEditor::setValid(bool valid, const QString& reason) {
    textBox_->setToolTip(reason);
    compound_->setToolTip(reason);
    compound_->setErrorShown(!valid);
    if (valid == valid_) return;
    valid_ = valid;
    for (QWidget* box : {static_cast<QWidget*>(textBox_), static_cast<QWidget*>(datePicker_)}) {
        setTextColour(box, valid);
        box->update();
    }
}

void ValueEditor::notify() { ui::PostCommand(panel_, kCmdEditorChanged); }

void ValueEditor::edited() {
    shown_.reset();
    notify();
}

void ValueEditor::dateEdited() {
    // A date typed with its time ("2024-12-25 10:00") sets the time box too.
    if (const std::optional<QTime> time = datePicker_->typedTime(); time && format_ == DateTime) {
        const QSignalBlocker blocker(timePicker());
        timePicker_->setTimeOrNone(*time);
    }
    edited();
}

void ValueEditor::setEditorFont(const QFont& font) {
    textBox_->setFont(font);
    compound_->setEditorFont(font);
}

void ValueEditor::setPickerFont(const QFont& font) {
    pickerFont_ = font;
    datePicker_->setFont(font);
    if (timePicker_) timePicker_->setFont(font);
}

void ValueEditor::resizeEvent(QResizeEvent*) { layoutControls(); }

void ValueEditor::layoutControls() {
    const int s = ui::DisplayScale();
    const int w = width();
    const int h = height();
    textBox_->setGeometry(0, 0, w, h);
    compound_->setGeometry(2 * s, 0, std::max(0, w - 2 * s), h);
    datePicker_->setGeometry(0, 0, 94 * s, h);
    if (timePicker_) timePicker_->setGeometry(98 * s, 0, 94 * s, h);
}

} // namespace pq::conv
