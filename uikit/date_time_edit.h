#pragma once

#include <QDateEdit>
#include <QTimeEdit>

namespace pq::ui {

// A date picker that can also hold no date, shown as an empty box. Dates
// from 1 January 1753 to 31 December 9999 can be held; the short date of the
// user's locale with a four-digit year; a calendar drops down. The keys that
// move a list (Up, Down, Page Up, Page Down) are left to the parents.
class DateEdit : public QDateEdit {
  public:
    explicit DateEdit(QWidget* parent = nullptr);

    // An invalid date, or one outside the range, sets no date.
    void setDateOrNone(const QDate& date);
    void setNoDate();
    bool hasDate() const;
    // The date held, or an invalid date.
    QDate dateOrNone() const;

    static QDate FirstDate() { return QDate(1753, 1, 1); }
    static QDate LastDate() { return QDate(9999, 12, 31); }
    // The locale's short date pattern with the year written in four digits.
    static QString ShortDateFormat();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
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
