#include "engine/expression_engine.h"

#include <cmath>
#include <limits>
#include <utility>

#include "engine/angles.h"
#include "engine/builtins.h"
#include "engine/clock.h"
#include "engine/operators.h"
#include "engine/reusable_stack.h"
#include "engine/text.h"
#include "engine/time_zones.h"
#include "engine/tokenizer.h"

namespace pq {

namespace {

// Nested user-function calls deeper than this fail (a function that calls
// itself without end); so does an evaluation that enters more user-function
// bodies than kMaxCalls in all, so that no formula can hang the program.
constexpr size_t kMaxCallDepth = 10000;
constexpr long kMaxCalls = 10'000'000;

// False for NaN too.
bool inRange(double v) { return v >= -kMaxValue && v <= kMaxValue; }

bool toZone(double v, int& zone) {
    if (!(v > -2147483648.0 && v < 2147483648.0)) return false;
    zone = static_cast<int>(v);
    return true;
}

// Fills in the built-in each call reaches; done once per parsed chain.
void resolveCalls(TokenChain& chain) {
    for (Token& t : chain.tokens)
        if (t.kind == TokenKind::Identifier) t.builtin = resolveBuiltin(t.name, t.count);
}

} // namespace

// One pending node of an evaluation. The frames form an explicit stack that
// stands in for recursion, so that deeply nested formulas cannot overflow the
// machine stack.
struct ExpressionEngine::Frame {
    enum Kind : uint8_t { Apply, Body, Iif } kind;
    const Token* token;
    // Apply: operands still to come. Iif: the pair whose condition is being
    // evaluated, or -1 once the chosen argument is being evaluated.
    int32_t remaining;
    // Apply: where the node's operands begin on the value stack. Body: where
    // the arguments of the running function begin. Iif: where its argument
    // offsets begin in iifStarts_.
    size_t base;
    // Body: where to continue in the caller. Iif: the end of its subtree.
    const Token* resume;
    // Body: the caller's arguments.
    size_t savedArgBase;
    size_t savedArgCount;
};

// The state of one evaluation: walks a chain from its head, descending into
// operands and handing each finished value to the node waiting for it.
class ExpressionEngine::Run {
  public:
    Run(ExpressionEngine& engine, const TokenChain& chain)
        : engine_(engine), values_(engine.values_), frames_(engine.frames_),
          iifStarts_(engine.iifStarts_), pos_(chain.tokens.data()), callsLeft_(engine.callLimit_) {
        values_.clear();
        iifStarts_.clear();
    }

    bool evaluate(double& result) {
        for (;;) {
            double v;
            Step step = descend(v);
            if (step == Step::Produced) step = deliver(v);
            if (step == Step::Failed) {
                engine_.runFailed(failure_, culprit_, runningFunction());
                return false;
            }
            if (step == Step::Finished) {
                result = v;
                return true;
            }
        }
    }

  private:
    enum class Step { Produced, Descend, Finished, Failed };

    // Looks at the node at pos_: a leaf or a built-in without arguments
    // produces a value; anything with operands pushes a frame and moves on
    // to its first operand.
    Step descend(double& v) {
        const Token& t = *pos_;
        switch (t.kind) {
        case TokenKind::Number:
            v = t.value;
            ++pos_;
            return Step::Produced;
        case TokenKind::Parameter:
            if (t.index < 0 || static_cast<size_t>(t.index) >= argCount_)
                return fail(EvalErrorKind::Syntax, &t);
            v = values_[argBase_ + static_cast<size_t>(t.index)];
            ++pos_;
            return Step::Produced;
        case TokenKind::Operator:
            if (t.count < 1) return fail(EvalErrorKind::Syntax, &t);
            frames_.push({Frame::Apply, &t, t.count, values_.size(), nullptr, 0, 0});
            ++pos_;
            return Step::Descend;
        case TokenKind::Identifier:
            if (t.builtin == kIif) return beginIif(t);
            if (t.count > 0) {
                frames_.push({Frame::Apply, &t, t.count, values_.size(), nullptr, 0, 0});
                ++pos_;
                return Step::Descend;
            }
            ++pos_;
            if (t.builtin >= 0)
                return engine_.callBuiltin(t.builtin, nullptr, v)
                           ? Step::Produced
                           : fail(BuiltinFailure(t.builtin), &t);
            return enterDefinition(t, values_.size());
        default: return fail(EvalErrorKind::Incomplete, &t); // the Error token of "1+"
        }
    }

