// Results of generated formulas, pinned: any change to the tokenizer, parser
// or evaluator that moves a single result or failure shows here.

#include <gtest/gtest.h>

#include <cstring>

#include "engine/expression_engine.h"
#include "engine/time_zones.h"
#include "tests/engine/formula_generator.h"

TEST(FormulaResults, GeneratedFormulasGiveTheResultsTheyAlwaysGave) {
    uint64_t fingerprint = 14695981039346656037ULL; // FNV-1a over success and bits
    auto mix = [&](uint64_t v) {
        for (int i = 0; i < 8; ++i) {
            fingerprint ^= (v >> (8 * i)) & 0xFF;
            fingerprint *= 1099511628211ULL;
        }
    };
    // fromutc and toutc keep to the engine's own zone table here, so that the
    // results do not move with the machine's tz database.
    const std::string folder = pq::timeZoneFolder();
    pq::setTimeZoneFolder("/nonexistent/zoneinfo");
    int successes = 0;
    for (int mode = 0; mode < 3; ++mode) {
        pq::ExpressionEngine engine;
        int params;
        engine.setVariable(u"x", 21.5);
        engine.defineFunction(u"f(a,b)", u"a*b+x", params);
        engine.defineFunction(u"g(n)", u"iif(n<1, 1, n*g(n-1))", params);
        engine.defineFunction(u"hyp(a,b)", u"sqrt(a^2+b^2)", params);
        engine.setAngleMode(static_cast<pq::AngleMode>(mode));
        pq::test::FormulaGenerator generator(2026);
        for (int i = 0; i < 20000; ++i) {
            const std::u16string text = generator.next();
            double value = 0;
            const bool success = engine.evaluate(text, value);
            uint64_t bits = 0;
            if (success) std::memcpy(&bits, &value, sizeof bits);
            mix(success);
            mix(bits);
            successes += success;
        }
    }
    pq::setTimeZoneFolder(folder);
    // Moved once on purpose: "1e" and "." alone are no numbers, and "1e+3"
    // is one; 2676 formulas, each with such a literal, changed.
    EXPECT_EQ(successes, 26888);
    EXPECT_EQ(fingerprint, 10050724941107601690ULL);
}
