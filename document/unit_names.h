#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/name_phrase.h"

namespace pq {

// How well a unit matches what was typed, best first. The first three are
// the unit's names as a whole; the last two serve the find list alone.
enum class MatchTier {
    Exact,      // an identifier, name or other name exactly, letter case included
    CaseFolded, // the same in another letter case (symbol_case.h)
    Folded,     // the same as a phrase (name_phrase.h): accents, spaces,
                // punctuation, plurals, spellings and qualifiers aside
    WordPrefix, // the start of a word of the name, identifier or an alternative
    Substring,  // a part of a word of them
};

// The names a unit is known by as a whole, in the forms the tiers compare:
//
//     identifier                         "galUS"
//     name                               "Gallon, US (gal)"
//     the name without its parentheses   "Gallon, US"
//     the part before the first comma    "Gallon"
//     each abbreviation in parentheses   "gal"
//     the parts after commas that are    "metric ton" in "Tonne, metric ton",
//       more than qualifiers             "Dublin" in "London, Dublin, Lisbon"
//     its alternative names              "US gallon"
//
// The words after a single comma qualify the unit ("US" in "Gallon, US"):
// as phrases, its head, abbreviations and identifier carry them. A unit
// shown as a compound of parts ("Degrees, minutes, seconds") is named by
// its whole name only. Names of the form "A per B (a/b)" are also known as
// "a per B" and "A per b" ("km per hour").
struct UnitNames {
    struct Form {
        std::u16string text;   // as written, its spaces collapsed
        std::u16string folded; // the same in lower case
    };
    std::vector<Form> forms;
    struct PhraseForm {
        Phrase phrase;
        size_t form = 0; // the written form it comes from, for the letter-case rule
    };
    std::vector<PhraseForm> phrases;
};

struct TypedName;
// With `only`, the phrases are made for those typed names alone, whose
// matches they give as all would (see MayBeNamed).
UnitNames NamesOfUnit(std::u16string_view name, std::u16string_view identifier,
                      const std::vector<std::u16string>& alternatives, bool compound,
                      const std::vector<TypedName>* only = nullptr);

// What was typed, prepared once for comparing with many units.
struct TypedName {
    std::u16string text;   // its spaces collapsed
    std::u16string folded; // in lower case
    bool readsAsSymbols = false;
    TypedPhrase phrase;
    // A product of symbols written together is also the product: "Nm" is
    // "N·m".
    std::optional<TypedPhrase> product;
    // The first two characters of the phrase's core (the second 0 where
    // any may follow), or none; and whether the core is one character.
    char16_t start[2] = {0, 0};
    bool oneCharacter = false;
};
TypedName ReadTypedName(std::u16string_view text);

// Whether the typed name, in any letter case, stands in a unit's name (or
// identifier, or another name) as one of the pieces between its commas and
// parentheses: a written form of the unit can be what was typed only if it
// does.
bool MayBeWrittenIn(const TypedName& typed, std::u16string_view name);
// The same for a name already prepared: FoldLetterCase(CollapseSpaces(name)).
bool MayBeWrittenInFolded(const TypedName& typed, std::u16string_view folded);

// A quick test that rules most units out before their names are prepared:
// whether a word of a unit's text (its name, identifier or an alternative)
// begins as the typed name does. Every unit that MatchUnitNames finds
// passes it.
bool MayBeNamed(const TypedName& typed, std::u16string_view text);
// The same for any of several typed names, in one look at the text.
bool MayBeNamedByAny(const std::vector<TypedName>& typed, std::u16string_view text);
// The same test kept for many searches: the starts of a unit's words, as
// bits (a bit may stand for several starts).
struct WordStarts {
    uint64_t first = 0; // the first characters
    uint64_t pairs = 0; // the first two (a single one for a word of one)
    void add(std::u16string_view text);
};
bool MayBeNamed(const TypedName& typed, const WordStarts& starts);

// The best of the first three tiers at which the typed text names the unit.
std::optional<MatchTier> MatchUnitNames(const TypedName& typed, const UnitNames& names);

// A text with its leading and trailing spaces taken off and every run of
// spaces inside made one space; a sign Unicode has twice (µ and μ, Ω and
// the ohm sign) is written one way.
std::u16string CollapseSpaces(std::u16string_view text);
// Letters in lower case: ASCII, Latin-1 and the Latin Extended-A block,
// Greek and Cyrillic.
std::u16string FoldLetterCase(std::u16string_view text);

} // namespace pq
