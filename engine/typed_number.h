#pragma once

#include <cstddef>
#include <string_view>

namespace pq {

// Numbers as people type them: a decimal ("2.5", "1e+2", "-4"), a fraction
// ("3/4"), a mixed number ("1 1/2", "1-1/2", "11 3/16"), or a fraction
// character alone or after a whole number ("¾", "1½"); "⁄" (the fraction
// slash) does as "/". A leading "-" (or "−") is the sign of the whole
// number: "-1 1/2" is -1.5. Blanks around the text are ignored. Only these
// forms: no formula, no grouping, no based literal.
bool readTypedNumber(std::u16string_view text, double& value);

// The typed number at the start of a longer text ("1 1/2 cups", "60 mph"):
// its value and the length of text it takes, leading blanks included and
// trailing blanks not; 0 when the text does not start with one. "5 ft 11
// in" takes "5"; "1 12 in" takes "1".
size_t readTypedNumberPrefix(std::u16string_view text, double& value);

// One unsigned typed number cut out of a text at `start`, for readers of
// texts being typed. `unfinished`: a text that ends inside a fraction ("3/",
// "11 3/", "11-") is an unfinished number rather than a shorter one;
// `mixedAtEnd` also reads a whole number, blanks and digits that end the text
// ("11 3") as unfinished.
struct TypedNumberScan {
    size_t end = 0;       // after the number; start when there is none
    bool finished = true; // false for an unfinished number
    double value = 0;     // of a finished number
};
TypedNumberScan scanTypedNumber(std::u16string_view text, size_t start, bool unfinished = false,
                                bool mixedAtEnd = false);

// Whether a unit can start a typed number: a digit, "." or a fraction
// character.
bool startsTypedNumber(char16_t c);

// The blanks of typed texts: space, tab, no-break and thin spaces.
bool isTypedBlank(char16_t c);

} // namespace pq
