#include "tools/eval_options.h"

#include <array>
#include <charconv>
#include <cstdio>

#include "engine/format_text.h"
#include "engine/plain_number.h"
#include "engine/text.h"

namespace pq::tool {

namespace {

// Splits "LEFT=RIGHT" at its first '='.
bool splitAssignment(std::string_view text, std::string& left, std::string& right) {
    size_t eq = text.find('=');
    if (eq == std::string_view::npos || eq == 0) return false;
    left = text.substr(0, eq);
    right = text.substr(eq + 1);
    return true;
}

} // namespace

int& commandLineDigits() {
    static int digits = 0;
    return digits;
}

bool parseDigits(std::string_view text, int& digits) {
    int n = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), n);
    if (text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size() ||
        n < kMinShownDigits || n > kMaxShownDigits)
        return false;
    digits = n;
    return true;
}

bool parseCompoundParts(std::string_view text, NumberFormat& format) {
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

std::string parseEvalOptions(std::span<const std::string_view> args, EvalOptions& options) {
    options.digits = commandLineDigits();
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
            options.help = true;
            return {};
        }
        auto value = [&](std::string_view& out) {
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        std::string_view v;
        if (arg == "--angle") {
            if (!value(v)) return "--angle needs rad, deg or gra";
            if (v == "rad")
                options.angle = AngleMode::Rad;
            else if (v == "deg")
                options.angle = AngleMode::Deg;
            else if (v == "gra")
                options.angle = AngleMode::Gra;
            else
                return "--angle needs rad, deg or gra, not " + std::string(v);
        } else if (arg == "--format") {
            if (!value(v)) return "--format needs a format name";
            int32_t code = formatCodeNamed(v);
            if (code == 0) return "unknown format: " + std::string(v);
            options.format.allowedFormats |= code;
            options.format.displayFormat = options.format.entryFormat = code;
            options.formatted = true;
        } else if (arg == "--digits") {
            if (!value(v) || !parseDigits(v, options.digits))
                return "--digits needs a whole number from 4 to 15";
            setShownDigits(options.digits);
        } else if (arg == "--entry") {
            options.entry = true;
        } else if (arg == "--compound") {
            if (!value(v) || !parseCompoundParts(v, options.format))
                return "--compound needs LABEL:FRACTION[,LABEL:FRACTION]... (at most four "
                       "parts, the first fraction 1)";
        } else if (arg == "--set" || arg == "--define") {
            Setting s{arg == "--set" ? Setting::Variable : Setting::Function, {}, {}};
            if (!value(v) || !splitAssignment(v, s.left, s.right))
                return std::string(arg) + " needs an argument of the form " +
                       (s.kind == Setting::Variable ? "NAME=EXPR" : "HEADER=BODY");
            options.settings.push_back(std::move(s));
        } else {
            return "unknown option: " + std::string(arg);
        }
    }
    if (options.entry && !options.formatted) return "--entry needs --format";
    return {};
}

std::string applySettings(ExpressionEngine& engine, const EvalOptions& options) {
    for (const Setting& s : options.settings) {
        if (s.kind == Setting::Variable) {
            double value;
            if (!options.format.parseAndEvaluate(fromUtf8(s.right), engine, value))
                return "--set " + s.left + ": the expression \"" + s.right + "\" does not evaluate";
            if (!engine.setVariable(fromUtf8(s.left), value))
                return "--set: \"" + s.left + "\" is not a variable name";
        } else {
            int params;
            if (!engine.defineFunction(fromUtf8(s.left), fromUtf8(s.right), params))
                return "--define " + s.left + "=" + s.right +
                       ": not a valid definition (a header such as f(a,b), a body that parses, "
                       "and a name that is neither built in nor defined already)";
        }
    }
    return {};
}

std::string evaluateForOutput(const EvalOptions& options, ExpressionEngine& engine,
                              std::string_view text, bool& ok) {
    double value;
    ok = options.format.parseAndEvaluate(fromUtf8(text), engine, value);
    if (!ok) return "Error";
    if (options.formatted) {
        const NumberFormat& f = options.format;
        return toUtf8(options.entry ? f.formatForEntry(value) : f.formatForDisplay(value));
    }
    if (options.digits > 0) return plainNumber(value, options.digits);
    char number[32];
    std::snprintf(number, sizeof number, "%.17g", value);
    return number;
}

} // namespace pq::tool
