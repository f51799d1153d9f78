#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pq {

// The form in which unit names, identifiers and what the user types are
// compared when finding units: lower case, accents taken off the Latin
// letters, spaces and punctuation left out, and a few signs spelt as people
// type them:
//
//     "km/h" -> "kmh"     "°C" -> "degc"     "µm" -> "um"
//     "m²"   -> "m2"      "Tip (%)" -> "tippercent"     "Réaumur" -> "reaumur"
//
// Letters of other scripts are kept (Greek and Cyrillic in lower case);
// currency signs are kept as they are.
std::u16string matchKey(std::u16string_view text);
// Whether a text's key is `key`, without building the text's key.
bool keyEquals(std::u16string_view text, std::u16string_view key);
// Whether a unit's name stands for the whole `key`: the name itself, the
// name without the part in parentheses at its end, the part before its first
// comma, or one of the abbreviations in those parentheses ("Gallon, US
// (gal)" for the keys "gallonusgal", "gallonus", "gallon" and "gal").
bool nameMatchesWhole(std::u16string_view name, std::u16string_view key);

// A key with the places where the words of the text begin in it: after a
// space or punctuation, and where a lower-case letter is followed by an
// upper-case one ("flozUS" has words at "floz" and "us").
struct KeyedText {
    std::u16string key;
    std::vector<uint16_t> wordStarts; // ascending; the first is 0 for a non-empty key
};
KeyedText keyWithWords(std::u16string_view text);

} // namespace pq
