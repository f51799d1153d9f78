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

TEST(StandardCalculator, ResultsAreRoundedToTheDisplay) {
    StandardCalculator calculator;
    const auto shown = press(calculator, u"1/3=~");
    EXPECT_EQ(shown[3], u"0.3333333333");
    EXPECT_EQ(shown[4], u"-0.3333333333");
    // Ten significant digits in twelve places, the last one rounded.
    EXPECT_EQ(after(u"2/3="), u"0.6666666667");
    EXPECT_EQ(after(u"1/3=~+0="), u"-0.3333333333");
    EXPECT_EQ(after(u"1234567890123"), u"123456789012") << "typing stops at twelve digits";
    EXPECT_EQ(after(u"000"), u"0");
    EXPECT_EQ(after(u"0.000"), u"0.000") << "what is typed shows as typed";
    EXPECT_EQ(after(u"..5.5"), u"0.55");
    EXPECT_EQ(after(u"2s"), u"1.414213562");
    EXPECT_EQ(after(u"123456.123456789"), u"123456.123456");
    EXPECT_EQ(after(u"123456.123456789+0="), u"123456.1235");
    EXPECT_EQ(after(u"999999999999+0="), u"999999999999") << "whole numbers keep every place";
    EXPECT_EQ(after(u"1/3000="), u"0.0003333333") << "leading zeros are no digits";
    EXPECT_EQ(after(u"1/4="), u"0.25");
    EXPECT_EQ(after(u"5*2="), u"10");
    EXPECT_EQ(after(u"0.1+0.2="), u"0.3");
}

TEST(StandardCalculator, KeepsTheFullValueThroughAChainOfSteps) {
    // Each step works on the value, not on the digits shown: a truncating
    // desk would show 0.9999999999 and 1.9999999998 here.
    struct Case {
        std::u16string_view keys;
        std::u16string_view shown;
    };
    const Case cases[] = {
        {u"1/3*3=", u"1"},
        {u"2/3*3=", u"2"},
        {u"2s*2s=", u"2"},             // sqrt(2) * sqrt(2)
        {u"1/7*7-1=", u"0"},           // 1/7*7 is exactly 1 in binary
        {u"10/3=*3=", u"10"},          // an operator after "=" takes the full result
        {u"1/3=a2/3=ar", u"1"},        // the memory adds full values
        {u"100/7=====", u"0.0059499018"}, // 100/7^5, repeated on full values
        {u"0.1+0.2-0.3=", u"0"},       // binary noise below the digits shown
    };
    for (const Case& c : cases) {
        StandardCalculator calculator;
        EXPECT_EQ(press(calculator, c.keys).back(), c.shown)
            << std::string(c.keys.begin(), c.keys.end());
    }
    StandardCalculator calculator;
    press(calculator, u"2/3=");
    EXPECT_EQ(calculator.value(), 2.0 / 3) << "the display rounds, the value does not";
}

TEST(StandardCalculator, DigitsAndFixedDecimals) {
    struct Case {
        int digits;
        int decimals; // -1: none
        double value;
        std::u16string_view shown;
    };
    const Case cases[] = {
        {4, -1, 2.0 / 3, u"0.6667"},
        {4, -1, -1234.5678, u"-1235"},
        {4, -1, 123456789, u"123456789"}, // no place is dropped from a whole number
        {4, -1, 0.000123456, u"0.0001235"},
        {15, -1, 2.0 / 3, u"0.6666666667"}, // twelve places hold no more
        {15, -1, 1234567.891, u"1234567.891"},
        {10, 2, 2.0 / 3, u"0.67"},
        {10, 2, -1234.5, u"-1234.50"},
        {10, 2, 0.001, u"0.00"},
        {10, 2, -0.001, u"0.00"}, // no negative zero
        {10, 0, 2.5, u"3"},       // halves round up, as people round
        {10, 2, 2.675, u"2.68"},  // as written, though just below in binary
        {10, 9, 1234.5, u"1234.5000000"}, // twelve places
    };
    for (const Case& c : cases) {
        std::u16string text;
        ASSERT_TRUE(StandardCalculator::deskText(c.value, c.digits, c.decimals, text)) << c.value;
        EXPECT_EQ(text, c.shown) << c.value << " with " << c.digits << " digits";
    }
    std::u16string text;
    EXPECT_FALSE(StandardCalculator::deskText(999999999999.5, 10, -1, text)) << "rounds to 10^12";
    EXPECT_FALSE(StandardCalculator::deskText(1.0 / 0.0, 10, -1, text));

    StandardCalculator calculator;
    press(calculator, u"2/3=");
    calculator.setStyle(4, -1);
    EXPECT_EQ(calculator.display(), u"0.6667") << "a new style shows the value anew";
    calculator.setStyle(10, 3);
    EXPECT_EQ(calculator.display(), u"0.667");
    EXPECT_EQ(press(calculator, u"*3=").back(), u"2.000");
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
    EXPECT_EQ(calculator.memory(), 5);
    EXPECT_TRUE(calculator.hasMemory());
    press(calculator, u"c");
    EXPECT_EQ(calculator.memory(), 5) << "clear all keeps the memory";
    EXPECT_EQ(press(calculator, u"7*r").back(), u"5");
    EXPECT_EQ(calculator.key(u'='), u"35");
    press(calculator, u"c5~a");
    EXPECT_FALSE(calculator.hasMemory()) << "a sum of 0 empties the memory";
    press(calculator, u"1/3=a");
    EXPECT_EQ(calculator.memory(), 1.0 / 3) << "the full value";
    press(calculator, u"2a");
    EXPECT_EQ(calculator.memory(), 1.0 / 3 + 2);
    EXPECT_EQ(press(calculator, u"r").back(), u"2.333333333");
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
    EXPECT_EQ(calculator.setValue(u"1234.56789012345"), u"1234.56789");
    EXPECT_EQ(calculator.value(), 1234.56789012345);
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