    // Hands a value to the pending nodes, completing each one whose operands
    // are now all there.
    Step deliver(double& v) {
        for (;;) {
            if (!inRange(v))
                return fail(std::isnan(v) ? EvalErrorKind::NoRealResult : EvalErrorKind::Overflow);
            if (frames_.empty()) return Step::Finished;
            Frame& f = frames_.back();
            switch (f.kind) {
            case Frame::Apply: {
                values_.push_back(v);
                if (--f.remaining > 0) return Step::Descend; // the next operand
                const Token& node = *f.token;
                const size_t base = f.base;
                const double* operands = values_.data() + base;
                frames_.pop();
                if (node.kind == TokenKind::Operator) {
                    // The right operand was evaluated first.
                    bool ok = node.count == 2
                                  ? applyOperator(node.index, operands[1], operands[0], v)
                                  : applyUnary(node.index, operands[0], v);
                    if (!ok) return fail(OperatorFailure(node.index), &node);
                } else if (node.builtin >= 0) {
                    if (!engine_.callBuiltin(node.builtin, operands, v))
                        return fail(BuiltinFailure(node.builtin), &node);
                } else {
                    return enterDefinition(node, base);
                }
                values_.resize(base);
                break;
            }
            case Frame::Body:
                pos_ = f.resume;
                argBase_ = f.savedArgBase;
                argCount_ = f.savedArgCount;
                values_.resize(f.base);
                frames_.pop();
                --depth_;
                break;
            case Frame::Iif:
                if (f.remaining < 0) { // v is the chosen argument's value
                    pos_ = f.resume;
                    iifStarts_.resize(f.base);
                    frames_.pop();
                    break;
                }
                chooseIifArgument(f, v != 0);
                return Step::Descend;
            }
        }
    }

    // iif(c1, v1, c2, v2, ..., otherwise): the arguments are located without
    // being evaluated; conditions are then evaluated in order and only the
    // chosen value is computed.
    Step beginIif(const Token& t) {
        if (t.count < 3 || t.count % 2 == 0) return fail(EvalErrorKind::ArgumentCount, &t);
        const size_t first = iifStarts_.size();
        iifStarts_.resize(first + static_cast<size_t>(t.count));
        const Token* arg = pos_ + 1;
        for (int32_t k = t.count - 1; k >= 0; --k) { // the chain lists the last argument first
            iifStarts_[first + static_cast<size_t>(k)] = static_cast<int32_t>(arg - pos_);
            arg += arg->span;
        }
        frames_.push({Frame::Iif, &t, 0, first, pos_ + t.span, 0, 0});
        pos_ += iifStarts_[first];
        return Step::Descend;
    }

    void chooseIifArgument(Frame& f, bool conditionHolds) {
        const int32_t count = f.token->count;
        const int32_t pair = f.remaining;
        const int32_t* starts = iifStarts_.data() + f.base;
        int32_t next;
        if (conditionHolds) {
            next = 2 * pair + 1;
            f.remaining = -1;
        } else if (2 * (pair + 1) < count - 1) {
            next = 2 * (pair + 1);
            f.remaining = pair + 1;
        } else {
            next = count - 1;
            f.remaining = -1;
        }
        pos_ = f.token + starts[next];
    }

    // Runs the body of the user function called with the arguments that
    // begin at `base` on the value stack.
    Step enterDefinition(const Token& call, size_t base) {
        const TokenChain* body = engine_.findDefinition(call.name, call.count);
        if (!body) return fail(EvalErrorKind::UnknownName, &call);
        if (depth_ >= kMaxCallDepth) return fail(EvalErrorKind::RecursionTooDeep, &call);
        if (--callsLeft_ < 0) return fail(EvalErrorKind::TooManyCalls, &call);
        frames_.push({Frame::Body, &call, 0, base, pos_, argBase_, argCount_});
        argBase_ = base;
        argCount_ = static_cast<size_t>(call.count);
        pos_ = body->tokens.data();
        ++depth_;
        return Step::Descend;
    }

    Step fail(EvalErrorKind kind, const Token* culprit = nullptr) {
        failure_ = kind;
        culprit_ = culprit;
        return Step::Failed;
    }

