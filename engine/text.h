#pragma once

#include <string>
#include <string_view>

namespace pq {

// Character classes of the formula grammar. Only ASCII belongs to any class.
constexpr bool isIdentifierStart(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_';
}
constexpr bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
constexpr bool isIdentifierChar(char16_t c) { return isIdentifierStart(c) || isDigit(c); }
bool isIdentifier(std::u16string_view text);

constexpr char16_t asciiLower(char16_t c) { return (c >= u'A' && c <= u'Z') ? c + 32 : c; }
// Lower-cases ASCII letters only; every other unit is kept as it is.
void lowerAscii(std::u16string_view text, std::u16string& out);
std::u16string lowerAscii(std::u16string_view text);
bool equalsIgnoreCase(std::u16string_view a, std::u16string_view b);
bool startsWithIgnoreCase(std::u16string_view text, std::u16string_view prefix);
bool endsWithIgnoreCase(std::u16string_view text, std::u16string_view suffix);

// Conversions between the UTF-16 texts of the system and UTF-8 at its edges
// (command line, files of other programs). Invalid sequences become U+FFFD.
std::u16string fromUtf8(std::string_view utf8);
std::string toUtf8(std::u16string_view utf16);
// ASCII (or Latin-1) text widened unit by unit.
std::u16string widen(std::string_view latin1);

} // namespace pq
