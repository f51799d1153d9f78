#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "document/conversion_chains.h"
#include "document/document.h"
#include "engine/expression_engine.h"
#include "tests/document/plain_search.h"

using namespace pq;

namespace {

class Chains : public ::testing::Test {
  protected:
    Item& unit(std::u16string_view name, bool shown = true) {
        auto item = std::make_unique<UnitItem>();
        item->name = name;
        item->identifier = name;
        item->shown = shown ? 1 : 0;
        d.items.push_back(std::move(item));
        return *d.items.back();
    }
    Conversion& linear(Item& a, Item& b, double factor, double offset = 0) {
        Conversion& c = d.addConversion();
        c.unit1 = &a;
        c.unit2 = &b;
        c.factor = factor;
        c.offset = offset;
        return c;
    }
    Conversion& formula(Item& a, Item& b, std::u16string_view forward,
                        std::u16string_view reverse) {
        Conversion& c = d.addConversion();
        c.kind = Conversion::Formula;
        c.unit1 = &a;
        c.unit2 = &b;
        c.forwardFormula = forward;
        c.reverseFormula = reverse;
        return c;
    }
    void enter(Item& item, double value) {
        item.value = value;
        item.state = ValueState::Valid;
        d.currentItem = &item;
        d.computeAll(engine);
    }
    static std::u16string shown(const Item& i) { return i.displayValue(); }

    ConversionDocument d;
    ExpressionEngine engine;
};

} // namespace

TEST_F(Chains, ValuesTravelBothWaysAlongAChain) {
    Item& a = unit(u"a");
    Item& b = unit(u"b");
    Item& c = unit(u"c");
    Item& lonely = unit(u"lonely");
    linear(a, b, 10);
    formula(b, c, u"x+1", u"x-1");
    enter(a, 2);
    EXPECT_EQ(shown(b), u"20");
    EXPECT_EQ(shown(c), u"21");
    EXPECT_EQ(lonely.state, ValueState::Empty); // a unit with no conversion shows nothing
    enter(c, 31);
    EXPECT_EQ(shown(b), u"30");
    EXPECT_EQ(shown(a), u"3");
    EXPECT_EQ(engine.definitionCount(), 0); // x is removed after every formula
}

TEST_F(Chains, FirstUsableConversionInListOrderWins) {
    Item& a = unit(u"a");
    Item& b = unit(u"b");
    Item& c = unit(u"c");
    linear(a, b, 2);
    linear(b, c, 3);
    linear(c, a, 0.5); // a cycle
    enter(a, 6);
    // Each unit is computed once, by the first conversion in list order that
    // reaches it: c from b (solved before it), not from a.
    EXPECT_EQ(b.value, 12);
    EXPECT_EQ(c.value, 36);
    enter(c, 36);
    EXPECT_EQ(a.value, 18); // directly by c-a, not back through b
    EXPECT_EQ(b.value, 36); // then from a, the first conversion that reaches b
}

TEST_F(Chains, DirectConversionsBeatBridges) {
    Item& a = unit(u"a");
    Item& c = unit(u"c");
    Item& hidden = unit(u"hidden", false);
    linear(hidden, c, 3);
    linear(a, hidden, 2);
    linear(a, c, 7);
    enter(a, 1);
    EXPECT_EQ(c.value, 7);
    EXPECT_EQ(hidden.state, ValueState::Empty); // the bridge was never needed
}

