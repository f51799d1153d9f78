#pragma once

#include <QDate>
#include <QPointer>
#include <QTime>
#include <QTimeEdit>

#include <functional>
#include <optional>

#include "uikit/line_edit.h"

class QCalendarWidget;
class QFrame;

namespace pq::ui {

// A date box: the date as text, typed (or pasted) freely, or picked with
// one click in a calendar that drops down from the box's button (also Alt+
// Down or F4) and opens at the date held, or today. Dates from 1 January
// 1753 to 31 December 9999; an empty box, or a text that does not read,
// holds no date. How dates are written and read can be given; by default
// the locale's short date with a four-digit year, and ISO 8601.
class DateEdit : public LineEdit {
  public:
    // Reads a text: the date, and the time when the text carries one.
    using Reader =
        std::function<bool(const QString& text, QDate& date, std::optional<QTime>& time)>;
    using Writer = std::function<QString(const QDate& date)>;

    explicit DateEdit(QWidget* parent = nullptr);

    void setTextForms(Reader reader, Writer writer);
    // Called after the user changed the text or picked a day.
    void setChangeHandler(std::function<void()> handler) { changed_ = std::move(handler); }

    // An invalid date, or one outside the range, sets no date (an empty box).
    void setDateOrNone(const QDate& date);
    void setDate(const QDate& date) { setDateOrNone(date); }
    void setNoDate();
    bool hasDate() const { return dateOrNone().isValid(); }
    // The date held, or an invalid date.
    QDate dateOrNone() const;
    QDate date() const { return dateOrNone(); }
    // The time of day the text carries ("2024-12-25 10:00"), if any.
    std::optional<QTime> typedTime() const;

    // Drops the calendar down; the calendar while it is open.
    void showCalendar();
    QCalendarWidget* calendar() const;

    static QDate FirstDate() { return QDate(1753, 1, 1); }
    static QDate LastDate() { return QDate(9999, 12, 31); }
    // The locale's short date pattern with the year written in four digits.
    static QString ShortDateFormat();

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    bool read(QDate& date, std::optional<QTime>& time) const;
    void pick(const QDate& date);

    Reader reader_;
    Writer writer_;
    std::function<void()> changed_;
    QPointer<QFrame> popup_;
};

// A time picker in the locale's time format that can also show nothing.
class TimeEdit : public QTimeEdit {
  public:
    explicit TimeEdit(QWidget* parent = nullptr);

    void setTimeOrNone(const QTime& time);
    void setNoTime();
    bool hasTime() const { return hasTime_; }

    // The locale's time with seconds and without the time zone.
    static QString TimeFormat();

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    bool hasTime_ = true;
};

} // namespace pq::ui
