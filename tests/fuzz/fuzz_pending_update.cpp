// Arbitrary bytes as a pending update file: applying it must not crash and
// must leave a document that saves and loads again.

#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "document/document.h"
#include "engine/expression_engine.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pq;
    static ExpressionEngine engine;
    const std::string& folder = fuzz::scratchFolder();
    PlainFolder where(folder);
    ConversionDocument d;
    d.name = u"Rates";
    for (const char16_t* id : {u"EUR", u"USD", u"", u"gbp", u"JPY"}) {
        auto item = std::make_unique<UnitItem>();
        item->identifier = id;
        d.items.push_back(std::move(item));
    }
    Conversion& c = d.addConversion();
    c.kind = Conversion::Formula;
    c.unit1 = d.items[1].get();
    c.unit2 = d.items[0].get();
    fuzz::writeFile(folder + "Rates.upd", data, size);
    const bool applied = d.applyPendingUpdate(where, engine);
    for (const auto& conversion : d.conversions)
        if (!conversion->unit1 || !conversion->unit2) __builtin_trap();
    if (!d.save(where)) return 0; // e.g. an updated text too long to store
    // An applied update file goes once the document was saved.
    if (applied && std::filesystem::exists(folder + "Rates.upd")) __builtin_trap();
    ConversionDocument again;
    if (!again.load(where, true, u"Rates") || again.conversions.size() != d.conversions.size())
        __builtin_trap();
    return 0;
}
