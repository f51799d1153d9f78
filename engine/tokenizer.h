#pragma once

#include <cstddef>
#include <string_view>

namespace pq {

// The operator table: 18 entries, looked up by their single character.
struct OperatorInfo {
    char16_t character;
    int precedence;
    enum Kind { Infix, Prefix, Postfix } kind;
};

constexpr int kOperatorCount = 18;
constexpr int kNegation = 16; // never found by lookup: the parser turns a prefix '-' into it
constexpr int kBitwiseNot = 12;
extern const OperatorInfo kOperators[kOperatorCount];

// Longest token the parser accepts, in UTF-16 units.
constexpr size_t kMaxTokenLength = 255;

// Cuts the next token out of text, starting at position and moving it past
// the token. Returns false at the end of the text (token empty).
bool nextToken(std::u16string_view text, size_t& position, std::u16string_view& token);

// A token is an operator when it is exactly one character of the table; the
// first match wins, so '-' always gives the subtraction.
bool lookupOperator(std::u16string_view token, int& index);

inline int precedenceDifference(int a, int b) {
    return kOperators[a].precedence - kOperators[b].precedence;
}

} // namespace pq
