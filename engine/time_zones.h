#pragma once

#include <cstdint>
#include <span>

namespace pq {

// When daylight saving time begins or ends. With year 0 it is a rule: in
// `month`, the `day`-th (1-4; 5 or 0 = last) `dayOfWeek` (0 = Sunday) at
// `hour`:`minute`. A non-zero year makes it an absolute date and time.
struct TransitionDate {
    uint16_t year = 0;
    uint16_t month = 0;
    uint16_t dayOfWeek = 0;
    uint16_t day = 0;
    uint16_t hour = 0;
    uint16_t minute = 0;
    uint16_t second = 0;
    uint16_t milliseconds = 0;
};

struct TimeZoneRow {
    int32_t key;                 // zone code
    int32_t bias;                // minutes; UTC = local standard time + bias
    int32_t standardBias;        // minutes
    int32_t daylightBias;        // minutes
    TransitionDate standardDate; // daylight saving time ends
    TransitionDate daylightDate; // daylight saving time begins (month 0: none)
};

// The 75 zones, sorted by key.
std::span<const TimeZoneRow> timeZoneTable();

// The row of a zone code: the key is the code modulo 1000 (codes from 1000
// on name the same zone without daylight saving time). None for negative
// codes and unknown keys.
const TimeZoneRow* findTimeZone(int zone);

// Whether a date in the zone's local standard time lies in daylight time.
bool isDaylightTime(const TimeZoneRow& row, double day);

// A UTC day number to the zone's local time, and back; false for a zone code
// that is not in the table (the value is then unchanged).
bool fromUtc(int zone, double& day);
bool toUtc(int zone, double& day);

// The current date and time: for a negative zone the machine's local time,
// else the UTC time shown in that zone (UTC itself when the zone is unknown).
double currentTime(int zone);

} // namespace pq
