#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pq {

// A unit's name as a phrase, the way names are compared when case, accents,
// spaces and punctuation do not matter: the words in lower case without
// accents, each in one spelling and number ("meters", "metre", "metres" are
// "metre"; "feet" is "foot"; "inches" is "inch"), "per" and "/" as "/",
// "·" as times, "square X", "sq X", "X²", "X2", "X^2" and "X squared" all
// as "x^2" (and cubic likewise), "°" as the word "degree", ′ and ' as ′,
// ″ and " as ″.
//
// Words that only qualify a unit ("US", "imperial", "UK", "metric",
// "International Table", "thermochemical", "liquid", ...) are kept apart
// from the others, so that they may stand anywhere: "imperial gallon",
// "gallon (imperial)", "UK gallon" and "Gallon, imperial" are one phrase.
struct PhraseWord {
    std::u16string text;
    int qualifier = -1; // the qualifier's bit (PhraseQualifierBit), or -1
};

// The words of a text, reduced as above.
std::vector<PhraseWord> PhraseWords(std::u16string_view text);

// The part of a phrase that names the unit, and the qualifiers.
struct Phrase {
    std::u16string core;     // the other words run together: "gallon", "kilometre/hour"
    uint32_t qualifiers = 0; // a bit per qualifier
    // Words of the core that qualify this one unit only, beyond the common
    // qualifiers ("Australian" in "Tablespoon, Australian"): a text may
    // leave them out or add them anywhere.
    std::vector<std::u16string> ownQualifiers;
};

// The phrase of a list of words: the qualifier words apart, unless every
// word is one ("US" alone is a name, not a qualifier).
Phrase MakePhrase(const std::vector<PhraseWord>& words);

// Whether typed words name a unit of this phrase: without their
// qualifiers (the common ones and the phrase's own) they are its core, and
// the qualifiers they have are among the phrase's. Fewer qualifiers than
// the unit's is allowed: "gallon" is a phrase of "Gallon, US" and of
// "Gallon, imperial" alike.
struct TypedPhrase {
    std::vector<PhraseWord> words;
    Phrase phrase;
};
TypedPhrase ReadTypedPhrase(std::u16string_view text);
bool PhraseMatches(const TypedPhrase& typed, const Phrase& unit);

// The bit of a qualifier word in its usual spelling ("us", "imperial",
// "metric", "it", ...); -1 for a word that is none.
int PhraseQualifierBit(std::u16string_view word);

} // namespace pq
