#include <gtest/gtest.h>

#include "calculator/number_text.h"
#include "engine/calendar_date.h"

using namespace pq::calc;

TEST(DecimalOutput, SignificantDigitsWithThousandsExponents) {
    EXPECT_EQ(decimalOutput(0, 10), u"0");
    EXPECT_EQ(decimalOutput(1234567.5, 10), u"1234567.5");
    EXPECT_EQ(decimalOutput(-2.5, 10), u"-2.5");
    EXPECT_EQ(decimalOutput(0.5, 10), u"0.5");
    EXPECT_EQ(decimalOutput(0.05, 10), u"0.05");
    EXPECT_EQ(decimalOutput(1.0 / 3, 10), u"0.3333333333");
    EXPECT_EQ(decimalOutput(2.0 / 3, 8), u"0.66666667");
    EXPECT_EQ(decimalOutput(0.001, 10), u"1e-3");
    EXPECT_EQ(decimalOutput(1.5e12, 10), u"1.5e12");
    EXPECT_EQ(decimalOutput(9999999999, 10), u"9999999999");
    EXPECT_EQ(decimalOutput(1e10, 10), u"10e9");
    EXPECT_EQ(decimalOutput(123456789, 8), u"123.45679e6");
    // Rounding up to a digit more than there are figures pads with zeros.
    EXPECT_EQ(decimalOutput(9999999999.7, 10), u"10000000000");
    EXPECT_EQ(decimalOutput(1e-300, 10), u"1e-300");
}

TEST(BaseOutput, WholeNumbersAsThirtyTwoBitPatterns) {
    Base used = Base::Dec;
    EXPECT_EQ(baseOutput(255, Base::Hex, 10, &used), u"0FFh");
    EXPECT_EQ(used, Base::Hex);
    EXPECT_EQ(baseOutput(2.5, Base::Hex, 10, &used), u"2.5");
    EXPECT_EQ(used, Base::Dec);
    EXPECT_EQ(baseOutput(26, Base::Hex, 10), u"1Ah");
    EXPECT_EQ(baseOutput(-1, Base::Hex, 10), u"0FFFFFFFFh");
    // Outside 32 bits a whole number has no pattern that reads back: decimal.
    for (double big : {4294967296.0, 4294967296.0 + 5, 2147483648.0, -2147483649.0, 1e10}) {
        EXPECT_EQ(baseOutput(big, Base::Hex, 10, &used), decimalOutput(big, 10));
        EXPECT_EQ(used, Base::Dec);
    }
    EXPECT_EQ(baseOutput(1e10, Base::Hex, 10), u"10e9");
    EXPECT_EQ(baseOutput(2147483647, Base::Hex, 10), u"7FFFFFFFh");
    EXPECT_EQ(baseOutput(-2147483648.0, Base::Hex, 10), u"80000000h");
    EXPECT_EQ(baseOutput(0, Base::Hex, 10), u"0h");
    EXPECT_EQ(baseOutput(8, Base::Oct, 10), u"10o");
    EXPECT_EQ(baseOutput(5, Base::Bin, 10), u"101b");
    EXPECT_EQ(baseOutput(4294967296.0 * 3, Base::Bin, 10), u"12.88490189e9");
    EXPECT_EQ(baseOutput(255, Base::Dec, 10, &used), u"255");
    EXPECT_EQ(used, Base::Dec);
    EXPECT_EQ(baseName(Base::Oct), u"Oct");
}

TEST(GroupDigits, ThreesWithCommasInDecimalFoursWithSpacesElsewhere) {
    EXPECT_EQ(groupDigits(u"1234567.5", Base::Dec), u"1,234,567.5");
    EXPECT_EQ(groupDigits(u"123456", Base::Dec), u"123,456");
    EXPECT_EQ(groupDigits(u"-123456", Base::Dec), u"-123,456");
    EXPECT_EQ(groupDigits(u"-123", Base::Dec), u"-123");
    EXPECT_EQ(groupDigits(u"1234.56789", Base::Dec), u"1,234.56789");
    EXPECT_EQ(groupDigits(u"1234e-3", Base::Dec), u"1,234e-3");
    EXPECT_EQ(groupDigits(u"0.", Base::Dec), u"0.");
    EXPECT_EQ(groupDigits(u"0FFFFFFFFh", Base::Hex), u"0 FFFF FFFFh");
    EXPECT_EQ(groupDigits(u"11111b", Base::Bin), u"1 1111b");
    EXPECT_EQ(groupDigits(u"1111b", Base::Bin), u"1111b");
    EXPECT_EQ(groupDigits(u"", Base::Dec), u"");
}

