#pragma once

#include <string>
#include <string_view>

namespace pq::calc {

// The bases of a result display: 0 decimal, 1 hexadecimal, 2 octal, 3 binary.
enum class Base { Dec = 0, Hex = 1, Oct = 2, Bin = 3 };

std::u16string_view baseName(Base base); // "Dec", "Hex", "Oct", "Bin"

// How a display writes decimal values.
enum class Notation {
    Automatic = 0,  // plain, with an exponent of three for tiny and huge values
    Fixed = 1,      // a fixed number of decimals: "1,234.50"
    Scientific = 2, // one digit before the point and an exponent: "1.2345e3"
    Engineering = 3 // an exponent that is a multiple of three: "12.345e3"
};
std::u16string_view notationName(Notation notation); // "Automatic", "Fixed", ...

// The significant digits a display shows (4 to 15; the calculator's main
// display 10 unless chosen), its notation, and the decimals of the fixed one.
struct NumberStyle {
    static constexpr int kMinDigits = 4;
    static constexpr int kMaxDigits = 15;
    static constexpr int kMaxDecimals = 9;
    int digits = 10;
    Notation notation = Notation::Automatic;
    int decimals = 2;
};

// A value in decimal in a style. Automatic is decimalOutput. Fixed rounds to
// the decimals, never past the 15 digits a double carries, and turns
// scientific from 10^15 on. Scientific and engineering drop the trailing
// zeros of the digits and always write the exponent ("1e0", "150e3"); 0 is
// "0" in every notation but fixed.
std::u16string styledOutput(double value, const NumberStyle& style);

// A value in decimal with `digits` significant digits: tiny and huge values
// get an exponent that is a multiple of 3 ("0.0125e-3", "1.5e12").
std::u16string decimalOutput(double value, int digits);

// A value in a base: whole numbers as their 32-bit pattern with the digits
// "0123456789ABCDEF", a "0" before a leading letter and the suffix "h", "o"
// or "b" ("0FFh"); fractions, and base Dec, in decimal. `used` tells which.
std::u16string baseOutput(double value, Base base, int digits, Base* used = nullptr);
std::u16string baseOutput(double value, Base base, const NumberStyle& style, Base* used = nullptr);

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
