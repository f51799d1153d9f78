#pragma once

#include <cstdint>
#include <optional>

namespace pq {

// Calendar fields of an instant, as the date routines take them.
struct SystemTime {
    int year = 0;
    int month = 0;     // 1-12
    int dayOfWeek = 0; // 0 = Sunday
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int milliseconds = 0;
};

// The current time in the machine's local time zone.
SystemTime localTime();
// The current time in UTC.
SystemTime systemTime();
// The UTC fields of an instant given in seconds since 1970-01-01; instants
// before the year 1 or after 9999 give its first or last second.
SystemTime utcTimeOf(int64_t unixSeconds);
// The current time (UTC) as a count of 100-nanosecond intervals since
// 1 January 1601, which seeds the random generator without reading the
// time zone.
uint64_t timeTicks();

// Tests fix the clock to an instant (seconds since 1970-01-01 UTC); nullopt
// returns to the real clock.
void setFixedClock(std::optional<int64_t> unixSeconds);

} // namespace pq
