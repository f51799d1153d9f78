#include "engine/number_parse.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <string>

#include "engine/text.h"

namespace pq {

namespace {

int digitValue(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    return 99;
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

// Decimal form: [-] digits [. digits] [e|E [-] digits]. The grammar is checked
// here; the value itself is converted with correct rounding.
bool parseDecimal(std::u16string_view text, double& value) {
    size_t i = 0;
    const size_t n = text.size();
    bool negative = false;
    if (i < n && text[i] == u'-') {
        negative = true;
        ++i;
    }
    // Mantissa digits without the point, and the power of ten they carry.
    std::string mantissa;
    long long scale = 0;
    while (i < n && isDigit(text[i])) mantissa.push_back(static_cast<char>(text[i++]));
    if (i < n && text[i] == u'.') {
        ++i;
        while (i < n && isDigit(text[i])) {
            mantissa.push_back(static_cast<char>(text[i++]));
            --scale;
        }
    }
    long long exponent = 0;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        bool expNegative = false;
        if (i < n && text[i] == u'-') {
            expNegative = true;
            ++i;
        }
        constexpr long long kCap = 1'000'000'000;
        while (i < n && isDigit(text[i])) {
            exponent = exponent * 10 + (text[i++] - u'0');
            if (exponent > kCap) exponent = kCap;
        }
        if (expNegative) exponent = -exponent;
    }
    if (i != n || exponent > 300) return false;

    size_t first = mantissa.find_first_not_of('0');
    if (first == std::string::npos) {
        value = negative ? -0.0 : 0.0;
        return true;
    }
    std::string normal = mantissa.substr(first);
    normal += 'e';
    normal += std::to_string(scale + exponent);
    double magnitude = 0;
    auto [end, ec] = std::from_chars(normal.data(), normal.data() + normal.size(), magnitude,
                                     std::chars_format::scientific);
    if (ec == std::errc::result_out_of_range) {
        // Too small underflows to zero; too large overflows to infinity,
        // which the evaluator rejects as out of range.
        magnitude = (scale + exponent < 0) ? 0.0 : std::numeric_limits<double>::infinity();
    } else if (ec != std::errc() || end != normal.data() + normal.size()) {
        return false;
    }
    value = negative ? -magnitude : magnitude;
    return true;
}

} // namespace

bool parseNumber(std::u16string_view text, double& value) {
    if (text.empty()) return false;
    char16_t first = text.front();
    if (!isDigit(first) && first != u'-' && first != u'.') return false;
    switch (text.back()) {
    case u'b': return parseBased(text.substr(0, text.size() - 1), 2, value);
    case u'h': return parseBased(text.substr(0, text.size() - 1), 16, value);
    case u'o': return parseBased(text.substr(0, text.size() - 1), 8, value);
    default: return parseDecimal(text, value);
    }
}

} // namespace pq
