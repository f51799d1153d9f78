#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "engine/calendar_date.h"
#include "engine/clock.h"
#include "engine/expression_engine.h"
#include "engine/time_zones.h"

using namespace pq;

namespace {

double hourOf(double day) { return std::round((day - std::floor(day)) * 24 * 3600) / 3600; }

} // namespace

TEST(TimeZones, TableIsSortedAndComplete) {
    auto table = timeZoneTable();
    ASSERT_EQ(table.size(), 75u);
    for (size_t i = 1; i < table.size(); ++i) EXPECT_LT(table[i - 1].key, table[i].key);
    int withRules = 0;
    for (const TimeZoneRow& row : table) {
        EXPECT_EQ(row.standardBias, 0);
        EXPECT_EQ(row.daylightBias, -60);
        EXPECT_EQ(findTimeZone(row.key), &row);
        EXPECT_EQ(findTimeZone(row.key + 1000), &row);
        withRules += row.daylightDate.month != 0;
    }
    EXPECT_EQ(withRules, 37);
    EXPECT_EQ(findTimeZone(999), nullptr);
    EXPECT_EQ(findTimeZone(-4), nullptr);
    EXPECT_EQ(findTimeZone(5), nullptr);
}

TEST(TimeZones, NorthernRuleMovesTheClockInSummer) {
    const double july = CalendarDate(7, 15, 2004, 12, 0, 0).day;
    const double january = CalendarDate(1, 15, 2004, 12, 0, 0).day;
    double t = july;
    ASSERT_TRUE(fromUtc(4, t));
    EXPECT_EQ(hourOf(t), 5);
    EXPECT_EQ(std::floor(t), std::floor(july));
    ASSERT_TRUE(toUtc(4, t));
    EXPECT_NEAR(t, july, 1e-9);
    t = january;
    ASSERT_TRUE(fromUtc(4, t));
    EXPECT_EQ(hourOf(t), 4);
    ASSERT_TRUE(toUtc(4, t));
    EXPECT_NEAR(t, january, 1e-9);
    for (double d : {july, january}) {
        t = d;
        ASSERT_TRUE(fromUtc(1004, t)); // the same zone on standard time all year
        EXPECT_EQ(hourOf(t), 4);
    }
    t = july;
    EXPECT_FALSE(fromUtc(999, t));
    EXPECT_EQ(t, july);
    EXPECT_FALSE(toUtc(-1, t));
}

TEST(TimeZones, TransitionsFollowTheirRules) {
    const TimeZoneRow& rowA = *findTimeZone(4); // April, 1st Sunday .. October, last Sunday
    // 2004: daylight time from 4 April 2:00 to 31 October 2:00 (local standard time).
    EXPECT_FALSE(isDaylightTime(rowA, CalendarDate(4, 4, 2004, 1, 59, 0).day));
    EXPECT_TRUE(isDaylightTime(rowA, CalendarDate(4, 4, 2004, 2, 1, 0).day));
    EXPECT_TRUE(isDaylightTime(rowA, CalendarDate(10, 31, 2004, 1, 59, 0).day));
    EXPECT_FALSE(isDaylightTime(rowA, CalendarDate(10, 31, 2004, 2, 1, 0).day));

    const TimeZoneRow& rowM = *findTimeZone(255); // southern: standard time from March
    EXPECT_TRUE(isDaylightTime(rowM, CalendarDate(1, 15, 2004).day));
    EXPECT_FALSE(isDaylightTime(rowM, CalendarDate(7, 15, 2004).day));
    EXPECT_TRUE(isDaylightTime(rowM, CalendarDate(12, 15, 2004).day));

    const TimeZoneRow& noRule = *findTimeZone(90);
    EXPECT_FALSE(isDaylightTime(noRule, CalendarDate(7, 15, 2004).day));

    double t = CalendarDate(1, 15, 2004, 0, 0, 0).day; // Sydney-like zone in summer: +11
    ASSERT_TRUE(fromUtc(255, t));
    EXPECT_EQ(hourOf(t), 11);
    t = CalendarDate(7, 15, 2004, 0, 0, 0).day;
    ASSERT_TRUE(fromUtc(190, t)); // a half-hour zone without rules: +5:30
    EXPECT_EQ(hourOf(t), 5.5);
}

TEST(TimeZones, FormulasAndTheClock) {
    setFixedClock(1796743800); // 2026-12-08 15:30:00 UTC
    ExpressionEngine engine;
    double v;
    const double utc = CalendarDate(12, 8, 2026, 15, 30, 0).day;
    ASSERT_TRUE(engine.evaluate(u"inttime(85)", v)); // a zone at UTC, winter
    EXPECT_NEAR(v, utc, 1e-9);
    // A code that names no zone is an error, as in fromutc.
    for (const char* unknown :
         {"inttime(999)", "inttime(7)", "inttime(-1)", "fromutc(999, 0)", "fromutc(-1, 0)"}) {
        const std::string text(unknown);
        EXPECT_FALSE(engine.evaluate(std::u16string(text.begin(), text.end()), v)) << unknown;
        EXPECT_EQ(engine.lastError().kind, EvalErrorKind::UnknownZone);
    }
    ASSERT_TRUE(engine.evaluate(u"inttime(4)", v));
    EXPECT_NEAR(v, utc - 8.0 / 24, 1e-9);
    ASSERT_TRUE(engine.evaluate(u"time", v));
    SystemTime local = localTime();
    EXPECT_NEAR(v, CalendarDate(local).day, 1e-9);
    EXPECT_NEAR(currentTime(-1), v, 1e-9);

    ASSERT_TRUE(engine.evaluate(u"toutc(4, fromutc(4, 2453201.5))", v));
    EXPECT_NEAR(v, 2453201.5, 1e-9);
    EXPECT_FALSE(engine.evaluate(u"fromutc(999, 2453201.5)", v));
    EXPECT_FALSE(engine.evaluate(u"fromutc(1e300, 2453201.5)", v));
    setFixedClock(std::nullopt);
}

// Without a tz database (no zoneinfo folder, or a build without it) the
// zones keep to the engine's own table and its rules.
TEST(TimeZones, WithoutTheDatabaseTheTableGivesTheRules) {
    const std::string folder = timeZoneFolder();
    setTimeZoneFolder("/nonexistent/zoneinfo");
    EXPECT_EQ(zoneRules(35), ZoneRules::Table);
    struct Case {
        int zone;
        CalendarDate utc;
        double hours; // the table's offset
    };
    // The table's US rule starts daylight time on April's first Sunday,
    // Moscow keeps a summer time and Sri Lanka is at +6.
    const Case cases[] = {
        {35, {3, 20, 2026, 12, 0, 0}, -5},   {35, {4, 20, 2026, 12, 0, 0}, -4},
        {1035, {4, 20, 2026, 12, 0, 0}, -5}, {145, {7, 15, 2026, 12, 0, 0}, 4},
        {200, {7, 15, 2026, 12, 0, 0}, 6},   {255, {1, 15, 2026, 12, 0, 0}, 11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.zone);
        double t = c.utc.day;
        ASSERT_TRUE(fromUtc(c.zone, t));
        EXPECT_NEAR(t, c.utc.day + c.hours / 24, 1e-9);
        ASSERT_TRUE(toUtc(c.zone, t));
        EXPECT_NEAR(t, c.utc.day, 1e-9);
    }
    setTimeZoneFolder(folder);
}
