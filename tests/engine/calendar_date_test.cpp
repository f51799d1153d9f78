#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <utility>

#include "engine/calendar_date.h"
#include "engine/clock.h"

using namespace pq;

namespace {

struct Fields {
    int year, month, day;
};

Fields fieldsOf(const CalendarDate& d) { return {d.year, d.month, d.dayOfMonth}; }

bool operator==(const Fields& a, const Fields& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day;
}

std::ostream& operator<<(std::ostream& os, const Fields& f) {
    return os << f.month << "/" << f.day << "/" << f.year;
}

Fields textDate(std::u16string_view text) { return fieldsOf(CalendarDate(text)); }

// Fixes "now" at 2026-12-08 15:30:00 UTC for the duration of a test.
class FixedClock {
  public:
    FixedClock() { setFixedClock(1796743800); }
    ~FixedClock() { setFixedClock(std::nullopt); }
};

} // namespace

TEST(CalendarDate, ComposeAndSplit) {
    CalendarDate y2k(1, 1, 2000);
    EXPECT_EQ(y2k.day, 2451544.0);
    EXPECT_EQ(y2k.weekday, 7); // Saturday
    EXPECT_EQ(CalendarDate(10, 15, 1582).day, 2299160);
    EXPECT_EQ(CalendarDate(10, 4, 1582).day, 2299159);
    EXPECT_EQ(CalendarDate(12, 31, 2004).day, 2453370);
    EXPECT_EQ(fieldsOf(CalendarDate(CalendarDate(12, 30, 2004).day)), (Fields{2004, 12, 30}));
    EXPECT_EQ(CalendarDate(3, 1, 1900).day - CalendarDate(2, 28, 1900).day, 1);
    EXPECT_EQ(CalendarDate(3, 1, 2000).day - CalendarDate(2, 29, 2000).day, 1);
    EXPECT_EQ(fieldsOf(CalendarDate(2299160.0)), (Fields{1582, 10, 15}));
    EXPECT_EQ(fieldsOf(CalendarDate(2299159.0)), (Fields{1582, 10, 4}));

    CalendarDate evening(2451544.75);
    EXPECT_EQ(evening.hour, 18);
    EXPECT_EQ(evening.minute, 0);
    EXPECT_EQ(evening.second, 0);
    CalendarDate t(12, 25, 2004, 10, 30, 15);
    CalendarDate back(t.day);
    EXPECT_EQ(back.hour * 3600 + back.minute * 60 + back.second, 10 * 3600 + 30 * 60 + 15);
    // A time a hair before midnight shows as midnight of the next day, not 24:00.
    CalendarDate late(2451544.0 - 1e-9);
    EXPECT_EQ(fieldsOf(late), (Fields{2000, 1, 1}));
    EXPECT_EQ(late.hour, 0);
}

TEST(CalendarDate, YearsBeforeChrist) {
    // -1 is 1 B.C., the astronomical year 0, a Julian leap year.
    EXPECT_TRUE(CalendarDate::isLeapYear(-1));
    EXPECT_FALSE(CalendarDate::isLeapYear(-2));
    EXPECT_TRUE(CalendarDate::isLeapYear(-5));
    EXPECT_TRUE(CalendarDate::isLeapYear(1500)); // Julian rule before 1582
    EXPECT_FALSE(CalendarDate::isLeapYear(1700));
    EXPECT_TRUE(CalendarDate::isLeapYear(2000));
    EXPECT_EQ(CalendarDate::daysInMonth(2, -1), 29);
    EXPECT_EQ(CalendarDate(1, 1, 1).day - CalendarDate(12, 31, -1).day, 1);
    EXPECT_EQ(CalendarDate(3, 1, -1).day - CalendarDate(2, 29, -1).day, 1);
    EXPECT_EQ(fieldsOf(CalendarDate(CalendarDate(12, 31, -1).day)), (Fields{-1, 12, 31}));
    EXPECT_EQ(CalendarDate(6, 1, 0).day, CalendarDate(6, 1, -1).day); // year 0 composes like -1
    // The all-zero date stands for "no date".
    EXPECT_EQ(CalendarDate(0, 0, 0).day, kNoDate);
}

