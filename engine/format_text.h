#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pq {

// The bit values of the formats a value is shown and typed in; a mask of
// them says which formats an item allows. Codes not listed format as Decimal.
enum FormatCode : int32_t {
    Decimal = 1,
    Hex = 2,
    Octal = 4,
    Binary = 8,
    Compound = 16,
    Date = 32,
    DateTime = 128,
    Currency = 256,
};

// Every format, in order, and the plain names data sources and pqtool use
// for them ("decimal", "hex", "octal", "binary", "compound", "date",
// "datetime", "currency").
inline constexpr int32_t kFormatCodes[] = {Decimal,  Hex,  Octal,    Binary,
                                           Compound, Date, DateTime, Currency};
// The name of a format code; empty for anything else.
std::string_view formatCodeName(int32_t code);
// The code of a name, without regard to case; 0 for an unknown name.
int32_t formatCodeNamed(std::string_view name);

// Constants shared with the calculator's display.
inline constexpr const char16_t* kBaseNames[4] = {u"Dec", u"Hex", u"Oct", u"Bin"};
inline constexpr char16_t kBaseSuffixes[] = u"dhob";
inline constexpr char16_t kDigitSet[] = u"0123456789ABCDEF";
inline constexpr char16_t kErrorText[] = u"Error";

// The significant digits the decimal display and the value box show: 4 to
// 15, 12 unless set. One setting for the whole program; values from 10^digits
// on get an exponent.
constexpr int kDefaultShownDigits = 12;
constexpr int kMinShownDigits = 4;
constexpr int kMaxShownDigits = 15;
void setShownDigits(int digits); // clamped to 4..15
int shownDigits();

// Plain number text: 12 significant digits, an exponent in steps of three
// for values below 1e-6 or from 1e12 on ("500e-9", "1.5e15").
std::u16string formatNumber(double value);

// The decimal display: as formatNumber but with the shown digits, exponents
// below 0.001, and with grouping "1,234,567.5" and a space before the
// exponent ("500 e-6").
std::u16string displayDecimal(double value, bool grouping);

// The decimal text of a value box: the display's digits and exponent
// ("500 e-6") without grouping ("1234567.5").
std::u16string entryDecimal(double value);

// The shortest text that the number reader reads back as exactly this
// value (any value within +-1e301): "52.13866090712743", "1e-7",
// "99999999999".
std::u16string shortestNumberText(double value);

// Two fixed decimals; with grouping thousands separators and negative values
// in parentheses: "(1,234.50)".
std::u16string displayCurrency(double value, bool grouping);

// The 32-bit pattern of a whole number in base 16, 8 or 2 (code Hex, Octal,
// Binary), padded to groups of four digits: "00FF", "0001 2345". A value
// that is not a 32-bit integer shows as "Dec: " and its decimal display with
// grouping, and as an empty text without.
std::u16string displayBase(double value, int32_t code, bool grouping);

// The weekday and short date of a day number in the user's locale, with the
// time when asked: "Sat 12/25/2004 10:00:00".
std::u16string displayDate(double value, bool withTime);

} // namespace pq