TEST(ReadDisplayedNumber, TakesWhatTheDisplayWritesBack) {
    std::u16string number;
    double value = 0;
    auto reads = [&](std::u16string_view text, double expected) {
        return readDisplayedNumber(text, number, value) && value == expected;
    };
    EXPECT_TRUE(reads(u"1,234,567.89", 1234567.89));
    EXPECT_EQ(number, u"1234567.89");
    EXPECT_TRUE(reads(u" -1,234 \n", -1234));
    EXPECT_TRUE(reads(u"0FFh", 255));
    EXPECT_EQ(number, u"0ffh");
    EXPECT_TRUE(reads(u"0 FFFF FFFFh", -1)) << "a 32-bit pattern";
    EXPECT_TRUE(reads(u"1 234 567", 1234567));
    EXPECT_TRUE(reads(u"1.5e12", 1.5e12));
    // What the converter's rows and value box write.
    EXPECT_TRUE(reads(u"699.460043197 e-6", 699.460043197e-6));
    EXPECT_TRUE(reads(u"(1,234.50)", -1234.5));
    EXPECT_EQ(number, u"-1234.5");
    EXPECT_TRUE(reads(u"0x1F", 31));
    EXPECT_TRUE(reads(u"Dec: 2,147,483,648", 2147483648.0));
    EXPECT_TRUE(reads(u"Wed 12/25/2024 10:00:00", pq::CalendarDate(12, 25, 2024, 10, 0, 0).day) ||
                reads(u"Wed 25/12/2024 10:00:00", pq::CalendarDate(12, 25, 2024, 10, 0, 0).day));
    EXPECT_FALSE(readDisplayedNumber(u"12/25/2024", number, value)) << "a formula stays one";
    for (std::u16string_view bad : {u"4,5", u"1,2345", u",123", u"12,", u"", u"  ", u"abc", u"1+2"})
        EXPECT_FALSE(readDisplayedNumber(bad, number, value))
            << std::string(bad.begin(), bad.end());
}

TEST(StyledOutput, EachNotationAndDigitsOnLargeSmallAndNegativeValues) {
    struct Case {
        Notation notation;
        int digits;   // or the decimals of the fixed notation
        double value;
        std::u16string_view text;
    };
    constexpr auto A = Notation::Automatic;
    constexpr auto F = Notation::Fixed;
    constexpr auto S = Notation::Scientific;
    constexpr auto E = Notation::Engineering;
    const Case cases[] = {
        {A, 10, 123456789.123, u"123456789.1"},
        {A, 4, 123456789.123, u"123.5e6"},
        {A, 15, 2.0 / 3, u"0.666666666666667"},
        {A, 4, -0.000123456, u"-0.1235e-3"},
        {A, 15, 0.1 + 0.2, u"0.3"},
        {F, 2, 123456789.125, u"123456789.13"}, // halves round up
        {F, 0, 2.5, u"3"},
        {F, 2, -0.000123456, u"0.00"}, // no negative zero
        {F, 4, -2.0 / 3, u"-0.6667"},
        {F, 9, 123456789.123, u"123456789.123000"}, // no more than 15 digits
        {F, 2, 1e20, u"1e20"}, // too large to show with decimals
        {F, 2, 0, u"0.00"},
        {S, 10, 123456789.123, u"1.234567891e8"},
        {S, 4, -0.000123456, u"-1.235e-4"},
        {S, 15, 1, u"1e0"},
        {S, 4, 9.9996, u"1e1"}, // rounding carries into the exponent
        {S, 10, 0, u"0"},
        {E, 10, 123456789.123, u"123.4567891e6"},
        {E, 4, -0.000123456, u"-123.5e-6"},
        {E, 6, 1500, u"1.5e3"},
        {E, 6, 0.05, u"50e-3"},
        {E, 4, 999.96, u"1e3"},
        {E, 10, 7, u"7e0"},
    };
    for (const Case& c : cases) {
        NumberStyle style;
        style.notation = c.notation;
        if (c.notation == F)
            style.decimals = c.digits;
        else
            style.digits = c.digits;
        EXPECT_EQ(styledOutput(c.value, style), c.text)
            << std::u16string(notationName(c.notation)).size() << " " << c.digits << " "
            << c.value;
    }
}
