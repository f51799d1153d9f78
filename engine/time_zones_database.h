#pragma once

// The zones' offsets from the system's tz database (the zoneinfo files,
// read through the date library). Used by time_zones.cpp only; a build
// without the database leaves this part out.

#include <cstdint>

#include "engine/time_zones.h"

namespace pq {

// A zone's offsets east of UTC at one instant, in seconds.
struct ZoneOffsets {
    int32_t total = 0;    // what the clocks show, daylight saving time included
    int32_t standard = 0; // the zone's standard time at that instant
};

// The offsets of a zone of the table at a UTC instant (seconds since
// 1970-01-01 00:00 UTC). False when the database lacks the zone.
bool databaseOffsetsAtUtc(const TimeZoneRow& row, int64_t utcSeconds, ZoneOffsets& out);

// The offsets that turn a local time of the zone (seconds since 1970-01-01
// 00:00 on the zone's clocks) into UTC. A local time the clocks skipped or
// showed twice gets the offsets in force before the change. False when the
// database lacks the zone.
bool databaseOffsetsAtLocal(const TimeZoneRow& row, int64_t localSeconds, ZoneOffsets& out);

// The database's name of a zone of the table ("America/New_York").
const char* databaseZoneName(const TimeZoneRow& row);

// Whether the database has the zone.
bool databaseHasZone(const TimeZoneRow& row);

// Forgets what was looked up, after the folder of the database changed.
void forgetDatabaseZones();

} // namespace pq
