#pragma once

#include <string_view>

namespace pq {

// What reading a literal found.
enum class NumberReading {
    Number,    // a number, within the values the engine works with
    Malformed, // no literal: "1.2.3", "4e", "1e-", ".", "12b"
    TooLarge,  // a decimal literal beyond +-1e301 ("1e302", "1e308")
};

// Reads one numeric literal that fills the whole text: decimal ("2.5e-3",
// "1e+2", "-4", ".5", "5."), or a 32-bit pattern in base 2, 16 or 8 with the
// suffix "b", "h" or "o" ("101b", "0ffh", "17o"). A decimal literal needs a
// digit in its mantissa and, after an "e", in its exponent, which may be
// signed. Based literals denote their value modulo 2^32 read as a signed
// 32-bit integer. Letters are not folded: the formula reader lower-cases its
// text first, so a direct call with "0FFh" fails. "0x1F" (or "0X1f") is the
// same pattern as "01fh", with at most eight significant digits. Values too
// small to tell from 0 read as 0; values beyond the engine's limit 1e301 are
// too large.
NumberReading readNumber(std::u16string_view text, double& value);

// readNumber, true for a number.
inline bool parseNumber(std::u16string_view text, double& value) {
    return readNumber(text, value) == NumberReading::Number;
}

} // namespace pq
