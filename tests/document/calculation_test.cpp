#include <gtest/gtest.h>

#include <random>

#include "document/calculation.h"
#include "document/document.h"
#include "engine/expression_engine.h"
#include "tests/document/plain_search.h"

using namespace pq;

namespace {

class Calculation : public ::testing::Test {
  protected:
    CalcItem& add(bool output, std::u16string_view id, std::u16string_view text) {
        auto item = std::make_unique<CalcItem>();
        item->role = output ? Output : Input;
        item->identifier = id;
        item->name = id;
        item->valueText = text;
        d.items.push_back(std::move(item));
        return static_cast<CalcItem&>(*d.items.back());
    }
    CalculationDocument d;
    ExpressionEngine engine;
};

} // namespace

TEST_F(Calculation, OutputsComputeInAsManyPassesAsTheyNeed) {
    CalcItem& each = add(true, u"each", u"total/people");
    CalcItem& total = add(true, u"total", u"bill+tip");
    add(false, u"bill", u"100");
    add(false, u"people", u"4");
    add(true, u"tip", u"bill*15%");
    d.computeAll(engine);
    EXPECT_EQ(total.value, 115);
    EXPECT_EQ(each.value, 28.75);
    EXPECT_EQ(each.state, ValueState::Valid);
    double v;
    for (const char16_t* id : {u"each", u"total", u"bill", u"people", u"tip"})
        EXPECT_FALSE(engine.evaluate(id, v)) << "still defined"; // every identifier removed

    // A value the user typed survives recomputation.
    d.items[2]->value = 200;
    d.items[2]->state = ValueState::Valid;
    d.computeAll(engine);
    EXPECT_EQ(total.value, 230);
}

TEST_F(Calculation, WhatCannotBeComputedShowsError) {
    CalcItem& a = add(true, u"a", u"b+1");
    CalcItem& b = add(true, u"b", u"a+1");
    CalcItem& bad = add(false, u"bad", u"1/0");
    CalcItem& usesBad = add(true, u"usesBad", u"bad*2");
    CalcItem& fine = add(true, u"fine", u"iif(1, 7, undefinedName)");
    d.computeAll(engine);
    EXPECT_EQ(a.displayValue(), u"Error");
    EXPECT_EQ(b.displayValue(), u"Error");
    EXPECT_EQ(bad.state, ValueState::Error);
    EXPECT_EQ(usesBad.state, ValueState::Error);
    EXPECT_EQ(fine.value, 7);
}

TEST_F(Calculation, ItemsOutsideTheUsualShape) {
    // An item without an identifier is computed but names nothing; a unit
    // found in a calculation file counts as an input.
    CalcItem& anonymous = add(false, u"", u"6");
    auto unitItem = std::make_unique<UnitItem>();
    unitItem->identifier = u"u";
    unitItem->valueText = u"4";
    d.items.push_back(std::move(unitItem));
    CalcItem& sum = add(true, u"sum", u"u*2");
    CalcItem& formatted = add(true, u"h", u"[1 30]");
    formatted.format.setAllowedFormats(Decimal | Compound);
    formatted.format.fractions = {1, 60, 0, 0};
    int params;
    ASSERT_TRUE(engine.defineFunction(u"f(a,b)", u"a*b", params));
    CalcItem& weird = add(true, u"f(a,b)", u"3"); // not a plain name: defines and removes nothing
    d.computeAll(engine);
    EXPECT_EQ(anonymous.value, 6);
    EXPECT_EQ(sum.value, 8);
    EXPECT_EQ(formatted.value, 1.5);
    EXPECT_EQ(weird.value, 3);
    double v;
    EXPECT_TRUE(engine.evaluate(u"f(2,3)", v)); // the user's function is untouched
}

TEST(CalculationPasses, GiveExactlyWhatThePlainPassesGive) {
    // Random files whose outputs refer to one another in every order, with
    // failures, duplicate identifiers, user functions and random numbers.
    const char16_t* ids[] = {u"a", u"b", u"c", u"d", u"e", u"a", u""};
    const char16_t* texts[] = {u"1",      u"a+1",   u"b*c",         u"d/0",
                               u"rand+a", u"e-1",   u"sq(a)",       u"iif(a>1, b, c)",
                               u"zz",     u"c+d+e", u"{1/1/2000}-a"};
    std::mt19937 rng(7);
    for (int round = 0; round < 3000; ++round) {
        const size_t n = 1 + rng() % 8;
        const uint32_t seed = static_cast<uint32_t>(rng());
        auto build = [&](CalculationDocument& d) {
            std::mt19937 r(seed);
            for (size_t i = 0; i < n; ++i) {
                auto item = std::make_unique<CalcItem>();
                item->role = r() % 3 ? Output : Input;
                item->identifier = ids[r() % std::size(ids)];
                item->valueText = texts[r() % std::size(texts)];
                d.items.push_back(std::move(item));
            }
        };
        CalculationDocument fast, plain;
        build(fast);
        build(plain);
        ExpressionEngine e1, e2;
        e1.seedRandom(seed);
        e2.seedRandom(seed);
        int params;
        e1.defineFunction(u"sq(v)", u"v*v", params);
        e2.defineFunction(u"sq(v)", u"v*v", params);
        fast.computeAll(e1);
        test::plainComputeAll(plain, e2);
        for (size_t i = 0; i < n; ++i) {
            ASSERT_EQ(fast.items[i]->state, plain.items[i]->state) << round;
            if (fast.items[i]->state == ValueState::Valid) {
                ASSERT_EQ(fast.items[i]->value, plain.items[i]->value) << round;
            }
        }
        double r1, r2;
        ASSERT_TRUE(e1.evaluate(u"rand", r1) && e2.evaluate(u"rand", r2));
        ASSERT_EQ(r1, r2) << "the random sequence moved differently, round " << round;
    }
}
