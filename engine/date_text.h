#pragma once

#include <string_view>

#include "engine/locale_dates.h"

namespace pq {

// Reads a date, with or without a time of day, as the date displays write
// it and as people type it:
// - a weekday may lead: "Wed 12/25/2024";
// - the numbers of the date stand in the order of the user's locale, the
//   order the displays write ("12/25/2024" month first, "25.12.2024" day
//   first), or year first when the first number has four digits
//   ("2024-12-25", ISO 8601, also with "T" before the time);
// - a month may be named ("25 Dec 2024"), in the locale's words or English;
// - two numbers give a date of the current year; a two-digit year below 51
//   is 20xx, else 19xx; "BC" makes the year one before Christ;
// - the time follows as hours and minutes, and seconds, with ":" or the
//   locale's own marks between them, and AM or PM where the locale has them.
// Fails for anything else, and for a date or time that does not exist
// (31 April, 25:00). `hasTime` tells whether a time was written.
bool readDateText(std::u16string_view text, double& day, bool* hasTime = nullptr);
// The same with the order of day, month and year given.
bool readDateText(std::u16string_view text, DateOrder order, double& day, bool* hasTime);

} // namespace pq
