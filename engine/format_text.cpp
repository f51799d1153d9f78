#include "engine/format_text.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>

#include "engine/calendar_date.h"
#include "engine/digits.h"
#include "engine/locale_dates.h"
#include "engine/text.h"

namespace pq {

namespace {

constexpr int kSignificantDigits = 12;

std::atomic<int> shownDigitCount{kDefaultShownDigits};

std::u16string groupThousands(std::u16string_view digits) {
    std::u16string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += u',';
        out += digits[i];
    }
    return out;
}

// The shared engine of formatNumber and displayDecimal: values below `small`
// are scaled up by thousands, values from 10^digits down by thousands, and
// values below 1 are shifted by one so that all digits are significant ones.
std::u16string engineeringText(double v, double small, bool grouping, bool spacedExponent,
                               int digits = kSignificantDigits) {
    if (v == 0) return u"0";
    if (!std::isfinite(v)) return kErrorText;
    const double a = std::fabs(v);
    int exponent = 0;
    bool shifted = false;
    if (a < small) {
        while (std::fabs(v) < 1) {
            v *= 1000;
            exponent -= 3;
        }
    } else if (a < 1) {
        v = v > 0 ? v + 1 : v - 1;
        shifted = true;
    }
    if (a >= std::pow(10.0, digits)) {
        while (std::fabs(v) >= 1000) {
            v *= 0.001;
            exponent += 3;
        }
    }
    SignificantDigits d = significantDigits(v, digits);
    size_t keep = d.digits.size();
    const size_t point = d.decimalPoint > 0 ? static_cast<size_t>(d.decimalPoint) : 0;
    while (keep > point && d.digits[keep - 1] == '0') --keep;
    d.digits.resize(keep);
    if (shifted) --d.digits[0]; // the added 1 becomes 0 again

    std::u16string out;
    if (d.negative) out += u'-';
    std::u16string integer;
    if (d.decimalPoint < 1) {
        integer = u"0";
    } else {
        for (size_t i = 0; i < point && i < d.digits.size(); ++i) integer += d.digits[i];
        integer.append(point > d.digits.size() ? point - d.digits.size() : 0, u'0');
    }
    out += grouping ? groupThousands(integer) : integer;
    if (d.digits.size() > point) {
        out += u'.';
        for (size_t i = point; i < d.digits.size(); ++i) out += d.digits[i];
    }
    if (exponent != 0) {
        if (spacedExponent) out += u' ';
        out += u'e';
        out += widen(std::to_string(exponent));
    }
    return out;
}

} // namespace

std::string_view formatCodeName(int32_t code) {
    switch (code) {
    case Decimal: return "decimal";
    case Hex: return "hex";
    case Octal: return "octal";
    case Binary: return "binary";
    case Compound: return "compound";
    case Date: return "date";
    case DateTime: return "datetime";
    case Currency: return "currency";
    default: return {};
    }
}

int32_t formatCodeNamed(std::string_view name) {
    for (int32_t code : kFormatCodes)
        if (equalsIgnoreCase(widen(formatCodeName(code)), widen(name))) return code;
    return 0;
}

std::u16string formatNumber(double value) { return engineeringText(value, 1e-6, false, false); }

void setShownDigits(int digits) {
    shownDigitCount = std::clamp(digits, kMinShownDigits, kMaxShownDigits);
}

int shownDigits() { return shownDigitCount; }

std::u16string displayDecimal(double value, bool grouping) {
    return engineeringText(value, 0.001, grouping, grouping, shownDigits());
}

std::u16string entryDecimal(double value) {
    return engineeringText(value, 0.001, false, true, shownDigits());
}

std::u16string shortestNumberText(double value) {
    if (!std::isfinite(value)) return kErrorText;
    char buffer[64];
    const char* end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    const std::string_view text(buffer, static_cast<size_t>(end - buffer));
    const size_t e = text.find('e');
    if (e == std::string_view::npos) return widen(text);
    int exponent = 0;
    std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), end, exponent);
    return widen(std::string(text.substr(0, e)) + "e" + std::to_string(exponent));
}

std::u16string displayCurrency(double value, bool grouping) {
    const double a = std::fabs(value);
    if (!(a >= 0.005)) return u"0.00"; // also NaN
    if (a > 1e18) return displayDecimal(value, grouping);
    // Cents are rounded half up from the shortest decimal text that reads
    // back as the same value, so that 2.675 (stored as 2.67499999...) shows
    // 2.68 while every digit of a large amount is kept.
    char buffer[64];
    const char* end = std::to_chars(buffer, buffer + sizeof buffer, a).ptr;
    std::string digits; // "2.675", "1e+18": the digits, and where the point is
    int point = -1;
    const char* p = buffer;
    for (; p < end && *p != 'e'; ++p) {
        if (*p == '.')
            point = static_cast<int>(digits.size());
        else
            digits += *p;
    }
    if (point < 0) point = static_cast<int>(digits.size());
    int exponent = 0;
    if (p + 1 < end) std::from_chars(p + (p[1] == '+' ? 2 : 1), end, exponent);
    const int whole = point + exponent + 2; // digits of the value in cents
    std::string cents;
    for (int i = 0; i < whole; ++i)
        cents += i < static_cast<int>(digits.size()) ? digits[static_cast<size_t>(i)] : '0';
    const char next = whole >= 0 && whole < static_cast<int>(digits.size())
                          ? digits[static_cast<size_t>(whole)]
                          : '0';
    if (next >= '5') {
        size_t i = cents.size();
        for (; i > 0 && cents[i - 1] == '9'; --i) cents[i - 1] = '0';
        if (i > 0)
            ++cents[i - 1];
        else
            cents.insert(cents.begin(), '1');
    }
    if (cents.size() < 3) cents.insert(0, 3 - cents.size(), '0');
    const std::u16string integer = widen(std::string_view(cents).substr(0, cents.size() - 2));
    std::u16string text = grouping ? groupThousands(integer) : integer;
    text += u'.';
    text += widen(std::string_view(cents).substr(cents.size() - 2));
    if (value < 0) return grouping ? u"(" + text + u")" : u"-" + text;
    return text;
}

std::u16string displayBase(double value, int32_t code, bool grouping) {
    if (value == 0) return u"0";
    if (!(value >= -2147483648.0 && value <= 2147483647.0) || value != std::trunc(value))
        return grouping ? u"Dec: " + displayDecimal(value, true) : std::u16string();
    const uint32_t radix = code == Hex ? 16 : code == Octal ? 8 : 2;
    uint32_t pattern = static_cast<uint32_t>(static_cast<int32_t>(value));
    std::u16string out; // least significant digit first
    bool first = true;
    while (pattern != 0) {
        if (grouping && !first && (out.size() + 1) % 5 == 0) out += u' ';
        out += kDigitSet[pattern % radix];
        pattern /= radix;
        first = false;
    }
    while ((out.size() + 1) % 5 != 0) out += u'0';
    std::reverse(out.begin(), out.end());
    return out;
}

std::u16string displayDate(double value, bool withTime) {
    CalendarDate date(value);
    std::u16string text = localeWeekdayName(date.weekday).substr(0, 3);
    text += u' ';
    text += localeShortDate(date);
    if (withTime) {
        text += u' ';
        text += localeTime(date);
    }
    return text;
}

} // namespace pq
