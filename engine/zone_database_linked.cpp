// The tz database linked into the program.

#include "engine/time_zones_database.h"

namespace pq {

const ZoneDatabase* zoneDatabase() { return pqZoneDatabase(); }

} // namespace pq