TEST_F(Chains, FailuresAndOneWayConversions) {
    Item& a = unit(u"a");
    Item& zero = unit(u"zero");
    Item& oneWay = unit(u"oneWay");
    Item& broken = unit(u"broken");
    Item& beyond = unit(u"beyond");
    linear(zero, a, 0);                   // reverse with factor 0: Error
    formula(oneWay, a, u"x*2", u"");      // cannot be used from a to oneWay
    formula(a, broken, u"1/(x-5)", u"x"); // fails for x = 5
    linear(broken, beyond, 1);
    linear(a, beyond, 3); // another route that a failed formula does not make the search try
    enter(a, 5);
    EXPECT_EQ(shown(zero), u"Error");
    EXPECT_EQ(oneWay.state, ValueState::Empty);
    EXPECT_EQ(shown(broken), u"Error");
    EXPECT_EQ(shown(beyond), u"15"); // direct, listed after the bridge through broken
    enter(a, 6);
    EXPECT_EQ(shown(broken), u"1");

    // Nothing is computed from a current unit without a value.
    a.state = ValueState::Empty;
    d.computeAll(engine);
    for (const auto& item : d.items) EXPECT_EQ(item->state, ValueState::Empty);
    a.state = ValueState::Error;
    d.computeAll(engine);
    EXPECT_EQ(beyond.state, ValueState::Empty);

    // Results beyond the range of values show Error.
    linear(a, unit(u"huge"), 1e300);
    enter(a, 1e10);
    EXPECT_EQ(shown(*d.items.back()), u"Error");
}

TEST_F(Chains, HiddenUnitsBridgeButAreNotSolvedForThemselves) {
    Item& a = unit(u"a");
    Item& hidden = unit(u"hidden", false);
    Item& far = unit(u"far");
    Item& hiddenEnd = unit(u"hiddenEnd", false);
    linear(a, hidden, 2);
    linear(hidden, far, 5);
    linear(a, hiddenEnd, 9);
    enter(a, 1);
    EXPECT_EQ(far.value, 10);
    EXPECT_EQ(hidden.state, ValueState::Valid); // a by-product of the bridge
    EXPECT_EQ(hiddenEnd.state, ValueState::Empty);
}

TEST_F(Chains, SelfLoopsDuplicatesAndForeignUnitsAreHarmless) {
    Item& a = unit(u"a");
    Item& b = unit(u"b");
    linear(a, a, 2);
    linear(a, b, 3);
    linear(b, a, 4);
    linear(a, b, 5);
    UnitItem stranger; // a conversion to a unit of no document is passed over
    linear(a, stranger, 1);
    enter(b, 12);
    EXPECT_EQ(a.value, 4); // the first conversion that reaches a: a-b in reverse
    EXPECT_EQ(stranger.state, ValueState::Empty);
}

namespace {

// A random conversion file: any graph, every kind of conversion.
void randomFile(ConversionDocument& d, std::mt19937& rng, size_t units, size_t conversions) {
    auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
    for (size_t i = 0; i < units; ++i) {
        auto item = std::make_unique<UnitItem>();
        item->shown = pick(5) != 0;
        d.items.push_back(std::move(item));
    }
    const char16_t* forward[] = {u"x*2", u"x+1", u"", u"1/(x-3)", u"sqrt(x)", u"err", u"x"};
    const char16_t* reverse[] = {u"x/2", u"x-1", u"", u"ln(x)", u"x^2", u"x*x-1"};
    for (size_t k = 0; k < conversions; ++k) {
        Conversion& c = d.addConversion();
        c.unit1 = d.items[pick(units)].get();
        c.unit2 = pick(8) == 0 ? c.unit1 : d.items[pick(units)].get();
        if (pick(3) == 0) {
            c.kind = Conversion::Formula;
            c.forwardFormula = forward[pick(std::size(forward))];
            c.reverseFormula = reverse[pick(std::size(reverse))];
        } else {
            c.factor = pick(6) == 0 ? 0.0 : static_cast<double>(pick(7)) - 2.5;
            c.offset = static_cast<double>(pick(3));
        }
    }
    Item* current = d.items[pick(units)].get();
    current->value = static_cast<double>(pick(9));
    current->state = pick(10) == 0 ? ValueState::Empty : ValueState::Valid;
    d.currentItem = current;
}

bool sameValue(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b));
}

} // namespace

