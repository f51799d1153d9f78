#include "document/document.h"

#include <algorithm>

#include "document/data_file.h"

namespace pq {

std::u16string Conversion::text() const {
    std::u16string out(unit1 ? unit1->name.view() : std::u16string_view());
    out += u" <-> ";
    out += unit2 ? unit2->name.view() : std::u16string_view();
    return out;
}

ConversionDocument::~ConversionDocument() {
    conversions.clear(); // the conversions go first, then the items
}

void ConversionDocument::removeItems(size_t first, size_t count) {
    for (size_t i = first; i < items.size() && i - first < count; ++i)
        removeConversionsOf(items[i].get());
    Document::removeItems(first, count);
}

Conversion* ConversionDocument::findConversion(const Item* a, const Item* b) const {
    for (const auto& c : conversions)
        if ((c->unit1 == a && c->unit2 == b) || (c->unit1 == b && c->unit2 == a)) return c.get();
    return nullptr;
}

int ConversionDocument::countConversionsOf(const Item* item) const {
    return static_cast<int>(std::count_if(conversions.begin(), conversions.end(),
                                          [item](const auto& c) { return c->touches(item); }));
}

void ConversionDocument::removeConversion(const Conversion* conversion) {
    std::erase_if(conversions, [conversion](const auto& c) { return c.get() == conversion; });
}

void ConversionDocument::removeConversionsOf(const Item* item) {
    std::erase_if(conversions, [item](const auto& c) { return c->touches(item); });
}

Conversion& ConversionDocument::addConversion() {
    return *conversions.emplace_back(std::make_unique<Conversion>(this));
}

void ConversionDocument::writeExtra(DataFile& file) const {
    file.writeInt32(static_cast<int32_t>(conversions.size()));
    for (const auto& c : conversions) {
        file.writeInt32(c->kind);
        file.writeInt32(c->unit1 ? c->unit1->index : -1);
        file.writeInt32(c->unit2 ? c->unit2->index : -1);
        if (c->isLinear()) {
            file.writeDouble(c->factor);
            file.writeDouble(c->offset);
        } else {
            file.writeText(c->forwardFormula);
            file.writeText(c->reverseFormula);
        }
    }
}

void ConversionDocument::readExtra(DataFile& file) {
    // The smallest record: kind, two positions and two empty formulas.
    constexpr int64_t kSmallestRecord = 20;
    int32_t count;
    if (!file.readInt32(count)) {
        conversionCountDamaged_ = true; // the list is missing
        return;
    }
    if (count < 0 || count > (file.size() - file.position()) / kSmallestRecord)
        conversionCountDamaged_ = true;
    auto itemAt = [this](int32_t position) -> Item* {
        return position >= 0 && static_cast<size_t>(position) < items.size()
                   ? items[static_cast<size_t>(position)].get()
                   : nullptr;
    };
    for (int32_t i = 0; i < count; ++i) {
        auto c = std::make_unique<Conversion>(this);
        int32_t first, second;
        bool ok = file.readInt32(c->kind) && file.readInt32(first) && file.readInt32(second);
        ok = ok &&
             (c->isLinear() ? file.readDouble(c->factor) && file.readDouble(c->offset)
                            : file.readText(c->forwardFormula) && file.readText(c->reverseFormula));
        if (!ok) {
            // Nothing after a broken record can be trusted.
            droppedConversions_ += count - i;
            return;
        }
        c->unit1 = itemAt(first);
        c->unit2 = itemAt(second);
        // A record naming a position outside the item list is passed over.
        if (c->unit1 && c->unit2)
            conversions.push_back(std::move(c));
        else
            ++droppedConversions_;
    }
}

} // namespace pq
