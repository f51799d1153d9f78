#include "calculator/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

#include "engine/date_text.h"
#include "engine/digits.h"
#include "engine/format_text.h"
#include "engine/plain_number.h"
#include "engine/shown_text.h"

namespace pq::calc {

std::u16string_view baseName(Base base) { return kBaseNames[static_cast<int>(base)]; }

std::u16string_view notationName(Notation notation) {
    switch (notation) {
    case Notation::Fixed: return u"Fixed";
    case Notation::Scientific: return u"Scientific";
    case Notation::Engineering: return u"Engineering";
    default: return u"Automatic";
    }
}

namespace {

std::u16string ascii(std::string_view text) { return std::u16string(text.begin(), text.end()); }

// d.ddd (or dd.dd, ddd.d for engineering) and the exponent; trailing zeros
// dropped.
std::u16string exponentOutput(double value, int digits, bool engineering) {
    if (value == 0) return u"0";
    const SignificantDigits d = significantDigits(value, digits);
    int exponent = d.decimalPoint - 1;
    int whole = 1; // digits before the point
    if (engineering) {
        const int shifted = exponent >= 0 ? exponent / 3 * 3 : -((-exponent + 2) / 3 * 3);
        whole += exponent - shifted;
        exponent = shifted;
    }
    std::string figures = d.digits;
    while (static_cast<int>(figures.size()) > whole && figures.back() == '0') figures.pop_back();
    while (static_cast<int>(figures.size()) < whole) figures.push_back('0');
    std::string text = d.negative ? "-" : "";
    text += figures.substr(0, static_cast<size_t>(whole));
    if (static_cast<int>(figures.size()) > whole)
        text += '.' + figures.substr(static_cast<size_t>(whole));
    text += 'e' + std::to_string(exponent);
    return ascii(text);
}

std::u16string fixedOutput(double value, int decimals, int digits) {
    const double magnitude = std::fabs(value);
    if (magnitude >= 1e15) return exponentOutput(value, digits, false);
    // Never more than the 15 digits a double carries.
    const int whole = magnitude < 1 ? 1 : static_cast<int>(std::floor(std::log10(magnitude))) + 1;
    decimals = std::clamp(decimals, 0, std::max(0, 15 - whole));
    std::string text = fixedDecimals(magnitude, decimals);
    const bool zero = text.find_first_not_of("0.") == std::string::npos;
    if (value < 0 && !zero) text.insert(text.begin(), '-');
    return ascii(text);
}

} // namespace

std::u16string styledOutput(double value, const NumberStyle& style) {
    const int digits = std::clamp(style.digits, 1, NumberStyle::kMaxDigits);
    switch (style.notation) {
    case Notation::Fixed: return fixedOutput(value, style.decimals, digits);
    case Notation::Scientific: return exponentOutput(value, digits, false);
    case Notation::Engineering: return exponentOutput(value, digits, true);
    default: return decimalOutput(value, digits);
    }
}

std::u16string decimalOutput(double value, int digits) {
    if (value == 0 || !std::isfinite(value)) return u"0";
    int exponent = 0;
    while (std::fabs(value) < 0.01) {
        value *= 1000;
        exponent -= 3;
    }
    if (std::fabs(value) >= std::pow(10.0, digits) && std::fabs(value) >= 1000) {
        while (std::fabs(value) >= 1000) {
            value *= 0.001;
            exponent += 3;
        }
    }
    const SignificantDigits d = significantDigits(value, digits);
    const int p = d.decimalPoint;
    std::string figures = d.digits;
    while (static_cast<int>(figures.size()) > std::max(p, 0) && figures.back() == '0')
        figures.pop_back();

    std::u16string text;
    if (d.negative) text += u'-';
    if (p < 1) text += u'0';
    if (p < 0) {
        text += u".0";
        text.append(figures.begin(), figures.end());
    } else {
        // A value rounded up to one more digit than there are figures is
        // padded with zeros.
        while (static_cast<int>(figures.size()) < p) figures.push_back('0');
        text.append(figures.begin(), figures.begin() + p);
        if (static_cast<int>(figures.size()) > p) {
            text += u'.';
            text.append(figures.begin() + p, figures.end());
        }
    }
    if (exponent != 0) {
        text += u'e';
        for (char c : std::to_string(exponent)) text += static_cast<char16_t>(c);
    }
    return text;
}

std::u16string baseOutput(double value, Base base, int digits, Base* used) {
    NumberStyle style;
    style.digits = digits;
    return baseOutput(value, base, style, used);
}

std::u16string baseOutput(double value, Base base, const NumberStyle& style, Base* used) {
    // Only a whole number of 32 bits has a pattern that reads back as it
    // (the based literals are signed 32-bit patterns); others stay decimal.
    if (base == Base::Dec || !(value >= -2147483648.0 && value <= 2147483647.0) ||
        value != std::trunc(value)) {
        if (used) *used = Base::Dec;
        return styledOutput(value, style);
    }
    if (used) *used = base;
    uint32_t pattern = static_cast<uint32_t>(static_cast<int32_t>(value));
    const unsigned radix = base == Base::Hex ? 16 : base == Base::Oct ? 8 : 2;
    const char16_t suffix = kBaseSuffixes[static_cast<int>(base)];
    std::u16string reversed;
    do {
        reversed += kDigitSet[pattern % radix];
        pattern /= radix;
    } while (pattern != 0);
    std::u16string text;
    if (reversed.back() >= u'A') text += u'0';
    text.append(reversed.rbegin(), reversed.rend());
    text += suffix;
    return text;
}

std::u16string groupDigits(std::u16string_view text, Base base) {
    size_t end;
    if (base == Base::Dec) {
        end = text.find(u'.');
        if (end == std::u16string_view::npos) end = text.find_first_of(u"eE");
        if (end == std::u16string_view::npos) end = text.size();
    } else {
        end = text.empty() ? 0 : text.size() - 1;
    }
    const size_t start = (!text.empty() && text.front() == u'-') ? 1 : 0;
    const size_t group = base == Base::Dec ? 3 : 4;
    const char16_t separator = base == Base::Dec ? u',' : u' ';

    std::u16string out(text.substr(0, start));
    for (size_t i = start; i < end; ++i) {
        if (i > start && (end - i) % group == 0) out += separator;
        out += text[i];
    }
    out.append(text.substr(end));
    return out;
}

bool readDisplayedNumber(std::u16string_view text, std::u16string& number, double& value) {
    if (readShownNumber(text, number, value)) return true;
    // A negative amount as a currency row writes it: "(1,234.50)".
    if (readBracketedAmount(text, value)) {
        number = shortestNumberText(value);
        return true;
    }
    // A date as the converter's rows write it, with its weekday or time,
    // stands for its day number; "12/25/2024" alone stays a formula.
    const bool formula = std::none_of(text.begin(), text.end(), [](char16_t c) {
        return c == u':' || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    });
    if (formula || !readDateText(text, value)) return false;
    number = shortestNumberText(value);
    return true;
}

} // namespace pq::calc
