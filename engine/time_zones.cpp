#include "engine/time_zones.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "engine/calendar_date.h"
#include "engine/clock.h"
#include "engine/time_zones_database.h"

namespace pq {

namespace {

enum Month { Jan = 1, Feb, Mar, Apr, May, Jun, Jul, Aug, Sep, Oct, Nov, Dec };
enum Weekday { Sun = 0, Mon, Tue, Wed, Thu, Fri, Sat };
constexpr uint16_t kLast = 5;

constexpr TransitionDate rule(uint16_t month, uint16_t weekday, uint16_t occurrence,
                              uint16_t hour) {
    return {0, month, weekday, occurrence, hour, 0, 0, 0};
}

struct Rule {
    TransitionDate standardDate;
    TransitionDate daylightDate;
};

// Daylight saving rules A to O: when standard time begins, when daylight time begins.
constexpr Rule A{rule(Oct, Sun, kLast, 2), rule(Apr, Sun, 1, 2)};
constexpr Rule B{rule(Sep, Sun, kLast, 2), rule(May, Sun, 1, 2)};
constexpr Rule C{rule(Mar, Sat, 2, 0), rule(Oct, Sat, 2, 0)};
constexpr Rule D{rule(Feb, Sun, 2, 2), rule(Oct, Sun, 3, 2)};
constexpr Rule E{rule(Sep, Sun, kLast, 2), rule(Mar, Sun, kLast, 2)};
constexpr Rule F{rule(Oct, Sun, kLast, 3), rule(Mar, Sun, kLast, 2)};
constexpr Rule G{rule(Oct, Sun, kLast, 2), rule(Mar, Sun, kLast, 1)};
constexpr Rule H{rule(Oct, Sun, kLast, 1), rule(Mar, Sun, kLast, 0)};
constexpr Rule I{rule(Sep, Wed, kLast, 2), rule(May, Fri, 1, 2)};
constexpr Rule J{rule(Oct, Sun, kLast, 4), rule(Mar, Sun, kLast, 3)};
constexpr Rule K{rule(Oct, Sun, 1, 4), rule(Apr, Sun, 1, 3)};
constexpr Rule L{rule(Sep, Tue, 4, 2), rule(Mar, Sun, 1, 2)};
constexpr Rule M{rule(Mar, Sun, kLast, 3), rule(Oct, Sun, kLast, 2)};
constexpr Rule N{rule(Mar, Sun, kLast, 3), rule(Oct, Sun, 1, 2)};
constexpr Rule O{rule(Mar, Sun, 3, 2), rule(Oct, Sun, 1, 2)};
constexpr Rule none{};

constexpr TimeZoneRow zone(int32_t key, int32_t bias, const Rule& r = none) {
    return {key, bias, 0, -60, r.standardDate, r.daylightDate};
}

constexpr TimeZoneRow kZones[] = {
    zone(0, 720),       zone(1, 660),       zone(2, 600),       zone(3, 540, A),
    zone(4, 480, A),    zone(10, 420, A),   zone(13, 420, B),   zone(15, 420),
    zone(20, 360, A),   zone(25, 360),      zone(30, 360, B),   zone(33, 360),
    zone(35, 300, A),   zone(40, 300),      zone(45, 300),      zone(50, 240, A),
    zone(55, 240),      zone(56, 240, C),   zone(60, 210, A),   zone(65, 180, D),
    zone(70, 180),      zone(73, 180, A),   zone(75, 120, E),   zone(80, 60, F),
    zone(83, 60),       zone(85, 0, G),     zone(90, 0),        zone(95, -60, F),
    zone(100, -60, F),  zone(105, -60, F),  zone(110, -60, F),  zone(113, -60),
    zone(115, -120, H), zone(120, -120, I), zone(125, -120, J), zone(130, -120, F),
    zone(135, -120),    zone(140, -120),    zone(145, -180, F), zone(150, -180),
    zone(155, -180),    zone(158, -180, K), zone(160, -210, L), zone(165, -240),
    zone(170, -240, F), zone(175, -270),    zone(180, -300, F), zone(185, -300),
    zone(190, -330),    zone(193, -345),    zone(195, -360),    zone(200, -360),
    zone(201, -360, F), zone(203, -390),    zone(205, -420),    zone(207, -420, F),
    zone(210, -480),    zone(215, -480),    zone(220, -480),    zone(225, -480),
    zone(227, -480, F), zone(230, -540),    zone(235, -540),    zone(240, -540, F),
    zone(245, -570),    zone(250, -570, M), zone(255, -600, M), zone(260, -600),
    zone(265, -600, N), zone(270, -600, F), zone(275, -600),    zone(280, -660),
    zone(285, -720),    zone(290, -720, O), zone(300, -780),
};
static_assert(std::size(kZones) == 75);

constexpr int kNoDaylightSaving = 1000;

bool hasDaylightSaving(const TimeZoneRow& row) { return row.daylightDate.month != 0; }

// Day number of a transition in the given year.
double transitionDay(const TransitionDate& t, int year) {
    CalendarDate date;
    if (t.year == 0) {
        date.setNthWeekday(t.day, t.dayOfWeek + 1, t.month, year);
    } else {
        date = CalendarDate(t.month, t.day, t.year);
    }
    return std::floor(date.day) + (t.hour * 60.0 + t.minute) * (1.0 / 1440);
}

} // namespace

std::span<const TimeZoneRow> timeZoneTable() { return kZones; }

const TimeZoneRow* findTimeZone(int zoneCode) {
    if (zoneCode < 0) return nullptr;
    const int key = zoneCode % 1000;
    const TimeZoneRow* end = std::end(kZones);
    const TimeZoneRow* row = std::lower_bound(
        std::begin(kZones), end, key, [](const TimeZoneRow& r, int k) { return r.key < k; });
    return row != end && row->key == key ? row : nullptr;
}

bool isDaylightTime(const TimeZoneRow& row, double day) {
    if (!hasDaylightSaving(row)) return false;
    const int year = CalendarDate(day).year;
    const double dstStart = transitionDay(row.daylightDate, year);
    const double stdStart = transitionDay(row.standardDate, year);
    if (row.daylightDate.month < row.standardDate.month) return dstStart < day && day < stdStart;
    return !(stdStart <= day && day <= dstStart);
}

namespace {

void tableFromUtc(const TimeZoneRow& row, int zoneCode, double& day) {
    day -= row.bias / 1440.0;
    if (zoneCode < kNoDaylightSaving && hasDaylightSaving(row))
        day -= (isDaylightTime(row, day) ? row.daylightBias : row.standardBias) / 1440.0;
}

void tableToUtc(const TimeZoneRow& row, int zoneCode, double& day) {
    if (zoneCode < kNoDaylightSaving && hasDaylightSaving(row))
        day += (isDaylightTime(row, day) ? row.daylightBias : row.standardBias) / 1440.0;
    day += row.bias / 1440.0;
}

constexpr double kUnixEpochDay = 2440587; // 1 January 1970
constexpr double kSecondsPerDay = 86400;

// The second a day number falls in, with the tenth of a second of tolerance
// the calendar shows times with: a time shown as 02:00:00 is looked up as
// 02:00:00. Held within some 28 000 years of 1970, where the database's
// dates end.
int64_t secondOf(double day) {
    constexpr double kLimit = 9e11;
    double s = std::floor((day - kUnixEpochDay) * kSecondsPerDay + 0.1);
    if (!(s > -kLimit)) s = -kLimit; // not a number, too
    if (s > kLimit) s = kLimit;
    return static_cast<int64_t>(s);
}

} // namespace

bool fromUtc(int zoneCode, double& day) {
    const TimeZoneRow* row = findTimeZone(zoneCode);
    if (!row) return false;
    ZoneOffsets offsets;
    const ZoneDatabase* database = zoneDatabase();
    if (database && database->offsetsAtUtc(row->key, secondOf(day), &offsets)) {
        const int32_t offset = zoneCode < kNoDaylightSaving ? offsets.total : offsets.standard;
        day += offset / kSecondsPerDay;
        return true;
    }
    tableFromUtc(*row, zoneCode, day);
    return true;
}

bool toUtc(int zoneCode, double& day) {
    const TimeZoneRow* row = findTimeZone(zoneCode);
    if (!row) return false;
    ZoneOffsets offsets;
    const int64_t local = secondOf(day);
    const ZoneDatabase* database = zoneDatabase();
    if (database && database->offsetsAtLocal(row->key, local, &offsets)) {
        int32_t offset = offsets.total;
        if (zoneCode >= kNoDaylightSaving) {
            // Standard time all year: the standard offset at the instant
            // that offset gives (it differs only where the standard offset
            // itself changes).
            database->offsetsAtUtc(row->key, local - offsets.standard, &offsets);
            offset = offsets.standard;
        }
        day -= offset / kSecondsPerDay;
        return true;
    }
    tableToUtc(*row, zoneCode, day);
    return true;
}

ZoneRules zoneRules(int zoneCode) {
    const TimeZoneRow* row = findTimeZone(zoneCode);
    const ZoneDatabase* database = zoneDatabase();
    return row && database && database->hasZone(row->key) ? ZoneRules::Database
                                                          : ZoneRules::Table;
}

const char* timeZoneName(int zoneCode) {
    const TimeZoneRow* row = findTimeZone(zoneCode);
    const ZoneDatabase* database = zoneDatabase();
    return row && database ? database->zoneName(row->key) : nullptr;
}

namespace {

std::string& zoneFolder() {
    static std::string folder = kSystemZoneFolder;
    return folder;
}

} // namespace

void setTimeZoneFolder(std::string folder) {
    zoneFolder() = std::move(folder);
    if (const ZoneDatabase* database = zoneDatabase())
        database->useSystemFolder(zoneFolder() == kSystemZoneFolder);
}

const std::string& timeZoneFolder() { return zoneFolder(); }

double currentTime(int zoneCode) {
    if (zoneCode < 0) {
        CalendarDate now;
        now.setNow();
        return now.day;
    }
    double day = CalendarDate(systemTime()).day;
    fromUtc(zoneCode, day);
    return day;
}

bool currentZoneTime(int zone, double& day) {
    if (zone < 0) return false;
    day = CalendarDate(systemTime()).day;
    return fromUtc(zone, day);
}

} // namespace pq
