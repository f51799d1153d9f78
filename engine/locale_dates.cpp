#include "engine/locale_dates.h"

#include <langinfo.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string_view>

#include "engine/text.h"

namespace pq {

namespace {

// Locale texts are UTF-8 in every locale a desktop uses today; anything
// else is taken byte by byte.
std::u16string fromLocale(std::string_view text) {
    std::u16string wide = fromUtf8(text);
    return wide.find(u'\uFFFD') == std::u16string::npos ? wide : widen(text);
}

std::tm toTm(const CalendarDate& date) {
    std::tm tm{};
    tm.tm_year = date.year - 1900;
    tm.tm_mon = date.month - 1;
    tm.tm_mday = date.dayOfMonth;
    tm.tm_hour = date.hour;
    tm.tm_min = date.minute;
    tm.tm_sec = date.second;
    tm.tm_wday = date.weekday - 1;
    tm.tm_isdst = -1;
    return tm;
}

std::u16string formatTm(const std::string& format, const std::tm& tm) {
    char buffer[256];
    size_t n = std::strftime(buffer, sizeof buffer, format.c_str(), &tm);
    return fromLocale(std::string_view(buffer, n));
}

// The locale's short date pattern, with four-digit years so that a date
// converter never shows an ambiguous century.
const std::string& shortDatePattern() {
    static const std::string pattern = [] {
        std::string p = nl_langinfo(D_FMT);
        for (size_t i = 0; (i = p.find("%y", i)) != std::string::npos; i += 2) p[i + 1] = 'Y';
        return p.empty() ? std::string("%m/%d/%Y") : p;
    }();
    return pattern;
}

} // namespace

std::u16string localeWeekdayName(int weekday) {
    if (weekday < 1 || weekday > 7) return {};
    return fromLocale(nl_langinfo(static_cast<nl_item>(DAY_1 + weekday - 1)));
}

bool localeDayFirst() {
    static const bool dayFirst = [] {
        std::string_view p = nl_langinfo(D_FMT);
        size_t i = p.find_first_not_of(' ');
        if (i == std::string_view::npos || p[i] != '%' || i + 1 >= p.size()) return false;
        const char c = p[i + 1];
        return c == 'd' || c == 'e';
    }();
    return dayFirst;
}

std::u16string localeShortDate(const CalendarDate& date) {
    if (date.year >= 1601 && date.year <= 9999) return formatTm(shortDatePattern(), toTm(date));
    char buffer[64];
    const int year = date.year < 0 ? -date.year : date.year;
    const char* suffix = date.year < 0 ? " BC" : "";
    if (localeDayFirst())
        std::snprintf(buffer, sizeof buffer, "%d/%d/%d%s", date.dayOfMonth, date.month, year,
                      suffix);
    else
        std::snprintf(buffer, sizeof buffer, "%d/%d/%d%s", date.month, date.dayOfMonth, year,
                      suffix);
    return widen(buffer);
}

std::u16string localeTime(const CalendarDate& date) {
    const char* pattern = nl_langinfo(T_FMT);
    return formatTm(*pattern ? pattern : "%H:%M:%S", toTm(date));
}

} // namespace pq
