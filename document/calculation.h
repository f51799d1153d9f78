#pragma once

namespace pq {

class ExpressionEngine;
class Item;

// Evaluates an item's value text through its format (compound, base and
// date notations) with the engine: Valid with the result, or Error.
bool evaluateItem(Item& item, ExpressionEngine& engine);

} // namespace pq
