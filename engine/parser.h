#pragma once

#include <string_view>
#include <vector>

#include "engine/token.h"

namespace pq {

// Reusable working storage of the parser, so that repeated parses allocate
// nothing once warmed up.
struct ParserScratch {
    std::vector<Token> stack;
    std::vector<int32_t> spans;
};

// Operator-precedence parse of a lower-cased formula into a token chain.
// Returns an empty chain for a text without tokens. A syntax error gives a
// chain whose head is an Error token. A text that ends in an infix or prefix
// operator parses with the Error token buried under the operators, so that it
// can be stored as a definition body and fails only when evaluated.
void parse(std::u16string_view text, TokenChain& chain, ParserScratch& scratch);
TokenChain parse(std::u16string_view text);

} // namespace pq
