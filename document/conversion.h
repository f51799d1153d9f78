#pragma once

#include <cstdint>
#include <string>

#include "engine/wstring.h"

namespace pq {

class ConversionDocument;
class Item;

// One relation between two units of a conversion file: linear
// (1 unit1 = factor unit2 + offset) or a pair of formulas in x, one for each
// direction. The units and the owner are referred to, not owned.
class Conversion {
  public:
    enum Kind : int32_t { Linear = 0, Formula = 1 };

    explicit Conversion(ConversionDocument* owner) : owner(owner) {}

    // Only the low 16 bits of the stored kind count.
    bool isLinear() const { return (kind & 0xFFFF) == 0; }
    bool touches(const Item* item) const { return unit1 == item || unit2 == item; }
    // "unit1 <-> unit2", as lists show it.
    std::u16string text() const;

    int32_t kind = Linear;
    Item* unit1 = nullptr;
    Item* unit2 = nullptr;
    double factor = 1.0;
    double offset = 0.0;
    WString forwardFormula; // value of unit2 from x, the value of unit1
    WString reverseFormula; // value of unit1 from x, the value of unit2
    ConversionDocument* owner;
};

} // namespace pq
