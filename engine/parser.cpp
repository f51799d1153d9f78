#include "engine/parser.h"

#include <algorithm>
#include <utility>

#include "engine/number_parse.h"
#include "engine/text.h"
#include "engine/tokenizer.h"

namespace pq {

namespace {

enum class State { Start, AfterOperator, AfterNumber, AfterClose, AfterIdentifier };

class Parser {
  public:
    Parser(std::u16string_view text, std::vector<Token>& output, std::vector<PendingToken>& stack)
        : text_(text), output_(output), stack_(stack) {}

    // Returns false on a syntax error. The token is a part of the text.
    bool feed(std::u16string_view token) {
        // A token that starts like a name is neither an operator nor a number.
        if (isIdentifierStart(token[0]) && isIdentifier(token)) return feedIdentifier(token);
        int op;
        if (lookupOperator(token, op)) return feedOperator(op);
        double number;
        if (parseNumber(token, number)) {
            if (!expectingOperand()) return false;
            Token& t = newToken();
            t.kind = TokenKind::Number;
            t.value = number;
            state_ = State::AfterNumber;
            return true;
        }
        if (isIdentifier(token)) return feedIdentifier(token);
        if (token == u"(") return openParen(token);
        if (token == u")") return closeParen();
        if (token == u",") return comma();
        return false;
    }

    // Why a token the parser refused cannot stand where it is.
    EvalErrorKind faultOf(std::u16string_view token) const {
        if (token == u")" && std::none_of(stack_.begin(), stack_.end(), [](const PendingToken& p) {
                return p.kind == TokenKind::CallParen || p.kind == TokenKind::GroupParen;
            }))
            return EvalErrorKind::ExtraParenthesis;
        double number;
        if (isDigit(token[0]) || token[0] == u'.') {
            switch (readNumber(token, number)) {
            case NumberReading::Malformed: return EvalErrorKind::BadNumber;
            case NumberReading::TooLarge: return EvalErrorKind::NumberTooLarge;
            case NumberReading::Number: break;
            }
        }
        return EvalErrorKind::Syntax;
    }

    // False when a parenthesis is left open; it is then the stack's top.
    bool finish() {
        if (state_ == State::AfterOperator) {
            newToken(); // the buried Error token
        } else {
            popIdentifierOnTop();
        }
        while (!stack_.empty()) {
            if (stack_.back().kind == TokenKind::CallParen ||
                stack_.back().kind == TokenKind::GroupParen)
                return false;
            moveTopToOutput();
        }
        output_.resize(used_); // drops what an earlier, longer parse left
        return true;
    }

  private:
    // The next output token: one left by an earlier parse, reset, so that
    // its name keeps its storage, or a new one.
    Token& newToken() {
        if (used_ < output_.size()) {
            Token& t = output_[used_++];
            t.reset();
            return t;
        }
        ++used_;
        return output_.emplace_back();
    }

    bool feedIdentifier(std::u16string_view token) {
        if (!expectingOperand()) return false;
        stack_.push_back({TokenKind::Identifier, 0, 0,
                          static_cast<size_t>(token.data() - text_.data()),
                          static_cast<uint32_t>(token.size())});
        state_ = State::AfterIdentifier;
        return true;
    }

    bool expectingOperand() const {
        return state_ == State::Start || state_ == State::AfterOperator;
    }
    bool afterOperand() const {
        return state_ == State::AfterNumber || state_ == State::AfterClose ||
               state_ == State::AfterIdentifier;
    }

    void moveTopToOutput() {
        const PendingToken& p = stack_.back();
        Token& t = newToken();
        t.kind = p.kind;
        t.index = p.index;
        t.count = p.count;
        if (p.kind == TokenKind::Identifier) t.name.assign(text_.substr(p.nameStart, p.nameLength));
        stack_.pop_back();
    }

    void popIdentifierOnTop() {
        if (!stack_.empty() && stack_.back().kind == TokenKind::Identifier) moveTopToOutput();
    }

    void pushOperator(int index, int count) {
        stack_.push_back({TokenKind::Operator, index, count, 0, 0});
    }

    void writeOperator(int index) {
        Token& t = newToken();
        t.kind = TokenKind::Operator;
        t.index = index;
        t.count = 1;
    }

    bool feedOperator(int op) {
        const OperatorInfo::Kind kind = kOperators[op].kind;
        if (kind == OperatorInfo::Infix && afterOperand()) {
            popIdentifierOnTop();
            while (!stack_.empty() && stack_.back().kind == TokenKind::Operator &&
                   precedenceDifference(stack_.back().index, op) >= 0)
                moveTopToOutput();
            pushOperator(op, 2);
            state_ = State::AfterOperator;
            return true;
        }
        if (op == 1 && expectingOperand()) {
            pushOperator(kNegation, 1);
            state_ = State::AfterOperator;
            return true;
        }
        if (op == kBitwiseNot && expectingOperand()) {
            pushOperator(kBitwiseNot, 1);
            state_ = State::AfterOperator;
            return true;
        }
        if (kind == OperatorInfo::Postfix) {
            if (state_ == State::AfterNumber) {
                writeOperator(op);
                return true;
            }
            if (state_ == State::AfterClose || state_ == State::AfterIdentifier) {
                popIdentifierOnTop();
                writeOperator(op);
                state_ = State::AfterClose;
                return true;
            }
        }
        return false;
    }

