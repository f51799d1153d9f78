#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/builtins.h"
#include "engine/parser.h"
#include "engine/tokenizer.h"

using namespace pq;

namespace {

std::vector<std::u16string> tokens(std::u16string_view text) {
    std::vector<std::u16string> out;
    size_t pos = 0;
    std::u16string_view t;
    while (nextToken(text, pos, t)) out.emplace_back(t);
    return out;
}

// The chain written as postfix (the order a reader would evaluate it in).
std::string postfix(std::u16string_view text) {
    TokenChain chain = parse(text);
    if (chain.empty()) return "<none>";
    if (chain.failed()) return "<error>";
    std::string out;
    for (auto it = chain.tokens.rbegin(); it != chain.tokens.rend(); ++it) {
        if (!out.empty()) out += ' ';
        switch (it->kind) {
        case TokenKind::Number: out += std::to_string(static_cast<long long>(it->value)); break;
        case TokenKind::Operator:
            out += it->index == kNegation
                       ? std::string("neg")
                       : std::string(1, static_cast<char>(kOperators[it->index].character));
            break;
        case TokenKind::Identifier:
            out += std::string(it->name.begin(), it->name.end()) + "/" + std::to_string(it->count);
            break;
        case TokenKind::Error: out += "ERR"; break;
        default: out += "?"; break;
        }
    }
    return out;
}

} // namespace

TEST(Tokenizer, CutsWordsNumbersAndSymbols) {
    using V = std::vector<std::u16string>;
    EXPECT_EQ(tokens(u" sin(x_1)\t+2.5e-3\r\n"), (V{u"sin", u"(", u"x_1", u")", u"+", u"2.5e-3"}));
    EXPECT_EQ(tokens(u"0ffh 101b 1.2.3"), (V{u"0ffh", u"101b", u"1.2.3"}));
    EXPECT_EQ(tokens(u"0fe-1"), (V{u"0fe-1"}));         // 'e' then '-' stays in the number
    EXPECT_EQ(tokens(u"1e+3+2"), (V{u"1e+3", u"+", u"2"})); // a signed exponent is one
    EXPECT_EQ(tokens(u"0x1e+5"), (V{u"0x1e", u"+", u"5"}));  // a hexadecimal digit "e"
    EXPECT_EQ(tokens(u"a-1"), (V{u"a", u"-", u"1"}));
    EXPECT_TRUE(tokens(u" \t\r\n").empty());

    int index = -1;
    EXPECT_TRUE(lookupOperator(u"-", index));
    EXPECT_EQ(index, 1); // the first match: subtraction, never negation
    EXPECT_TRUE(lookupOperator(u"\u00B3", index));
    EXPECT_EQ(index, 15);
    EXPECT_FALSE(lookupOperator(u"**", index));
    EXPECT_FALSE(lookupOperator(u"$", index));
    EXPECT_EQ(precedenceDifference(kNegation, 5), 1);
    // Every one-character token finds the first entry of the table with its
    // character, or none, whatever the unit.
    for (uint32_t c = 0; c <= 0xFFFF; ++c) {
        const char16_t token[] = {static_cast<char16_t>(c), 0};
        int expected = -1;
        for (int i = kOperatorCount - 1; i >= 0; --i)
            if (kOperators[i].character == c) expected = i;
        int found = -1;
        ASSERT_EQ(lookupOperator(token, found), expected >= 0) << c;
        if (expected >= 0) {
            EXPECT_EQ(found, expected) << c;
        }
    }
}

TEST(Parser, PrecedenceAndAssociativity) {
    EXPECT_EQ(postfix(u"1+2*3"), "1 2 3 * +");
    EXPECT_EQ(postfix(u"(1+2)*3"), "1 2 + 3 *");
    EXPECT_EQ(postfix(u"2^3^2"), "2 3 ^ 2 ^"); // left-associative
    EXPECT_EQ(postfix(u"-2^2"), "2 neg 2 ^");  // negation binds tightest
    EXPECT_EQ(postfix(u"2^-3"), "2 3 neg ^");
    EXPECT_EQ(postfix(u"-3!"), "3 ! neg"); // postfix before a pending prefix
    EXPECT_EQ(postfix(u"2^3!"), "2 3 ! ^");
    EXPECT_EQ(postfix(u"~1^2"), "1 ~ 2 ^");
    EXPECT_EQ(postfix(u"1<2=3"), "1 2 < 3 =");
    EXPECT_EQ(postfix(u"x!"), "x/0 !");
    EXPECT_EQ(postfix(u"-f(2)^2"), "2 f/1 neg 2 ^");
}

