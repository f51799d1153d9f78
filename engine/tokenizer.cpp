#include "engine/tokenizer.h"

#include <cstdint>

#include "engine/text.h"

namespace pq {

namespace {

// What each ASCII character can be in a token; anything beyond ASCII is a
// token of its own.
enum CharClass : uint8_t {
    kBlank = 1,       // space, tab, line feed, carriage return
    kNameStart = 2,   // a letter or '_'
    kNameChar = 4,    // a letter, a digit or '_'
    kNumberStart = 8, // a digit or '.'
    kNumberChar = 16, // a name character or '.'
};

constexpr auto kCharClasses = [] {
    struct Table {
        uint8_t of[128] = {};
    } table;
    for (int c = 0; c < 128; ++c) {
        const auto u = static_cast<char16_t>(c);
        uint8_t classes = 0;
        if (u == u' ' || u == u'\t' || u == u'\n' || u == u'\r') classes |= kBlank;
        if (isIdentifierStart(u)) classes |= kNameStart;
        if (isIdentifierChar(u)) classes |= kNameChar | kNumberChar;
        if (isDigit(u) || u == u'.') classes |= kNumberStart;
        if (u == u'.') classes |= kNumberChar;
        table.of[c] = classes;
    }
    return table;
}();

inline uint8_t classOf(char16_t c) { return c < 128 ? kCharClasses.of[c] : 0; }

} // namespace

bool nextToken(std::u16string_view text, size_t& position, std::u16string_view& token) {
    size_t i = position;
    const size_t n = text.size();
    const char16_t* s = text.data();
    while (i < n && (classOf(s[i]) & kBlank)) ++i;
    if (i >= n) {
        position = n;
        token = {};
        return false;
    }
    const size_t start = i;
    const uint8_t first = classOf(s[i]);
    ++i;
    if (first & kNameStart) {
        while (i < n && (classOf(s[i]) & kNameChar)) ++i;
    } else if (first & kNumberStart) {
        // Numbers are cut generously ("1.2.3", "0ffh", "2.5e-3", "1e+2");
        // the number reader decides whether the token is a valid literal. In
        // "0x1e-5" the "e" is a digit, and the "-" a minus.
        const bool prefixedHex = i < n && s[start] == u'0' && (s[i] == u'x' || s[i] == u'X');
        while (i < n && ((classOf(s[i]) & kNumberChar) ||
                         ((s[i] == u'-' || s[i] == u'+') && s[i - 1] == u'e' && !prefixedHex)))
            ++i;
    }
    token = text.substr(start, i - start);
    position = i;
    return true;
}

} // namespace pq
