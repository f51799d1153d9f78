#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cmath>
#include <random>
#include <string>

#include "engine/calendar_date.h"
#include "engine/expression_engine.h"
#include "engine/number_format.h"

using namespace pq;

namespace {

NumberFormat compoundFormat(std::initializer_list<std::pair<std::u16string, double>> parts) {
    NumberFormat f;
    std::array<WString, 4> labels;
    std::array<double, 4> fractions{};
    size_t i = 0;
    for (const auto& [label, fraction] : parts) {
        labels[i] = label;
        fractions[i++] = fraction;
    }
    f.setParts(labels, fractions);
    f.setAllowedFormats(Decimal | Compound);
    f.displayFormat = Compound;
    return f;
}

} // namespace

TEST(FormatNumber, TwelveDigitsAndEngineeringExponents) {
    EXPECT_EQ(formatNumber(0), u"0");
    EXPECT_EQ(formatNumber(0.5), u"0.5");
    EXPECT_EQ(formatNumber(1234567), u"1234567");
    EXPECT_EQ(formatNumber(1e12), u"1e12");
    EXPECT_EQ(formatNumber(1.5e15), u"1.5e15");
    EXPECT_EQ(formatNumber(0.0000005), u"500e-9");
    EXPECT_EQ(formatNumber(-2.25), u"-2.25");
    EXPECT_EQ(formatNumber(1.0 / 3), u"0.33333333333");
    EXPECT_EQ(formatNumber(2.0 / 3), u"0.66666666667");
    EXPECT_EQ(formatNumber(-0.125), u"-0.125");
    EXPECT_EQ(formatNumber(0.000001), u"0.000001");
    EXPECT_EQ(formatNumber(123456789012.4), u"123456789012");
    EXPECT_EQ(formatNumber(1e300), u"1e300");
    EXPECT_EQ(formatNumber(4.9406564584124654e-324), u"4.94065645841e-324");
}

TEST(DisplayDecimal, GroupingAndExponents) {
    EXPECT_EQ(displayDecimal(0, true), u"0");
    EXPECT_EQ(displayDecimal(1000, true), u"1,000");
    EXPECT_EQ(displayDecimal(999999999999, true), u"999,999,999,999");
    EXPECT_EQ(displayDecimal(1e12, true), u"1 e12");
    EXPECT_EQ(displayDecimal(0.001, true), u"0.001");
    EXPECT_EQ(displayDecimal(0.000999, true), u"999 e-6");
    EXPECT_EQ(displayDecimal(-0.5, true), u"-0.5");
    EXPECT_EQ(displayDecimal(1.0 / 3, true), u"0.33333333333");
    EXPECT_EQ(displayDecimal(1234567.5, true), u"1,234,567.5");
    EXPECT_EQ(displayDecimal(-1234567.5, true), u"-1,234,567.5");
    EXPECT_EQ(displayDecimal(0.0005, true), u"500 e-6");
    EXPECT_EQ(displayDecimal(0.0005, false), u"500e-6");
    EXPECT_EQ(displayDecimal(2.5e13, true), u"25 e12");
    EXPECT_EQ(displayDecimal(1234567.5, false), u"1234567.5");
    EXPECT_EQ(displayDecimal(1.609344, true), u"1.609344");
    // Rounding to twelve digits that carries into a new digit.
    EXPECT_EQ(displayDecimal(999999999999.7, true), u"1,000,000,000,000");
    EXPECT_EQ(displayDecimal(0.99999999999996, true), u"1");
}

