#pragma once

#include <string>

#include "engine/calendar_date.h"

namespace pq {

// Dates in the user's own form, from the C library's LC_TIME locale (the
// program selects it with setlocale(LC_TIME, "")). Numbers never depend on
// the locale.

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

} // namespace pq
