// pqtool eval: expressions evaluated with the options given.

#include <sys/types.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/expression_engine.h"
#include "tools/commands.h"
#include "tools/document_io.h"
#include "tools/eval_options.h"

namespace pq::tool {

int runEval(std::span<char* const> args) {
    const std::vector<std::string_view> words(args.begin(), args.end());
    EvalOptions options;
    if (std::string wrong = parseEvalOptions(words, options); !wrong.empty())
        return usageError(printable(wrong));
    if (options.help) {
        std::fputs(kEvalUsage, stdout);
        return kExitOk;
    }

    ExpressionEngine engine;
    engine.setAngleMode(options.angle);
    if (std::string wrong = applySettings(engine, options); !wrong.empty()) {
        std::fprintf(stderr, "pqtool: %s\n", printable(wrong).c_str());
        return kExitUsage;
    }

    bool anyFailed = false;
    auto evaluateOne = [&](const std::string& text) {
        bool ok;
        std::puts(evaluateForOutput(options, engine, text, ok).c_str());
        anyFailed = anyFailed || !ok;
    };
    if (options.expressions.empty()) {
        char* buffer = nullptr;
        size_t capacity = 0;
        for (ssize_t read; (read = ::getline(&buffer, &capacity, stdin)) >= 0;) {
            std::string line(buffer, static_cast<size_t>(read));
            if (!line.empty() && line.back() == '\n') line.pop_back();
            if (!line.empty() && line.back() == '\r') line.pop_back();
            evaluateOne(line);
        }
        std::free(buffer);
    } else {
        for (const std::string& e : options.expressions) evaluateOne(e);
    }
    return anyFailed ? kExitFailed : kExitOk;
}

} // namespace pq::tool
