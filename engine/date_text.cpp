#include "engine/date_text.h"

#include <array>
#include <string>
#include <vector>

#include "engine/calendar_date.h"
#include "engine/locale_dates.h"
#include "engine/text.h"

namespace pq {

namespace {

constexpr std::array<std::u16string_view, 12> kEnglishMonths = {
    u"january", u"february", u"march",     u"april",   u"may",      u"june",
    u"july",    u"august",   u"september", u"october", u"november", u"december"};
constexpr std::array<std::u16string_view, 7> kEnglishWeekdays = {
    u"sunday", u"monday", u"tuesday", u"wednesday", u"thursday", u"friday", u"saturday"};

struct Part {
    int value = 0;
    int digits = 0; // 0 for a month written as a word
    bool beforeColon = false;
};

bool isAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

// The marks East Asian dates and times write after their numbers.
constexpr std::u16string_view kFieldMarks = u"年月日時分秒년월일시분초";

// Letters of words: ASCII letters, and what lies beyond ASCII unless it
// stands between numbers in the locale's patterns or in East Asian dates.
bool isWordUnit(char16_t c) {
    if (isAsciiLetter(c)) return true;
    if (c < 0x80 || c == u'\u00A0' || c == u'\u202F' || c == u'\u2009') return false;
    return kFieldMarks.find(c) == std::u16string_view::npos &&
           localeDateLiterals().find(c) == std::u16string::npos;
}

bool sameWord(std::u16string_view a, std::u16string_view b) {
    return !a.empty() && equalsIgnoreCase(a, b);
}

// 1..12 for a month's name (the locale's, full or abbreviated, or English,
// full or its first three letters and more), else 0.
int monthNamed(std::u16string_view word) {
    for (int m = 1; m <= 12; ++m) {
        if (sameWord(word, localeMonthName(m, true)) || sameWord(word, localeMonthName(m, false)))
            return m;
        const std::u16string_view english = kEnglishMonths[static_cast<size_t>(m - 1)];
        if (word.size() >= 3 && startsWithIgnoreCase(english, word)) return m;
    }
    return 0;
}

// Whether a word is a weekday: at least two leading letters of the locale's
// or the English name.
bool isWeekday(std::u16string_view word) {
    if (word.size() < 2) return false;
    for (int d = 1; d <= 7; ++d)
        if (startsWithIgnoreCase(localeWeekdayName(d), word) ||
            startsWithIgnoreCase(kEnglishWeekdays[static_cast<size_t>(d - 1)], word))
            return true;
    return false;
}

int fullYear(const Part& year) {
    if (year.digits <= 2) return year.value < 51 ? 2000 + year.value : 1900 + year.value;
    return year.value;
}

// Day, month, year from the parts of the date; false when they do not fit.
bool readDateParts(const std::vector<Part>& parts, DateOrder order, bool beforeChrist, int& day,
                   int& month, int& year) {
    Part yearPart;
    std::vector<Part> numbers;
    month = 0;
    for (const Part& p : parts) {
        if (p.digits == 0) {
            if (month != 0) return false;
            month = p.value;
        } else {
            numbers.push_back(p);
        }
    }
    const bool withYear = parts.size() == 3;
    if (parts.size() != 2 && !withYear) return false;
    if (month != 0) { // a named month: the numbers are the day and the year
        if (!withYear) {
            day = numbers[0].value;
        } else {
            const bool yearFirst = numbers[0].digits >= 3 || numbers[0].value > 31 ||
                                   (order == DateOrder::YearMonthDay && numbers[1].digits <= 2);
            day = numbers[yearFirst ? 1 : 0].value;
            yearPart = numbers[yearFirst ? 0 : 1];
        }
    } else if (withYear && (numbers[0].digits >= 3 || order == DateOrder::YearMonthDay)) {
        yearPart = numbers[0];
        month = numbers[1].value;
        day = numbers[2].value;
    } else {
        const bool dayFirst = order == DateOrder::DayMonthYear;
        day = numbers[dayFirst ? 0 : 1].value;
        month = numbers[dayFirst ? 1 : 0].value;
        if (withYear) yearPart = numbers[2];
    }
    if (withYear) {
        if (yearPart.digits > 4) return false;
        // Years before Christ are written in full.
        year = beforeChrist ? yearPart.value : fullYear(yearPart);
    } else {
        CalendarDate now;
        now.setNow();
        year = now.year;
    }
    return year >= 1 && month >= 1 && month <= 12 && day >= 1 &&
           day <= CalendarDate::daysInMonth(month, year);
}

} // namespace

bool readDateText(std::u16string_view text, double& day, bool* hasTime) {
    return readDateText(text, localeDateOrder(), day, hasTime);
}

bool readDateText(std::u16string_view text, DateOrder order, double& day, bool* hasTime) {
    if (text.size() > 100) return false;
    std::vector<Part> parts; // numbers and named months, in order
    bool am = false, pm = false, beforeChrist = false, weekday = false;
    size_t i = 0;
    while (i < text.size()) {
        const char16_t c = text[i];
        if (isDigit(c)) {
            Part p;
            for (; i < text.size() && isDigit(text[i]); ++i) {
                if (++p.digits > 4) return false;
                p.value = p.value * 10 + (text[i] - u'0');
            }
            size_t next = i;
            while (next < text.size() && text[next] == u' ') ++next;
            p.beforeColon = next < text.size() && text[next] == u':';
            parts.push_back(p);
        } else if (isWordUnit(c)) {
            const size_t start = i;
            while (i < text.size() && isWordUnit(text[i])) ++i;
            const std::u16string_view word = text.substr(start, i - start);
            if (const int m = monthNamed(word); m != 0) {
                parts.push_back({m, 0, false});
            } else if (sameWord(word, localeAmMark()) || sameWord(word, u"am")) {
                am = true;
            } else if (sameWord(word, localePmMark()) || sameWord(word, u"pm")) {
                pm = true;
            } else if (sameWord(word, u"bc")) {
                beforeChrist = true;
            } else if (sameWord(word, u"t") && !parts.empty()) {
                // ISO's mark between the date and the time
            } else if (parts.empty() && !weekday && isWeekday(word)) {
                weekday = true;
            } else {
                return false;
            }
        } else {
            ++i; // blanks, punctuation and the locale's own marks separate
        }
    }
    // The time begins with the first number a colon follows; without colons
    // numbers after the third are the time.
    size_t timeStart = parts.size();
    for (size_t k = 0; k < parts.size(); ++k)
        if (parts[k].beforeColon && parts[k].digits > 0) {
            timeStart = k;
            break;
        }
    if (timeStart == parts.size() && parts.size() > 3) timeStart = 3;
    const std::vector<Part> date(parts.begin(), parts.begin() + static_cast<long>(timeStart));
    const std::vector<Part> time(parts.begin() + static_cast<long>(timeStart), parts.end());

    int dayOfMonth = 0, month = 0, year = 0;
    if (!readDateParts(date, order, beforeChrist, dayOfMonth, month, year)) return false;
    if (beforeChrist) year = -year;
    int clock[3] = {0, 0, 0};
    if (!time.empty()) {
        if (time.size() < 2 || time.size() > 3) return false;
        for (size_t k = 0; k < time.size(); ++k) {
            if (time[k].digits == 0 || time[k].digits > 2) return false;
            clock[k] = time[k].value;
        }
    }
    if ((am || pm) && (time.empty() || am == pm || clock[0] < 1 || clock[0] > 12)) return false;
    if (am && clock[0] == 12) clock[0] = 0;
    if (pm && clock[0] < 12) clock[0] += 12;
    if (clock[0] > 23 || clock[1] > 59 || clock[2] > 59) return false;
    day = CalendarDate(month, dayOfMonth, year, clock[0], clock[1], clock[2]).day;
    if (hasTime) *hasTime = !time.empty();
    return true;
}

} // namespace pq
