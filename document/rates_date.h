#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace pq {

// The date of the bank's exchange rates that a conversion file holds. The
// update made from the bank's daily document stamps the file's "Updated:"
// text with "European Central Bank reference rates of 2026-12-08" (after
// "Downloaded file timestamp: "), and the shipped Currency.cnv carries the
// same stamp for the rates it ships with.
inline constexpr std::u16string_view kRatesStamp = u"European Central Bank reference rates of ";

// Rates from more than this many days before today are old.
constexpr int kOldRatesDays = 7;

using CivilDate = std::chrono::year_month_day;

// The date of the last stamp in an "Updated:" text; none when the text holds
// no stamp with a valid date.
std::optional<CivilDate> ratesDateOf(std::u16string_view updatedText);

// Whole days from the rates' date to today; 0 for rates dated after today.
int ratesAgeDays(CivilDate rates, CivilDate today);

// Whether rates of that date are old on that day.
bool ratesAreOld(CivilDate rates, CivilDate today);

// Whether rates of that date are older than one day at that time, counted
// from their publication in the afternoon of their day (16:00 Central
// European Time): from then on the bank may have newer ones.
bool ratesAreDue(CivilDate rates, std::chrono::system_clock::time_point now);

// Today's date in the local time zone.
CivilDate localToday();

// "2026-12-08".
std::string isoDate(CivilDate date);
// The date of "2026-12-08"; none for any other text.
std::optional<CivilDate> parseIsoDate(std::string_view text);

} // namespace pq