    bool openParen(std::u16string_view token) {
        TokenKind paren;
        if (state_ == State::AfterIdentifier) {
            paren = TokenKind::CallParen;
        } else if (expectingOperand()) {
            paren = TokenKind::GroupParen;
        } else {
            return false;
        }
        stack_.push_back({paren, 0, 0, static_cast<size_t>(token.data() - text_.data()), 1});
        state_ = State::Start;
        return true;
    }

    bool closeParen() {
        if (!afterOperand()) return false;
        while (!stack_.empty() && stack_.back().kind != TokenKind::CallParen &&
               stack_.back().kind != TokenKind::GroupParen)
            moveTopToOutput();
        if (stack_.empty()) return false;
        bool call = stack_.back().kind == TokenKind::CallParen;
        stack_.pop_back();
        if (call) ++stack_.back().count; // the Identifier beneath the '('
        state_ = State::AfterClose;
        return true;
    }

    bool comma() {
        if (!afterOperand()) return false;
        while (!stack_.empty() && stack_.back().kind != TokenKind::CallParen) {
            if (stack_.back().kind == TokenKind::GroupParen) return false;
            moveTopToOutput();
        }
        if (stack_.empty()) return false;
        ++stack_[stack_.size() - 2].count; // the Identifier beneath the '('
        state_ = State::Start;
        return true;
    }

    std::u16string_view text_;
    std::vector<Token>& output_;
    std::vector<PendingToken>& stack_;
    size_t used_ = 0; // tokens of output_ written by this parse
    State state_ = State::Start;
};

int32_t operandCount(const Token& t) {
    return (t.kind == TokenKind::Operator || t.kind == TokenKind::Identifier) ? t.count : 0;
}

// Computes every node's span over the postfix output and checks that each
// node finds its operands; then turns the output into chain order.
bool finishChain(std::vector<Token>& tokens, std::vector<int32_t>& spans) {
    spans.clear();
    for (Token& t : tokens) {
        int32_t need = operandCount(t);
        if (need < 0 || static_cast<size_t>(need) > spans.size()) return false;
        int32_t span = 1;
        for (int32_t k = 0; k < need; ++k) {
            span += spans.back();
            spans.pop_back();
        }
        t.span = span;
        spans.push_back(span);
    }
    if (spans.size() != 1) return false;
    // Reversed field by field: most tokens have no name, and swapping two
    // empty names would still copy their buffers. A field added to Token
    // must be swapped here too.
    static_assert(sizeof(Token) == sizeof(std::u16string) + 40, "swap every field of Token below");
    for (size_t a = 0, b = tokens.size() - 1; a < b; ++a, --b) {
        Token& x = tokens[a];
        Token& y = tokens[b];
        std::swap(x.kind, y.kind);
        std::swap(x.value, y.value);
        std::swap(x.index, y.index);
        if (!x.name.empty() || !y.name.empty()) x.name.swap(y.name);
        std::swap(x.count, y.count);
        std::swap(x.span, y.span);
        std::swap(x.builtin, y.builtin);
    }
    return true;
}

void markSyntaxError(std::vector<Token>& tokens) {
    tokens.clear();
    tokens.emplace_back();
}

void noteError(ParserScratch& scratch, EvalErrorKind kind, size_t start, size_t length) {
    scratch.error = kind;
    scratch.errorStart = start;
    scratch.errorLength = length;
}

} // namespace

void parse(std::u16string_view text, TokenChain& chain, ParserScratch& scratch) {
    std::vector<Token>& output = chain.tokens; // its tokens are reused
    scratch.stack.clear();
    scratch.error = EvalErrorKind::None;
    Parser parser(text, output, scratch.stack);
    size_t position = 0;
    std::u16string_view token;
    bool any = false;
    while (nextToken(text, position, token)) {
        any = true;
        if (token.size() > kMaxTokenLength || !parser.feed(token)) {
            noteError(scratch, parser.faultOf(token),
                      static_cast<size_t>(token.data() - text.data()), token.size());
            markSyntaxError(output);
            scratch.stack.clear();
            return;
        }
    }
    if (!any) {
        output.clear();
        return;
    }
    if (!parser.finish()) {
        noteError(scratch, EvalErrorKind::MissingParenthesis, scratch.stack.back().nameStart, 1);
        markSyntaxError(output);
    } else if (!finishChain(output, scratch.spans)) {
        noteError(scratch, EvalErrorKind::Syntax, text.size(), 0);
        markSyntaxError(output);
    }
    scratch.stack.clear();
}

TokenChain parse(std::u16string_view text) {
    TokenChain chain;
    ParserScratch scratch;
    parse(text, chain, scratch);
    return chain;
}

} // namespace pq
