#pragma once

#include <string>
#include <string_view>

namespace pq {

// Reading back the texts the programs show and copy. Each reader takes a
// whole text; blanks around it are ignored.

// A number as a display or a row writes it: grouped ("1,295.4", "-1,234",
// also "1 234 567"), with a spaced exponent ("699.460043197 e-6"), a based
// literal with spaces between its digit groups ("0 FFFF FFFFh", "1010
// 0101b"), "0x1F", or "Dec: " before a number that a base could not show.
// Letters may be in either case. Commas, and blanks between the digits of
// a decimal number, must group the integer part by three ("1 2" is no
// number). `plain` receives the literal the formula reader reads ("1295.4",
// "0ffffffffh").
bool readShownNumber(std::u16string_view text, std::u16string& plain, double& value);

// An amount in parentheses, as a currency row writes a negative one:
// "(1,234.50)" is -1234.5. Only digits, grouping and two decimals.
bool readBracketedAmount(std::u16string_view text, double& value);

// Typed formulas may keep the display's spaced exponent: "2.5 e-3*2" is
// read as "2.5e-3*2". A number followed by blanks and "e" and an exponent is
// no valid formula otherwise, so no formula changes its meaning.
std::u16string joinSpacedExponents(std::u16string_view text);

} // namespace pq
