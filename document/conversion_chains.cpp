#include "document/conversion_chains.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "document/document.h"
#include "engine/expression_engine.h"

namespace pq {

namespace {

bool applyFormula(const WString& formula, Item& source, Item& target, ExpressionEngine& engine) {
    if (formula.empty()) return false;
    engine.setVariable(u"x", source.value);
    double value;
    if (engine.evaluate(formula, value)) {
        target.value = value;
        target.state = ValueState::Valid;
    } else {
        target.state = ValueState::Error;
    }
    engine.removeDefinition(u"x");
    return true;
}

// A linear conversion keeps its result within the values formulas may
// give; beyond them (or NaN) the computed unit shows Error.
void setLinearResult(Item& target, double value) {
    if (value >= -kMaxValue && value <= kMaxValue) {
        target.value = value;
        target.state = ValueState::Valid;
    } else {
        target.state = ValueState::Error;
    }
}

bool isValid(const Item* item) { return item->state == ValueState::Valid; }
bool isEmpty(const Item* item) { return item->state == ValueState::Empty; }

// The search over one document's conversion graph. It gives exactly the
// results of the plain depth-first search (which marks the units on the
// current path Error, tries direct conversions from known units, then
// recurses into unknown neighbours, each in list order), with two
// differences that change no value, state or by-product:
// - the recursion is an explicit stack, so long chains cannot overflow the
//   machine stack;
// - a call that cannot possibly have an effect returns at once. A search
//   from a unit can only succeed, or make any unit known on its way, if some
//   unit it can reach through unknown units can be entered from a known unit
//   through a conversion usable in that direction (an entry). Without one
//   the plain search would walk every path of the unknown region
//   (exponentially many in a densely joined one) and end where it began.
class ChainSearch {
  public:
    ChainSearch(ConversionDocument& document, ExpressionEngine& engine) : engine_(engine) {
        const size_t n = document.items.size();
        items_.reserve(n);
        for (size_t i = 0; i < n; ++i) {
            document.items[i]->index = static_cast<int32_t>(i);
            items_.push_back(document.items[i].get());
        }
        adjacent_.assign(n, {});
        for (const auto& c : document.conversions) {
            if (!c->unit1 || !c->unit2 || !owns(c->unit1) || !owns(c->unit2)) continue;
            adjacent_[position(c->unit1)].push_back(c.get());
            if (c->unit2 != c->unit1) adjacent_[position(c->unit2)].push_back(c.get());
        }
        mayReachEntry_.assign(n, 0);
        onPath_.assign(n, 0);
        visited_.assign(n, 0);
        for (size_t i = 0; i < n; ++i)
            if (isValid(items_[i])) spreadFromKnown(i);
    }

    bool solve(Item& target) {
        if (!owns(&target) || !mayHaveEffect(position(&target))) return false;
        stack_.clear();
        push(target);
        std::optional<bool> childResult;
        for (;;) {
            Frame& f = stack_.back();
            bool success = false;
            bool done = false;
            if (childResult) {
                // A bridge neighbour has been searched: use its conversion.
                Conversion* c = f.awaiting;
                f.awaiting = nullptr;
                if (*childResult && apply(*c, c->unit2 == f.target)) success = done = true;
                childResult.reset();
            } else if (!f.bridging) {
                if (directPass(f)) success = done = true;
                f.bridging = true;
            }
            if (!done) {
                if (bridgePass(f)) continue; // a neighbour is searched first
                f.target->state = ValueState::Empty;
            }
            onPath_[position(stack_.back().target)] = 0;
            stack_.pop_back();
            if (stack_.empty()) return success;
            childResult = success;
        }
    }

  private:
    struct Frame {
        Item* target;
        size_t next = 0;                // next conversion of the target in the bridge pass
        bool bridging = false;          // the direct pass is over
        Conversion* awaiting = nullptr; // bridge whose neighbour is being searched
    };

    bool owns(const Item* item) const {
        return item->index >= 0 && static_cast<size_t>(item->index) < items_.size() &&
               items_[position(item)] == item;
    }
    size_t position(const Item* item) const { return static_cast<size_t>(item->index); }

    void push(Item& target) {
        target.state = ValueState::Error; // marks it as on the current path
        onPath_[position(&target)] = 1;
        stack_.push_back({&target});
    }

    bool apply(Conversion& c, bool forward) {
        Item* target = forward ? c.unit2 : c.unit1;
        const bool used = forward ? applyForward(c, engine_) : applyReverse(c, engine_);
        if (used && isValid(target)) spreadFromKnown(position(target));
        return used;
    }

    bool directPass(const Frame& f) {
        for (Conversion* c : adjacent_[position(f.target)]) {
            if (c->unit2 == f.target && isValid(c->unit1) && apply(*c, true)) return true;
            if (c->unit1 == f.target && isValid(c->unit2) && apply(*c, false)) return true;
        }
        return false;
    }

    // Starts the search of the next unknown neighbour; false when none is left.
    bool bridgePass(Frame& f) {
        const std::vector<Conversion*>& conversions = adjacent_[position(f.target)];
        while (f.next < conversions.size()) {
            Conversion* c = conversions[f.next++];
            Item* neighbour = nullptr;
            if (c->unit2 == f.target && isEmpty(c->unit1))
                neighbour = c->unit1;
            else if (c->unit1 == f.target && isEmpty(c->unit2))
                neighbour = c->unit2;
            // A neighbour whose search cannot have any effect fails at once,
            // as its plain search would, leaving everything as it was.
            if (!neighbour || !mayHaveEffect(position(neighbour))) continue;
            f.awaiting = c;
            push(*neighbour);
            return true;
        }
        return false;
    }

