#include "engine/tokenizer.h"

#include "engine/text.h"

namespace pq {

namespace {

constexpr bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; }

} // namespace

bool nextToken(std::u16string_view text, size_t& position, std::u16string_view& token) {
    size_t i = position;
    const size_t n = text.size();
    while (i < n && isBlank(text[i])) ++i;
    if (i >= n) {
        position = n;
        token = {};
        return false;
    }
    size_t start = i;
    char16_t c = text[i];
    if (isIdentifierStart(c)) {
        while (i < n && isIdentifierChar(text[i])) ++i;
    } else if (isDigit(c) || c == u'.') {
        // Numbers are cut generously ("1.2.3", "0ffh", "2.5e-3"); the number
        // reader decides whether the token is a valid literal.
        while (i < n && (isIdentifierChar(text[i]) || text[i] == u'.' ||
                         (text[i] == u'-' && text[i - 1] == u'e')))
            ++i;
    } else {
        ++i;
    }
    token = text.substr(start, i - start);
    position = i;
    return true;
}

} // namespace pq
