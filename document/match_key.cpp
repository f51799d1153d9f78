#include "document/match_key.h"

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

enum class Case { None, Lower, Upper };

Case caseOf(char16_t c) {
    if ((c >= u'a' && c <= u'z') || (c >= 0x00DF && c <= 0x00FF && c != 0x00F7))
        return Case::Lower;
    if ((c >= u'A' && c <= u'Z') || (c >= 0x00C0 && c <= 0x00DE && c != 0x00D7))
        return Case::Upper;
    if (c >= 0x0100 && c <= 0x017F) return (c & 1) ? Case::Lower : Case::Upper;
    return Case::None;
}

// Signs that separate words and are left out of a key.
bool isPunctuation(char16_t c) {
    if (c < 0x80)
        return !((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                 (c >= u'0' && c <= u'9') || c == u'$' || c == u'%');
    return (c >= 0x0080 && c <= 0x00BF && c != 0x00A2 && c != 0x00A3 && c != 0x00A4 &&
            c != 0x00A5 && c != 0x00AA && c != 0x00B0 && c != 0x00B2 && c != 0x00B3 &&
            c != 0x00B5 && c != 0x00B9 && c != 0x00BA) ||
           c == 0x00D7 || c == 0x00F7 || (c >= 0x2000 && c <= 0x206F) ||
           (c >= 0x2190 && c <= 0x23FF) || (c >= 0x2500 && c <= 0x27BF) ||
           (c >= 0x3000 && c <= 0x303F) || c == 0xFEFF;
}

// Appends what one character becomes in a key.
void appendFolded(char16_t c, std::u16string& key) {
    if (c >= u'A' && c <= u'Z') {
        key += static_cast<char16_t>(c + 32);
    } else if (c < 0x80) {
        if (c == u'%')
            key += u"percent";
        else
            key += c;
    } else if (c >= kLatinFirst && c < kLatinEnd) {
        switch (const char folded = kLatinFolded[c - kLatinFirst]) {
        case 'A': key += u"ae"; break;
        case 'T': key += u"th"; break;
        case 'S': key += u"ss"; break;
        case 'O': key += u"oe"; break;
        case 'I': key += u"ij"; break;
        default: key += static_cast<char16_t>(folded); break;
        }
    } else if (c == 0x00B0) { // degree sign
        key += u"deg";
    } else if (c == 0x00B5 || c == 0x03BC) { // micro sign, Greek mu
        key += u'u';
    } else if (c == 0x00B2 || c == 0x00B3 || c == 0x00B9) { // superscript 2, 3, 1
        key += c == 0x00B9 ? u'1' : static_cast<char16_t>(u'2' + (c - 0x00B2));
    } else if (c == 0x00AA) {
        key += u'a';
    } else if (c == 0x00BA) {
        key += u'o';
    } else if ((c >= 0x2070 && c <= 0x2079) || (c >= 0x2080 && c <= 0x2089)) {
        key += static_cast<char16_t>(u'0' + (c & 0x0F)); // superscript and subscript digits
    } else if (c >= 0x0391 && c <= 0x03A9 && c != 0x03A2) {
        key += static_cast<char16_t>(c + 0x20); // Greek capitals
    } else if (c >= 0x0410 && c <= 0x042F) {
        key += static_cast<char16_t>(c + 0x20); // Cyrillic capitals
    } else if (c >= 0x0400 && c <= 0x040F) {
        key += static_cast<char16_t>(c + 0x50);
    } else {
        key += c;
    }
}

} // namespace

KeyedText keyWithWords(std::u16string_view text) {
    KeyedText result;
    result.key.reserve(text.size());
    bool boundary = true;
    Case previous = Case::None;
    for (char16_t c : text) {
        if (isPunctuation(c)) {
            boundary = true;
            previous = Case::None;
            continue;
        }
        const Case current = caseOf(c);
        if (previous == Case::Lower && current == Case::Upper) boundary = true;
        previous = current;
        const size_t at = result.key.size();
        appendFolded(c, result.key);
        if (boundary && at <= std::numeric_limits<uint16_t>::max())
            result.wordStarts.push_back(static_cast<uint16_t>(at));
        boundary = false;
    }
    return result;
}

std::u16string matchKey(std::u16string_view text) { return keyWithWords(text).key; }

} // namespace pq