    // The unit at position i can be given a value from the known unit k
    // through conversion c.
    bool entersFrom(const Conversion& c, size_t k, size_t i) const {
        if (c.unit1 == items_[k] && c.unit2 == items_[i]) return canApplyForward(c);
        if (c.unit2 == items_[k] && c.unit1 == items_[i]) return canApplyReverse(c);
        return false;
    }

    bool isEntry(size_t i) const {
        for (const Conversion* c : adjacent_[i]) {
            const Item* other = c->unit1 == items_[i] ? c->unit2 : c->unit1;
            if (isValid(other) && entersFrom(*c, position(other), i)) return true;
        }
        return false;
    }

    // Marks, after unit k became known, every unit that may one day reach an
    // entry it opened: all units joined to such an entry through units that
    // are unknown or on the current path (which turn unknown again when
    // their branch fails). The marks only grow, so they always cover every
    // unit whose search can have an effect.
    void spreadFromKnown(size_t k) {
        for (const Conversion* c : adjacent_[k]) {
            Item* other = c->unit1 == items_[k] ? c->unit2 : c->unit1;
            const size_t i = position(other);
            if (mayReachEntry_[i] || !entersFrom(*c, k, i) || !(isEmpty(other) || onPath_[i]))
                continue;
            mayReachEntry_[i] = 1;
            queue_.assign(1, i);
            while (!queue_.empty()) {
                const size_t u = queue_.back();
                queue_.pop_back();
                for (const Conversion* e : adjacent_[u]) {
                    const size_t v = position(e->unit1 == items_[u] ? e->unit2 : e->unit1);
                    if (!mayReachEntry_[v] && (isEmpty(items_[v]) || onPath_[v])) {
                        mayReachEntry_[v] = 1;
                        queue_.push_back(v);
                    }
                }
            }
        }
    }

    // Whether searching the unknown unit at position i can have an effect.
    // The marks answer most calls at once; where the search would branch
    // (two or more unknown neighbours), the unknown region reachable now,
    // around the current path, is looked through for an entry.
    bool mayHaveEffect(size_t i) {
        if (!mayReachEntry_[i]) return false;
        size_t unknownNeighbours = 0;
        for (const Conversion* c : adjacent_[i]) {
            const Item* other = c->unit1 == items_[i] ? c->unit2 : c->unit1;
            if (isEmpty(other) && other != items_[i]) ++unknownNeighbours;
        }
        if (unknownNeighbours < 2) return true;
        if (++visitStamp_ == 0) { // wrapped: clear the stamps once
            std::fill(visited_.begin(), visited_.end(), 0);
            visitStamp_ = 1;
        }
        visited_[i] = visitStamp_;
        queue_.assign(1, i);
        while (!queue_.empty()) {
            const size_t u = queue_.back();
            queue_.pop_back();
            if (isEntry(u)) return true;
            for (const Conversion* c : adjacent_[u]) {
                const size_t v = position(c->unit1 == items_[u] ? c->unit2 : c->unit1);
                if (visited_[v] != visitStamp_ && isEmpty(items_[v])) {
                    visited_[v] = visitStamp_;
                    queue_.push_back(v);
                }
            }
        }
        return false;
    }

    ExpressionEngine& engine_;
    std::vector<Item*> items_;
    std::vector<std::vector<Conversion*>> adjacent_;
    std::vector<uint8_t> mayReachEntry_;
    std::vector<uint8_t> onPath_;
    std::vector<uint32_t> visited_;
    uint32_t visitStamp_ = 0;
    std::vector<size_t> queue_;
    std::vector<Frame> stack_;
};

} // namespace

bool canApplyForward(const Conversion& c) { return c.isLinear() || !c.forwardFormula.empty(); }
bool canApplyReverse(const Conversion& c) { return c.isLinear() || !c.reverseFormula.empty(); }

bool applyForward(Conversion& c, ExpressionEngine& engine) {
    if (!isValid(c.unit1)) return false;
    if (!c.isLinear()) return applyFormula(c.forwardFormula, *c.unit1, *c.unit2, engine);
    setLinearResult(*c.unit2, c.unit1->value * c.factor + c.offset);
    return true;
}

bool applyReverse(Conversion& c, ExpressionEngine& engine) {
    if (!isValid(c.unit2)) return false;
    if (!c.isLinear()) return applyFormula(c.reverseFormula, *c.unit2, *c.unit1, engine);
    if (c.factor == 0) {
        c.unit1->state = ValueState::Error;
    } else {
        setLinearResult(*c.unit1, (c.unit2->value - c.offset) / c.factor);
    }
    return true;
}

bool solve(ConversionDocument& document, Item& target, ExpressionEngine& engine) {
    return ChainSearch(document, engine).solve(target);
}

void ConversionDocument::computeAll(ExpressionEngine& engine) {
    for (const auto& item : items)
        if (item.get() != currentItem) item->state = ValueState::Empty;
    ChainSearch search(*this, engine);
    for (const auto& item : items)
        if (item->shown && item->state == ValueState::Empty) search.solve(*item);
}

} // namespace pq
