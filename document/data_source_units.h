#pragma once

// What the writer and the reader of the text form of a data file share:
// the names of the document types, and how a conversion names its units.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "document/document.h"
#include "document/item.h"
#include "engine/text.h"

namespace pq::source {

inline const char* typeName(int32_t typeCode) {
    return typeCode == CalculationDocument::kTypeCode ? "calculations" : "conversions";
}

// How a conversion names its units: by identifier, else by name, else by
// position. The same resolution serves both directions, so that what is
// written is always read back as the same unit. A reference is first
// compared exactly with the identifiers, then with the names, then both
// again without regard to case; the first comparison that matches any unit
// decides, and it resolves only when it matches exactly one. The four
// indexes are built once, so that a file of n units resolves in O(n).
class UnitResolver {
  public:
    explicit UnitResolver(const std::vector<std::unique_ptr<Item>>& items) : items_(items) {
        byId_.reserve(items.size());
        byName_.reserve(items.size());
        for (const auto& item : items) {
            add(byId_, item->identifier.view(), *item);
            add(byName_, item->name.view(), *item);
        }
    }

    const Item* find(std::u16string_view reference) const {
        if (reference.empty()) return nullptr;
        if (const Entry* e = lookup(byId_, reference)) return e->item;
        if (const Entry* e = lookup(byName_, reference)) return e->item;
        // Only a reference written in another case gets this far.
        if (!looseBuilt_) buildLoose();
        lowerAscii(reference, key_);
        if (const Entry* e = lookup(byIdLoose_, key_)) return e->item;
        if (const Entry* e = lookup(byNameLoose_, key_)) return e->item;
        return nullptr;
    }

  private:
    struct Entry {
        const Item* item; // null once a second unit has the same key
    };
    // The keys are views of the units' own texts, or of lowered_, which is
    // filled once and then left alone.
    using Index = std::unordered_map<std::u16string_view, Entry>;

    static void add(Index& index, std::u16string_view key, const Item& item) {
        auto [it, added] = index.try_emplace(key, Entry{&item});
        if (!added) it->second.item = nullptr;
    }

    static const Entry* lookup(const Index& index, std::u16string_view key) {
        auto it = index.find(key);
        return it == index.end() ? nullptr : &it->second;
    }

    void buildLoose() const {
        size_t length = 0;
        for (const auto& item : items_)
            length += item->identifier.view().size() + item->name.view().size();
        lowered_.reserve(length);
        byIdLoose_.reserve(items_.size());
        byNameLoose_.reserve(items_.size());
        for (const auto& item : items_) {
            for (auto [text, index] : {std::pair{item->identifier.view(), &byIdLoose_},
                                       std::pair{item->name.view(), &byNameLoose_}}) {
                const size_t start = lowered_.size();
                for (char16_t c : text) lowered_ += asciiLower(c);
                add(*index, std::u16string_view(lowered_).substr(start), *item);
            }
        }
        looseBuilt_ = true;
    }

    const std::vector<std::unique_ptr<Item>>& items_;
    Index byId_, byName_;
    mutable Index byIdLoose_, byNameLoose_;
    mutable std::u16string lowered_;
    mutable bool looseBuilt_ = false;
    mutable std::u16string key_;
};

} // namespace pq::source
