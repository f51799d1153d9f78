#pragma once

#include <cstdint>
#include <random>
#include <string>

namespace pq::test {

// Random formulas over the whole language: literals in every notation,
// every operator, the deterministic built-ins with right and wrong argument
// counts, user functions, variables defined and not, iif, and now and then
// a stray character. The same seed gives the same formulas everywhere (only
// the raw generator output is used).
class FormulaGenerator {
  public:
    explicit FormulaGenerator(uint32_t seed) : random_(seed) {}

    std::u16string next() {
        std::u16string text = expression(4);
        if (pick(12) == 0) {
            const uint32_t at = pick(static_cast<uint32_t>(text.size()) + 1);
            const char16_t c = stray();
            text.insert(at, 1, c);
        }
        return text;
    }

  private:
    uint32_t pick(uint32_t n) { return static_cast<uint32_t>(random_() % n); }

    char16_t stray() {
        static const char16_t kStray[] = u"()+-*/,.$e\u00B2 ~!%h";
        return kStray[pick(sizeof kStray / sizeof kStray[0] - 1)];
    }

    std::u16string literal() {
        static const char16_t* const kLiterals[] = {u"0",
                                                    u"1",
                                                    u"2",
                                                    u"3",
                                                    u"7",
                                                    u"10",
                                                    u"2.5",
                                                    u".5",
                                                    u"1.",
                                                    u"0.1",
                                                    u"1e3",
                                                    u"2.5e-3",
                                                    u"1e",
                                                    u"0ffh",
                                                    u"101b",
                                                    u"17o",
                                                    u"12",
                                                    u"360",
                                                    u"1e300",
                                                    u"1e-300",
                                                    u"0.25",
                                                    u"99",
                                                    u"4294967295",
                                                    u"1.2.3",
                                                    u"0fe-1",
                                                    u"123456789012345",
                                                    u"1234567890123456789",
                                                    u"0.000001",
                                                    u"45",
                                                    u"90"};
        return kLiterals[pick(sizeof kLiterals / sizeof kLiterals[0])];
    }

    std::u16string call(int depth) {
        struct Name {
            const char16_t* name;
            int arguments;
        };
        static const Name kNames[] = {
            {u"abs", 1},   {u"round", 1}, {u"sqrt", 1}, {u"e", 0},    {u"ln", 1},
            {u"lg", 1},    {u"pi", 0},    {u"sin", 1},  {u"cos", 1},  {u"tan", 1},
            {u"asin", 1},  {u"acos", 1},  {u"atan", 1}, {u"sinh", 1}, {u"cosh", 1},
            {u"tanh", 1},  {u"neg", 1},   {u"iif", 3},  {u"iif", 5},  {u"fromutc", 2},
            {u"toutc", 2}, {u"err", 0},   {u"f", 2},    {u"g", 1},    {u"x", 0},
            {u"y", 0},     {u"SIN", 1},   {u"Sqrt", 1}, {u"hyp", 2},  {u"nothing", 1}};
        const Name& n = kNames[pick(sizeof kNames / sizeof kNames[0])];
        int arguments = n.arguments;
        if (pick(10) == 0) arguments += pick(3) == 0 ? -1 : 1; // a wrong count now and then
        std::u16string text = n.name;
        if (arguments <= 0 && pick(3) != 0) return text;
        text += u'(';
        for (int k = 0; k < arguments; ++k) {
            if (k > 0) text += u',';
            text += expression(depth - 1);
        }
        return text + u')';
    }

    std::u16string expression(int depth) {
        if (depth <= 0) return pick(4) == 0 ? std::u16string(u"x") : literal();
        static const char16_t kInfix[] = u"+-*/\\^><=&|#";
        static const char16_t kPostfix[] = u"!\u00B2\u00B3%";
        switch (pick(9)) {
        case 0: return literal();
        case 1: return call(depth);
        case 2: return u"(" + expression(depth - 1) + u")";
        case 3: { // every pick in its own statement, so that the order is fixed
            const char16_t* prefix = pick(2) ? u"-" : u"~";
            return prefix + expression(depth - 1);
        }
        case 4: {
            std::u16string text = expression(depth - 1);
            return text + kPostfix[pick(4)];
        }
        default: {
            std::u16string text = expression(depth - 1);
            if (pick(8) == 0) text += u' ';
            text += kInfix[pick(12)];
            return text + expression(depth - 1);
        }
        }
    }

    std::mt19937 random_;
};

} // namespace pq::test