TEST(DisplayCurrency, TwoDecimalsAndParentheses) {
    EXPECT_EQ(displayCurrency(1234.5, true), u"1,234.50");
    EXPECT_EQ(displayCurrency(-1234.5, true), u"(1,234.50)");
    EXPECT_EQ(displayCurrency(-1234.5, false), u"-1234.50");
    EXPECT_EQ(displayCurrency(0.004, true), u"0.00");
    EXPECT_EQ(displayCurrency(-0.004, true), u"0.00");
    EXPECT_EQ(displayCurrency(0.005, true), u"0.01");
    EXPECT_EQ(displayCurrency(1e19, true), u"10 e18");
    EXPECT_EQ(displayCurrency(999999.999, true), u"1,000,000.00");
    // Cents round half up from the shortest text of the value, not from the
    // binary value just below the half cent.
    EXPECT_EQ(displayCurrency(1.105, true), u"1.11");
    EXPECT_EQ(displayCurrency(2.675, false), u"2.68");
    EXPECT_EQ(displayCurrency(-1.005, true), u"(1.01)");
    EXPECT_EQ(displayCurrency(1.0049999, true), u"1.00");
    EXPECT_EQ(displayCurrency(9.995, true), u"10.00");
    EXPECT_EQ(displayCurrency(1e18, true), u"1,000,000,000,000,000,000.00");
    EXPECT_EQ(displayCurrency(0.125, true), u"0.13");
    EXPECT_EQ(displayCurrency(0.0049999, true), u"0.00");
    // Large amounts keep their cents, and no digit is rounded twice.
    EXPECT_EQ(displayCurrency(947564783.40450692, true), u"947,564,783.40");
    EXPECT_EQ(displayCurrency(151646893964.96329, true), u"151,646,893,964.96");
    EXPECT_EQ(displayCurrency(104892597548235.69, true), u"104,892,597,548,235.69");
    EXPECT_EQ(displayCurrency(3082027710092, true), u"3,082,027,710,092.00");
    EXPECT_EQ(displayCurrency(-151646893964.96329, false), u"-151646893964.96");
    EXPECT_EQ(displayCurrency(999999999999999.9, true), u"999,999,999,999,999.90");
    // Beyond 2^53 the shortest text may or may not end in zeros.
    EXPECT_EQ(displayCurrency(928988013675365760.0, true), u"928,988,013,675,365,760.00");
    EXPECT_EQ(displayCurrency(5e17, true), u"500,000,000,000,000,000.00");
}

// The cents of the shortest text that reads back as `value`, rounded half up,
// computed from its digits and exponent in whole-number arithmetic.
std::u16string referenceCents(double value) {
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    const std::string text(buffer, end); // "123.45", "1e+18" or "9.28e+17"
    const size_t e = std::min(text.find('e'), text.size());
    std::string digits;
    int shift = 2;
    bool fraction = false;
    for (size_t i = 0; i < e; ++i) {
        if (text[i] == '.') {
            fraction = true;
        } else {
            digits += text[i];
            if (fraction) --shift;
        }
    }
    if (e < text.size()) shift += std::stoi(text.substr(e + 1));
    unsigned __int128 cents = 0;
    for (char c : digits) cents = cents * 10 + static_cast<unsigned>(c - '0');
    if (shift >= 0) {
        for (int i = 0; i < shift; ++i) cents *= 10;
    } else {
        unsigned __int128 divisor = 1;
        for (int i = 0; i < -shift; ++i) divisor *= 10;
        const unsigned __int128 rest = cents % divisor;
        cents = cents / divisor + (2 * rest >= divisor ? 1 : 0);
    }
    std::string plain;
    do {
        plain.insert(plain.begin(), static_cast<char>('0' + static_cast<int>(cents % 10)));
        cents /= 10;
    } while (cents != 0);
    while (plain.size() < 3) plain.insert(plain.begin(), '0');
    std::u16string out;
    const size_t whole = plain.size() - 2;
    for (size_t i = 0; i < whole; ++i) {
        if (i > 0 && (whole - i) % 3 == 0) out += u',';
        out += static_cast<char16_t>(plain[i]);
    }
    out += u'.';
    out += static_cast<char16_t>(plain[whole]);
    out += static_cast<char16_t>(plain[whole + 1]);
    return out;
}

TEST(DisplayCurrency, EveryMagnitudeMatchesExactRounding) {
    std::mt19937_64 random(20261209);
    std::uniform_real_distribution<double> magnitude(std::log10(0.005), 18.0);
    std::uniform_int_distribution<int64_t> wholeCents(0, 99999999999999);
    for (int i = 0; i < 200000; ++i) {
        double value = std::pow(10.0, magnitude(random));
        if (i % 4 == 1) value = std::round(value * 100) / 100; // typed amounts
        if (i % 4 == 2) value = (static_cast<double>(wholeCents(random)) * 10 + 5) / 1000; // ties
        if (!(value >= 0.005 && value <= 1e18)) continue;
        const std::u16string expected = referenceCents(value);
        ASSERT_EQ(displayCurrency(value, true), expected) << value;
        ASSERT_EQ(displayCurrency(-value, true), u"(" + expected + u")") << value;
    }
}

