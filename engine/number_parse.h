#pragma once

#include <string_view>

namespace pq {

// Reads one numeric literal that fills the whole text: decimal ("2.5e-3",
// "-4", ".5", "1e"), or a 32-bit pattern in base 2, 16 or 8 with the suffix
// "b", "h" or "o" ("101b", "0ffh", "17o"). Based literals denote their value
// modulo 2^32 read as a signed 32-bit integer. Letters are not folded: the
// formula reader lower-cases its text first, so a direct call with "0FFh"
// fails. "0x1F" (or "0X1f") is the same pattern as "01fh", with at most
// eight significant digits. Decimal exponents above 300 fail.
bool parseNumber(std::u16string_view text, double& value);

} // namespace pq
