#include "engine/time_zones_database.h"

#include <date/tz.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <iterator>
#include <limits>
#include <string_view>

#include "engine/time_zones.h"

// The library must read the operating system's zoneinfo files and never
// fetch a database of its own; its headers must be seen with the settings
// the library was built with (the date::date-tz target carries them).
static_assert(USE_OS_TZDB && !HAS_REMOTE_API);

namespace pq {

namespace {

using std::chrono::seconds;

struct ZoneName {
    int key;
    const char* name;
};

// The database's zone of each zone code, in the order of the zone table.
// clang-format off
constexpr ZoneName kZoneNames[] = {
    {0, "Etc/GMT+12"}, {1, "Pacific/Pago_Pago"}, {2, "Pacific/Honolulu"}, {3, "America/Anchorage"},
    {4, "America/Los_Angeles"}, {10, "America/Denver"}, {13, "America/Chihuahua"},
    {15, "America/Phoenix"}, {20, "America/Chicago"}, {25, "America/Regina"},
    {30, "America/Mexico_City"}, {33, "America/Guatemala"}, {35, "America/New_York"},
    {40, "America/Indiana/Indianapolis"}, {45, "America/Bogota"}, {50, "America/Halifax"},
    {55, "America/Caracas"}, {56, "America/Santiago"}, {60, "America/St_Johns"},
    {65, "America/Sao_Paulo"}, {70, "America/Argentina/Buenos_Aires"}, {73, "America/Nuuk"},
    {75, "Atlantic/South_Georgia"}, {80, "Atlantic/Azores"}, {83, "Atlantic/Cape_Verde"},
    {85, "Europe/London"}, {90, "Atlantic/Reykjavik"}, {95, "Europe/Prague"},
    {100, "Europe/Warsaw"}, {105, "Europe/Paris"}, {110, "Europe/Berlin"}, {113, "Africa/Lagos"},
    {115, "Europe/Bucharest"}, {120, "Africa/Cairo"}, {125, "Europe/Helsinki"},
    {130, "Europe/Athens"}, {135, "Asia/Jerusalem"}, {140, "Africa/Johannesburg"},
    {145, "Europe/Moscow"}, {150, "Asia/Riyadh"}, {155, "Africa/Nairobi"}, {158, "Asia/Baghdad"},
    {160, "Asia/Tehran"}, {165, "Asia/Dubai"}, {170, "Asia/Baku"}, {175, "Asia/Kabul"},
    {180, "Asia/Yekaterinburg"}, {185, "Asia/Karachi"}, {190, "Asia/Kolkata"},
    {193, "Asia/Kathmandu"}, {195, "Asia/Dhaka"}, {200, "Asia/Colombo"}, {201, "Asia/Novosibirsk"},
    {203, "Asia/Yangon"}, {205, "Asia/Bangkok"}, {207, "Asia/Krasnoyarsk"}, {210, "Asia/Shanghai"},
    {215, "Asia/Singapore"}, {220, "Asia/Taipei"}, {225, "Australia/Perth"}, {227, "Asia/Irkutsk"},
    {230, "Asia/Seoul"}, {235, "Asia/Tokyo"}, {240, "Asia/Yakutsk"}, {245, "Australia/Darwin"},
    {250, "Australia/Adelaide"}, {255, "Australia/Sydney"}, {260, "Australia/Brisbane"},
    {265, "Australia/Hobart"}, {270, "Asia/Vladivostok"}, {275, "Pacific/Guam"},
    {280, "Pacific/Guadalcanal"}, {285, "Pacific/Fiji"}, {290, "Pacific/Auckland"},
    {300, "Pacific/Tongatapu"},
};
// clang-format on
static_assert(std::size(kZoneNames) == 75);
static_assert(std::is_sorted(std::begin(kZoneNames), std::end(kZoneNames),
                             [](const ZoneName& a, const ZoneName& b) { return a.key < b.key; }));

constexpr int64_t kDay = 86400;
constexpr int64_t kNever = std::numeric_limits<int64_t>::max();

// The zoneinfo files hold each zone's transitions up to 2037 where its rules
// go on (the "fat" files of tz packages such as Debian's), and the final
// period of such a file then lasts for ever. A zone that changed its clocks
// twice in 2037 keeps doing so: an instant of a later month is looked up in
// the latest month up to 2037 that begins on the same weekday (and for
// February has as many days), where the rules put the same changes on the
// same days.
constexpr int kLastListedYear = 2037;

// One period of constant offsets, [begin, end) in UTC seconds.
struct Period {
    int64_t begin = 0;
    int64_t end = 0;
    ZoneOffsets offsets;
};

// What is known of one zone of the table. Each thread keeps its own, so
// that lookups need no lock.
struct Link {
    int generation = 0;                    // of the folder it was made for
    const date::time_zone* zone = nullptr; // null: the database lacks it
    int64_t repeatsFrom = kNever;          // UTC second the repeated years begin
    int lastYear = 0;                      // the final year of listed transitions
    Period period;                         // the period looked up last
};

thread_local Link tLinks[std::size(kZoneNames)];
std::atomic<int> gGeneration{1};
std::atomic<bool> gSystemFolder{true};

int64_t secondsOf(date::sys_seconds t) { return t.time_since_epoch().count(); }
date::sys_seconds sysTime(int64_t t) { return date::sys_seconds{seconds{t}}; }

int64_t monthStart(date::year_month ym) { return secondsOf(date::sys_days{ym / 1}); }

// A month after the listed years, and how far back its model month lies.
struct Repeat {
    int64_t begin = 0; // the month, in seconds of the time scale looked up
    int64_t end = 0;
    int64_t shift = 0; // how far its instants move back; 0: no move
};

Repeat repeatOf(const Link& link, int64_t t) {
    if (t < link.repeatsFrom) return {};
    const date::year_month_day day{date::floor<date::days>(sysTime(t))};
    const date::year_month month{day.year(), day.month()};
    const auto sameDays = [&](date::year_month model) {
        return date::weekday{date::sys_days{model / 1}} ==
                   date::weekday{date::sys_days{month / 1}} &&
               (month.month() != date::February ||
                model.year().is_leap() == month.year().is_leap());
    };
    date::year_month model{date::year{link.lastYear}, month.month()};
    while (model.year() > date::year{link.lastYear - 28} && !sameDays(model))
        model -= date::years{1};
    return {monthStart(month), monthStart(month + date::months{1}),
            monthStart(month) - monthStart(model)};
}

// The zone's standard offset in a period: its own when it is standard time,
// else that of the nearest standard-time period before it (after it when
// there is none). The files mark daylight time but keep no standard offset.
int32_t standardOffset(const date::time_zone& zone, const date::sys_info& info) {
    if (info.save == std::chrono::minutes{0}) return int32_t(info.offset.count());
    date::sys_info other = info;
    for (int i = 0; i < 4; ++i) {
        other = zone.get_info(other.begin - seconds{1});
        if (other.save == std::chrono::minutes{0}) return int32_t(other.offset.count());
    }
    other = info;
    for (int i = 0; i < 4; ++i) {
        other = zone.get_info(other.end);
        if (other.save == std::chrono::minutes{0}) return int32_t(other.offset.count());
    }
    return int32_t(info.offset.count() - 3600);
}

// The period of `info`, moved forward into the month it stands for and cut
// to that month, or cut where the repeated months begin.
Period periodOf(const Link& link, const date::sys_info& info, const Repeat& repeat) {
    Period p;
    p.begin = secondsOf(info.begin) + repeat.shift;
    p.end = secondsOf(info.end) + repeat.shift;
    if (repeat.shift != 0) {
        p.begin = std::max(p.begin, repeat.begin);
        p.end = std::min(p.end, repeat.end);
    } else {
        p.end = std::min(p.end, link.repeatsFrom);
    }
    p.offsets.total = int32_t(info.offset.count());
    p.offsets.standard = standardOffset(*link.zone, info);
    return p;
}

void resolve(Link& link, const ZoneName& name) {
    link.zone = nullptr;
    link.repeatsFrom = kNever;
    link.lastYear = 0;
    link.period = Period{};
    if (!gSystemFolder.load(std::memory_order_relaxed)) return;
    std::error_code error;
    if (!std::filesystem::is_regular_file(std::filesystem::path(kSystemZoneFolder) / name.name,
                                          error))
        return;
    try {
        const date::time_zone* zone = date::locate_zone(name.name);
        const date::sys_info last = zone->get_info(date::sys_days{date::year{9999} / 1 / 1});
        const auto yearOf = [](date::sys_seconds t) {
            return int(date::year_month_day{date::floor<date::days>(t)}.year());
        };
        const int lastYear = yearOf(last.begin);
        if (lastYear >= kLastListedYear &&
            yearOf(zone->get_info(last.begin - seconds{1}).begin) == lastYear) {
            link.lastYear = lastYear;
            link.repeatsFrom = monthStart(date::year{lastYear + 1} / 1);
        }
        link.zone = zone;
    } catch (const std::exception&) {
        // An unreadable zoneinfo folder or file: the zone stays with the table.
    }
}

// The entry of a zone key in the table above; -1 when there is none.
int indexOf(int key) {
    const auto found = std::lower_bound(std::begin(kZoneNames), std::end(kZoneNames), key,
                                        [](const ZoneName& z, int k) { return z.key < k; });
    return found != std::end(kZoneNames) && found->key == key
               ? int(found - std::begin(kZoneNames))
               : -1;
}

Link* linkOf(int key) {
    const int index = indexOf(key);
    if (index < 0) return nullptr;
    Link& link = tLinks[index];
    const int generation = gGeneration.load(std::memory_order_relaxed);
    if (link.generation != generation) {
        resolve(link, kZoneNames[index]);
        link.generation = generation;
    }
    return link.zone ? &link : nullptr;
}

bool offsetsAtUtc(int key, int64_t t, ZoneOffsets* out) {
    Link* link = linkOf(key);
    if (!link) return false;
    if (!(link->period.begin <= t && t < link->period.end)) {
        const Repeat repeat = repeatOf(*link, t);
        link->period = periodOf(*link, link->zone->get_info(sysTime(t - repeat.shift)), repeat);
    }
    *out = link->period.offsets;
    return true;
}

bool offsetsAtLocal(int key, int64_t local, ZoneOffsets* out) {
    Link* link = linkOf(key);
    if (!link) return false;
    // A day away from the ends of the period looked up last, a local time
    // has one instant, in that period (offsets differ by less than a day).
    const Period& last = link->period;
    const int64_t guess = local - last.offsets.total;
    if (last.begin + kDay <= guess && guess < last.end - kDay) {
        *out = last.offsets;
        return true;
    }
    // The month a local time falls in stands for the same UTC month: close
    // to its ends the two differ by hours, where the rules change nothing.
    const Repeat repeat = repeatOf(*link, local);
    // The first of the periods the library gives is the one before the
    // change for a skipped or repeated local time.
    const date::local_info info =
        link->zone->get_info(date::local_seconds{seconds{local - repeat.shift}});
    link->period = periodOf(*link, info.first, repeat);
    *out = link->period.offsets;
    return true;
}

const char* zoneName(int key) {
    const int index = indexOf(key);
    return index < 0 ? nullptr : kZoneNames[index].name;
}

bool hasZone(int key) { return linkOf(key) != nullptr; }

void useSystemFolder(bool use) {
    gSystemFolder.store(use, std::memory_order_relaxed);
    gGeneration.fetch_add(1, std::memory_order_relaxed);
}

constexpr ZoneDatabase kDatabase{offsetsAtUtc, offsetsAtLocal, zoneName, hasZone,
                                 useSystemFolder};

} // namespace

} // namespace pq

extern "C" __attribute__((visibility("default"))) const pq::ZoneDatabase* pqZoneDatabase() {
    return &pq::kDatabase;
}
