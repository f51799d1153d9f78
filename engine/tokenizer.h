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
inline constexpr OperatorInfo kOperators[kOperatorCount] = {
    {u'+', 2, OperatorInfo::Infix},        {u'-', 2, OperatorInfo::Infix},
    {u'*', 3, OperatorInfo::Infix},        {u'/', 3, OperatorInfo::Infix},
    {u'\\', 3, OperatorInfo::Infix},       {u'^', 4, OperatorInfo::Infix},
    {u'>', 1, OperatorInfo::Infix},        {u'<', 1, OperatorInfo::Infix},
    {u'=', 1, OperatorInfo::Infix},        {u'&', 3, OperatorInfo::Infix},
    {u'|', 3, OperatorInfo::Infix},        {u'#', 3, OperatorInfo::Infix},
    {u'~', 4, OperatorInfo::Prefix},       {u'!', 4, OperatorInfo::Postfix},
    {u'\u00B2', 4, OperatorInfo::Postfix}, {u'\u00B3', 4, OperatorInfo::Postfix},
    {u'-', 5, OperatorInfo::Prefix},       {u'%', 4, OperatorInfo::Postfix},
};

// Longest token the parser accepts, in UTF-16 units.
constexpr size_t kMaxTokenLength = 255;

// Cuts the next token out of text, starting at position and moving it past
// the token. Returns false at the end of the text (token empty).
bool nextToken(std::u16string_view text, size_t& position, std::u16string_view& token);

namespace detail {
// For each character below U+0100, its first entry in the operator table
// plus one, or 0. Every operator character lies in that range.
inline constexpr auto kOperatorOfChar = [] {
    struct Table {
        signed char entry[256] = {};
    } table;
    for (int i = kOperatorCount - 1; i >= 0; --i)
        table.entry[kOperators[i].character] = static_cast<signed char>(i + 1);
    return table;
}();
} // namespace detail

// A token is an operator when it is exactly one character of the table; the
// first match wins, so '-' always gives the subtraction.
inline bool lookupOperator(std::u16string_view token, int& index) {
    if (token.size() != 1 || token[0] >= 256) return false;
    const int entry = detail::kOperatorOfChar.entry[token[0]];
    if (entry == 0) return false;
    index = entry - 1;
    return true;
}

inline int precedenceDifference(int a, int b) {
    return kOperators[a].precedence - kOperators[b].precedence;
}

} // namespace pq
