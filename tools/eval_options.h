#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/expression_engine.h"
#include "engine/number_format.h"

namespace pq::tool {

// A --set NAME=EXPR or --define HEADER=BODY option.
struct Setting {
    enum Kind { Variable, Function } kind;
    std::string left;
    std::string right;
};

// What the options of pqtool eval ask for.
struct EvalOptions {
    AngleMode angle = AngleMode::Rad;
    NumberFormat format;           // reads every expression; shows values with --format
    bool formatted = false;        // --format given
    bool entry = false;            // --entry: the entry form instead of the display form
    bool help = false;             // --help
    int digits = 0;                // --digits N: significant digits shown; 0: every digit
    std::vector<Setting> settings; // in the order given
    std::vector<std::string> expressions;
};

// Reads the arguments of eval; an empty text, or what is wrong with them.
std::string parseEvalOptions(std::span<const std::string_view> args, EvalOptions& options);

// The digits given before the command ("pqtool --digits 6 eval ..."); 0
// when none were.
int& commandLineDigits();

// The N of --digits: a whole number from 4 to 15; false for anything else.
bool parseDigits(std::string_view text, int& digits);

// "ft:1,in:12": up to four labels with their fractions (the first 1) become
// the format's compound parts; false for any other text.
bool parseCompoundParts(std::string_view text, NumberFormat& format);

// Defines the --set variables and --define functions in order; an empty
// text, or what is wrong with the first that fails.
std::string applySettings(ExpressionEngine& engine, const EvalOptions& options);

// The line eval prints for one expression: its value, or "Error" (ok false).
// The value has every digit ("%.17g"), or with --digits N that many
// significant digits at most, trailing zeros dropped ("0.3").
std::string evaluateForOutput(const EvalOptions& options, ExpressionEngine& engine,
                              std::string_view text, bool& ok);

} // namespace pq::tool