TEST(DisplayBase, GroupsOfFourDigits) {
    EXPECT_EQ(displayBase(0, Hex, true), u"0");
    EXPECT_EQ(displayBase(255, Hex, true), u"00FF");
    EXPECT_EQ(displayBase(74565, Hex, true), u"0001 2345");
    EXPECT_EQ(displayBase(-1, Hex, true), u"FFFF FFFF");
    EXPECT_EQ(displayBase(5, Binary, true), u"0101");
    EXPECT_EQ(displayBase(8, Octal, true), u"0010");
    EXPECT_EQ(displayBase(-2147483648.0, Hex, true), u"8000 0000");
    EXPECT_EQ(displayBase(-1, Binary, true), u"1111 1111 1111 1111 1111 1111 1111 1111");
    EXPECT_EQ(displayBase(2.5, Hex, true), u"Dec: 2.5");
    EXPECT_EQ(displayBase(2147483648.0, Hex, true), u"Dec: 2,147,483,648");
    EXPECT_EQ(displayBase(2147483648.0, Hex, false), u"");
    EXPECT_EQ(displayBase(255, Hex, false), u"00FF");
    EXPECT_EQ(displayBase(74565, Hex, false), u"000012345");
}

TEST(NumberFormat, CompoundDisplayAndParts) {
    NumberFormat feet = compoundFormat({{u"ft", 1}, {u"in", 12}});
    EXPECT_EQ(feet.formatForDisplay(5.5), u"5 ft 6 in ");
    EXPECT_EQ(feet.formatForDisplay(-5.5), u"(5 ft 6 in )");
    NumberFormat hours = compoundFormat({{u"h", 1}, {u"min", 60}});
    EXPECT_EQ(hours.formatForDisplay(5.25), u"5 h 15 min ");
    NumberFormat unlabeled = compoundFormat({{u"", 1}, {u"", 60}});
    EXPECT_EQ(unlabeled.formatForDisplay(1.99999), u"1 59.999 "); // only the last part rounds
    // A last part that rounds to a whole unit carries into the parts before.
    EXPECT_EQ(feet.formatForDisplay(71.99999999 / 12), u"6 ft 0 in ");
    NumberFormat clock = compoundFormat({{u"h", 1}, {u"min", 60}, {u"s", 60}});
    EXPECT_EQ(clock.formatForDisplay(59.99999 / 3600), u"0 h 1 min 0 s ");
    EXPECT_EQ(clock.formatForDisplay(1.9999999999), u"2 h 0 min 0 s ");
    NumberFormat hms = compoundFormat({{u"h", 1}, {u"m", 60}, {u"s", 60}});
    std::array<std::u16string, 4> parts;
    EXPECT_EQ(hms.splitCompound(1.5125, parts), 3);
    EXPECT_EQ(parts[0], u"1");
    EXPECT_EQ(parts[1], u"30");
    EXPECT_EQ(parts[2], u"45");
    EXPECT_EQ(parts[3], u"");

    std::array<WString, 4> labels;
    std::array<double, 4> fractions;
    EXPECT_EQ(hms.getLabels(labels), 3);
    EXPECT_EQ(labels[1], u"m");
    EXPECT_EQ(hms.getFractions(fractions), 3);
    EXPECT_EQ(fractions, (std::array<double, 4>{1, 60, 60, 0}));

    // setParts takes parts while their fraction is not zero.
    std::array<WString, 4> newLabels{WString(u"a"), WString(u"b"), WString(u"c"), WString(u"d")};
    hms.setParts(newLabels, {7, 10, 0, 5});
    EXPECT_EQ(hms.fractions, (std::array<double, 4>{1, 10, 0, 0}));
    EXPECT_EQ(hms.labels[1], u"b");
    EXPECT_EQ(hms.partCount(), 2);
}

