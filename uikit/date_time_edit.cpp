#include "uikit/date_time_edit.h"

#include <QKeyEvent>
#include <QLocale>
#include <QRegularExpression>
#include <QSignalBlocker>

#include "uikit/line_edit.h"

namespace pq::ui {

namespace {

// The day before the first date stands for "no date": the box shows the
// special value text, a blank, while it holds it.
QDate noDateMark() { return DateEdit::FirstDate().addDays(-1); }

} // namespace

DateEdit::DateEdit(QWidget* parent) : QDateEdit(parent) {
    setDateRange(noDateMark(), LastDate());
    setSpecialValueText(QStringLiteral(" "));
    setDisplayFormat(ShortDateFormat());
    setCalendarPopup(true);
    setNoDate();
}

QString DateEdit::ShortDateFormat() {
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    // A locale whose short date names the month gets the numeric form, in
    // its order of day and month.
    if (format.contains(QLatin1String("MMM")) || !format.contains(QLatin1Char('y'))) {
        const qsizetype day = format.indexOf(QLatin1Char('d'));
        const qsizetype month = format.indexOf(QLatin1Char('M'));
        return day >= 0 && month >= 0 && day < month ? QStringLiteral("d/M/yyyy")
                                                     : QStringLiteral("M/d/yyyy");
    }
    static const QRegularExpression years(QStringLiteral("y+"));
    format.replace(years, QStringLiteral("yyyy"));
    return format;
}

void DateEdit::setDateOrNone(const QDate& date) {
    if (!date.isValid() || date < FirstDate() || date > LastDate()) return setNoDate();
    setDate(date);
}

void DateEdit::setNoDate() { setDate(noDateMark()); }

bool DateEdit::hasDate() const { return date() >= FirstDate(); }

QDate DateEdit::dateOrNone() const { return hasDate() ? date() : QDate(); }

void DateEdit::keyPressEvent(QKeyEvent* event) {
    if (LineEdit::IsListKey(event->key())) {
        event->ignore();
        return;
    }
    QDateEdit::keyPressEvent(event);
}

TimeEdit::TimeEdit(QWidget* parent) : QTimeEdit(parent) {
    setDisplayFormat(TimeFormat());
    // Any change by the user ends the blank state.
    connect(this, &QTimeEdit::timeChanged, this, [this] {
        if (hasTime_) return;
        hasTime_ = true;
        setSpecialValueText(QString());
    });
}

QString TimeEdit::TimeFormat() {
    // The locale's long time without its time zone.
    QString format = QLocale().timeFormat(QLocale::LongFormat);
    static const QRegularExpression zone(QStringLiteral("\\s*t+"));
    format.remove(zone);
    format = format.trimmed();
    if (!format.contains(QLatin1Char('s'))) format = QStringLiteral("HH:mm:ss");
    return format;
}

void TimeEdit::setTimeOrNone(const QTime& time) {
    if (!time.isValid()) return setNoTime();
    hasTime_ = true;
    setSpecialValueText(QString());
    setTime(time);
}

void TimeEdit::setNoTime() {
    // The special value text shows while the time is the minimum.
    hasTime_ = false;
    const QSignalBlocker blocker(this);
    setSpecialValueText(QStringLiteral(" "));
    if (time() != minimumTime()) {
        setTime(minimumTime());
    }
}

void TimeEdit::keyPressEvent(QKeyEvent* event) {
    if (LineEdit::IsListKey(event->key())) {
        event->ignore();
        return;
    }
    QTimeEdit::keyPressEvent(event);
}

} // namespace pq::ui
