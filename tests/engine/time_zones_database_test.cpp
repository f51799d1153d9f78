// The zones as the system's tz database has them. The expected offsets are
// asked of the date library here, beside the engine, or are the clock
// changes the law sets (written out by hand).

#include <gtest/gtest.h>

#include <date/tz.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "engine/calendar_date.h"
#include "engine/time_zones.h"

using namespace pq;
using std::chrono::seconds;

namespace {

constexpr double kUnixEpochDay = 2440587;
constexpr double kSecond = 1.0 / 86400;

double dayOf(date::sys_seconds t) { return kUnixEpochDay + t.time_since_epoch().count() / 86400.0; }

date::sys_seconds utc(int year, int month, int day, int hour, int minute = 0) {
    return date::sys_days{date::year{year} / month / day} + std::chrono::hours{hour} +
           std::chrono::minutes{minute};
}

double local(int month, int day, int year, int hour, int minute) {
    return CalendarDate(month, day, year, hour, minute, 0).day;
}

// Every 2026 change of the zone's clocks, and the instants the tests look
// at: noon UTC on the 15th of each month of some years, and the second
// before, the instant of and the hour either side of each 2026 change.
std::vector<date::sys_seconds> instantsFor(const date::time_zone& zone) {
    std::vector<date::sys_seconds> instants;
    for (int year : {1975, 2004, 2026, 2037})
        for (int month = 1; month <= 12; ++month) instants.push_back(utc(year, month, 15, 12));
    date::sys_info info = zone.get_info(utc(2026, 1, 1, 0));
    while (info.end < utc(2027, 1, 1, 0)) {
        const date::sys_seconds change = info.end;
        for (auto t : {change - std::chrono::hours{1}, change - seconds{1}, change,
                       change + std::chrono::hours{1}})
            instants.push_back(t);
        info = zone.get_info(change);
    }
    return instants;
}

struct ZoneFolder {
    explicit ZoneFolder(std::string folder) : saved(timeZoneFolder()) {
        setTimeZoneFolder(std::move(folder));
    }
    ~ZoneFolder() { setTimeZoneFolder(saved); }
    std::string saved;
};

} // namespace

TEST(TimeZoneDatabase, EveryZoneShowsTheOffsetTheDatabaseGives) {
    for (const TimeZoneRow& row : timeZoneTable()) {
        ASSERT_NE(timeZoneName(row.key), nullptr);
        SCOPED_TRACE(timeZoneName(row.key));
        EXPECT_EQ(zoneRules(row.key), ZoneRules::Database);
        const date::time_zone* zone = date::locate_zone(timeZoneName(row.key));
        for (date::sys_seconds t : instantsFor(*zone)) {
            SCOPED_TRACE(date::format("%F %T", t));
            const date::sys_info expected = zone->get_info(t);
            const double wall = dayOf(t) + expected.offset.count() * kSecond;
            double day = dayOf(t);
            ASSERT_TRUE(fromUtc(row.key, day));
            EXPECT_NEAR(day, wall, 1e-9);
            // Back from the wall clock: the earlier instant of a repeated hour.
            const date::local_info back =
                zone->get_info(date::local_seconds{t.time_since_epoch() + expected.offset});
            ASSERT_TRUE(toUtc(row.key, day));
            EXPECT_NEAR(day, wall - back.first.offset.count() * kSecond, 1e-9);
        }
    }
}

TEST(TimeZoneDatabase, StandardTimeCodesLeaveOutDaylightSavingTime) {
    for (const TimeZoneRow& row : timeZoneTable()) {
        SCOPED_TRACE(timeZoneName(row.key));
        const date::time_zone* zone = date::locate_zone(timeZoneName(row.key));
        // In 2026 every zone keeps standard time in January or in July.
        date::sys_info standard = zone->get_info(utc(2026, 1, 15, 12));
        if (standard.save != std::chrono::minutes{0})
            standard = zone->get_info(utc(2026, 7, 15, 12));
        ASSERT_EQ(standard.save, std::chrono::minutes{0});
        for (int month : {1, 4, 7, 10}) {
            const double t = dayOf(utc(2026, month, 15, 12));
            double day = t;
            ASSERT_TRUE(fromUtc(row.key + 1000, day));
            EXPECT_NEAR(day, t + standard.offset.count() * kSecond, 1e-9);
            ASSERT_TRUE(toUtc(row.key + 1000, day));
            EXPECT_NEAR(day, t, 1e-9);
        }
    }
}