TEST(Parser, CallsCountTheirArguments) {
    EXPECT_EQ(postfix(u"f(1,2,3)"), "1 2 3 f/3");
    EXPECT_EQ(postfix(u"f(g(1),2)"), "1 g/1 2 f/2");
    EXPECT_EQ(postfix(u"f(x)+y"), "x/0 f/1 y/0 +");
    EXPECT_EQ(postfix(u"pi"), "pi/0");

    TokenChain chain = parse(u"f(1,2)*3");
    ASSERT_FALSE(chain.failed());
    EXPECT_EQ(chain.head().kind, TokenKind::Operator);
    EXPECT_EQ(chain.tokens[0].span, 5);
    EXPECT_EQ(chain.tokens[1].span, 1); // the right operand 3 comes first
    EXPECT_EQ(chain.tokens[2].span, 3); // then f with its two arguments
}

TEST(Parser, SyntaxErrors) {
    for (const char16_t* text : {u"1 2",     u"2(3)", u"f()", u"(1,2)", u"1,2",  u"(1+2",  u"1+2)",
                                 u"+3",      u"*2",   u"5 ~", u"2 x",   u"12b",  u"1.2.3", u"0fe-1",
                                 u"f(1)(2)", u"$",    u")",   u"(",     u"f(1,", u"(1+",
                                 u".",       u"4e",   u"1e-", u"1e+",   u"2e+x", u"1e302"})
        EXPECT_EQ(postfix(text), "<error>")
            << std::string(text, text + std::char_traits<char16_t>::length(text));
    EXPECT_EQ(postfix(u"   "), "<none>");
}

TEST(Parser, TrailingOperatorBuriesTheError) {
    // The head is the last operator, so a definition body can be stored;
    // evaluation reaches the Error token and fails.
    EXPECT_EQ(postfix(u"1+"), "1 ERR +");
    EXPECT_EQ(postfix(u"-"), "ERR neg");
    EXPECT_EQ(postfix(u"2*-"), "2 ERR neg *");
}

TEST(Parser, LongTokensAndDeepNesting) {
    std::u16string name(255, u'a');
    EXPECT_EQ(parse(name).head().kind, TokenKind::Identifier);
    EXPECT_TRUE(parse(name + u"a").failed());
    EXPECT_TRUE(parse(std::u16string(256, u'1')).failed());

    const size_t n = 100000;
    std::u16string nested = std::u16string(n, u'(') + u"7" + std::u16string(n, u')');
    TokenChain chain = parse(nested);
    ASSERT_FALSE(chain.failed());
    EXPECT_EQ(chain.tokens.size(), 1u);

    std::u16string negations = std::u16string(n, u'-') + u"1";
    chain = parse(negations);
    ASSERT_FALSE(chain.failed());
    EXPECT_EQ(chain.head().span, static_cast<int32_t>(n + 1));
}

TEST(Builtins, NamesResolveExactlyWithTheirArgumentCounts) {
    for (int i = 0; i < pq::kBuiltinCount; ++i) {
        const pq::BuiltinInfo& b = pq::kBuiltins[i];
        EXPECT_TRUE(pq::isBuiltinName(b.name));
        EXPECT_EQ(pq::resolveBuiltin(b.name, b.arguments < 0 ? 5 : b.arguments), i);
        EXPECT_EQ(pq::resolveBuiltin(b.name, b.arguments < 0 ? 4 : b.arguments + 1),
                  i == pq::kIif ? i : -1);
        std::u16string longer(b.name);
        longer += u'x';
        EXPECT_FALSE(pq::isBuiltinName(longer));
    }
    for (const char16_t* name : {u"", u"Sin", u"_e", u"0", u"z", u"\u00e9"})
        EXPECT_EQ(pq::resolveBuiltin(name, 1), -1) << std::u16string(name).size();
}
