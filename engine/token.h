#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pq {

enum class TokenKind : int32_t {
    Error = 0,      // marks a syntax error
    Number = 1,     // literal; `value` is set
    Operator = 2,   // `index` into the operator table, `count` operands
    Identifier = 3, // variable or call; `name` and `count` (arguments) are set
    Parameter = 4,  // the `index`-th argument of the user function being run
    CallParen = 10, // parser stack only: '(' opening an argument list
    GroupParen = 11 // parser stack only: '(' that groups
};

struct Token {
    TokenKind kind = TokenKind::Error;
    double value = 0;
    int32_t index = 0;
    std::u16string name;
    int32_t count = 0;

    // Filled in when a chain is finished: the number of tokens of this node's
    // subtree (itself included), so that an evaluator can step over a whole
    // operand without walking it.
    int32_t span = 1;
    // For Identifier tokens, the built-in function the call reaches, resolved
    // once by the evaluator (-1: look the name up among the definitions).
    int32_t builtin = -1;

    // Back to a default token, keeping the name's storage for reuse.
    void reset() {
        kind = TokenKind::Error;
        value = 0;
        index = 0;
        name.clear();
        count = 0;
        span = 1;
        builtin = -1;
    }
};

// A parsed formula stored contiguously in chain order: tokens[0] is the head,
// the root operator or call; the operands of a node follow it, last operand
// first, each as a contiguous subtree. This is the postfix form read
// backwards.
struct TokenChain {
    std::vector<Token> tokens;

    bool empty() const { return tokens.empty(); }
    const Token& head() const { return tokens.front(); }
    // A chain whose head is an Error token is a failed parse.
    bool failed() const { return !tokens.empty() && tokens.front().kind == TokenKind::Error; }
};

} // namespace pq
