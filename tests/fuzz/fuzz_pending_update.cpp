// Arbitrary bytes as a pending update file: applying it must not crash and
// must leave a document that saves and loads again. The same bytes applied
// as a text must change the conversions alike.

#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "document/document.h"
#include "engine/expression_engine.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

void fill(pq::ConversionDocument& d) {
    using namespace pq;
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
}

bool sameConversions(const pq::ConversionDocument& a, const pq::ConversionDocument& b) {
    if (a.conversions.size() != b.conversions.size()) return false;
    for (size_t i = 0; i < a.conversions.size(); ++i) {
        const pq::Conversion& x = *a.conversions[i];
        const pq::Conversion& y = *b.conversions[i];
        if (x.kind != y.kind || a.indexOf(x.unit1) != b.indexOf(y.unit1) ||
            a.indexOf(x.unit2) != b.indexOf(y.unit2) || !(x.factor == y.factor) ||
            !(x.offset == y.offset))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pq;
    static ExpressionEngine engine;
    const std::string& folder = fuzz::scratchFolder();
    PlainFolder where(folder);
    ConversionDocument d;
    fill(d);
    fuzz::writeFile(folder + "Rates.upd", data, size);
    const bool applied = d.applyPendingUpdate(where, engine);
    ConversionDocument twin;
    fill(twin);
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (twin.applyUpdateText(text, engine) != applied || !sameConversions(d, twin))
        __builtin_trap();
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
