#pragma once

#include <cstdint>
#include <span>
#include <string>

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

// The 75 zones, sorted by key, with the offsets and daylight saving rules
// they had when the table was drawn up. They stand in for the tz database
// where it lacks a zone.
std::span<const TimeZoneRow> timeZoneTable();

// The row of a zone code: the key is the code modulo 1000 (codes from 1000
// on name the same zone without daylight saving time). None for negative
// codes and unknown keys.
const TimeZoneRow* findTimeZone(int zone);

// Whether a date in the zone's local standard time lies in daylight time.
bool isDaylightTime(const TimeZoneRow& row, double day);

// A UTC day number to the zone's local time, and back; false for a zone code
// that is not in the table (the value is then unchanged). A code of 1000 or
// more gives the zone's standard time all year.
//
// Each zone's offsets come from the system's tz database: its offset and
// daylight saving time at that instant, as the law of the place has it (for
// dates before the zone kept standard time, the local mean time the database
// gives; after 2037, the rules of its latest years). Where the database
// lacks a zone (no zoneinfo folder, or a build without it) the zone's row of
// the table above gives them.
//
// A local time the clocks skipped, or showed twice, is read with the offset
// in force before the change: a skipped time comes out one gap later on the
// clocks (02:30 on a night the clocks jump from 02:00 to 03:00 is 03:30), and
// a time shown twice is the earlier of its two instants.
bool fromUtc(int zone, double& day);
bool toUtc(int zone, double& day);

// Where a zone's offsets come from.
enum class ZoneRules { Database, Table };
ZoneRules zoneRules(int zone);

// The tz database's name of a zone code ("America/New_York"); null for an
// unknown code or a build without the database.
const char* timeZoneName(int zone);

// The zoneinfo folder the tz database is read from. The date library reads
// the system's folder, so any other folder (tests give a missing one) leaves
// every zone to the table, as on a machine without the database.
inline constexpr const char* kSystemZoneFolder = "/usr/share/zoneinfo";
void setTimeZoneFolder(std::string folder);
const std::string& timeZoneFolder();

// The current date and time: for a negative zone the machine's local time,
// else the UTC time shown in that zone (UTC itself when the zone is unknown).
double currentTime(int zone);
// The current UTC time shown in a zone; false for a code that names no zone
// (a negative one among them), as fromUtc.
bool currentZoneTime(int zone, double& day);

} // namespace pq
