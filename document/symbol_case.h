#pragma once

#include <string_view>

namespace pq {

// Letter case tells units apart where a text reads as unit symbols: "Mg"
// (megagram) is not "mg", "mW" not "MW", "ML" not "mL", "Mb" (megabit) not
// "MB", "kb" not "kB", "Nm" (newton metre) not "nm", "Cal" (the food
// Calorie) not "cal". Other texts may be typed in any case: "MPH" is mph,
// "kg" may be "KG", "eur" is EUR.
//
// A text reads as symbols when its letters are a unit symbol, an SI
// prefix followed by a symbol ("Mg", "mpa", "KB"), or a product of two
// symbols ("Nm", "Pas", "VA").
bool ReadsAsSymbols(std::u16string_view text);
// Where a text of letters alone reads as a product of two symbols: the
// length of the first ("Nm" gives 1, "Pas" 2); 0 for any other text.
size_t ProductSplit(std::u16string_view text);

// Whether a name written in another case than `typed` may be what was
// typed: always, unless the typed text reads as symbols; then its letters
// must be the name's, with the same case in the first one (the prefix) and
// in every b and B (bit and byte), and in all of them for a product of two
// symbols.
bool CaseAllows(std::u16string_view typed, bool readsAsSymbols, std::u16string_view name);

} // namespace pq
