#include "engine/digits.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace pq {

SignificantDigits significantDigits(double value, int count) {
    count = std::clamp(count, 1, 40);
    SignificantDigits out;
    out.negative = value < 0;
    double magnitude = std::fabs(value);
    if (magnitude == 0 || !std::isfinite(magnitude)) {
        out.digits.assign(static_cast<size_t>(count), '0');
        return out;
    }
    // Scientific form "d.ddddde+XX", correctly rounded from the exact binary value.
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                std::chars_format::scientific, count - 1);
    std::string_view text(buffer, static_cast<size_t>(result.ptr - buffer));
    size_t e = text.find('e');
    for (char c : text.substr(0, e))
        if (c != '.') out.digits.push_back(c);
    int exponent = 0;
    std::from_chars(text.data() + e + 1 + (text[e + 1] == '+'), text.data() + text.size(),
                    exponent);
    out.decimalPoint = exponent + 1;
    return out;
}

} // namespace pq
