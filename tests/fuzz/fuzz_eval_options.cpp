// Arbitrary lines as the words of pqtool eval: options such as --define,
// --set and --compound with their arguments, and expressions. Reading the
// options, defining what they define and evaluating every expression must
// not crash or hang.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/expression_engine.h"
#include "tools/eval_options.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pq;
    if (size > 4096) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> words;
    for (size_t start = 0; start <= text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        words.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    if (words.size() > 32) return 0;
    tool::EvalOptions options;
    if (!tool::parseEvalOptions(words, options).empty() || options.help) return 0;
    ExpressionEngine engine; // fresh: definitions must not pile up between inputs
    // A function that calls itself twice ("g(n)=...g(n-2)...g(n-2)") uses the
    // whole budget of calls an evaluation has, which takes a second in a
    // plain build and longer than the fuzzer waits here: a smaller budget
    // ends it the same way (the budget itself is tested in eval_error_test).
    engine.setCallLimit(100'000);
    engine.setAngleMode(options.angle);
    if (!tool::applySettings(engine, options).empty()) return 0;
    for (const std::string& expression : options.expressions) {
        bool ok;
        tool::evaluateForOutput(options, engine, expression, ok);
    }
    return 0;
}
