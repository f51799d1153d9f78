#include "document/match_key.h"

#include <algorithm>
#include <array>
#include <limits>

namespace pq {

namespace {

// The Latin letters U+00C0 to U+017F without their accents, one character
// each: a capital stands for two letters (A "ae", T "th", S "ss", O "oe",
// I "ij"), a space for a sign that is left out (the multiplication and
// division signs).
constexpr char16_t kLatinFirst = 0x00C0;
constexpr char kLatinFolded[] =
    "aaaaaaAceeeeiiiidnooooo ouuuuyTSaaaaaaAceeeeiiiidnooooo ouuuuyTy"
    "aaaaaaccccccccddddeeeeeeeeeegggggggghhhhiiiiiiiiiiIIjjkkklllllll"
    "lllnnnnnnnnnooooooOOrrrrrrssssssssttttttuuuuuuuuuuuuwwyyyzzzzzzs";
constexpr char16_t kLatinEnd = kLatinFirst + sizeof(kLatinFolded) - 1;

// ASCII in a key: letters in lower case, digits, "$" and "%" (which is
// spelt out) as they are, 0 for the rest.
constexpr auto kAsciiFolded = [] {
    std::array<char16_t, 128> table{};
    for (char16_t c = 0; c < 128; ++c) {
        if ((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'$' || c == u'%')
            table[c] = c;
        else if (c >= u'A' && c <= u'Z')
            table[c] = static_cast<char16_t>(c + 32);
    }
    return table;
}();

// Signs beyond ASCII that separate words and are left out of a key.
bool isPunctuation(char16_t c) {
    return (c >= 0x0080 && c <= 0x00BF && c != 0x00A2 && c != 0x00A3 && c != 0x00A4 &&
            c != 0x00A5 && c != 0x00AA && c != 0x00B0 && c != 0x00B2 && c != 0x00B3 &&
            c != 0x00B5 && c != 0x00B9 && c != 0x00BA) ||
           c == 0x00D7 || c == 0x00F7 || (c >= 0x2000 && c <= 0x206F) ||
           (c >= 0x2190 && c <= 0x23FF) || (c >= 0x2500 && c <= 0x27BF) ||
           (c >= 0x3000 && c <= 0x303F) || c == 0xFEFF;
}

} // namespace

LetterCase letterCase(char16_t c) {
    if ((c >= u'a' && c <= u'z') || (c >= 0x00DF && c <= 0x00FF && c != 0x00F7))
        return LetterCase::Lower;
    if ((c >= u'A' && c <= u'Z') || (c >= 0x00C0 && c <= 0x00DE && c != 0x00D7))
        return LetterCase::Upper;
    if (c >= 0x0100 && c <= 0x017F) return (c & 1) ? LetterCase::Lower : LetterCase::Upper;
    return LetterCase::None;
}

char16_t operatorSign(char16_t c) {
    switch (c) {
    case u'/':
    case 0x2044: // fraction slash
    case 0x2215: // division slash
        return u'/';
    case 0x00B7: // middle dot
    case 0x22C5: // dot operator
    case 0x2219: // bullet operator
        return 0x00B7;
    case 0x2032: // prime
    case 0x02B9:
        return 0x2032;
    case 0x2033: // double prime
    case 0x02BA:
        return 0x2033;
    default: return 0;
    }
}

int foldCharacter(char16_t c, char16_t* out) {
    auto word = [out](std::u16string_view text) {
        for (size_t i = 0; i < text.size(); ++i) out[i] = text[i];
        return static_cast<int>(text.size());
    };
    if (c < 0x80) {
        const char16_t folded = kAsciiFolded[c];
        if (folded == u'%') return word(u"percent");
        out[0] = folded;
        return folded != 0;
    }
    if (isPunctuation(c)) return 0;
    if (c >= kLatinFirst && c < kLatinEnd) {
        switch (const char folded = kLatinFolded[c - kLatinFirst]) {
        case 'A': return word(u"ae");
        case 'T': return word(u"th");
        case 'S': return word(u"ss");
        case 'O': return word(u"oe");
        case 'I': return word(u"ij");
        default: out[0] = static_cast<char16_t>(folded); break;
        }
    } else if (c == 0x00B0) { // degree sign
        return word(u"deg");
    } else if (c == 0x00B5 || c == 0x03BC) { // micro sign, Greek mu
        out[0] = u'u';
    } else if (c == 0x03A9 || c == 0x03C9 || c == 0x2126) { // omega, ohm sign
        return word(u"ohm");
    } else if (c == 0x00B2 || c == 0x00B3) { // superscript 2 and 3
        out[0] = static_cast<char16_t>(u'2' + (c - 0x00B2));
    } else if (c == 0x00B9) {
        out[0] = u'1';
    } else if (c == 0x00AA) {
        out[0] = u'a';
    } else if (c == 0x00BA) {
        out[0] = u'o';
    } else if ((c >= 0x2070 && c <= 0x2079) || (c >= 0x2080 && c <= 0x2089)) {
        out[0] = static_cast<char16_t>(u'0' + (c & 0x0F)); // superscript and subscript digits
    } else if ((c >= 0x0391 && c <= 0x03A9 && c != 0x03A2) || (c >= 0x0410 && c <= 0x042F)) {
        // Greek and Cyrillic capitals; a capital mu is a micro sign, too.
        out[0] = c == 0x039C ? u'u' : static_cast<char16_t>(c + 0x20);
    } else if (c >= 0x0400 && c <= 0x040F) {
        out[0] = static_cast<char16_t>(c + 0x50);
    } else {
        out[0] = c;
    }
    return 1;
}

KeyedText keyWithWords(std::u16string_view text) {
    KeyedText result;
    result.key.reserve(text.size());
    bool boundary = true;
    LetterCase previous = LetterCase::None;
    char16_t folded[8];
    for (char16_t c : text) {
        // "/" and "·" stay in the key, each a word of its own: "m/s" is not
        // "ms".
        if (const char16_t sign = operatorSign(c)) {
            if (result.key.size() <= std::numeric_limits<uint16_t>::max())
                result.wordStarts.push_back(static_cast<uint16_t>(result.key.size()));
            result.key += sign;
            boundary = true;
            previous = LetterCase::None;
            continue;
        }
        const int count = foldCharacter(c, folded);
        if (count == 0) {
            boundary = true;
            previous = LetterCase::None;
            continue;
        }
        const LetterCase current = letterCase(c);
        if (previous == LetterCase::Lower && current == LetterCase::Upper) boundary = true;
        previous = current;
        if (boundary && result.key.size() <= std::numeric_limits<uint16_t>::max())
            result.wordStarts.push_back(static_cast<uint16_t>(result.key.size()));
        result.key.append(folded, static_cast<size_t>(count));
        boundary = false;
    }
    return result;
}

std::u16string matchKey(std::u16string_view text) {
    std::u16string key;
    key.reserve(text.size());
    char16_t folded[8];
    for (char16_t c : text) {
        if (const char16_t sign = operatorSign(c))
            key += sign;
        else
            key.append(folded, static_cast<size_t>(foldCharacter(c, folded)));
    }
    return key;
}

} // namespace pq
