#include "engine/clock.h"

#include <algorithm>
#include <chrono>
#include <ctime>

namespace pq {

namespace {

std::optional<int64_t> fixedClock;

struct Instant {
    std::time_t seconds;
    long nanoseconds;
};

Instant now() {
    if (fixedClock) return {static_cast<std::time_t>(*fixedClock), 0};
    std::timespec ts{};
    std::timespec_get(&ts, TIME_UTC);
    return {ts.tv_sec, ts.tv_nsec};
}

SystemTime fromTm(const std::tm& tm, long nanoseconds) {
    SystemTime st;
    st.year = tm.tm_year + 1900;
    st.month = tm.tm_mon + 1;
    st.dayOfWeek = tm.tm_wday;
    st.day = tm.tm_mday;
    st.hour = tm.tm_hour;
    st.minute = tm.tm_min;
    st.second = tm.tm_sec > 59 ? 59 : tm.tm_sec; // no leap seconds in day numbers
    st.milliseconds = static_cast<int>(nanoseconds / 1000000);
    return st;
}

} // namespace

SystemTime localTime() {
    Instant t = now();
    std::tm tm{};
    localtime_r(&t.seconds, &tm);
    return fromTm(tm, t.nanoseconds);
}

SystemTime systemTime() {
    const Instant t = now();
    SystemTime st = utcTimeOf(t.seconds);
    st.milliseconds = static_cast<int>(t.nanoseconds / 1000000);
    return st;
}

// Worked out by the calendar's arithmetic: gmtime would read the time zone
// file for it.
SystemTime utcTimeOf(int64_t unixSeconds) {
    using namespace std::chrono;
    constexpr int64_t kFirst = -62135596800LL; // 0001-01-01 00:00:00
    constexpr int64_t kLast = 253402300799LL;  // 9999-12-31 23:59:59
    const sys_seconds instant{seconds{std::clamp(unixSeconds, kFirst, kLast)}};
    const sys_days day = floor<days>(instant);
    const year_month_day date{day};
    const hh_mm_ss time{instant - day};
    SystemTime st;
    st.year = static_cast<int>(date.year());
    st.month = static_cast<int>(static_cast<unsigned>(date.month()));
    st.dayOfWeek = static_cast<int>(weekday{day}.c_encoding());
    st.day = static_cast<int>(static_cast<unsigned>(date.day()));
    st.hour = static_cast<int>(time.hours().count());
    st.minute = static_cast<int>(time.minutes().count());
    st.second = static_cast<int>(time.seconds().count());
    return st;
}

uint64_t timeTicks() {
    const Instant t = now();
    constexpr int64_t kSecondsFrom1601To1970 = 11644473600LL;
    const int64_t seconds = static_cast<int64_t>(t.seconds) + kSecondsFrom1601To1970;
    return static_cast<uint64_t>(seconds) * 10000000ULL +
           static_cast<uint64_t>(t.nanoseconds / 100);
}

void setFixedClock(std::optional<int64_t> unixSeconds) { fixedClock = unixSeconds; }

} // namespace pq