// One rule for the local times a change makes: the offset in force before
// the change. A skipped time comes out one gap later on the clocks, a time
// shown twice is its earlier instant.
TEST(TimeZoneDatabase, SkippedAndRepeatedLocalTimesTakeTheOffsetBeforeTheChange) {
    struct Case {
        const char* place;
        int zone;
        double skipped, skippedUtc;   // in the hour the clocks jump over
        double repeated, repeatedUtc; // in the hour the clocks show twice
    };
    const Case cases[] = {
        {"New York", 35, local(3, 8, 2026, 2, 30), local(3, 8, 2026, 7, 30),
         local(11, 1, 2026, 1, 30), local(11, 1, 2026, 5, 30)},
        {"St. John's", 60, local(3, 8, 2026, 2, 30), local(3, 8, 2026, 6, 0),
         local(11, 1, 2026, 1, 30), local(11, 1, 2026, 4, 0)},
        {"London", 85, local(3, 29, 2026, 1, 30), local(3, 29, 2026, 1, 30),
         local(10, 25, 2026, 1, 30), local(10, 25, 2026, 0, 30)},
        {"Santiago", 56, local(9, 6, 2026, 0, 30), local(9, 6, 2026, 4, 30),
         local(4, 4, 2026, 23, 30), local(4, 5, 2026, 2, 30)},
        {"Adelaide", 250, local(10, 4, 2026, 2, 30), local(10, 3, 2026, 17, 0),
         local(4, 5, 2026, 2, 30), local(4, 4, 2026, 16, 0)},
        {"Sydney", 255, local(10, 4, 2026, 2, 30), local(10, 3, 2026, 16, 30),
         local(4, 5, 2026, 2, 30), local(4, 4, 2026, 15, 30)},
        {"Auckland", 290, local(9, 27, 2026, 2, 30), local(9, 26, 2026, 14, 30),
         local(4, 5, 2026, 2, 30), local(4, 4, 2026, 13, 30)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.place);
        double t = c.skipped;
        ASSERT_TRUE(toUtc(c.zone, t));
        EXPECT_NEAR(t, c.skippedUtc, 1e-9);
        ASSERT_TRUE(fromUtc(c.zone, t));
        EXPECT_NEAR(t, c.skipped + 1.0 / 24, 1e-9); // one gap later
        t = c.repeated;
        ASSERT_TRUE(toUtc(c.zone, t));
        EXPECT_NEAR(t, c.repeatedUtc, 1e-9);
        ASSERT_TRUE(fromUtc(c.zone, t));
        EXPECT_NEAR(t, c.repeated, 1e-9);
    }
}

// The zoneinfo files list the changes up to 2037; later years follow the
// same rules (the changes as the rules put them, written out by hand).
TEST(TimeZoneDatabase, RulesGoOnAfterTheListedYears) {
    struct Change {
        int zone;
        date::sys_seconds at;
        double hoursBefore, hoursAfter;
    };
    const Change changes[] = {
        {35, utc(2040, 3, 11, 7), -5, -4},   {35, utc(2040, 11, 4, 6), -4, -5},
        {35, utc(2100, 3, 14, 7), -5, -4},   {35, utc(2100, 11, 7, 6), -4, -5},
        {85, utc(2040, 3, 25, 1), 0, 1},     {85, utc(2100, 10, 31, 1), 1, 0},
        {255, utc(2040, 3, 31, 16), 11, 10}, {255, utc(2040, 10, 6, 16), 10, 11},
        {290, utc(2100, 4, 3, 14), 13, 12},  {290, utc(2100, 9, 25, 14), 12, 13},
        {56, utc(2040, 4, 8, 3), -3, -4},    {56, utc(2040, 9, 2, 4), -4, -3},
        {145, utc(2040, 7, 1, 0), 3, 3},     {200, utc(2222, 1, 1, 0), 5.5, 5.5},
    };
    for (const Change& c : changes) {
        SCOPED_TRACE(std::to_string(c.zone) + " " + date::format("%F %T", c.at));
        // Back from the clocks, the instant of a change that sets them back
        // shows a time they show twice: its earlier instant comes back.
        const double setBack = std::max(c.hoursBefore - c.hoursAfter, 0.0);
        for (auto [t, hours, back] : {std::tuple{c.at - seconds{1}, c.hoursBefore, 0.0},
                                      std::tuple{c.at, c.hoursAfter, setBack}}) {
            double day = dayOf(t);
            ASSERT_TRUE(fromUtc(c.zone, day));
            EXPECT_NEAR(day, dayOf(t) + hours / 24, 1e-9);
            ASSERT_TRUE(toUtc(c.zone, day));
            EXPECT_NEAR(day, dayOf(t) - back / 24, 1e-9);
        }
    }
}

TEST(TimeZoneDatabase, ExtremeValuesStayWithinTheDatabasesDates) {
    for (double t : {-1e300, -1e7, 0.0, 1e7, 1e300, std::nan("")}) {
        double day = t;
        ASSERT_TRUE(fromUtc(35, day));
        EXPECT_TRUE(std::isnan(t) ? std::isnan(day)
                                  : std::fabs(day - t) < 1 + std::fabs(t) * 1e-15);
        ASSERT_TRUE(toUtc(255, day));
    }
}

TEST(TimeZoneDatabase, TheSystemsFolderBringsTheDatabaseBack) {
    {
        ZoneFolder missing("/nonexistent/zoneinfo");
        EXPECT_EQ(zoneRules(35), ZoneRules::Table);
    }
    EXPECT_EQ(zoneRules(35), ZoneRules::Database);
    const double march = local(3, 20, 2026, 12, 0); // US daylight time since 8 March
    double t = march;
    ASSERT_TRUE(fromUtc(35, t));
    EXPECT_NEAR(t, march - 4.0 / 24, 1e-9);
    EXPECT_EQ(zoneRules(999), ZoneRules::Table);
    EXPECT_EQ(timeZoneName(999), nullptr);
}
