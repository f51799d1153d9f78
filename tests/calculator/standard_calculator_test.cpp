#include <gtest/gtest.h>

#include "calculator/standard_calculator.h"

using pq::calc::StandardCalculator;

namespace {

// Presses each key character in turn; returns the display after each key.
std::vector<std::u16string> press(StandardCalculator& calculator, std::u16string_view keys) {
    std::vector<std::u16string> shown;
    for (char16_t key : keys) shown.push_back(calculator.key(key));
    return shown;
}

std::u16string after(std::u16string_view keys) {
    StandardCalculator calculator;
    return press(calculator, keys).back();
}

} // namespace

TEST(StandardCalculator, RepeatedEqualsRepeatsTheLastOperation) {
    StandardCalculator calculator;
    const auto shown = press(calculator, u"2+3===");
    EXPECT_EQ(shown[3], u"5");
    EXPECT_EQ(shown[4], u"8");
    EXPECT_EQ(shown[5], u"11");
    EXPECT_EQ(after(u"10-3==="), u"1");
    EXPECT_EQ(after(u"2*3=="), u"18");
    // An operator after "=" continues with the result.
    EXPECT_EQ(after(u"2+3=*4="), u"20");
    // "=" without anything to repeat changes nothing.
    EXPECT_EQ(after(u"7="), u"7");
    EXPECT_EQ(after(u"7=="), u"7");
    // A digit between two "=" ends the repeat.
    EXPECT_EQ(after(u"2+3=9="), u"9");
}

TEST(StandardCalculator, Percent) {
    EXPECT_EQ(after(u"200+10%"), u"220");
    EXPECT_EQ(after(u"200-10%"), u"180");
    EXPECT_EQ(after(u"200*10%"), u"20");
    EXPECT_EQ(after(u"200/10%"), u"2000");
    EXPECT_EQ(after(u"50%"), u"0.5");
    EXPECT_EQ(after(u"200+10%="), u"220");
}

TEST(StandardCalculator, TextsHaveAtMostTwelveSignificantDigits) {
    StandardCalculator calculator;
    const auto shown = press(calculator, u"1/3=~");
    EXPECT_EQ(shown[3], u"0.3333333333");
    EXPECT_EQ(shown[4], u"-0.3333333333"); // the sign is added without trimming
    EXPECT_EQ(after(u"2/3="), u"0.6666666666") << "the twelfth character is cut, not rounded";
    EXPECT_EQ(after(u"1/3=~+0="), u"-0.333333333");
    EXPECT_EQ(after(u"1234567890123"), u"123456789012");
    EXPECT_EQ(after(u"000"), u"0");
    EXPECT_EQ(after(u"0.000"), u"0.000");
    EXPECT_EQ(after(u"..5.5"), u"0.55");
    EXPECT_EQ(after(u"2s"), u"1.4142135623");
    EXPECT_EQ(after(u"123456.123456789"), u"123456.123456");
    EXPECT_EQ(after(u"999999999999+0="), u"999999999999");
    EXPECT_EQ(after(u"1/4="), u"0.25");
    EXPECT_EQ(after(u"5*2="), u"10");
    EXPECT_EQ(after(u"0.1+0.2="), u"0.3");
}

TEST(StandardCalculator, ErrorsHoldUntilClearAll) {
    StandardCalculator calculator;
    const auto shown = press(calculator, u"9/0=");
    EXPECT_EQ(shown.back(), u"ERROR");
    EXPECT_TRUE(calculator.isError());
    EXPECT_EQ(press(calculator, u"5+3=e<xa").back(), u"ERROR") << "every key but C is ignored";
    EXPECT_EQ(calculator.key(u'c'), u"0");
    EXPECT_FALSE(calculator.isError());
    EXPECT_EQ(press(calculator, u"2+2=").back(), u"4");

    EXPECT_EQ(after(u"9/0"), u"0") << "the error comes with the next operation";
    EXPECT_EQ(after(u"4~s"), u"ERROR");
    EXPECT_EQ(after(u"999999999999*10="), u"ERROR");
    EXPECT_EQ(after(u"999999999999+1+"), u"ERROR");
    EXPECT_EQ(after(u"999999999999*200%"), u"ERROR");
}

TEST(StandardCalculator, OperatorsInARowReplaceThePendingOne) {
    EXPECT_EQ(after(u"5+*2="), u"10");
    EXPECT_EQ(after(u"5*-+2="), u"7");
    EXPECT_EQ(after(u"1+2+3+"), u"6");
}

