#include "document/printable_text.h"

#include <cstdio>

namespace pq {

namespace {

// The length of the UTF-8 sequence at text[i], or 0 when none starts there.
size_t utf8Length(std::string_view text, size_t i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char b = byte(i);
    size_t length = b >= 0xF0 && b <= 0xF4 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 && b < 0xE0 ? 2 : 0;
    if (length == 0 || i + length > text.size()) return 0;
    for (size_t k = 1; k < length; ++k)
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
    if (length == 3 && ((b == 0xE0 && byte(i + 1) < 0xA0) || (b == 0xED && byte(i + 1) >= 0xA0)))
        return 0; // overlong, or a surrogate
    if (length == 4 && ((b == 0xF0 && byte(i + 1) < 0x90) || (b == 0xF4 && byte(i + 1) >= 0x90)))
        return 0;
    if (length == 2 && b == 0xC2 && byte(i + 1) < 0xA0) return 0; // C1 controls
    return length;
}

} // namespace

std::string printableText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const unsigned char b = static_cast<unsigned char>(text[i]);
        if (b >= 0x20 && b < 0x7F) {
            out += static_cast<char>(b);
            ++i;
        } else if (size_t n = b >= 0x80 ? utf8Length(text, i) : 0; n > 0) {
            out.append(text.substr(i, n));
            i += n;
        } else {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02X", b);
            out += escape;
            ++i;
        }
    }
    return out;
}

} // namespace pq
