#include <array>
#include <charconv>
#include <cstdio>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "engine/expression_engine.h"
#include "engine/number_format.h"
#include "engine/text.h"
#include "tools/commands.h"

namespace pq::tool {

namespace {

struct Setting {
    enum Kind { Variable, Function } kind;
    std::string left;
    std::string right;
};

struct EvalOptions {
    AngleMode angle = AngleMode::Rad;
    NumberFormat format;           // reads every expression; shows values with --format
    bool formatted = false;        // --format given
    bool entry = false;            // --entry: the entry form instead of the display form
    std::vector<Setting> settings; // in the order given
    std::vector<std::string> expressions;
};

// Splits "LEFT=RIGHT" at its first '='.
bool splitAssignment(std::string_view text, std::string& left, std::string& right) {
    size_t eq = text.find('=');
    if (eq == std::string_view::npos || eq == 0) return false;
    left = text.substr(0, eq);
    right = text.substr(eq + 1);
    return true;
}

// "ft:1,in:12": up to four labels with their fractions; labels may be empty.
bool parseParts(std::string_view text, NumberFormat& format) {
    std::array<WString, NumberFormat::kMaxParts> labels;
    std::array<double, NumberFormat::kMaxParts> fractions{};
    size_t count = 0;
    while (true) {
        size_t comma = text.find(',');
        std::string_view part = text.substr(0, comma);
        size_t colon = part.rfind(':');
        if (count == NumberFormat::kMaxParts || colon == std::string_view::npos) return false;
        double fraction;
        std::string_view number = part.substr(colon + 1);
        auto r = std::from_chars(number.data(), number.data() + number.size(), fraction);
        if (number.empty() || r.ec != std::errc() || r.ptr != number.data() + number.size() ||
            !(fraction > 0) || (count == 0 && fraction != 1))
            return false;
        labels[count] = fromUtf8(part.substr(0, colon));
        fractions[count++] = fraction;
        if (comma == std::string_view::npos) break;
        text = text.substr(comma + 1);
    }
    format.setParts(labels, fractions);
    format.allowedFormats |= Compound;
    return true;
}

// Returns kExitOk, or the status to exit with after printing a message.
int parseOptions(std::span<char* const> args, EvalOptions& options, bool& help) {
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        // Only "--" words are options, so "-2^2" is an expression.
        if (optionsEnded || !arg.starts_with("--")) {
            options.expressions.emplace_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help") {
            help = true;
            return kExitOk;
        }
        auto value = [&](std::string_view& out) {
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        std::string_view v;
        if (arg == "--angle") {
            if (!value(v)) return usageError("--angle needs rad, deg or gra");
            if (v == "rad")
                options.angle = AngleMode::Rad;
            else if (v == "deg")
                options.angle = AngleMode::Deg;
            else if (v == "gra")
                options.angle = AngleMode::Gra;
            else
                return usageError("--angle needs rad, deg or gra, not " + std::string(v));
        } else if (arg == "--format") {
            if (!value(v)) return usageError("--format needs a format name");
            int32_t code = formatCodeNamed(v);
            if (code == 0) return usageError("unknown format: " + std::string(v));
            options.format.allowedFormats |= code;
            options.format.displayFormat = options.format.entryFormat = code;
            options.formatted = true;
        } else if (arg == "--entry") {
            options.entry = true;
        } else if (arg == "--compound") {
            if (!value(v) || !parseParts(v, options.format))
                return usageError("--compound needs LABEL:FRACTION[,LABEL:FRACTION]... "
                                  "(at most four parts, the first fraction 1)");
        } else if (arg == "--set" || arg == "--define") {
            Setting s{arg == "--set" ? Setting::Variable : Setting::Function, {}, {}};
            if (!value(v) || !splitAssignment(v, s.left, s.right))
                return usageError(std::string(arg) + " needs an argument of the form " +
                                  (s.kind == Setting::Variable ? "NAME=EXPR" : "HEADER=BODY"));
            options.settings.push_back(std::move(s));
        } else {
            return usageError("unknown option: " + std::string(arg));
        }
    }
    if (options.entry && !options.formatted) return usageError("--entry needs --format");
    return kExitOk;
}

int applySettings(ExpressionEngine& engine, const EvalOptions& options) {
    for (const Setting& s : options.settings) {
        if (s.kind == Setting::Variable) {
            double value;
            if (!options.format.parseAndEvaluate(fromUtf8(s.right), engine, value)) {
                std::fprintf(stderr, "pqtool: --set %s: the expression \"%s\" does not evaluate\n",
                             s.left.c_str(), s.right.c_str());
                return kExitUsage;
            }
            if (!engine.setVariable(fromUtf8(s.left), value)) {
                std::fprintf(stderr, "pqtool: --set: \"%s\" is not a variable name\n",
                             s.left.c_str());
                return kExitUsage;
            }
        } else {
            int params;
            if (!engine.defineFunction(fromUtf8(s.left), fromUtf8(s.right), params)) {
                std::fprintf(stderr,
                             "pqtool: --define %s=%s: not a valid definition (a header such as "
                             "f(a,b), a body that parses, and a name that is neither built in "
                             "nor defined already)\n",
                             s.left.c_str(), s.right.c_str());
                return kExitUsage;
            }
        }
    }
    return kExitOk;
}

} // namespace

int runEval(std::span<char* const> args) {
    EvalOptions options;
    bool help = false;
    if (int status = parseOptions(args, options, help); status != kExitOk) return status;
    if (help) {
        std::fputs(kEvalUsage, stdout);
        return kExitOk;
    }

    ExpressionEngine engine;
    engine.setAngleMode(options.angle);
    if (int status = applySettings(engine, options); status != kExitOk) return status;

    bool anyFailed = false;
    auto evaluateOne = [&](const std::string& text) {
        double value;
        if (!options.format.parseAndEvaluate(fromUtf8(text), engine, value)) {
            std::puts("Error");
            anyFailed = true;
        } else if (options.formatted) {
            const NumberFormat& f = options.format;
            std::puts(toUtf8(options.entry ? f.formatForEntry(value) : f.formatForDisplay(value))
                          .c_str());
        } else {
            std::printf("%.17g\n", value);
        }
    };
    if (options.expressions.empty()) {
        std::string line;
        while (std::getline(std::cin, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            evaluateOne(line);
        }
    } else {
        for (const std::string& e : options.expressions) evaluateOne(e);
    }
    return anyFailed ? kExitFailed : kExitOk;
}

} // namespace pq::tool