TEST(CalendarDate, SplitInvertsComposeOverTheWholeRange) {
    // Every day from 4800 B.C. to A.D. 3000 survives a round trip, and
    // consecutive dates are consecutive day numbers.
    double previous = CalendarDate(1, 1, -4800).day - 1;
    for (double d = previous + 1; d < CalendarDate(1, 1, 3000).day; d += 1) {
        CalendarDate split(d);
        CalendarDate composed(split.month, split.dayOfMonth, split.year);
        ASSERT_EQ(composed.day, d) << split.month << "/" << split.dayOfMonth << "/" << split.year;
        ASSERT_NE(split.year, 0);
        ASSERT_EQ(composed.weekday, split.weekday);
    }
    // Day numbers far outside any calendar still split without failing.
    CalendarDate(1e300);
    CalendarDate(-1e300);
    CalendarDate(-0.5);
}

TEST(CalendarDate, ReadsDateTexts) {
    FixedClock clock;
    EXPECT_EQ(textDate(u"12/25/2004"), (Fields{2004, 12, 25}));
    EXPECT_EQ(textDate(u"12-25-04"), (Fields{2004, 12, 25}));
    EXPECT_EQ(textDate(u"20041225"), (Fields{2004, 12, 25}));
    EXPECT_EQ(textDate(u"12/25"), (Fields{2026, 12, 25}));
    EXPECT_EQ(textDate(u"Sat Dec 25 2004"), (Fields{2004, 12, 25}));
    EXPECT_EQ(textDate(u"sat DEC 25 2004"), (Fields{2004, 12, 25}));
    EXPECT_EQ(textDate(u"25 Dec 2004 10:00:00"), (Fields{2004, 12, 25}));
    EXPECT_EQ(textDate(u"1/1/50"), (Fields{2050, 1, 1}));
    EXPECT_EQ(textDate(u"1/1/51"), (Fields{1951, 1, 1}));
    EXPECT_EQ(textDate(u"12.25.2004"), (Fields{-2004, 12, 25}));
    EXPECT_EQ(textDate(u"1/1/44 B.C."), (Fields{-44, 1, 1}));
    EXPECT_EQ(CalendarDate(u"25 Dec 2004 10:00:00").hour, 0);

    CalendarDate today(u"tOdAy");
    SystemTime local = localTime();
    EXPECT_EQ(fieldsOf(today), (Fields{local.year, local.month, local.day}));
    EXPECT_EQ(today.day, static_cast<long long>(today.day));
    EXPECT_EQ(CalendarDate(u".").day, today.day);
    EXPECT_EQ(CalendarDate(u".anything").day, today.day);
    CalendarDate now(u"NOW");
    EXPECT_GT(now.day, today.day);
    EXPECT_LT(now.day, today.day + 1);
}

TEST(CalendarDate, UnreadableTextsGiveTheAllZeroDate) {
    FixedClock clock;
    for (const char16_t* text :
         {u"", u"5x", u"0/5/2004", u"13/1/2004", u"2/30/2004", u"2/29/2003", u"10/10/1582",
          u"10/5/1582", u"Sat Dec", u"SatDec 25 2004", u"Sat Xyz 25 2004", u"2004122", u"20041325",
          u"1/1/99999", u"abc", u"99999999999999999999/1/1"}) {
        CalendarDate d(text);
        EXPECT_EQ(d.day, kNoDate) << std::string(text,
                                                 text + std::char_traits<char16_t>::length(text));
        EXPECT_EQ(d.year, 0);
    }
    EXPECT_EQ(textDate(u"10/4/1582"), (Fields{1582, 10, 4}));
    EXPECT_EQ(textDate(u"10/15/1582"), (Fields{1582, 10, 15}));
    EXPECT_EQ(textDate(u"2/29/2004"), (Fields{2004, 2, 29}));
}

