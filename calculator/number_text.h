#pragma once

#include <string>
#include <string_view>

namespace pq::calc {

// The bases of a result display: 0 decimal, 1 hexadecimal, 2 octal, 3 binary.
enum class Base { Dec = 0, Hex = 1, Oct = 2, Bin = 3 };

std::u16string_view baseName(Base base); // "Dec", "Hex", "Oct", "Bin"

// A value in decimal with `digits` significant digits: tiny and huge values
// get an exponent that is a multiple of 3 ("0.0125e-3", "1.5e12").
std::u16string decimalOutput(double value, int digits);

// A value in a base: whole numbers as their 32-bit pattern with the digits
// "0123456789ABCDEF", a "0" before a leading letter and the suffix "h", "o"
// or "b" ("0FFh"); fractions, and base Dec, in decimal. `used` tells which.
std::u16string baseOutput(double value, Base base, int digits, Base* used = nullptr);

// Groups the digits of the integer part: by 3 with "," in decimal, by 4 with
// " " in the other bases. The rest of the text (fraction, exponent, suffix)
// follows unchanged, and a leading "-" is never followed by a separator.
std::u16string groupDigits(std::u16string_view text, Base base);

// Reads a number written the way a display or a row writes it:
// "1,234,567.89", "0FFh", "1010 0101b", "0x1F", "500 e-6", spaces around it
// or between digit groups, a negative amount as a currency row writes it
// ("(1,234.50)"), or a date with its weekday or time ("Wed 12/25/2024
// 10:00:00"), which stands for its day number. Commas must group the integer part by three.
// `number` receives the plain, lower-case text the engine reads.
bool readDisplayedNumber(std::u16string_view text, std::u16string& number, double& value);

} // namespace pq::calc
