#include "document/symbol_case.h"

#include <algorithm>
#include <string>

namespace pq {

namespace {

constexpr char16_t kMicro = 0x00B5;
constexpr char16_t kOhm = 0x03A9;

// Unit symbols, as the SI and common use write them.
constexpr std::u16string_view kSymbols[] = {
    u"g",  u"m",  u"s",  u"A",  u"K",  u"mol", u"cd", u"L",   u"l",   u"W",   u"J",
    u"N",  u"Pa", u"Hz", u"V",  u"Ω",  u"F",   u"C",  u"T",   u"Wb",  u"H",   u"S",
    u"Gy", u"Sv", u"Bq", u"lx", u"lm", u"eV",  u"b",  u"B",   u"bit", u"bps", u"Bps",
    u"bar", u"t", u"Wh", u"cal", u"Cal", u"Da", u"a", u"h",   u"G",
};

// The first symbol of a product whose case matters ("Nm", "VA", "Pas"),
// and the second.
constexpr std::u16string_view kProductFirst[] = {u"N", u"W", u"V", u"A", u"J", u"Pa"};
constexpr std::u16string_view kProductSecond[] = {u"m", u"s", u"h", u"a", u"v", u"w"};

// SI prefixes of one letter; "da" is the one of two.
constexpr std::u16string_view kPrefixes = u"yzafpnuµmcdhkMGTPEZY";
// Letters written before b and B as prefixes, in whatever case.
constexpr std::u16string_view kBytePrefixes = u"kKmMgGtTpPeE";

char16_t lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

bool equalsIgnoringCase(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char16_t x, char16_t y) { return lower(x) == lower(y); });
}

// The letters of a text: ASCII letters, the micro sign (for µ and μ) and
// omega (for Ω and the ohm sign).
std::u16string lettersOf(std::u16string_view text) {
    std::u16string letters;
    for (char16_t c : text) {
        if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'))
            letters += c;
        else if (c == kMicro || c == 0x03BC)
            letters += kMicro;
        else if (c == kOhm || c == 0x2126)
            letters += kOhm;
        else if ((c >= 0x00C0 && c <= 0x024F && c != 0x00D7 && c != 0x00F7) ||
                 (c >= 0x0370 && c <= 0x052F))
            letters += c; // other letters stay, so that they differ
    }
    return letters;
}

bool isSymbol(std::u16string_view text) {
    return std::find(std::begin(kSymbols), std::end(kSymbols), text) != std::end(kSymbols);
}

bool isSymbolInAnyCase(std::u16string_view text) {
    return std::any_of(std::begin(kSymbols), std::end(kSymbols),
                       [text](std::u16string_view s) { return equalsIgnoringCase(s, text); });
}

bool isByteSymbol(std::u16string_view text) {
    return equalsIgnoringCase(text, u"b") || equalsIgnoringCase(text, u"bit") ||
           equalsIgnoringCase(text, u"bps");
}

size_t productSplit(std::u16string_view letters) {
    for (std::u16string_view first : kProductFirst) {
        if (!letters.starts_with(first) || letters.size() == first.size()) continue;
        const std::u16string_view second = letters.substr(first.size());
        for (std::u16string_view s : kProductSecond)
            if (equalsIgnoringCase(second, s)) return first.size();
    }
    return 0;
}

// A symbol, or a prefix and a symbol.
bool lettersReadAsPrefixedSymbol(std::u16string_view letters) {
    if (letters.empty()) return false;
    if (isSymbol(letters)) return true;
    const std::u16string_view rest = letters.substr(1);
    if (!rest.empty() && kPrefixes.find(letters[0]) != std::u16string_view::npos &&
        isSymbolInAnyCase(rest))
        return true;
    if (!rest.empty() && kBytePrefixes.find(letters[0]) != std::u16string_view::npos &&
        isByteSymbol(rest))
        return true;
    return letters.size() > 2 && letters.starts_with(u"da") &&
           isSymbolInAnyCase(letters.substr(2));
}

bool lettersReadAsSymbols(std::u16string_view letters) {
    return lettersReadAsPrefixedSymbol(letters) || productSplit(letters) > 0;
}

} // namespace

bool ReadsAsSymbols(std::u16string_view text) { return lettersReadAsSymbols(lettersOf(text)); }

size_t ProductSplit(std::u16string_view text) {
    const bool letters = std::all_of(text.begin(), text.end(), [](char16_t c) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    });
    return letters ? productSplit(text) : 0;
}

bool CaseAllows(std::u16string_view typed, bool readsAsSymbols, std::u16string_view name) {
    if (!readsAsSymbols) return true;
    const std::u16string a = lettersOf(typed);
    const std::u16string b = lettersOf(name);
    if (!equalsIgnoringCase(a, b) || a.empty()) return false;
    // The litre is "l" and "L" alike.
    if (a[0] != b[0] && !(lower(a[0]) == u'l' && lower(b[0]) == u'l')) return false;
    // In a product of two symbols every letter counts: "Nm" is not "NM".
    if (!lettersReadAsPrefixedSymbol(a) && productSplit(a) > 0 && a.substr(1) != b.substr(1))
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) == u'b' && a[i] != b[i]) return false;
    return true;
}

} // namespace pq
