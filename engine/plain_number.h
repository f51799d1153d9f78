#pragma once

#include <string>

namespace pq {

// The significant decimal digits a double carries safely: a decimal text of
// at most 15 digits reads back as a double that shows the same 15 digits.
constexpr int kSafeDigits = 15;

// A value as people and other programs read it back: at most `digits`
// significant digits (1 to 17), rounded to nearest, trailing zeros dropped,
// no grouping; written out from 0.0001 up to 10^digits, with an exponent
// otherwise: "0.3", "1", "6.56167979002625", "-2.5e-7", "1.5e20". C, Python,
// spreadsheets and the formula engine all read it. What Copy and the
// hand-over of a value give. Not a finite value: "Error".
std::string plainNumber(double value, int digits = kSafeDigits);
std::u16string plainNumberText(double value, int digits = kSafeDigits);

// The magnitude of a value with a fixed number of decimals (0 to 17), no
// sign, no grouping: rounded as people round the shortest text of the value,
// halves up, so that 2.675 (just below in binary) gives "2.68" with 2.
std::string fixedDecimals(double magnitude, int decimals);

// The value plainNumber's text reads back as: 0.1 + 0.2 gives 0.3.
double roundedToDigits(double value, int digits = kSafeDigits);

} // namespace pq
