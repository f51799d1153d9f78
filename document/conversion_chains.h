#pragma once

namespace pq {

class Conversion;
class ConversionDocument;
class ExpressionEngine;
class Item;

// Whether a conversion can carry a value from unit1 to unit2 (forward) or
// back: a linear one always can, a formula one when it has that formula.
bool canApplyForward(const Conversion& conversion);
bool canApplyReverse(const Conversion& conversion);

// Computes unit2 from unit1 (forward) or unit1 from unit2 (reverse). False
// when the conversion cannot be used that way (source not Valid, or no
// formula for the direction); when used, true whether the target became
// Valid or Error. Formulas see the source value as the variable x.
bool applyForward(Conversion& conversion, ExpressionEngine& engine);
bool applyReverse(Conversion& conversion, ExpressionEngine& engine);

// Finds a value for target through chains of conversions, depth first: on
// each unit a direct conversion from a known unit first, in list order, then
// bridges through unknown neighbours, in list order.
bool solve(ConversionDocument& document, Item& target, ExpressionEngine& engine);

} // namespace pq
