#include "engine/eval_error.h"

#include "engine/builtins.h"
#include "engine/expression_engine.h"
#include "engine/tokenizer.h"

namespace pq {

namespace {

// Longest token quoted in a reason; a longer one is cut with "...".
constexpr size_t kMaxQuoted = 40;

std::u16string quoted(std::u16string_view text) {
    std::u16string out = u"\"";
    out += text.substr(0, kMaxQuoted);
    if (text.size() > kMaxQuoted) out += u"...";
    out += u'"';
    return out;
}

// Where the first token of the formula equal to `name` stands, as a call
// when `call` is set (a "(" follows it) or as a name alone.
bool findName(std::u16string_view text, std::u16string_view name, bool call, EvalError& error) {
    size_t position = 0;
    std::u16string_view token;
    while (nextToken(text, position, token)) {
        if (token != name) continue;
        size_t after = position;
        std::u16string_view next;
        const bool followedByParen = nextToken(text, after, next) && next == u"(";
        if (followedByParen != call) continue;
        error.position = static_cast<int32_t>(token.data() - text.data());
        error.length = static_cast<int32_t>(token.size());
        return true;
    }
    return false;
}

} // namespace

EvalErrorKind BuiltinFailure(int builtin) {
    switch (builtin) {
    case kErr: return EvalErrorKind::ErrFunction;
    case kFromUtc:
    case kToUtc:
    case kIntTime: return EvalErrorKind::UnknownZone;
    default: return EvalErrorKind::Domain;
    }
}

EvalErrorKind OperatorFailure(int operatorIndex) {
    switch (operatorIndex) {
    case 3:
    case 4: return EvalErrorKind::DivisionByZero;
    case 13: return EvalErrorKind::Domain;
    default: return EvalErrorKind::Syntax;
    }
}

std::u16string DescribeEvalError(const EvalError& error) {
    const std::u16string subject = quoted(error.subject);
    std::u16string text;
    switch (error.kind) {
    case EvalErrorKind::None: return std::u16string();
    case EvalErrorKind::Empty: return u"There is no formula";
    case EvalErrorKind::Syntax:
        text = error.subject.empty() ? u"Syntax error" : u"Syntax error at " + subject;
        break;
    case EvalErrorKind::BadNumber: text = subject + u" is not a number"; break;
    case EvalErrorKind::NumberTooLarge:
        text = subject + u" is too large: numbers lie within \u00B11e301";
        break;
    case EvalErrorKind::MissingParenthesis: text = u"Missing \")\""; break;
    case EvalErrorKind::ExtraParenthesis: text = u"Extra \")\" without \"(\""; break;
    case EvalErrorKind::Incomplete:
        return error.function.empty()
                   ? u"The formula ends with an operator"
                   : u"The formula of " + quoted(error.function) + u" ends with an operator";
    case EvalErrorKind::UnknownName: text = u"Unknown name " + subject; break;
    case EvalErrorKind::ArgumentCount: text = u"Wrong number of arguments for " + subject; break;
    case EvalErrorKind::DivisionByZero: text = u"Division by zero"; break;
    case EvalErrorKind::Domain:
        text = error.subject == u"!" ? u"\"!\" needs a whole number from 0 to 149"
                                     : subject + u" is not defined for this value";
        break;
    case EvalErrorKind::NoRealResult: text = u"The result is not a real number"; break;
    case EvalErrorKind::Overflow: text = u"Overflow: a value beyond \u00B11e301"; break;
    case EvalErrorKind::RecursionTooDeep: return u"Recursion too deep in " + subject;
    case EvalErrorKind::TooManyCalls: text = u"Too many function calls"; break;
    case EvalErrorKind::UnknownZone: text = u"Unknown time zone"; break;
    case EvalErrorKind::ErrFunction: text = u"The formula calls err"; break;
    }
    if (!error.function.empty()) text += u" in " + quoted(error.function);
    return text;
}

bool ExpressionEngine::parseFailed() {
    EvalError& error = lastError_;
    error = EvalError();
    if (chain_.empty()) {
        error.kind = EvalErrorKind::Empty;
        return false;
    }
    error.kind =
        parserScratch_.error == EvalErrorKind::None ? EvalErrorKind::Syntax : parserScratch_.error;
    if (parserScratch_.errorStart <= lowered_.size()) {
        error.position = static_cast<int32_t>(parserScratch_.errorStart);
        error.length = static_cast<int32_t>(
            std::min(parserScratch_.errorLength, lowered_.size() - parserScratch_.errorStart));
        error.subject = lowered_.substr(parserScratch_.errorStart, error.length);
    }
    return false;
}

void ExpressionEngine::runFailed(EvalErrorKind kind, const Token* culprit, const Token* function) {
    EvalError& error = lastError_;
    error = EvalError();
    error.kind = kind;
    if (function) error.function = function->name;
    if (culprit && culprit->kind == TokenKind::Identifier) {
        error.subject = culprit->name;
    } else if (culprit && culprit->kind == TokenKind::Operator && culprit->index >= 0 &&
               culprit->index < kOperatorCount) {
        error.subject = std::u16string(1, kOperators[culprit->index].character);
    }

    // A name that exists with another number of arguments is called wrongly.
    if (kind == EvalErrorKind::UnknownName) {
        bool exists = isBuiltinName(error.subject);
        for (const auto& entry : definitions_) exists = exists || entry.first.name == error.subject;
        if (exists) error.kind = EvalErrorKind::ArgumentCount;
    }
    if (function) return; // the fault lies in a function's formula, not in this text

    if (error.kind == EvalErrorKind::Incomplete) {
        size_t end = lowered_.find_last_not_of(u" \t\r\n");
        if (end != std::u16string::npos) {
            error.position = static_cast<int32_t>(end);
            error.length = 1;
        }
    } else if ((error.kind == EvalErrorKind::UnknownName ||
                error.kind == EvalErrorKind::ArgumentCount) &&
               culprit) {
        findName(lowered_, error.subject, culprit->count > 0, error);
    }
}

} // namespace pq
