#include "engine/locale_dates.h"

#include <langinfo.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string_view>

#include "engine/text.h"

namespace pq {

namespace {

void (*localeSelection)() = nullptr;

// The locale's own words and patterns, once the program has selected it.
void selectLocale() {
    static const bool selected = [] {
        if (localeSelection) localeSelection();
        return true;
    }();
    (void)selected;
}

const char* langinfo(nl_item item) {
    selectLocale();
    return nl_langinfo(item);
}

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
    selectLocale();
    char buffer[256];
    size_t n = std::strftime(buffer, sizeof buffer, format.c_str(), &tm);
    return fromLocale(std::string_view(buffer, n));
}

// The locale's short date pattern, with four-digit years so that a date
// converter never shows an ambiguous century; the shorthands %D and %F are
// written out.
const std::string& shortDatePattern() {
    static const std::string pattern = [] {
        std::string p = langinfo(D_FMT);
        for (size_t i = 0; (i = p.find("%D", i)) != std::string::npos;) p.replace(i, 2, "%m/%d/%y");
        for (size_t i = 0; (i = p.find("%F", i)) != std::string::npos;) p.replace(i, 2, "%Y-%m-%d");
        for (size_t i = 0; (i = p.find("%y", i)) != std::string::npos; i += 2) p[i + 1] = 'Y';
        return p.empty() ? std::string("%m/%d/%Y") : p;
    }();
    return pattern;
}

const char* timePattern() {
    const char* pattern = langinfo(T_FMT);
    return *pattern ? pattern : "%H:%M:%S";
}

} // namespace

void SetLocaleSelection(void (*select)()) { localeSelection = select; }

std::u16string localeWeekdayName(int weekday) {
    if (weekday < 1 || weekday > 7) return {};
    return fromLocale(langinfo(static_cast<nl_item>(DAY_1 + weekday - 1)));
}

bool localeDayFirst() { return localeDateOrder() == DateOrder::DayMonthYear; }

DateOrder localeDateOrder() {
    static const DateOrder order = [] {
        const std::string& p = shortDatePattern();
        size_t day = std::string::npos, month = std::string::npos, year = std::string::npos;
        for (size_t i = 0; i + 1 < p.size(); ++i) {
            if (p[i] != '%') continue;
            size_t f = i + 1;
            while (f < p.size() &&
                   (p[f] == '-' || p[f] == '_' || p[f] == '0' || p[f] == 'E' || p[f] == 'O'))
                ++f; // flags and modifiers
            if (f >= p.size()) break;
            const char c = p[f];
            if ((c == 'd' || c == 'e') && day == std::string::npos) day = i;
            if ((c == 'm' || c == 'b' || c == 'B' || c == 'h') && month == std::string::npos)
                month = i;
            if ((c == 'Y' || c == 'y') && year == std::string::npos) year = i;
            i = f;
        }
        if (year < month && year < day) return DateOrder::YearMonthDay;
        if (day < month) return DateOrder::DayMonthYear;
        return DateOrder::MonthDayYear;
    }();
    return order;
}

std::u16string localeMonthName(int month, bool abbreviated) {
    if (month < 1 || month > 12) return {};
    const nl_item first = abbreviated ? ABMON_1 : MON_1;
    return fromLocale(langinfo(static_cast<nl_item>(first + month - 1)));
}

std::u16string localeAmMark() { return fromLocale(langinfo(AM_STR)); }
std::u16string localePmMark() { return fromLocale(langinfo(PM_STR)); }

const std::u16string& localeDateLiterals() {
    static const std::u16string literals = [] {
        std::u16string out;
        for (const std::string& pattern : {shortDatePattern(), std::string(timePattern())}) {
            const std::u16string wide = fromLocale(pattern);
            for (size_t i = 0; i < wide.size(); ++i) {
                if (wide[i] == u'%') {
                    ++i;
                    continue;
                }
                if (out.find(wide[i]) == std::u16string::npos) out += wide[i];
            }
        }
        return out;
    }();
    return literals;
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

std::u16string localeTime(const CalendarDate& date) { return formatTm(timePattern(), toTm(date)); }

} // namespace pq
