#pragma once

#include <string_view>

#include "engine/clock.h"

namespace pq {

// Day number of the all-zero date (year, month and day 0), the value an
// unreadable date text gives.
constexpr double kNoDate = 1721422.0;
// Day number of 1 January 2000 00:00.
constexpr double kDay2000 = 2451544.0;

// A date and time as a day number (the Julian Date minus 0.5, so that a civil
// day begins at a whole number, with the time of day as the fraction) and as
// calendar fields. Dates from 15 October 1582 on are Gregorian, earlier ones
// Julian. Years before Christ are negative with no year 0: -1 is 1 B.C. and
// stands for the astronomical year 0 in all arithmetic; a year field of 0
// composes like -1.
//
// Setting the fields recomputes the day number and weekday (compose); setting
// the day number recomputes the fields (split).
class CalendarDate {
  public:
    CalendarDate() = default;
    explicit CalendarDate(double dayNumber);
    CalendarDate(int month, int dayOfMonth, int year);
    CalendarDate(int month, int dayOfMonth, int year, int hour, int minute, int second);
    explicit CalendarDate(const SystemTime& time);
    // Reads a date text: "TODAY", "NOW", "12/25/2004", "12-25-04",
    // "20041225", "Sat Dec 25 2004", "25 Dec 2004 10:00:00", "1/1/44 B.C.".
    // An unreadable text gives the all-zero date.
    explicit CalendarDate(std::u16string_view text);
    virtual ~CalendarDate() = default;
    CalendarDate(const CalendarDate&) = default;
    CalendarDate& operator=(const CalendarDate&) = default;

    void setNow();
    void setDate(int month, int dayOfMonth, int year);
    void setTime(int hour, int minute, int second);
    void setDay(double dayNumber);
    void addWeeks(int n);
    void addMonths(int n);
    // The occurrence-th weekday (1 Sunday .. 7 Saturday) of the month;
    // occurrence 5 or 0 means the last. Time 00:00:00.
    void setNthWeekday(int occurrence, int weekday, int month, int year);
    int daysInMonth() const;
    static int daysInMonth(int month, int year);
    static bool isLeapYear(int year);
    SystemTime toSystemTime() const;

    double day = 0;
    int year = 0;
    int month = 0;
    int dayOfMonth = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int weekday = 0; // 1 Sunday .. 7 Saturday

  private:
    void compose();
    void split();
    void readText(std::u16string_view text);
};

} // namespace pq
