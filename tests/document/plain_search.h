#pragma once

// The plain forms of the two computations, exactly as they are defined, for
// comparison with the library's faster ones: a recursive depth-first chain
// search over the whole conversion list, and calculation passes that
// evaluate every empty output on every pass.

#include "document/calculation.h"
#include "document/conversion_chains.h"
#include "document/document.h"
#include "engine/expression_engine.h"

namespace pq::test {

inline bool plainSolve(ConversionDocument& d, Item* target, ExpressionEngine& e) {
    target->state = ValueState::Error;
    for (auto& c : d.conversions) {
        if (c->unit2 == target && c->unit1->state == ValueState::Valid && applyForward(*c, e))
            return true;
        if (c->unit1 == target && c->unit2->state == ValueState::Valid && applyReverse(*c, e))
            return true;
    }
    for (auto& c : d.conversions) {
        if (c->unit2 == target && c->unit1->state == ValueState::Empty &&
            plainSolve(d, c->unit1, e) && applyForward(*c, e))
            return true;
        if (c->unit1 == target && c->unit2->state == ValueState::Empty &&
            plainSolve(d, c->unit2, e) && applyReverse(*c, e))
            return true;
    }
    target->state = ValueState::Empty;
    return false;
}

inline void plainComputeAll(ConversionDocument& d, ExpressionEngine& e) {
    for (auto& item : d.items)
        if (item.get() != d.currentItem) item->state = ValueState::Empty;
    for (auto& item : d.items)
        if (item->shown && item->state == ValueState::Empty) plainSolve(d, item.get(), e);
}

inline void plainComputeAll(CalculationDocument& d, ExpressionEngine& e) {
    for (auto& item : d.items) {
        if (item->isOutput()) {
            item->state = ValueState::Empty;
        } else {
            if (item->state == ValueState::Empty) evaluateItem(*item, e);
            if (item->state == ValueState::Valid) e.setVariable(item->identifier, item->value);
        }
    }
    int computed;
    do {
        computed = 0;
        for (auto& item : d.items) {
            if (!item->isOutput() || item->state != ValueState::Empty) continue;
            if (evaluateItem(*item, e)) {
                e.setVariable(item->identifier, item->value);
                ++computed;
            } else {
                item->state = ValueState::Empty;
            }
        }
    } while (computed > 0);
    for (auto& item : d.items)
        if (item->isOutput() && item->state == ValueState::Empty) item->state = ValueState::Error;
    for (auto& item : d.items) e.removeDefinition(item->identifier);
}

} // namespace pq::test