TEST(ChainSearch, GivesExactlyWhatThePlainSearchGives) {
    std::mt19937 rng(2026);
    for (int round = 0; round < 6000; ++round) {
        // Small graphs of any density, and larger sparse ones.
        const bool large = round % 3 == 0;
        const size_t units = large ? 13 + rng() % 10 : 2 + rng() % 11;
        const size_t conversions = large ? units + rng() % (units / 2) : rng() % (3 * units);
        const uint32_t seed = static_cast<uint32_t>(rng());
        ConversionDocument fast, plain;
        std::mt19937 a(seed), b(seed);
        randomFile(fast, a, units, conversions);
        randomFile(plain, b, units, conversions);
        ExpressionEngine e1, e2;
        fast.computeAll(e1);
        test::plainComputeAll(plain, e2);
        for (size_t i = 0; i < units; ++i) {
            ASSERT_EQ(fast.items[i]->state, plain.items[i]->state)
                << "round " << round << " unit " << i;
            if (fast.items[i]->state == ValueState::Valid) {
                ASSERT_TRUE(sameValue(fast.items[i]->value, plain.items[i]->value))
                    << "round " << round << " unit " << i;
            }
        }
    }
}

TEST(ChainSearch, DenseRegionsWithoutAnEntryReturnAtOnce) {
    // 40 densely joined units with no usable way in: the plain search would
    // walk every path among them.
    for (bool oneWayLink : {false, true}) {
        ConversionDocument d;
        for (int i = 0; i < 41; ++i) d.items.push_back(std::make_unique<UnitItem>());
        for (int i = 1; i < 41; ++i)
            for (int j = i + 1; j < 41; ++j) {
                Conversion& c = d.addConversion();
                c.unit1 = d.items[static_cast<size_t>(i)].get();
                c.unit2 = d.items[static_cast<size_t>(j)].get();
                c.factor = 2;
            }
        if (oneWayLink) { // joined to the current unit, pointing away from the region
            Conversion& c = d.addConversion();
            c.kind = Conversion::Formula;
            c.unit1 = d.items[5].get();
            c.unit2 = d.items[0].get();
            c.forwardFormula = u"x";
        }
        d.items[0]->value = 1;
        d.items[0]->state = ValueState::Valid;
        d.currentItem = d.items[0].get();
        ExpressionEngine e;
        d.computeAll(e);
        for (size_t i = 1; i < d.items.size(); ++i) EXPECT_EQ(d.items[i]->state, ValueState::Empty);
    }
}

TEST(ChainSearch, DeadRegionsBehindTheCurrentPathAreSkipped) {
    // t is joined first to a dense region that leads nowhere except back
    // through t itself, then to h, which the current unit a reaches.
    ConversionDocument d;
    auto add = [&] { return d.items.emplace_back(std::make_unique<UnitItem>()).get(); };
    Item* a = add();
    Item* t = add();
    std::vector<Item*> region;
    for (int i = 0; i < 30; ++i) region.push_back(add());
    Item* h = add();
    h->shown = 0;
    auto join = [&](Item* x, Item* y) {
        Conversion& c = d.addConversion();
        c.unit1 = x;
        c.unit2 = y;
        c.factor = 2;
    };
    for (Item* r : region) join(t, r);
    for (size_t i = 0; i < region.size(); ++i)
        for (size_t j = i + 1; j < region.size(); ++j) join(region[i], region[j]);
    join(h, t);
    join(a, h);
    for (Item* r : region) r->shown = 0; // only t is solved for its own sake
    a->value = 1;
    a->state = ValueState::Valid;
    d.currentItem = a;
    ExpressionEngine e;
    d.computeAll(e);
    EXPECT_EQ(t->value, 4);
    EXPECT_EQ(region[0]->state, ValueState::Empty);
}

TEST(ChainSearch, LongChainsNeedNoDeepRecursion) {
    ConversionDocument d;
    const size_t n = 100000;
    for (size_t i = 0; i < n; ++i) d.items.push_back(std::make_unique<UnitItem>());
    for (size_t i = 0; i + 1 < n; ++i) {
        Conversion& c = d.addConversion();
        c.unit1 = d.items[i].get();
        c.unit2 = d.items[i + 1].get();
        c.factor = 1;
        c.offset = 1;
    }
    Item& last = *d.items.back(); // the search from the first unit walks the whole chain
    last.value = 0;
    last.state = ValueState::Valid;
    d.currentItem = &last;
    ExpressionEngine e;
    d.computeAll(e);
    EXPECT_EQ(d.items.front()->value, -static_cast<double>(n - 1));
}
