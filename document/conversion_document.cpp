#include "document/document.h"

#include <algorithm>
#include <climits>
#include <cmath>

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

namespace {

// The smallest record: kind, two positions and two empty formulas.
constexpr int64_t kSmallestRecord = 20;

// One conversion record as it stands; false when it cannot be read. Strict:
// only as the program writes records (kind 0 or 1, finite numbers, and,
// unless unitCount is negative, both places among `unitCount`).
bool readRecord(DataFile& file, Conversion& c, int32_t& first, int32_t& second, bool strict,
                int32_t unitCount) {
    if (!file.readInt32(c.kind) || !file.readInt32(first) || !file.readInt32(second)) return false;
    if (strict && c.kind != Conversion::Linear && c.kind != Conversion::Formula) return false;
    if (strict && unitCount >= 0 &&
        (first < 0 || second < 0 || first >= unitCount || second >= unitCount))
        return false;
    if (!c.isLinear()) return file.readText(c.forwardFormula) && file.readText(c.reverseFormula);
    return file.readDouble(c.factor) && file.readDouble(c.offset) &&
           (!strict || (std::isfinite(c.factor) && std::isfinite(c.offset)));
}

Item* unitAt(const std::vector<Item*>& units, int32_t position) {
    return position >= 0 && static_cast<size_t>(position) < units.size()
               ? units[static_cast<size_t>(position)]
               : nullptr;
}

} // namespace

std::optional<std::vector<std::unique_ptr<Conversion>>>
ConversionDocument::readConversionRun(DataFile& file, int64_t from, int32_t unitCount,
                                      const std::vector<Item*>* units, int64_t most) {
    if (!file.seek(from)) return std::nullopt;
    std::vector<std::unique_ptr<Conversion>> run;
    while (file.position() < file.size()) {
        if (static_cast<int64_t>(run.size()) >= most || recoveryBudget_ <= 0) return std::nullopt;
        auto c = std::make_unique<Conversion>(this);
        int32_t first, second;
        const int64_t at = file.position();
        const bool read = readRecord(file, *c, first, second, true, unitCount);
        recoveryBudget_ -= std::max<int64_t>(4, file.position() - at);
        if (!read) return std::nullopt;
        if (units) {
            c->unit1 = unitAt(*units, first);
            c->unit2 = unitAt(*units, second);
        }
        run.push_back(std::move(c));
    }
    return run;
}

std::optional<int64_t> ConversionDocument::findExtra(DataFile& file, int64_t from,
                                                     int32_t unitCount) {
    // The list runs to the end of the file: its count, then exactly that many
    // records, each naming two units of the file; failing that, records of
    // which some name no unit (those are dropped as the list is read).
    for (const int32_t places : {unitCount, -1}) {
        for (int64_t at = from; at + 4 <= file.size() && recoveryBudget_ > 0; ++at) {
            recoveryBudget_ -= 4;
            int32_t count = -1;
            if (!file.seek(at) || !file.readInt32(count) || count < 0 ||
                count > (file.size() - at - 4) / kSmallestRecord)
                continue;
            const auto run = readConversionRun(file, at + 4, places, nullptr, count);
            if (run && static_cast<int64_t>(run->size()) == count) return at;
        }
    }
    return std::nullopt;
}

bool ConversionDocument::extraMayBeginHere(DataFile& file) const {
    const int64_t at = file.position();
    int32_t count = -1;
    const bool plausible =
        file.readInt32(count) && count >= 0 && count <= (file.size() - at - 4) / kSmallestRecord;
    file.seek(at);
    return plausible;
}

void ConversionDocument::readExtra(DataFile& file, const std::vector<Item*>& units) {
    const int32_t unitCount = static_cast<int32_t>(units.size());
    int32_t count;
    if (!file.readInt32(count)) {
        conversionsInFile_ = droppedConversions_ = -1; // the list is missing
        return;
    }
    const bool countKnown =
        count >= 0 && count <= (file.size() - file.position()) / kSmallestRecord;
    conversionsInFile_ = countKnown ? count : -1;
    // A record whose unit could not be read, or that names a position outside
    // the item list, is passed over.
    auto keep = [&](std::unique_ptr<Conversion> c) {
        if (c->unit1 && c->unit2)
            conversions.push_back(std::move(c));
        else
            ++droppedConversions_;
    };
    for (int64_t i = 0; countKnown ? i < count : file.position() < file.size(); ++i) {
        const int64_t start = file.position();
        auto c = std::make_unique<Conversion>(this);
        int32_t first, second;
        if (readRecord(file, *c, first, second, false, unitCount)) {
            c->unit1 = unitAt(units, first);
            c->unit2 = unitAt(units, second);
            keep(std::move(c));
            continue;
        }
        // The records after one that cannot be read are found again where
        // they read one after the other to the end of the file.
        // Of the runs that read, the longest.
        const int64_t left = countKnown ? count - i - 1 : INT64_MAX;
        std::optional<std::vector<std::unique_ptr<Conversion>>> run;
        for (int64_t from = start + 1; left > 0 && from < file.size(); ++from) {
            if (recoveryBudget_ <= 0) break;
            auto found = readConversionRun(file, from, unitCount, &units, left);
            if (!found || found->empty() || (run && found->size() <= run->size())) continue;
            run = std::move(found);
            if (static_cast<int64_t>(run->size()) == left) break;
        }
        const int64_t found = run ? static_cast<int64_t>(run->size()) : 0;
        if (run)
            for (auto& later : *run) keep(std::move(later));
        if (countKnown) droppedConversions_ += static_cast<int>(count - i - found);
        file.seek(file.size()); // what is left belongs to no record that could be read
        break;
    }
    if (!countKnown) droppedConversions_ = -1;
}

} // namespace pq
