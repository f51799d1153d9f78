// Arbitrary bytes as a formula text and as a date text: neither may crash,
// hang or misbehave, whatever they hold.

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/calendar_date.h"
#include "engine/expression_engine.h"
#include "engine/number_parse.h"

namespace {

pq::ExpressionEngine& engine() {
    static pq::ExpressionEngine* instance = [] {
        auto* e = new pq::ExpressionEngine;
        int params;
        e->setVariable(u"x", 3);
        e->defineFunction(u"f(a,b)", u"a*b+x", params);
        e->defineFunction(u"g(n)", u"iif(n<1, 1, n*g(n-1))", params);
        e->defineFunction(u"h(n)", u"h(n)+1", params);
        e->defineFunction(u"t(a)", u"a+", params);
        return e;
    }();
    return *instance;
}

void exercise(const std::u16string& text) {
    double value;
    if (engine().evaluate(text, value) && !(value >= -pq::kMaxValue && value <= pq::kMaxValue))
        __builtin_trap(); // a success must give a value in range
    pq::parseNumber(text, value);
    pq::CalendarDate date(text);
    (void)date.day;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096) return 0;
    // The bytes widened one by one (mostly ASCII, as people type) ...
    std::u16string narrow(data, data + size);
    exercise(narrow);
    // ... and read as UTF-16 code units, to reach every unit value.
    std::u16string wide(size / 2, u'\0');
    for (size_t i = 0; i + 1 < size; i += 2)
        wide[i / 2] = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    exercise(wide);
    return 0;
}
