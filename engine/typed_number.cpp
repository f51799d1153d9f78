#include "engine/typed_number.h"

#include <string>

#include "engine/number_parse.h"
#include "engine/text.h"

namespace pq {

namespace {

// The fraction characters of Unicode and their values.
struct VulgarFraction {
    char16_t character;
    int numerator;
    int denominator;
};
constexpr VulgarFraction kVulgarFractions[] = {
    {u'\u00BC', 1, 4}, {u'\u00BD', 1, 2}, {u'\u00BE', 3, 4},  {u'\u2150', 1, 7},
    {u'\u2151', 1, 9}, {u'\u2152', 1, 10}, {u'\u2153', 1, 3}, {u'\u2154', 2, 3},
    {u'\u2155', 1, 5}, {u'\u2156', 2, 5}, {u'\u2157', 3, 5},  {u'\u2158', 4, 5},
    {u'\u2159', 1, 6}, {u'\u215A', 5, 6}, {u'\u215B', 1, 8},  {u'\u215C', 3, 8},
    {u'\u215D', 5, 8}, {u'\u215E', 7, 8},
};

bool vulgarValue(char16_t c, double& value) {
    for (const VulgarFraction& f : kVulgarFractions) {
        if (f.character == c) {
            value = static_cast<double>(f.numerator) / f.denominator;
            return true;
        }
    }
    return false;
}

bool isSlash(char16_t c) { return c == u'/' || c == u'\u2044'; }

size_t skipBlanks(std::u16string_view text, size_t i) {
    while (i < text.size() && isTypedBlank(text[i])) ++i;
    return i;
}

size_t skipDigits(std::u16string_view text, size_t i) {
    while (i < text.size() && isDigit(text[i])) ++i;
    return i;
}

// A run of digits read as a whole number (a numerator or denominator).
double wholeNumber(std::u16string_view digits) {
    double value = 0;
    parseNumber(digits, value); // digits only: it reads
    return value;
}

} // namespace

bool isTypedBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\u00A0' || c == u'\u202F' || c == u'\u2009';
}

bool startsTypedNumber(char16_t c) {
    double ignored;
    return isDigit(c) || c == u'.' || vulgarValue(c, ignored);
}

TypedNumberScan scanTypedNumber(std::u16string_view text, size_t start, bool unfinished,
                                bool mixedAtEnd) {
    const size_t n = text.size();
    TypedNumberScan none;
    none.end = start;
    TypedNumberScan scan;
    double fraction = 0;
    if (start < n && vulgarValue(text[start], fraction)) {
        scan.end = start + 1;
        scan.value = fraction;
        return scan;
    }
    // The decimal literal: digits and points, and an exponent when an "e"
    // is followed by digits.
    size_t j = start;
    bool whole = true;
    for (; j < n && (isDigit(text[j]) || text[j] == u'.'); ++j)
        if (text[j] == u'.') whole = false;
    if (j < n && (text[j] == u'e' || text[j] == u'E')) {
        size_t k = j + 1;
        if (k < n && (text[k] == u'+' || text[k] == u'-')) ++k;
        if (k < n && isDigit(text[k])) {
            j = skipDigits(text, k);
            whole = false;
        }
    }
    if (readNumber(text.substr(start, j - start), scan.value) != NumberReading::Number)
        return none;
    scan.end = j;
    if (!whole) return scan;
    const double first = scan.value;
    auto unfinishedAt = [&](size_t at) {
        if (!unfinished || skipBlanks(text, at) != n) return false;
        scan.end = n;
        scan.finished = false;
        return true;
    };

    // "1½"
    if (j < n && vulgarValue(text[j], fraction)) {
        scan.end = j + 1;
        scan.value = first + fraction;
        return scan;
    }
    // "3/4", "3 / 4"
    if (size_t k = skipBlanks(text, j); k < n && isSlash(text[k])) {
        const size_t d = skipBlanks(text, k + 1);
        const size_t e = skipDigits(text, d);
        if (e > d) {
            const double denominator = wholeNumber(text.substr(d, e - d));
            if (denominator == 0) return none;
            scan.end = e;
            scan.value = first / denominator;
            return scan;
        }
        unfinishedAt(k + 1);
        return scan;
    }
    // "1 1/2", "1-1/2", "1 ½"
    const bool hyphen = j < n && text[j] == u'-';
    const size_t k = hyphen ? j + 1 : skipBlanks(text, j);
    if (k == j || k >= n) {
        if (hyphen) unfinishedAt(k);
        return scan;
    }
    if (vulgarValue(text[k], fraction)) {
        scan.end = k + 1;
        scan.value = first + fraction;
        return scan;
    }
    const size_t m = skipDigits(text, k);
    if (m == k || (m < n && text[m] == u'.')) return scan;
    const size_t slash = skipBlanks(text, m);
    if (slash < n && isSlash(text[slash])) {
        const size_t d = skipBlanks(text, slash + 1);
        const size_t e = skipDigits(text, d);
        if (e > d) {
            const double denominator = wholeNumber(text.substr(d, e - d));
            if (denominator == 0) return none;
            scan.end = e;
            scan.value = first + wholeNumber(text.substr(k, m - k)) / denominator;
            return scan;
        }
        unfinishedAt(slash + 1);
        return scan;
    }
    if (m == n && (mixedAtEnd || hyphen)) unfinishedAt(m);
    return scan;
}

size_t readTypedNumberPrefix(std::u16string_view text, double& value) {
    size_t i = skipBlanks(text, 0);
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'\u2212' || text[i] == u'+')) {
        negative = text[i] != u'+';
        ++i;
    }
    const TypedNumberScan scan = scanTypedNumber(text, i);
    if (scan.end == i) return 0;
    value = negative ? -scan.value : scan.value;
    return scan.end;
}

bool readTypedNumber(std::u16string_view text, double& value) {
    double read = 0;
    const size_t end = readTypedNumberPrefix(text, read);
    if (end == 0 || skipBlanks(text, end) != text.size()) return false;
    value = read;
    return true;
}

} // namespace pq
