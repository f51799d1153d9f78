#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <random>
#include <string>

#include "engine/number_parse.h"

using pq::NumberReading;
using pq::parseNumber;
using pq::readNumber;

namespace {

double read(std::u16string_view text) {
    double v = NAN;
    EXPECT_TRUE(parseNumber(text, v)) << "text does not parse";
    return v;
}

bool fails(std::u16string_view text) {
    double v;
    return !parseNumber(text, v);
}

std::string narrow(std::u16string_view text) { return std::string(text.begin(), text.end()); }

} // namespace

TEST(ParseNumber, NumberTexts) {
    // What each text is: a number (its value, as C reads the literal), a
    // malformed literal, or one beyond the engine's limit of +-1e301.
    constexpr auto N = NumberReading::Number;
    constexpr auto M = NumberReading::Malformed;
    constexpr auto L = NumberReading::TooLarge;
    struct Case {
        std::u16string_view text;
        NumberReading reading;
        double value;
    };
    const Case cases[] = {
        {u"1e+2", N, 1e+2},
        {u"1e2", N, 1e2},
        {u"1E+2", N, 1e2},
        {u"2.5e+3", N, 2.5e+3},
        {u"2.5e-3", N, 2.5e-3},
        {u"1.5e+20", N, 1.5e+20}, // as other programs write it
        {u"-4e-0", N, -4e-0},
        {u"1.", N, 1.},
        {u".5", N, .5},
        {u"-.5", N, -.5},
        {u"-42", N, -42},
        {u"007", N, 7},
        {u"4e", M, 0},    // an "e" needs digits
        {u"1e-", M, 0},   // and so does its sign
        {u"1e+", M, 0},
        {u"1e+-2", M, 0},
        {u".", M, 0},     // a point needs a digit beside it
        {u"-", M, 0},
        {u"-.", M, 0},
        {u"-e5", M, 0},
        {u".e5", M, 0},
        {u"1.2.3", M, 0},
        {u"1e5.5", M, 0},
        {u"12d", M, 0},
        {u"+1", M, 0},    // a sign is an operator in formulas
        {u"", M, 0},
        {u"x1", M, 0},
        {u"1e300", N, 1e300},
        {u"1e301", N, 1e301},   // the limit itself
        {u"-1e301", N, -1e301},
        {u"10e300", N, 1e301},
        {u"1.0000001e301", L, 0},
        {u"1e302", L, 0},
        {u"1e308", L, 0},       // a double, but beyond the limit
        {u"1e309", L, 0},       // beyond the doubles
        {u"-1e99999999999", L, 0},
        {u"1e-400", N, 0},      // too small to tell from 0
        {u"1e-99999999999999999999", N, 0},
        {u"0e999", N, 0},
    };
    for (const Case& c : cases) {
        double value = NAN;
        EXPECT_EQ(readNumber(c.text, value), c.reading) << narrow(c.text);
        if (c.reading == N) {
            EXPECT_EQ(value, c.value) << narrow(c.text);
        }
        EXPECT_EQ(parseNumber(c.text, value), c.reading == N) << narrow(c.text);
    }
}

TEST(ParseNumber, DecimalValuesAreCorrectlyRounded) {
    // Each literal gives the double nearest to it, as a compiler reads it.
    EXPECT_EQ(read(u"2.5e-3"), 2.5e-3);
    EXPECT_EQ(read(u"0.1"), 0.1);
    EXPECT_EQ(read(u"1609.344"), 1609.344);
    EXPECT_EQ(read(u"0.45359237"), 0.45359237);
    EXPECT_EQ(read(u"123456789012345678901234567890"), 123456789012345678901234567890.0);
    EXPECT_EQ(read(u"4.9406564584124654e-324"), 4.9406564584124654e-324);
    EXPECT_EQ(read(u"1e-400"), 0); // very small results become 0
    EXPECT_EQ(read(u"1e-99999999999999999999"), 0);
    double value;
    EXPECT_EQ(readNumber(u"1" + std::u16string(310, u'0'), value), NumberReading::TooLarge);
}

TEST(ParseNumber, BasedLiteralsArePatternsOf32Bits) {
    EXPECT_EQ(read(u"101b"), 5);
    EXPECT_EQ(read(u"1fh"), 31);
    EXPECT_EQ(read(u"17o"), 15);
    EXPECT_EQ(read(u"0ffffffffh"), -1);
    EXPECT_EQ(read(u"80000000h"), -2147483648.0);
    EXPECT_EQ(read(u"7fffffffh"), 2147483647);
    EXPECT_EQ(read(u"1" + std::u16string(32, u'0') + u"b"), 0); // beyond 32 bits adds nothing
    EXPECT_EQ(read(u"123456789h"), 0x23456789);
    EXPECT_EQ(read(u"37777777777o"), -1);
    EXPECT_TRUE(fails(u"12b"));
    EXPECT_TRUE(fails(u"0FFh")); // upper-case digits are not folded here
    EXPECT_TRUE(fails(u"-0ffh"));
    EXPECT_TRUE(fails(u"1.5h"));
    EXPECT_TRUE(fails(u"19o"));
}

TEST(ParseNumber, ShortDecimalsAreTheNearestDouble) {
    // Up to seventeen digits with the point anywhere, or none: the value is
    // the double nearest to the literal, as a correctly rounded reader of the
    // same text gives it.
    std::mt19937 random(15);
    std::uniform_int_distribution<int> digitCount(1, 17), digit(0, 9);
    for (int n = 0; n < 100000; ++n) {
        std::string text;
        const int count = digitCount(random);
        for (int i = 0; i < count; ++i) text += static_cast<char>('0' + digit(random));
        const int point = std::uniform_int_distribution<int>(-1, count)(random);
        if (point >= 0) text.insert(static_cast<size_t>(point), ".");
        double expected = 0;
        std::from_chars(text.data(), text.data() + text.size(), expected);
        double value = NAN;
        ASSERT_TRUE(parseNumber(std::u16string(text.begin(), text.end()), value)) << text;
        ASSERT_EQ(value, expected) << text;
        ASSERT_FALSE(std::signbit(value)) << text;
    }
}
