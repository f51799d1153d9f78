#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <random>
#include <string>

#include "engine/number_parse.h"

using pq::parseNumber;

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

} // namespace

TEST(ParseNumber, DecimalForms) {
    EXPECT_EQ(read(u"."), 0);
    EXPECT_TRUE(std::signbit(read(u"-")));
    EXPECT_EQ(read(u"1."), 1);
    EXPECT_EQ(read(u".5"), 0.5);
    EXPECT_EQ(read(u"1e"), 1);
    EXPECT_EQ(read(u"1e-"), 1);
    EXPECT_EQ(read(u"1E5"), 1e5);
    EXPECT_EQ(read(u"-42"), -42);
    EXPECT_EQ(read(u"1e300"), 1e300);
    EXPECT_TRUE(fails(u"1e301"));
    EXPECT_TRUE(fails(u"12d"));
    EXPECT_TRUE(fails(u"1.2.3"));
    EXPECT_TRUE(fails(u"1e5.5"));
    EXPECT_TRUE(fails(u""));
    EXPECT_TRUE(fails(u"x1"));
    EXPECT_TRUE(fails(u"+1"));
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
    EXPECT_TRUE(std::isinf(read(u"1" + std::u16string(310, u'0')))); // the evaluator rejects it
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
