#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/eval_error.h"
#include "engine/token.h"

namespace pq {

// An operator, identifier or parenthesis waiting on the parser's stack; an
// identifier's name, or a parenthesis, is where it stands in the text being
// parsed.
struct PendingToken {
    TokenKind kind;
    int32_t index;
    int32_t count;
    size_t nameStart;
    uint32_t nameLength;
};

// Reusable working storage of the parser, so that repeated parses allocate
// nothing once warmed up.
struct ParserScratch {
    std::vector<PendingToken> stack;
    std::vector<int32_t> spans;
    // Set by a parse that fails: what is wrong, and the token where it is.
    EvalErrorKind error = EvalErrorKind::None;
    size_t errorStart = 0;
    size_t errorLength = 0;
};

// Operator-precedence parse of a lower-cased formula into a token chain.
// Returns an empty chain for a text without tokens. A syntax error gives a
// chain whose head is an Error token. A text that ends in an infix or prefix
// operator parses with the Error token buried under the operators, so that it
// can be stored as a definition body and fails only when evaluated.
void parse(std::u16string_view text, TokenChain& chain, ParserScratch& scratch);
TokenChain parse(std::u16string_view text);

} // namespace pq
