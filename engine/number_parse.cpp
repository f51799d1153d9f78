#include "engine/number_parse.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>

#include "engine/text.h"

namespace pq {

namespace {

// A literal has at most a token's length of digits; direct calls with more
// are refused rather than read.
constexpr size_t kMaxDigits = 1024;

int digitValue(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    return 99;
}

// "0x1F": up to eight hexadecimal digits after leading zeros, in either
// case, the same 32-bit pattern as "01fh". More digits would not fit the
// pattern and fail rather than wrap.
bool parseHexPrefixed(std::u16string_view digits, double& value) {
    if (digits.empty()) return false;
    uint32_t pattern = 0;
    int significant = 0;
    for (char16_t c : digits) {
        const int d = digitValue(c >= u'A' && c <= u'F' ? static_cast<char16_t>(c + 32) : c);
        if (d >= 16) return false;
        if (significant > 0 || d != 0) ++significant;
        if (significant > 8) return false;
        pattern = pattern * 16 + static_cast<uint32_t>(d);
    }
    value = static_cast<double>(static_cast<int32_t>(pattern));
    return true;
}

bool parseBased(std::u16string_view digits, int base, double& value) {
    uint32_t pattern = 0;
    for (char16_t c : digits) {
        int d = digitValue(c);
        if (d >= base) return false;
        pattern = pattern * static_cast<uint32_t>(base) + static_cast<uint32_t>(d);
    }
    value = static_cast<double>(static_cast<int32_t>(pattern));
    return true;
}

constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The largest magnitude a literal may have: the limit of every value the
// evaluator produces.
constexpr double kLargestLiteral = 1e301;

// Decimal form: [-] digits [. digits] [e|E [+|-] digits], with at least one
// digit in the mantissa and one in a written exponent. The grammar is
// checked here; the value is the double nearest to the literal.
NumberReading parseDecimal(std::u16string_view text, double& value) {
    size_t i = 0;
    const size_t n = text.size();
    bool negative = false;
    if (i < n && text[i] == u'-') {
        negative = true;
        ++i;
    }
    // The significant digits (leading zeros dropped) and the power of ten
    // that scales them.
    char digits[kMaxDigits];
    size_t count = 0;
    size_t mantissaDigits = 0; // leading zeros included
    long long scale = 0;
    auto takeDigit = [&](char16_t c) {
        ++mantissaDigits;
        if (count == 0 && c == u'0') return;
        digits[count++] = static_cast<char>(c);
    };
    while (i < n && isDigit(text[i]) && count < kMaxDigits) takeDigit(text[i++]);
    if (i < n && isDigit(text[i])) return NumberReading::Malformed; // longer than any token
    if (i < n && text[i] == u'.') {
        ++i;
        while (i < n && isDigit(text[i]) && count < kMaxDigits) {
            takeDigit(text[i++]);
            --scale;
        }
        if (i < n && isDigit(text[i])) return NumberReading::Malformed;
    }
    if (mantissaDigits == 0) return NumberReading::Malformed; // "-", ".", "-.", "e5"
    long long exponent = 0;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        bool expNegative = false;
        if (i < n && (text[i] == u'-' || text[i] == u'+')) {
            expNegative = text[i] == u'-';
            ++i;
        }
        if (i >= n || !isDigit(text[i])) return NumberReading::Malformed; // "4e", "1e-"
        constexpr long long kCap = 1'000'000'000;
        while (i < n && isDigit(text[i])) {
            exponent = exponent * 10 + (text[i++] - u'0');
            if (exponent > kCap) exponent = kCap;
        }
        if (expNegative) exponent = -exponent;
    }
    if (i != n) return NumberReading::Malformed;

    double magnitude = 0;
    const long long power = scale + exponent;
    if (count == 0) {
        magnitude = 0;
    } else if (count <= 15 && power >= -22 && power <= 22) {
        // Few digits and a small power: one exact integer and one exact
        // power of ten, so a single rounding gives the nearest double.
        long long mantissa = 0;
        for (size_t k = 0; k < count; ++k) mantissa = mantissa * 10 + (digits[k] - '0');
        magnitude = power < 0 ? static_cast<double>(mantissa) / kExactPowersOfTen[-power]
                              : static_cast<double>(mantissa) * kExactPowersOfTen[power];
    } else if (power + static_cast<long long>(count) > 400) {
        return NumberReading::TooLarge; // far beyond any double
    } else {
        char normal[kMaxDigits + 32];
        std::memcpy(normal, digits, count);
        int length = static_cast<int>(count);
        length += std::snprintf(normal + count, 32, "e%lld", power);
        auto [end, ec] =
            std::from_chars(normal, normal + length, magnitude, std::chars_format::scientific);
        if (ec == std::errc::result_out_of_range) {
            // Too small underflows to zero; too large is beyond the range.
            if (power + static_cast<long long>(count) > 0) return NumberReading::TooLarge;
            magnitude = 0;
        } else if (ec != std::errc() || end != normal + length) {
            return NumberReading::Malformed;
        }
    }
    if (magnitude > kLargestLiteral) return NumberReading::TooLarge;
    value = negative ? -magnitude : magnitude;
    return NumberReading::Number;
}

// The common literal, up to fifteen digits with or without a fraction
// ("3", "0.25"): read in one pass, with the same single rounding as
// parseDecimal gives it. False for anything else, which parseDecimal reads.
bool parseShortDecimal(std::u16string_view text, double& value) {
    long long mantissa = 0;
    int digits = 0;
    int fraction = -1; // digits after the point; -1 without a point
    for (char16_t c : text) {
        if (isDigit(c)) {
            if (++digits > 15) return false;
            mantissa = mantissa * 10 + (c - u'0');
            if (fraction >= 0) ++fraction;
        } else if (c == u'.' && fraction < 0) {
            fraction = 0;
        } else {
            return false;
        }
    }
    if (digits == 0) return false;
    value = fraction > 0 ? static_cast<double>(mantissa) / kExactPowersOfTen[fraction]
                         : static_cast<double>(mantissa) * kExactPowersOfTen[0];
    return true;
}

} // namespace

NumberReading readNumber(std::u16string_view text, double& value) {
    constexpr auto kMalformed = NumberReading::Malformed;
    if (text.empty()) return kMalformed;
    char16_t first = text.front();
    if (!isDigit(first) && first != u'-' && first != u'.') return kMalformed;
    if (first != u'-' && parseShortDecimal(text, value)) return NumberReading::Number;
    auto based = [](bool read) { return read ? NumberReading::Number : kMalformed; };
    if (text.size() > 2 && first == u'0' && (text[1] == u'x' || text[1] == u'X'))
        return based(parseHexPrefixed(text.substr(2), value));
    switch (text.back()) {
    case u'b': return based(parseBased(text.substr(0, text.size() - 1), 2, value));
    case u'h': return based(parseBased(text.substr(0, text.size() - 1), 16, value));
    case u'o': return based(parseBased(text.substr(0, text.size() - 1), 8, value));
    default: return parseDecimal(text, value);
    }
}

} // namespace pq
