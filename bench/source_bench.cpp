// The text form of large conversion files: writing (pqtool dump) and
// compiling (pqtool compile) a chain and a star of 1,000 and 10,000 units.

#include <benchmark/benchmark.h>

#include <string>

#include "document/data_source.h"
#include "document/document.h"

namespace {

using namespace pq;

enum class Shape { Chain, Star };

// Units "u1" ... "uN" named "Unit 1" ...; a chain joins each unit to the
// next, a star joins the first unit to every other one.
std::unique_ptr<ConversionDocument> makeDocument(Shape shape, int units) {
    auto d = std::make_unique<ConversionDocument>();
    for (int i = 1; i <= units; ++i) {
        Item& item = *d->items.emplace_back(std::make_unique<UnitItem>());
        const std::string n = std::to_string(i);
        item.identifier.assign(std::u16string(n.begin(), n.end()).insert(0, u"u"));
        item.name.assign(std::u16string(n.begin(), n.end()).insert(0, u"Unit "));
    }
    for (int i = 1; i < units; ++i) {
        Conversion& c = d->addConversion();
        c.unit1 = d->items[shape == Shape::Chain ? static_cast<size_t>(i - 1) : 0].get();
        c.unit2 = d->items[static_cast<size_t>(i)].get();
        c.factor = 1 + i * 0.001;
    }
    d->itemCount = units;
    return d;
}

void BM_Dump(benchmark::State& state, Shape shape) {
    const auto d = makeDocument(shape, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::string text = writeDataSource(*d);
        benchmark::DoNotOptimize(text.data());
    }
}

void BM_Compile(benchmark::State& state, Shape shape) {
    const std::string text =
        writeDataSource(*makeDocument(shape, static_cast<int>(state.range(0))));
    for (auto _ : state) {
        SourceError error;
        auto d = compileDataSource(text, 0, error);
        if (!d) state.SkipWithError(error.message.c_str());
        benchmark::DoNotOptimize(d.get());
    }
}

BENCHMARK_CAPTURE(BM_Dump, Chain, Shape::Chain)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Dump, Star, Shape::Star)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Compile, Chain, Shape::Chain)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Compile, Star, Shape::Star)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);

} // namespace
