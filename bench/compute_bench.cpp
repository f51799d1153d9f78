// computeAll on conversion and calculation files of awkward shapes.

#include <benchmark/benchmark.h>

#include <string>

#include "document/document.h"
#include "engine/expression_engine.h"
#include "engine/text.h"

namespace {

using namespace pq;

Item* addUnit(Document& d) { return d.items.emplace_back(std::make_unique<UnitItem>()).get(); }

void join(ConversionDocument& d, Item* a, Item* b, double factor) {
    Conversion& c = d.addConversion();
    c.unit1 = a;
    c.unit2 = b;
    c.factor = factor;
}

void makeCurrent(Document& d, Item* item) {
    item->value = 1;
    item->state = ValueState::Valid;
    d.currentItem = item;
}

void run(benchmark::State& state, Document& d) {
    ExpressionEngine engine;
    for (auto _ : state) {
        d.computeAll(engine);
        benchmark::ClobberMemory();
    }
}

// (a) a chain of 1,000 units, the value entered at its far end, so the
// search from the first unit walks the whole chain.
void BM_Chain1000(benchmark::State& state) {
    ConversionDocument d;
    for (int i = 0; i < 1000; ++i) addUnit(d);
    for (size_t i = 0; i + 1 < d.items.size(); ++i)
        join(d, d.items[i].get(), d.items[i + 1].get(), 1.001);
    makeCurrent(d, d.items.back().get());
    run(state, d);
}
BENCHMARK(BM_Chain1000);

// (b) 200 currencies around one base currency listed last, the value entered
// for one of them.
void BM_Currencies200(benchmark::State& state) {
    ConversionDocument d;
    for (int i = 0; i < 200; ++i) addUnit(d);
    Item* base = addUnit(d);
    for (int i = 0; i < 200; ++i)
        join(d, base, d.items[static_cast<size_t>(i)].get(), 1 + i * 0.01);
    makeCurrent(d, d.items[100].get());
    run(state, d);
}
BENCHMARK(BM_Currencies200);

// (c) 30 densely joined units with no path to the current unit, and (d) the
// same joined to it only by a one-way formula pointing away from them.
void denseGroup(benchmark::State& state, bool oneWayLink) {
    ConversionDocument d;
    Item* current = addUnit(d);
    for (int i = 0; i < 30; ++i) addUnit(d);
    for (size_t i = 1; i < d.items.size(); ++i)
        for (size_t j = i + 1; j < d.items.size(); ++j)
            join(d, d.items[i].get(), d.items[j].get(), 2);
    if (oneWayLink) {
        Conversion& c = d.addConversion();
        c.kind = Conversion::Formula;
        c.unit1 = d.items[1].get();
        c.unit2 = current;
        c.forwardFormula = u"x*3";
    }
    makeCurrent(d, current);
    run(state, d);
}
void BM_Dense30Unreachable(benchmark::State& state) { denseGroup(state, false); }
void BM_Dense30OneWay(benchmark::State& state) { denseGroup(state, true); }
BENCHMARK(BM_Dense30Unreachable);
BENCHMARK(BM_Dense30OneWay);

// (e) a calculation file of 500 outputs, each listed before the output it
// uses: one output becomes computable per pass.
void BM_Calculation500Reversed(benchmark::State& state) {
    CalculationDocument d;
    for (int k = 0; k < 500; ++k) {
        auto item = std::make_unique<CalcItem>();
        item->role = Output;
        item->identifier = fromUtf8("o" + std::to_string(k));
        item->valueText =
            fromUtf8((k == 499 ? std::string("input") : "o" + std::to_string(k + 1)) + "+1");
        d.items.push_back(std::move(item));
    }
    auto input = std::make_unique<CalcItem>();
    input->identifier = u"input";
    input->valueText = u"1";
    d.items.push_back(std::move(input));
    ExpressionEngine engine;
    for (auto _ : state) {
        d.items.back()->state = ValueState::Empty;
        d.computeAll(engine);
        benchmark::ClobberMemory();
    }
    if (d.items.front()->value != 501) state.SkipWithError("wrong result");
}
BENCHMARK(BM_Calculation500Reversed);

// 10,000 units joined at random (about three conversions each).
void BM_Random10000(benchmark::State& state) {
    ConversionDocument d;
    for (int i = 0; i < 10000; ++i) addUnit(d);
    uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    for (int k = 0; k < 15000; ++k)
        join(d, d.items[next() % 10000].get(), d.items[next() % 10000].get(), 1.5);
    makeCurrent(d, d.items[0].get());
    run(state, d);
}
BENCHMARK(BM_Random10000)->Unit(benchmark::kMillisecond);

} // namespace
