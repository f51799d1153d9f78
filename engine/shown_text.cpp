#include "engine/shown_text.h"

#include "engine/number_parse.h"
#include "engine/text.h"

namespace pq {

namespace {

constexpr size_t kMaxShownLength = 200;

bool isBlankUnit(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\u00A0' ||
           c == u'\u202F' || c == u'\u2009';
}

std::u16string_view trimmedBlanks(std::u16string_view text) {
    while (!text.empty() && isBlankUnit(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlankUnit(text.back())) text.remove_suffix(1);
    return text;
}

// Whether the commas of an integer part ("-1,234,567") group it by three.
bool groupedByThree(std::u16string_view integer) {
    if (!integer.empty() && integer.front() == u'-') integer.remove_prefix(1);
    size_t run = 0;
    bool sawComma = false;
    for (char16_t c : integer) {
        if (c == u',') {
            if (run == 0 || run > 3 || (sawComma && run != 3)) return false;
            sawComma = true;
            run = 0;
        } else {
            ++run;
        }
    }
    return !sawComma || run == 3;
}

bool hasDigit(std::u16string_view text) {
    for (char16_t c : text)
        if (isDigit(c)) return true;
    return false;
}

} // namespace

bool readShownNumber(std::u16string_view text, std::u16string& plain, double& value) {
    plain.clear();
    text = trimmedBlanks(text);
    if (text.empty() || text.size() > kMaxShownLength) return false;
    // Blanks between the digits of a decimal number group them like commas
    // ("1 234 567"); in a based literal they part groups of any size.
    const char16_t last = asciiLower(text.back());
    const bool based = last == u'h' || last == u'o' || last == u'b' ||
                       (text.size() > 1 && text[0] == u'0' && asciiLower(text[1]) == u'x');
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (isBlankUnit(c)) {
            if (!based && !plain.empty() && isDigit(plain.back()) && i + 1 < text.size() &&
                isDigit(text[i + 1]))
                plain.push_back(u',');
            continue;
        }
        if (c == u'\u2212') c = u'-'; // the typographic minus of other programs
        plain.push_back(asciiLower(c));
    }
    if (plain.starts_with(u"dec:")) plain.erase(0, 4);
    if (plain.starts_with(u"+")) plain.erase(0, 1);
    if (const size_t e = plain.find(u"e+"); e != std::u16string::npos && !plain.starts_with(u"0x"))
        plain.erase(e + 1, 1); // "1.5E+20", as other programs write it
    if (plain.find(u',') != std::u16string::npos) {
        const size_t end = plain.find_first_of(u".e");
        if (!groupedByThree(std::u16string_view(plain).substr(0, end))) return false;
        if (end != std::u16string::npos && plain.find(u',', end) != std::u16string::npos)
            return false; // only the integer part is grouped
        std::erase(plain, u',');
    }
    return hasDigit(plain) && parseNumber(plain, value);
}

bool readBracketedAmount(std::u16string_view text, double& value) {
    text = trimmedBlanks(text);
    if (text.size() < 6 || text.front() != u'(' || text.back() != u')') return false;
    const std::u16string_view amount = trimmedBlanks(text.substr(1, text.size() - 2));
    const size_t point = amount.find(u'.');
    if (point == std::u16string_view::npos || point == 0 || amount.size() != point + 3)
        return false;
    std::u16string plain;
    for (size_t i = 0; i < amount.size(); ++i) {
        const char16_t c = amount[i];
        if (!isDigit(c) && c != u',' && i != point) return false;
        if (c != u',') plain += c;
    }
    if (!groupedByThree(amount.substr(0, point)) || !parseNumber(plain, value)) return false;
    value = -value;
    return true;
}

std::u16string joinSpacedExponents(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const char16_t c = text[i];
        if (c != u' ' || out.empty() || !(isDigit(out.back()) || out.back() == u'.')) {
            out += c;
            ++i;
            continue;
        }
        // The token before the blanks: a decimal number, not "0x1F" nor a
        // name such as "x2".
        size_t start = out.size();
        while (start > 0 && (isIdentifierChar(out[start - 1]) || out[start - 1] == u'.')) --start;
        const bool decimal =
            (isDigit(out[start]) || out[start] == u'.') &&
            !(out.size() - start > 1 && out[start + 1] != u'.' && !isDigit(out[start + 1]));
        size_t j = i;
        while (j < text.size() && text[j] == u' ') ++j;
        size_t k = j + 1;
        if (k < text.size() && (text[k] == u'-' || text[k] == u'+')) ++k;
        if (decimal && j < text.size() && (text[j] == u'e' || text[j] == u'E') && k < text.size() &&
            isDigit(text[k])) {
            out += u'e';
            if (text[j + 1] == u'-') out += u'-';
            i = k;
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}

} // namespace pq
