#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/eval_error.h"
#include "engine/parser.h"
#include "engine/token.h"

namespace pq {

enum class AngleMode : int32_t { Rad = 0, Deg = 1, Gra = 2 };

// Values every evaluation stays within; anything beyond, or NaN, fails.
constexpr double kMaxValue = 1e301;

// The formula evaluator of a program: evaluates formula texts to doubles,
// holds the named definitions (variables and user functions, stored parsed)
// and knows the 24 built-in functions and the angle mode. Every entry point
// lower-cases its texts first, so names are case-insensitive.
class ExpressionEngine {
  public:
    ExpressionEngine();
    virtual ~ExpressionEngine();
    ExpressionEngine(const ExpressionEngine&) = delete;
    ExpressionEngine& operator=(const ExpressionEngine&) = delete;

    bool evaluate(std::u16string_view text, double& value);
    // Whether the text reads as a formula, without evaluating it: false for
    // what evaluate would refuse before computing anything (a syntax fault,
    // a bracket left open, an operator without its operand), with the reason
    // and place in lastError. Names are not looked up.
    bool checkSyntax(std::u16string_view text);
    // Why the last evaluate failed (kind None after a success), with the
    // place in its text for faults of the text itself.
    const EvalError& lastError() const { return lastError_; }
    // The most user-function calls one evaluation may make before it fails
    // (10,000,000 unless set), so that a caller can try a formula briefly.
    void setCallLimit(long calls) { callLimit_ = calls; }
    long callLimit() const { return callLimit_; }

    // header is "name" or "name(p1, p2, ...)". defineFunction refuses the
    // names of the built-in functions and an existing (name, parameter
    // count); setFunction replaces an existing definition.
    bool defineFunction(std::u16string_view header, std::u16string_view body, int& paramCount);
    bool setFunction(std::u16string_view header, std::u16string_view body, int& paramCount);
    bool setVariable(std::u16string_view name, double value);
    // text is parsed like an expression: "x" removes the variable x,
    // "f(a,b)" the two-parameter f.
    bool removeDefinition(std::u16string_view text);
    int definitionCount() const { return static_cast<int>(definitions_.size()); }
    // Whether a definition (name, parameter count) exists; name lower-case.
    bool isDefined(std::u16string_view name, int paramCount) const {
        return findDefinition(name, paramCount) != nullptr;
    }

    std::u16string_view nextAngleMode();
    std::u16string_view angleModeName() const;
    AngleMode angleMode() const { return angleMode_; }
    void setAngleMode(AngleMode mode) { angleMode_ = mode; }

    // The generator behind rand(); seeded from the clock at construction.
    void seedRandom(uint32_t seed) { randomState_ = seed; }
    uint32_t randomState() const { return randomState_; }

  private:
    struct Definition {
        std::u16string name;
        int32_t paramCount;
        TokenChain body;
    };
    // Definitions are identified by (name, parameter count); there is at
    // most one of each.
    struct KeyView {
        std::u16string_view name;
        int32_t paramCount;
    };
    struct Key {
        std::u16string name;
        int32_t paramCount;
        operator KeyView() const { return {name, paramCount}; }
    };
    struct KeyHash {
        using is_transparent = void;
        size_t operator()(KeyView k) const {
            return std::hash<std::u16string_view>()(k.name) * 31 +
                   static_cast<size_t>(k.paramCount);
        }
    };
    struct KeyEqual {
        using is_transparent = void;
        bool operator()(KeyView a, KeyView b) const {
            return a.paramCount == b.paramCount && a.name == b.name;
        }
    };
    struct Frame;
    class Run;

    void parseLowered(std::u16string_view text, TokenChain& chain);
    bool buildDefinition(std::u16string_view header, std::u16string_view body,
                         Definition& definition);
    const TokenChain* findDefinition(std::u16string_view name, int32_t paramCount) const;
    bool storeDefinition(Definition&& definition, bool replace);
    bool run(const TokenChain& chain, double& result);
    // Fill lastError_ from a failed parse or run of the text last lowered.
    bool parseFailed();
    void runFailed(EvalErrorKind kind, const Token* culprit, const Token* function);
    bool callBuiltin(int builtin, const double* args, double& result);
    int nextRandom();

    std::unordered_map<Key, TokenChain, KeyHash, KeyEqual> definitions_;
    AngleMode angleMode_ = AngleMode::Rad;
    uint32_t randomState_ = 0;
    long callLimit_;
    EvalError lastError_;

    // Working storage reused by every evaluation.
    std::u16string lowered_;
    TokenChain chain_;
    ParserScratch parserScratch_;
    std::vector<double> values_;
    std::vector<Frame> frames_;
    std::vector<int32_t> iifStarts_;
};

} // namespace pq
