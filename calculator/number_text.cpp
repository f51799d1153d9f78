#include "calculator/number_text.h"

#include <cmath>
#include <cstdint>

#include "engine/digits.h"
#include "engine/format_text.h"
#include "engine/number_parse.h"

namespace pq::calc {

std::u16string_view baseName(Base base) { return kBaseNames[static_cast<int>(base)]; }

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
    if (base == Base::Dec || !std::isfinite(value) || value != std::trunc(value)) {
        if (used) *used = Base::Dec;
        return decimalOutput(value, digits);
    }
    if (used) *used = base;
    double wrapped = std::fmod(value, 4294967296.0); // exact
    if (wrapped < 0) wrapped += 4294967296.0;
    uint32_t pattern = static_cast<uint32_t>(wrapped);
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

namespace {

bool isBlankUnit(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\u00A0' ||
           c == u'\u202F' || c == u'\u2009';
}

// Whether the commas of an integer part ("-1,234,567") group it by three.
bool groupedByThree(std::u16string_view integer) {
    if (!integer.empty() && integer.front() == u'-') integer.remove_prefix(1);
    size_t run = 0;
    bool sawComma = false;
    for (size_t i = 0; i < integer.size(); ++i) {
        if (integer[i] == u',') {
            if (run == 0 || run > 3 || (sawComma && run != 3)) return false;
            sawComma = true;
            run = 0;
        } else {
            ++run;
        }
    }
    return !sawComma || run == 3;
}

} // namespace

bool readDisplayedNumber(std::u16string_view text, std::u16string& number, double& value) {
    number.clear();
    for (char16_t c : text) {
        if (isBlankUnit(c)) continue;
        number.push_back(c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c);
    }
    if (number.empty() || number.size() > 200) return false;
    if (number.find(u',') != std::u16string::npos) {
        const size_t end = number.find_first_of(u".e");
        if (!groupedByThree(std::u16string_view(number).substr(0, end))) return false;
        std::erase(number, u',');
    }
    return parseNumber(number, value);
}

} // namespace pq::calc
