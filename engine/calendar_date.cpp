#include "engine/calendar_date.h"

#include <cmath>
#include <cstdint>

#include "engine/text.h"

namespace pq {

namespace {

constexpr int kMonthLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
constexpr const char16_t* kMonthNames[12] = {u"jan", u"feb", u"mar", u"apr", u"may", u"jun",
                                             u"jul", u"aug", u"sep", u"oct", u"nov", u"dec"};
// The first Gregorian day, 15 October 1582.
constexpr int64_t kFirstGregorianDay = 2299160;
// Day numbers beyond this are not split into fields (about 2.7 million years
// either side), so that field arithmetic cannot overflow.
constexpr double kSplitLimit = 1e9;

int64_t floorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

int64_t floorMod(int64_t a, int64_t b) { return a - floorDiv(a, b) * b; }

int astronomical(int year) { return year < 0 ? year + 1 : (year == 0 ? 0 : year); }
int civil(int64_t astronomicalYear) {
    return static_cast<int>(astronomicalYear <= 0 ? astronomicalYear - 1 : astronomicalYear);
}

bool isGregorian(int64_t astroYear, int month, int day) {
    if (astroYear != 1582) return astroYear > 1582;
    if (month != 10) return month > 10;
    return day >= 15;
}

// Day number (whole) of a calendar date given with an astronomical year.
int64_t dayNumberOf(int64_t y, int month, int day) {
    int64_t a = (14 - month) / 12;
    int64_t yy = y + 4800 - a;
    int64_t m = month + 12 * a - 3;
    int64_t jdn = day + (153 * m + 2) / 5 + 365 * yy + floorDiv(yy, 4);
    if (isGregorian(y, month, day))
        jdn += -floorDiv(yy, 100) + floorDiv(yy, 400) - 32045;
    else
        jdn += -32083;
    return jdn - 1;
}

struct Ymd {
    int64_t year; // astronomical
    int month;
    int day;
};

Ymd dateOf(int64_t dayNumber) {
    int64_t j = dayNumber + 1; // Julian Day Number of the civil day
    int64_t f = j + 1401;
    if (dayNumber >= kFirstGregorianDay)
        f += floorDiv(floorDiv(4 * j + 274277, 146097) * 3, 4) - 38;
    int64_t e = 4 * f + 3;
    int64_t g = floorDiv(floorMod(e, 1461), 4);
    int64_t h = 5 * g + 2;
    int day = static_cast<int>(floorDiv(floorMod(h, 153), 5) + 1);
    int month = static_cast<int>(floorMod(floorDiv(h, 153) + 2, 12) + 1);
    int64_t year = floorDiv(e, 1461) - 4716 + (12 + 2 - month) / 12;
    return {year, month, day};
}

bool isLeapAstronomical(int64_t y) {
    if (y >= 1582) return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return floorMod(y, 4) == 0;
}

int monthLength(int month, int64_t astroYear) {
    if (month < 1 || month > 12) return 0;
    return month == 2 && isLeapAstronomical(astroYear) ? 29 : kMonthLengths[month - 1];
}

// Reads an integer the way the C runtime's wide atol does: leading blanks, an
// optional sign, digits; no digits give 0. Saturates instead of overflowing.
long readInteger(std::u16string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    long value = 0;
    while (i < text.size() && isDigit(text[i])) {
        if (value < 100000000) value = value * 10 + (text[i] - u'0');
        ++i;
    }
    return negative ? -value : value;
}

// Month from the three letters at position pos; 0 when they name none.
int monthAt(std::u16string_view text, size_t pos) {
    if (pos + 3 > text.size()) return 0;
    std::u16string_view letters = text.substr(pos, 3);
    for (int m = 0; m < 12; ++m)
        if (equalsIgnoreCase(letters, kMonthNames[m])) return m + 1;
    return 0;
}

bool isLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

} // namespace

CalendarDate::CalendarDate(double dayNumber) { setDay(dayNumber); }

CalendarDate::CalendarDate(int m, int d, int y) : CalendarDate(m, d, y, 0, 0, 0) {}

CalendarDate::CalendarDate(int m, int d, int y, int h, int min, int s)
    : year(y), month(m), dayOfMonth(d), hour(h), minute(min), second(s) {
    compose();
}

CalendarDate::CalendarDate(const SystemTime& t)
    : CalendarDate(t.month, t.day, t.year, t.hour, t.minute, t.second) {}

CalendarDate::CalendarDate(std::u16string_view text) { readText(text); }

void CalendarDate::compose() {
    double whole;
    const int64_t y = astronomical(year);
    const bool zeroDate = year == 0 && month == 0 && dayOfMonth == 0;
    const bool valid = month >= 1 && month <= 12 && dayOfMonth >= 1 &&
                       dayOfMonth <= monthLength(month, y) &&
                       !(y == 1582 && month == 10 && dayOfMonth > 4 && dayOfMonth < 15);
    if (zeroDate || !valid) {
        // The all-zero date stands for "no date"; fields that name no day of
        // the calendar (a 13th month, 30 February, 10 October 1582) are
        // treated as that date too.
        year = month = dayOfMonth = 0;
        whole = kNoDate;
    } else {
        whole = static_cast<double>(dayNumberOf(y, month, dayOfMonth));
    }
    day = whole + ((hour * 60.0 + minute) * 60.0 + second) * (1.0 / 86400);
    weekday = static_cast<int>(floorMod(static_cast<int64_t>(whole) + 2, 7)) + 1;
}

void CalendarDate::split() {
    double d = day;
    if (!(d > -kSplitLimit)) d = -kSplitLimit; // also catches NaN
    if (d > kSplitLimit) d = kSplitLimit;
    int64_t whole = static_cast<int64_t>(std::floor(d));
    int64_t seconds = static_cast<int64_t>((d - static_cast<double>(whole)) * 86400 + 0.1);
    if (seconds >= 86400) { // a time within a tenth of a second of midnight
        ++whole;
        seconds = 0;
    }
    Ymd ymd = dateOf(whole);
    year = civil(ymd.year);
    month = ymd.month;
    dayOfMonth = ymd.day;
    second = static_cast<int>(seconds % 60);
    minute = static_cast<int>((seconds / 60) % 60);
    hour = static_cast<int>(seconds / 3600);
    weekday = static_cast<int>(floorMod(whole + 2, 7)) + 1;
}

void CalendarDate::setDay(double dayNumber) {
    day = dayNumber;
    split();
}

void CalendarDate::setNow() {
    SystemTime t = localTime();
    year = t.year;
    month = t.month;
    dayOfMonth = t.day;
    hour = t.hour;
    minute = t.minute;
    second = t.second;
    compose();
}

void CalendarDate::setDate(int m, int d, int y) {
    if (y > 9999) y = 0;
    year = y;
    month = m;
    int length = monthLength(m, astronomical(y));
    dayOfMonth = d > length ? length : d;
    hour = minute = second = 0;
    compose();
}

void CalendarDate::setTime(int h, int m, int s) {
    day = std::floor(day) + ((h * 60.0 + m) * 60.0 + s) * (1.0 / 86400);
    hour = h;
    minute = m;
    second = s;
}

void CalendarDate::addWeeks(int n) {
    day += 7.0 * n;
    split();
}

void CalendarDate::addMonths(int n) {
    int64_t y = astronomical(year);
    int64_t m = static_cast<int64_t>(month) - 1 + n;
    y += floorDiv(m, 12);
    m = floorMod(m, 12) + 1;
    int length = monthLength(static_cast<int>(m), y);
    if (dayOfMonth > length) {
        dayOfMonth -= length;
        if (++m > 12) {
            m = 1;
            ++y;
        }
    }
    year = civil(y);
    month = static_cast<int>(m);
    compose();
}

void CalendarDate::setNthWeekday(int occurrence, int wday, int m, int y) {
    year = y;
    month = m;
    hour = minute = second = 0;
    const int length = monthLength(m, astronomical(y));
    if (length == 0 || wday < 1 || wday > 7) {
        dayOfMonth = 0;
        compose();
        return;
    }
    if (occurrence >= 1 && occurrence <= 4) {
        dayOfMonth = 1;
        compose();
        dayOfMonth = 1 + static_cast<int>(floorMod(wday - weekday, 7)) + 7 * (occurrence - 1);
    } else {
        dayOfMonth = length;
        compose();
        dayOfMonth = length - static_cast<int>(floorMod(weekday - wday, 7));
    }
    compose();
}

int CalendarDate::daysInMonth() const { return daysInMonth(month, year); }

int CalendarDate::daysInMonth(int m, int y) { return monthLength(m, astronomical(y)); }

bool CalendarDate::isLeapYear(int y) { return isLeapAstronomical(astronomical(y)); }

SystemTime CalendarDate::toSystemTime() const {
    SystemTime t;
    t.year = year;
    t.month = month;
    t.dayOfWeek = weekday - 1;
    t.day = dayOfMonth;
    t.hour = hour;
    t.minute = minute;
    t.second = second;
    return t;
}

void CalendarDate::readText(std::u16string_view text) {
    if ((!text.empty() && text[0] == u'.') || equalsIgnoreCase(text, u"TODAY")) {
        setNow();
        setTime(0, 0, 0);
        return;
    }
    if (equalsIgnoreCase(text, u"NOW")) {
        setNow();
        return;
    }
    const size_t length = text.size();
    long y = 0, m = 0, d = 0;
    bool readable = length > 0;
    if (readable && isLetter(text[0])) {
        // Www Mmm dd yyyy: the weekday word is ignored.
        size_t first = text.find(u' ');
        size_t second = first == text.npos ? text.npos : text.find(u' ', first + 1);
        size_t third = second == text.npos ? text.npos : text.find(u' ', second + 1);
        if (third == text.npos) {
            readable = false;
        } else {
            m = monthAt(text, first + 1);
            d = readInteger(text.substr(second + 1));
            y = readInteger(text.substr(third + 1));
        }
    } else if (readable && (length == 20 || (length == 13 && isLetter(text[5])))) {
        // dd Mmm yyyy..., anything after the year ignored.
        size_t first = text.find(u' ');
        size_t second = first == text.npos ? text.npos : text.find(u' ', first + 1);
        if (second == text.npos) {
            readable = false;
        } else {
            d = readInteger(text);
            m = monthAt(text, first + 1);
            y = readInteger(text.substr(second + 1));
        }
    } else if (readable && text.find_first_not_of(u"0123456789") == text.npos) {
        // yyyymmdd
        if (length < 8) {
            readable = false;
        } else {
            y = readInteger(text.substr(0, 4));
            m = readInteger(text.substr(4, 2));
            d = readInteger(text.substr(6, 2));
        }
    } else if (readable) {
        // m/d/y with any separator; the year defaults to the current one.
        m = readInteger(text);
        size_t sep = 0;
        while (sep < length && isDigit(text[sep])) ++sep;
        d = readInteger(text.substr(sep + 1));
        size_t again = text.find(text[sep], sep + 1);
        if (again != text.npos) {
            y = readInteger(text.substr(again + 1));
        } else {
            y = localTime().year;
        }
    }
    if (text.find(u'.') != text.npos) y = -y; // a year before Christ
    if (y >= 1 && y <= 99) y += y < 51 ? 2000 : 1900;
    const int64_t astro = astronomical(static_cast<int>(y));
    if (!readable || m < 1 || m > 12 || d < 1 || y > 9999 || y < -9999 ||
        d > monthLength(static_cast<int>(m), astro)) {
        y = m = d = 0;
    }
    year = static_cast<int>(y);
    month = static_cast<int>(m);
    dayOfMonth = static_cast<int>(d);
    hour = minute = second = 0;
    compose();
}

} // namespace pq
