// Text-to-value evaluation of four formulas, with our engine and with
// muParser, each parsing the text again on every evaluation.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "engine/expression_engine.h"
#include "engine/text.h"

#ifdef PQ_HAVE_MUPARSER
#include <muParser.h>
#endif

namespace {

struct Formula {
    const char* name;
    const char* ours;
    const char* muparser;
};

// The long formula mixes operators, built-ins and two user functions:
// hyp(a,b) = sqrt(a^2+b^2) and lerp(a,b,t) = a+(b-a)*t. muParser gets the
// same functions as native callbacks, and its own spelling of e, lg, round and iif.
const Formula kFormulas[] = {
    {"simple", "1+2*3", "1+2*3"},
    {"functions", "sin(30)*2+sqrt(16)/4-3^2", "sin(30)*2+sqrt(16)/4-3^2"},
    {"variable", "(x*1.8)+32", "(x*1.8)+32"},
    {"long",
     "hyp(3,4)*2.5+lerp(10,20,0.25)-abs(-7.5)/3+sin(x/10)*cos(x/20)+round(17.6)*(2^3-1)"
     "+ln(e^2)*lg(1000)-(x+1)*(x-1)/(x^2+1)+iif(x>5,hyp(x,1),0)-sqrt(144)/4+lerp(x,2*x,0.5)",
     "hyp(3,4)*2.5+lerp(10,20,0.25)-abs(-7.5)/3+sin(x/10)*cos(x/20)+rint(17.6)*(2^3-1)"
     "+ln(_e^2)*log10(1000)-(x+1)*(x-1)/(x^2+1)+(x>5?hyp(x,1):0)-sqrt(144)/4+lerp(x,2*x,0.5)"},
};

constexpr double kX = 21.5;

void prepare(pq::ExpressionEngine& engine) {
    int params;
    engine.setVariable(u"x", kX);
    engine.defineFunction(u"hyp(a,b)", u"sqrt(a^2+b^2)", params);
    engine.defineFunction(u"lerp(a,b,t)", u"a+(b-a)*t", params);
}

void BM_Ours(benchmark::State& state, const Formula& f) {
    pq::ExpressionEngine engine;
    prepare(engine);
    const std::u16string text = pq::fromUtf8(f.ours);
    double value = 0;
    for (auto _ : state) {
        bool ok = engine.evaluate(text, value);
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(value);
    }
    if (!engine.evaluate(text, value)) state.SkipWithError("formula does not evaluate");
    state.counters["value"] = value;
}

#ifdef PQ_HAVE_MUPARSER
double hyp(double a, double b) { return std::sqrt(a * a + b * b); }
double lerp(double a, double b, double t) { return a + (b - a) * t; }

void BM_MuParser(benchmark::State& state, const Formula& f) {
    mu::Parser parser;
    double x = kX;
    parser.DefineVar("x", &x);
    parser.DefineFun("hyp", hyp);
    parser.DefineFun("lerp", lerp);
    const std::string text = f.muparser;
    double value = 0;
    try {
        for (auto _ : state) {
            parser.SetExpr(text); // parsed again on the next Eval
            value = parser.Eval();
            benchmark::DoNotOptimize(value);
        }
    } catch (const mu::Parser::exception_type& e) {
        state.SkipWithError(e.GetMsg().c_str());
    }
    state.counters["value"] = value;
}
#endif

const bool registered = [] {
    for (const Formula& f : kFormulas) {
        benchmark::RegisterBenchmark((std::string("Ours/") + f.name).c_str(), BM_Ours, f);
#ifdef PQ_HAVE_MUPARSER
        benchmark::RegisterBenchmark((std::string("MuParser/") + f.name).c_str(), BM_MuParser, f);
#endif
    }
    return true;
}();

} // namespace