TEST(NumberFormat, AllowedFormatsAndCopy) {
    NumberFormat f;
    f.setAllowedFormats(0);
    EXPECT_EQ(f.allowedFormats, Decimal);
    EXPECT_EQ(f.displayFormat, Decimal);
    f.setAllowedFormats(Hex | Compound);
    EXPECT_EQ(f.displayFormat, Hex);
    EXPECT_EQ(f.entryFormat, Hex);
    f.displayFormat = Compound;
    f.setAllowedFormats(Hex | Compound | Date);
    EXPECT_EQ(f.displayFormat, Compound);

    NumberFormat top; // the sign bit alone is a mask too
    top.setAllowedFormats(static_cast<int32_t>(0x80000000));
    EXPECT_EQ(top.displayFormat, static_cast<int32_t>(0x80000000));

    NumberFormat copy;
    copy.copyFrom(f);
    EXPECT_EQ(copy.allowedFormats, f.allowedFormats);
    EXPECT_EQ(copy.displayFormat, Compound);
    EXPECT_EQ(copy.entryFormat, Compound); // both take the source's display format

    f.displayFormat = 64; // not a format: shown as decimal
    EXPECT_EQ(f.formatForDisplay(1500), u"1,500");
    f.entryFormat = Currency;
    EXPECT_EQ(f.formatForEntry(-1234.5), u"-1234.50");
    f.entryFormat = Date; // edited with its own controls: decimal here
    EXPECT_EQ(f.formatForEntry(2453364), u"2453364");
}

TEST(NumberFormat, ParseAndEvaluateNotations) {
    ExpressionEngine engine;
    double v;
    NumberFormat feet = compoundFormat({{u"ft", 1}, {u"in", 12}});
    ASSERT_TRUE(feet.parseAndEvaluate(u"[5 6]*2", engine, v));
    EXPECT_EQ(v, 11);
    ASSERT_TRUE(feet.parseAndEvaluate(u"[5ft 6in]+[0 6]", engine, v));
    EXPECT_EQ(v, 6);
    ASSERT_TRUE(feet.parseAndEvaluate(u"[1.2.5 3 4 5 6]", engine, v)); // later points ignored
    EXPECT_DOUBLE_EQ(v, 1.25 + 3.0 / 12);
    EXPECT_FALSE(feet.parseAndEvaluate(u"[]", engine, v));
    EXPECT_FALSE(feet.parseAndEvaluate(u"[5 6", engine, v));

    NumberFormat plain; // without Compound the brackets stay and fail
    EXPECT_FALSE(plain.parseAndEvaluate(u"[5 6]", engine, v));
    ASSERT_TRUE(plain.parseAndEvaluate(u"{12/25/2004}+7", engine, v));
    EXPECT_EQ(v, CalendarDate(1, 1, 2005).day);
    ASSERT_TRUE(plain.parseAndEvaluate(u"{bad date}", engine, v));
    EXPECT_EQ(v, kNoDate);
    ASSERT_TRUE(plain.parseAndEvaluate(u"{1/1/2000}-{12/31/1999}", engine, v));
    EXPECT_EQ(v, 1);
    EXPECT_FALSE(plain.parseAndEvaluate(u"{}", engine, v));
    EXPECT_EQ(plain.expandLiterals(u"{12/25/2004}"), u"(2453364)");

    NumberFormat degrees = compoundFormat({{u"d", 1}, {u"m", 60}, {u"s", 60}});
    ASSERT_TRUE(degrees.parseAndEvaluate(u"[10 30 36]", engine, v));
    EXPECT_NEAR(v, 10.51, 1e-14);
    // A literal keeps every digit of its value: an hour, two minutes and
    // three seconds are 3723 seconds, not 3723.00000001.
    ASSERT_TRUE(degrees.parseAndEvaluate(u"[1 2 3]*3600", engine, v));
    EXPECT_EQ(displayDecimal(v, true), u"3,723");
    ASSERT_TRUE(feet.parseAndEvaluate(u"[123456789012345678901 0]", engine, v));
    EXPECT_EQ(v, 123456789012345678901.0); // large values pass as "1.2345678901234568e20"
}

TEST(NumberFormat, DatesInTheUsersForm) {
    // The tests run in the C locale: English names, month first.
    const double christmas = CalendarDate(12, 25, 2004, 18, 30, 5).day;
    NumberFormat f;
    f.setAllowedFormats(Date | DateTime);
    f.displayFormat = Date;
    EXPECT_EQ(f.formatForDisplay(christmas), u"Sat 12/25/2004");
    f.displayFormat = DateTime;
    EXPECT_EQ(f.formatForDisplay(christmas), u"Sat 12/25/2004 18:30:05");
    // Years outside 1601..9999 are written without the locale's formatter.
    EXPECT_EQ(displayDate(CalendarDate(7, 4, 1500).day, false), u"Sat 7/4/1500");
    EXPECT_EQ(displayDate(CalendarDate(3, 15, -44).day, false), u"Wed 3/15/44 BC");
    EXPECT_EQ(displayDate(CalendarDate(3, 15, 12000).day, false).substr(4), u"3/15/12000");
}
