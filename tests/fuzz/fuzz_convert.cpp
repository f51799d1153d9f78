// Arbitrary bytes as a data file and the value typed for one of its items,
// as in pqtool convert and calc: the first byte picks the file type and the
// item, the text up to the first NUL is the value, the rest is the file.
// Computing every value must not crash, and the item typed into keeps its
// value.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "document/document.h"
#include "engine/expression_engine.h"
#include "engine/text.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pq;
    if (size < 2 || size > 65536) return 0;
    static ExpressionEngine engine;
    const int type = data[0] & 1 ? CalculationDocument::kTypeCode : ConversionDocument::kTypeCode;
    const size_t pick = data[0] >> 1;
    const uint8_t* end = static_cast<const uint8_t*>(std::memchr(data + 1, 0, size - 1));
    if (!end) return 0;
    const std::string value(reinterpret_cast<const char*>(data + 1),
                            static_cast<size_t>(end - (data + 1)));
    const std::string path = fuzz::scratchFolder() + "convert";
    fuzz::writeFile(path, end + 1, size - static_cast<size_t>(end + 1 - data));

    auto document = createDocument(type);
    if (!document->loadFrom(path, true) || document->items.empty()) return 0;
    Item& chosen = *document->items[pick % document->items.size()];
    double number;
    if (!chosen.format.parseAndEvaluate(fromUtf8(value), engine, number)) return 0;
    if (type == CalculationDocument::kTypeCode && chosen.isOutput()) return 0;
    chosen.value = number;
    chosen.state = ValueState::Valid;
    document->currentItem = &chosen;
    document->computeAll(engine);
    for (const auto& item : document->items) item->displayValue();
    if (type == ConversionDocument::kTypeCode &&
        std::memcmp(&chosen.value, &number, sizeof number) != 0)
        __builtin_trap();
    return 0;
}
