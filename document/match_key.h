#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pq {

// The form in which unit names, identifiers and what the user types are
// compared when finding units by the start of a word or a part of a name:
// lower case, accents taken off the Latin letters, spaces and punctuation
// left out, and a few signs spelt as people type them:
//
//     "km h" -> "kmh"    "°C" -> "degc"     "µm" -> "um"    "kΩ" -> "kohm"
//     "m²"   -> "m2"     "Tip (%)" -> "tippercent"     "Réaumur" -> "reaumur"
//
// "/" and "·" (per and times) and the primes ′ and ″ stay: "m/s" is
// "m/s", never "ms". Letters of other scripts are kept (Greek and Cyrillic
// in lower case); currency signs are kept as they are.
std::u16string matchKey(std::u16string_view text);

// A key with the places where the words of the text begin in it: after a
// space or punctuation, at "/" and "·" and after them, and where a
// lower-case letter is followed by an upper-case one ("flozUS" has words at
// "floz" and "us").
struct KeyedText {
    std::u16string key;
    std::vector<uint16_t> wordStarts; // ascending; the first is 0 for a non-empty key
};
KeyedText keyWithWords(std::u16string_view text);

// What one character becomes in a key: up to seven characters ("percent"),
// none for punctuation. `out` has room for eight. Returns the count.
int foldCharacter(char16_t c, char16_t* out);
// The sign a character stands for when it means "per" ("/"), "times" ("·"),
// or is a prime (′) or double prime (″); 0 for any other character.
char16_t operatorSign(char16_t c);

enum class LetterCase { None, Lower, Upper };
// The case of a Latin letter; None for anything else.
LetterCase letterCase(char16_t c);

} // namespace pq