TEST(CalendarDate, FieldOperations) {
    CalendarDate d(1, 31, 2004);
    d.addMonths(1);
    EXPECT_EQ(fieldsOf(d), (Fields{2004, 3, 2})); // 31 February moves on to 2 March
    d.addMonths(-3);
    EXPECT_EQ(fieldsOf(d), (Fields{2003, 12, 2}));
    d.addMonths(25);
    EXPECT_EQ(fieldsOf(d), (Fields{2006, 1, 2}));
    CalendarDate bc(12, 15, -1);
    bc.addMonths(1);
    EXPECT_EQ(fieldsOf(bc), (Fields{1, 1, 15})); // from 1 B.C. straight to A.D. 1

    d.addWeeks(-1);
    EXPECT_EQ(fieldsOf(d), (Fields{2005, 12, 26}));

    d.setDate(2, 31, 2004);
    EXPECT_EQ(fieldsOf(d), (Fields{2004, 2, 29})); // clamped to the month
    d.setTime(13, 45, 30);
    EXPECT_NEAR(d.day - CalendarDate(2, 29, 2004).day, (13 * 3600 + 45 * 60 + 30) / 86400.0, 1e-9);
    EXPECT_EQ(d.hour, 13);
    EXPECT_EQ(d.daysInMonth(), 29);
    d.setDate(6, 1, 12000);
    EXPECT_EQ(d.year, 0);

    d.setNthWeekday(5, 1, 10, 2004);
    EXPECT_EQ(fieldsOf(d), (Fields{2004, 10, 31}));
    EXPECT_EQ(d.weekday, 1);
    d.setNthWeekday(1, 1, 8, 2004);
    EXPECT_EQ(fieldsOf(d), (Fields{2004, 8, 1}));
    d.setNthWeekday(0, 7, 2, 2004);
    EXPECT_EQ(fieldsOf(d), (Fields{2004, 2, 28}));
    d.setNthWeekday(4, 3, 9, 2004);
    EXPECT_EQ(fieldsOf(d), (Fields{2004, 9, 28}));

    SystemTime st = CalendarDate(12, 25, 2004, 10, 0, 5).toSystemTime();
    EXPECT_EQ(st.year, 2004);
    EXPECT_EQ(st.dayOfWeek, 6);
    EXPECT_EQ(st.second, 5);
    EXPECT_EQ(CalendarDate(st).day, CalendarDate(12, 25, 2004, 10, 0, 5).day);
}

// The UTC fields are worked out without the C library; gmtime is the
// reference, across eras, leap days and the last second of days.
TEST(CalendarDate, UtcFieldsAgreeWithGmtime) {
    const std::pair<int64_t, const char*> instants[] = {
        {0, "the epoch"},
        {-1, "the second before it"},
        {86399, "the last second of its day"},
        {951782400, "2000-02-29"},
        {951868799, "the last second of 2000-02-29"},
        {68169600, "1972-02-29"},
        {1796743800, "2026-12-08 15:30"},
        {-2208988800LL, "1900-01-01"},
        {-11644473600LL, "1601-01-01"},
        {4102444800LL, "2100-01-01"},
        {-62135596800LL, "0001-01-01"},
        {253402300799LL, "the last second of 9999"},
    };
    for (const auto& [seconds, what] : instants) {
        const std::time_t t = static_cast<std::time_t>(seconds);
        std::tm tm{};
        ASSERT_NE(gmtime_r(&t, &tm), nullptr) << what;
        const SystemTime st = utcTimeOf(seconds);
        EXPECT_EQ(st.year, tm.tm_year + 1900) << what;
        EXPECT_EQ(st.month, tm.tm_mon + 1) << what;
        EXPECT_EQ(st.day, tm.tm_mday) << what;
        EXPECT_EQ(st.dayOfWeek, tm.tm_wday) << what;
        EXPECT_EQ(st.hour * 3600 + st.minute * 60 + st.second,
                  tm.tm_hour * 3600 + tm.tm_min * 60 + tm.tm_sec)
            << what;
    }
    // Beyond the years a date can have, the nearest second that it can.
    EXPECT_EQ(utcTimeOf(INT64_MAX).year, 9999);
    EXPECT_EQ(utcTimeOf(INT64_MIN).year, 1);
}
