#pragma once

// The zones' offsets from the system's tz database (the zoneinfo files,
// read through the date library). Used by time_zones.cpp only. Programs
// link it in, or (pqtool, which starts for every conversion) load it as a
// module the first time a zone is asked for, so that a run without zones
// does not pay for loading the library; a build without the database has
// none.

#include <cstdint>

namespace pq {

// A zone's offsets east of UTC at one instant, in seconds.
struct ZoneOffsets {
    int32_t total = 0;    // what the clocks show, daylight saving time included
    int32_t standard = 0; // the zone's standard time at that instant
};

// The database's operations on the zones of the table, named by their key
// (the zone code modulo 1000). Plain functions, so that the module and the
// program share no library types.
struct ZoneDatabase {
    // The offsets of a zone at a UTC instant (seconds since 1970-01-01
    // 00:00 UTC). False when the database lacks the zone.
    bool (*offsetsAtUtc)(int key, int64_t utcSeconds, ZoneOffsets* out);
    // The offsets that turn a local time of the zone (seconds since
    // 1970-01-01 00:00 on the zone's clocks) into UTC. A local time the
    // clocks skipped or showed twice gets the offsets in force before the
    // change. False when the database lacks the zone.
    bool (*offsetsAtLocal)(int key, int64_t localSeconds, ZoneOffsets* out);
    // The database's name of a zone ("America/New_York"); null for a key
    // that is not in the table.
    const char* (*zoneName)(int key);
    // Whether the database has the zone.
    bool (*hasZone)(int key);
    // Forgets what was looked up; with false every zone is left to the
    // engine's own table from then on (a folder other than the system's).
    void (*useSystemFolder)(bool use);
};

// The database of this program; null where it has none.
const ZoneDatabase* zoneDatabase();

} // namespace pq

// The database's operations as the module (and the linked-in code) export
// them.
extern "C" const pq::ZoneDatabase* pqZoneDatabase();
