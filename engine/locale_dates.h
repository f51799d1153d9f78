#pragma once

#include <string>

#include "engine/calendar_date.h"

namespace pq {

// Dates in the user's own form, from the C library's LC_TIME locale (the
// program selects it with setlocale(LC_TIME, "")). Numbers never depend on
// the locale.

// A program that would rather not read the locale's files until a date is
// written or read names here what selects the locale: it runs once, before
// the first of the functions below looks at the locale. Set before any use.
void SetLocaleSelection(void (*select)());

// The long name of a weekday (1 Sunday .. 7 Saturday).
std::u16string localeWeekdayName(int weekday);
// The short date; years the locale formatter is not trusted with (before
// 1601 or after 9999) are written "d/m/y" or "m/d/y" in the locale's order,
// with " BC" for years before Christ.
std::u16string localeShortDate(const CalendarDate& date);
// The time of day.
std::u16string localeTime(const CalendarDate& date);
// Whether the locale writes the day before the month; read once.
bool localeDayFirst();

// The order in which the locale's short date writes day, month and year.
enum class DateOrder { MonthDayYear, DayMonthYear, YearMonthDay };
DateOrder localeDateOrder();
// The locale's words of dates and times: the abbreviated and the full name
// of a month (1..12), and the marks of the morning and the afternoon (empty
// in a 24-hour locale).
std::u16string localeMonthName(int month, bool abbreviated);
std::u16string localeAmMark();
std::u16string localePmMark();
// The characters other than fields that the locale's short date and time
// patterns write between their numbers ("/", ":", "年"...).
const std::u16string& localeDateLiterals();

} // namespace pq
