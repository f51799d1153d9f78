#include "engine/plain_number.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "engine/digits.h"
#include "engine/text.h"

namespace pq {

std::string plainNumber(double value, int digits) {
    if (!std::isfinite(value)) return "Error";
    if (value == 0) return "0"; // -0 too
    digits = std::clamp(digits, 1, 17);
    const SignificantDigits d = significantDigits(value, digits);
    std::string figures = d.digits;
    while (figures.size() > 1 && figures.back() == '0') figures.pop_back();
    const int exponent = d.decimalPoint - 1; // of the first figure
    std::string text = d.negative ? "-" : "";
    if (exponent < -4 || exponent >= digits) {
        text += figures[0];
        if (figures.size() > 1) text += '.' + figures.substr(1);
        text += 'e' + std::to_string(exponent);
    } else if (exponent < 0) {
        text += "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + figures;
    } else {
        const auto whole = static_cast<size_t>(exponent + 1);
        if (figures.size() <= whole) {
            text += figures + std::string(whole - figures.size(), '0');
        } else {
            text += figures.substr(0, whole) + '.' + figures.substr(whole);
        }
    }
    return text;
}

std::u16string plainNumberText(double value, int digits) {
    return widen(plainNumber(value, digits));
}

std::string fixedDecimals(double magnitude, int decimals) {
    magnitude = std::fabs(magnitude);
    decimals = std::clamp(decimals, 0, 17);
    if (!std::isfinite(magnitude)) return "Error";
    // The shortest text's digits, and where its point is.
    char buffer[64];
    const char* end =
        std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific)
            .ptr;
    std::string digits;
    const char* p = buffer;
    for (; p < end && *p != 'e'; ++p)
        if (*p != '.') digits += *p;
    int exponent = 0;
    std::from_chars(p + 1 + (p[1] == '+'), end, exponent);
    const int point = exponent + 1; // digits before the point
    const int kept = point + decimals;  // digits of the result
    std::string whole; // the result's digits, without the point
    for (int i = 0; i < kept; ++i)
        whole += i >= 0 && i < static_cast<int>(digits.size()) ? digits[static_cast<size_t>(i)]
                                                                : '0';
    const char next = kept >= 0 && kept < static_cast<int>(digits.size())
                          ? digits[static_cast<size_t>(kept)]
                          : '0';
    if (next >= '5') {
        size_t i = whole.size();
        for (; i > 0 && whole[i - 1] == '9'; --i) whole[i - 1] = '0';
        if (i > 0)
            ++whole[i - 1];
        else
            whole.insert(whole.begin(), '1');
    }
    if (whole.size() < static_cast<size_t>(decimals) + 1)
        whole.insert(0, static_cast<size_t>(decimals) + 1 - whole.size(), '0');
    if (decimals > 0) whole.insert(whole.size() - static_cast<size_t>(decimals), 1, '.');
    return whole;
}

double roundedToDigits(double value, int digits) {
    if (!std::isfinite(value) || value == 0) return value;
    const std::string text = plainNumber(value, digits);
    double back = value;
    std::from_chars(text.data(), text.data() + text.size(), back);
    return back;
}

} // namespace pq
