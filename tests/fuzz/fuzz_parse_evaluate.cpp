// Arbitrary text typed for an item of any format: reading it and showing the
// result in every format must never crash.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "engine/date_text.h"
#include "engine/expression_engine.h"
#include "engine/format_text.h"
#include "engine/number_format.h"
#include "engine/number_parse.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pq;
    if (size < 10 || size > 4096) return 0;
    static ExpressionEngine engine;
    NumberFormat format;
    // The first bytes choose the allowed formats and the compound parts.
    format.setAllowedFormats(static_cast<int32_t>(data[0] | data[1] << 8));
    std::array<WString, 4> labels{WString(u"a"), WString(u"bb"), WString(u""), WString(u"d")};
    std::array<double, 4> fractions{1, 0, 0, 0};
    for (size_t i = 1; i < 4; ++i) fractions[i] = static_cast<int8_t>(data[1 + i]) / 4.0;
    format.setParts(labels, fractions);
    double scale;
    std::memcpy(&scale, data + 2, sizeof scale);
    std::u16string text(data + 10, data + size);

    double value = 0;
    if (format.parseAndEvaluate(text, engine, value) &&
        !(value >= -kMaxValue && value <= kMaxValue))
        __builtin_trap();
    // The value box's reading of shown texts, and the date reader.
    for (int32_t entry : {1, 2, 16, 128}) {
        format.entryFormat = entry;
        double read = 0;
        format.readEntry(text, engine, read);
    }
    double day = 0;
    readDateText(text, day);
    for (double v : {value, scale, value * 1e290, -value / 7}) {
        for (int32_t code : {1, 2, 4, 8, 16, 32, 64, 128, 256}) {
            format.displayFormat = format.entryFormat = code;
            format.formatForDisplay(v);
            format.formatForEntry(v);
        }
        std::array<std::u16string, 4> parts;
        format.splitCompound(v, parts);
        formatNumber(v);
        // Every copy of a value the engine can hold (within ±kMaxValue; a
        // literal beyond is too large) reads back as exactly that value.
        if (std::isfinite(v) && std::fabs(v) <= kMaxValue) {
            const std::u16string shortest = shortestNumberText(v);
            double back = 0;
            if (!parseNumber(shortest, back) || back != v) __builtin_trap();
            for (int32_t code : {1, 2, 16, 128, 256}) {
                format.displayFormat = code;
                format.copyText(v);
            }
        }
    }
    return 0;
}