    // The call of the innermost user function being run; none at top level.
    const Token* runningFunction() const {
        for (size_t k = frames_.size(); k-- > 0;)
            if (frames_[k].kind == Frame::Body) return frames_[k].token;
        return nullptr;
    }

    ExpressionEngine& engine_;
    std::vector<double>& values_;
    ReusableStack<Frame> frames_;
    std::vector<int32_t>& iifStarts_;
    const Token* pos_;
    size_t argBase_ = 0;
    size_t argCount_ = 0;
    long callsLeft_;
    size_t depth_ = 0;
    EvalErrorKind failure_ = EvalErrorKind::None;
    const Token* culprit_ = nullptr;
};

ExpressionEngine::ExpressionEngine() : callLimit_(kMaxCalls) {
    randomState_ = static_cast<uint32_t>(timeTicks());
}

ExpressionEngine::~ExpressionEngine() = default;

int ExpressionEngine::nextRandom() {
    randomState_ = randomState_ * 214013u + 2531011u;
    return static_cast<int>((randomState_ >> 16) & 0x7FFF);
}

std::u16string_view ExpressionEngine::nextAngleMode() {
    angleMode_ = static_cast<AngleMode>((static_cast<int>(angleMode_) + 1) % 3);
    return angleModeName();
}

std::u16string_view ExpressionEngine::angleModeName() const {
    switch (angleMode_) {
    case AngleMode::Deg: return u"Deg";
    case AngleMode::Gra: return u"Gra";
    default: return u"Rad";
    }
}

void ExpressionEngine::parseLowered(std::u16string_view text, TokenChain& chain) {
    lowerAscii(text, lowered_);
    parse(lowered_, chain, parserScratch_);
    resolveCalls(chain);
}

bool ExpressionEngine::evaluate(std::u16string_view text, double& value) {
    lastError_.kind = EvalErrorKind::None;
    parseLowered(text, chain_);
    if (chain_.empty() || chain_.failed()) return parseFailed();
    return run(chain_, value);
}

const TokenChain* ExpressionEngine::findDefinition(std::u16string_view name,
                                                   int32_t paramCount) const {
    auto it = definitions_.find(KeyView{name, paramCount});
    return it == definitions_.end() ? nullptr : &it->second;
}

bool ExpressionEngine::checkSyntax(std::u16string_view text) {
    lastError_ = EvalError();
    parseLowered(text, chain_);
    if (chain_.empty() || chain_.failed()) return parseFailed();
    // A formula that ends with an operator parses with an error token in
    // place of the missing operand; evaluating it would stop there.
    for (const Token& t : chain_.tokens) {
        if (t.kind == TokenKind::Error || (t.kind == TokenKind::Operator && t.count < 1)) {
            runFailed(t.kind == TokenKind::Error ? EvalErrorKind::Incomplete
                                                 : EvalErrorKind::Syntax,
                      &t, nullptr);
            return false;
        }
    }
    return true;
}

bool ExpressionEngine::buildDefinition(std::u16string_view header, std::u16string_view body,
                                       Definition& definition) {
    parseLowered(body, definition.body);
    if (definition.body.empty() || definition.body.failed()) return false;

    TokenChain headerChain;
    parseLowered(header, headerChain);
    if (headerChain.empty() || headerChain.head().kind != TokenKind::Identifier) return false;
    const std::vector<Token>& params = headerChain.tokens;
    for (size_t k = 1; k < params.size(); ++k)
        if (params[k].kind != TokenKind::Identifier || params[k].count != 0) return false;

    // The header lists its last parameter first, so index 0 is the last one;
    // that is also where the evaluator puts the last argument.
    for (size_t k = 1; k < params.size(); ++k) {
        for (Token& t : definition.body.tokens) {
            if (t.kind == TokenKind::Identifier && t.count == 0 && t.name == params[k].name) {
                t.kind = TokenKind::Parameter;
                t.index = static_cast<int32_t>(k - 1);
            }
        }
    }
    definition.name = params[0].name;
    definition.paramCount = params[0].count;
    return true;
}

bool ExpressionEngine::storeDefinition(Definition&& definition, bool replace) {
    auto it = definitions_.find(KeyView{definition.name, definition.paramCount});
    if (it != definitions_.end()) {
        if (!replace) return false;
        it->second = std::move(definition.body);
    } else {
        definitions_.emplace(Key{std::move(definition.name), definition.paramCount},
                             std::move(definition.body));
    }
    return true;
}

bool ExpressionEngine::defineFunction(std::u16string_view header, std::u16string_view body,
                                      int& paramCount) {
    Definition definition;
    if (!buildDefinition(header, body, definition) || isBuiltinName(definition.name)) return false;
    int count = definition.paramCount;
    if (!storeDefinition(std::move(definition), false)) return false;
    paramCount = count;
    return true;
}

bool ExpressionEngine::setFunction(std::u16string_view header, std::u16string_view body,
                                   int& paramCount) {
    Definition definition;
    if (!buildDefinition(header, body, definition)) return false;
    int count = definition.paramCount;
    storeDefinition(std::move(definition), true);
    paramCount = count;
    return true;
}

bool ExpressionEngine::setVariable(std::u16string_view name, double value) {
    Definition definition;
    lowerAscii(name, definition.name);
    if (!isIdentifier(definition.name)) {
        // Not a bare name: it must still parse to a single identifier.
        TokenChain header;
        parseLowered(name, header);
        if (header.tokens.size() != 1 || header.head().kind != TokenKind::Identifier ||
            header.head().count != 0)
            return false;
        definition.name = header.head().name;
    }
    definition.paramCount = 0;
    Token& number = definition.body.tokens.emplace_back();
    number.kind = TokenKind::Number;
    number.value = value;
    return storeDefinition(std::move(definition), true);
}

bool ExpressionEngine::removeDefinition(std::u16string_view text) {
    std::u16string name;
    int32_t count = 0;
    lowerAscii(text, name);
    if (!isIdentifier(name)) {
        TokenChain chain;
        parseLowered(text, chain);
        if (chain.empty() || chain.head().kind != TokenKind::Identifier) return false;
        name = chain.head().name;
        count = chain.head().count;
    }
    auto it = definitions_.find(KeyView{name, count});
    if (it == definitions_.end()) return false;
    definitions_.erase(it);
    return true;
}

bool ExpressionEngine::callBuiltin(int builtin, const double* args, double& out) {
    // args[0] is the last argument.
    const double x = args ? args[0] : 0;
    switch (builtin) {
    case kAbs: out = std::fabs(x); return true;
    case kRound: out = std::floor(x + 0.5); return true;
    case kSqrt:
        if (x < 0) return false;
        out = std::sqrt(x);
        return true;
    case kE: out = std::exp(1.0); return true;
    case kLn:
        if (x <= 0) return false;
        out = std::log(x);
        return true;
    case kLg:
        if (x <= 0) return false;
        out = std::log10(x);
        return true;
    case kPi: out = 2 * kHalfPi; return true;
    case kSin: out = sine(angleMode_, x); return true;
    case kCos: out = cosine(angleMode_, x); return true;
    case kTan: {
        double r = std::fmod(toRadians(angleMode_, x), 2 * kHalfPi);
        if (std::fabs(r) == kHalfPi) return false;
        out = std::tan(r);
        return true;
    }
    case kAsin:
        if (!(x >= -1 && x <= 1)) return false;
        out = fromRadians(angleMode_, std::asin(x));
        return true;
    case kAcos:
        if (!(x >= -1 && x <= 1)) return false;
        out = fromRadians(angleMode_, std::acos(x));
        return true;
    case kAtan: out = fromRadians(angleMode_, std::atan(x)); return true;
    case kSinh: out = std::sinh(x); return true;
    case kCosh: out = std::cosh(x); return true;
    case kTanh: out = std::tanh(x); return true;
    case kNeg: out = -x; return true;
    case kRand: out = nextRandom() * (1.0 / 32767); return true;
    case kFromUtc:
    case kToUtc: {
        int zone;
        double t = args[0];
        if (!toZone(args[1], zone)) return false;
        if (!(builtin == kFromUtc ? fromUtc(zone, t) : toUtc(zone, t))) return false;
        out = t;
        return true;
    }
    case kTime: out = currentTime(-1); return true;
    case kIntTime: {
        int zone;
        // An unknown zone is an error, as in fromutc.
        return toZone(x, zone) && currentZoneTime(zone, out);
    }
    default: return false; // err
    }
}

bool ExpressionEngine::run(const TokenChain& chain, double& result) {
    return Run(*this, chain).evaluate(result);
}

} // namespace pq