TEST(StandardCalculator, EditingKeys) {
    EXPECT_EQ(after(u"123<"), u"12");
    EXPECT_EQ(after(u"1<"), u"0");
    EXPECT_EQ(after(u".<"), u"0");
    EXPECT_EQ(after(u"5~<"), u"0") << "a lone minus sign is no number";
    EXPECT_EQ(after(u"1.5<<"), u"1");
    EXPECT_EQ(after(u"2+3=<"), u"0") << "back after a result leaves 0";
    EXPECT_EQ(after(u"12e"), u"0");
    EXPECT_EQ(after(u"2+12e3="), u"5");
    EXPECT_EQ(after(u"~"), u"0");
    EXPECT_EQ(after(u"5~~"), u"5");
    EXPECT_EQ(after(u"5~7"), u"-57");
    EXPECT_EQ(after(u"2+3=~"), u"-5");
    EXPECT_EQ(after(u"9s"), u"3");
}

TEST(StandardCalculator, Memory) {
    StandardCalculator calculator;
    EXPECT_FALSE(calculator.hasMemory());
    EXPECT_EQ(press(calculator, u"2+3a").back(), u"5");
    EXPECT_EQ(calculator.memory(), u"5");
    EXPECT_TRUE(calculator.hasMemory());
    press(calculator, u"c");
    EXPECT_EQ(calculator.memory(), u"5") << "clear all keeps the memory";
    EXPECT_EQ(press(calculator, u"7*r").back(), u"5");
    EXPECT_EQ(calculator.key(u'='), u"35");
    press(calculator, u"c5~a");
    EXPECT_FALSE(calculator.hasMemory()) << "a sum of 0 empties the memory";
    press(calculator, u"1/3=a");
    EXPECT_EQ(calculator.memory(), u"0.3333333333");
    press(calculator, u"2a");
    EXPECT_EQ(calculator.memory(), u"2.3333333333");
    EXPECT_EQ(press(calculator, u"x8r").back(), u"0") << "an empty memory reads as 0";
    press(calculator, u"4ax");
    EXPECT_FALSE(calculator.hasMemory());

    StandardCalculator full;
    press(full, u"999999999999aa");
    EXPECT_TRUE(full.isError());
    EXPECT_EQ(full.display(), u"ERROR");
    EXPECT_FALSE(full.hasMemory());
}

TEST(StandardCalculator, SetValueStartsANewNumber) {
    StandardCalculator calculator;
    press(calculator, u"9/0=");
    EXPECT_EQ(calculator.setValue(u"1234.56789012345"), u"1234.5678901");
    EXPECT_FALSE(calculator.isError());
    EXPECT_EQ(calculator.key(u'5'), u"5") << "typing after a new value starts afresh";
    EXPECT_EQ(calculator.setValue(u"0ffh"), u"255");
    EXPECT_EQ(calculator.setValue(u"-2.50"), u"-2.5");
    EXPECT_EQ(calculator.setValue(u"1.5e3"), u"1500");
    EXPECT_EQ(calculator.setValue(u"not a number"), u"0");
    EXPECT_EQ(calculator.setValue(u"1e12"), u"ERROR");
    EXPECT_TRUE(calculator.isError());
    calculator.setValue(u"6");
    EXPECT_EQ(press(calculator, u"*2=").back(), u"12");
}

TEST(StandardCalculator, FormattingAndTrimming) {
    std::u16string text;
    ASSERT_TRUE(pq::calc::formatTwelveDigits(5, text));
    EXPECT_EQ(text, u"5.00000000000");
    ASSERT_TRUE(pq::calc::formatTwelveDigits(-0.00125, text));
    EXPECT_EQ(text, u"-0.00125000000000");
    ASSERT_TRUE(pq::calc::formatTwelveDigits(999999999999.4, text));
    EXPECT_EQ(text, u"999999999999");
    EXPECT_FALSE(pq::calc::formatTwelveDigits(999999999999.5, text)) << "rounds to 10^12";
    EXPECT_FALSE(pq::calc::formatTwelveDigits(1.0 / 0.0, text));

    auto trimmed = [](std::u16string t) {
        pq::calc::trimNumber(t);
        return t;
    };
    EXPECT_EQ(trimmed(u"5.00000000000"), u"5");
    EXPECT_EQ(trimmed(u"0.333333333333"), u"0.3333333333");
    EXPECT_EQ(trimmed(u"0.250000000000"), u"0.25");
    EXPECT_EQ(trimmed(u"120"), u"120");
    EXPECT_EQ(trimmed(u"123456789012.5"), u"123456789012");
    EXPECT_EQ(trimmed(u"0.0000000000001"), u"0");
    EXPECT_EQ(trimmed(u"-0.0000000000001"), u"0") << "no negative zero";
}
