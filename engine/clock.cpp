#include "engine/clock.h"

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
    Instant t = now();
    std::tm tm{};
    gmtime_r(&t.seconds, &tm);
    return fromTm(tm, t.nanoseconds);
}

SystemTime utcTimeOf(int64_t unixSeconds) {
    std::time_t seconds = static_cast<std::time_t>(unixSeconds);
    std::tm tm{};
    gmtime_r(&seconds, &tm);
    return fromTm(tm, 0);
}

uint64_t localTimeTicks() {
    Instant t = now();
    std::tm tm{};
    localtime_r(&t.seconds, &tm);
    constexpr int64_t kSecondsFrom1601To1970 = 11644473600LL;
    int64_t local = static_cast<int64_t>(t.seconds) + tm.tm_gmtoff + kSecondsFrom1601To1970;
    return static_cast<uint64_t>(local) * 10000000ULL + static_cast<uint64_t>(t.nanoseconds / 100);
}

void setFixedClock(std::optional<int64_t> unixSeconds) { fixedClock = unixSeconds; }

} // namespace pq
