// Numbers and compound values as people type them, and numbers as Copy
// writes them.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "engine/compound_text.h"
#include "engine/expression_engine.h"
#include "engine/format_text.h"
#include "engine/number_format.h"
#include "engine/plain_number.h"
#include "engine/typed_number.h"

using namespace pq;

namespace {

std::string narrow(std::u16string_view text) {
    std::string out;
    for (char16_t c : text) out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

NumberFormat feetAndInches() {
    NumberFormat f;
    f.setParts({WString(u"ft"), WString(u"in"), WString(), WString()}, {1, 12, 0, 0});
    f.setAllowedFormats(Decimal | Compound);
    f.displayFormat = Compound;
    return f;
}

} // namespace

TEST(TypedNumbers, FractionsAndMixedNumbers) {
    struct Case {
        std::u16string_view text;
        double value; // NAN: not a typed number
    };
    const Case cases[] = {
        {u"1 1/2", 1.5},
        {u"1-1/2", 1.5}, // not the formula's 1 - 1/2
        {u"3/4", 0.75},
        {u"11 3/16", 11.1875},
        {u"-1 1/2", -1.5}, // the sign is the whole number's
        {u"\u22123/4", -0.75},
        {u"3 / 4", 0.75},
        {u"2 5/8", 2.625},
        {u"1\u00BD", 1.5},
        {u"1 \u00BE", 1.75},
        {u"\u215B", 0.125},
        {u"5\u20447", 5.0 / 7},
        {u" 2.5 ", 2.5},
        {u"1e+2", 100},
        {u"-4", -4},
        {u"1 1", NAN},
        {u"1 1/", NAN},
        {u"1/0", NAN},
        {u"1.5 1/2", NAN},
        {u"1/2/3", NAN},
        {u"1--1/2", NAN},
        {u"1 - 1/2", NAN}, // with blanks it is a formula
        {u"1,5", NAN},
        {u"-", NAN},
        {u"", NAN},
        {u"4e", NAN},
        {u"0ffh", NAN},
    };
    for (const Case& c : cases) {
        double value = NAN;
        EXPECT_EQ(readTypedNumber(c.text, value), !std::isnan(c.value)) << narrow(c.text);
        if (!std::isnan(c.value)) {
            EXPECT_EQ(value, c.value) << narrow(c.text);
        }
    }
    // Where a unit follows: the number and how much of the text it takes.
    struct Prefix {
        std::u16string_view text;
        size_t length;
        double value;
    };
    const Prefix prefixes[] = {
        {u"1 1/2 cups", 5, 1.5}, {u"60 mph", 2, 60}, {u"5 ft 11 in", 1, 5},
        {u"1 12 in", 1, 1},      {u"-3/4in", 4, -0.75}, {u"km", 0, 0},
    };
    for (const Prefix& p : prefixes) {
        double value = 0;
        EXPECT_EQ(readTypedNumberPrefix(p.text, value), p.length) << narrow(p.text);
        if (p.length > 0) {
            EXPECT_EQ(value, p.value) << narrow(p.text);
        }
    }
}

TEST(TypedNumbers, CompoundValuesByTheirLabels) {
    const NumberFormat f = feetAndInches();
    struct Case {
        std::u16string_view text;
        double feet; // NAN: does not read
    };
    const Case cases[] = {
        {u"5 ft 11 in", 5 + 11.0 / 12},
        {u"5ft11in", 5 + 11.0 / 12},
        {u"5 FT 11 IN", 5 + 11.0 / 12},
        {u"5' 11\"", 5 + 11.0 / 12},
        {u"5\u2032 11\u2033", 5 + 11.0 / 12},
        {u"5 ft 11 3/16 in", 5 + 11.1875 / 12},
        {u"5 ft 11-3/16 in", 5 + 11.1875 / 12},
        {u"5 1/2 ft", 5.5},
        {u"3 in", 0.25},
        {u"3''", 0.25},
        {u"6 ft", 6},
        {u"(5 ft 6 in )", -5.5},
        {u"-5 ft 6 in", -5.5},
        {u"5 11", NAN},         // a whole text names its parts
        {u"5 in 11 ft", NAN},   // in their order
        {u"5 ft 6 ft", NAN},
        {u"ft", NAN},
        {u"5 m", NAN},
        {u"5 feet", NAN},
        {u"5 ft 11 3/ in", NAN},
    };
    for (const Case& c : cases) {
        double value = NAN;
        EXPECT_EQ(f.readCompoundText(c.text, value), !std::isnan(c.feet)) << narrow(c.text);
        if (!std::isnan(c.feet)) {
            EXPECT_DOUBLE_EQ(value, c.feet) << narrow(c.text);
        }
    }
    // Degrees, minutes and seconds of an angle.
    NumberFormat angle;
    angle.setParts({WString(u"\u00B0"), WString(u"\u2032"), WString(u"\u2033"), WString()},
                   {1, 60, 60, 0});
    angle.setAllowedFormats(Decimal | Compound);
    double degrees = 0;
    ASSERT_TRUE(angle.readCompoundText(u"30 deg 15' 36\"", degrees));
    EXPECT_DOUBLE_EQ(degrees, 30 + 15.0 / 60 + 36.0 / 3600);

    // The value box reads them, and 1-1/2 as a number.
    ExpressionEngine engine;
    NumberFormat entry = feetAndInches();
    entry.entryFormat = Decimal;
    for (const auto& [text, feet] : {std::pair<std::u16string_view, double>{u"5' 11\"", 5 + 11.0 / 12},
                                     {u"1-1/2", 1.5},
                                     {u"1-1/2*2", 0}, // not a typed number: a formula
                                     {u"1 1/2*2", NAN}}) {
        double value = NAN;
        EXPECT_EQ(entry.readEntry(text, engine, value), !std::isnan(feet)) << narrow(text);
        if (!std::isnan(feet)) {
            EXPECT_DOUBLE_EQ(value, feet) << narrow(text);
        }
    }
}

TEST(TypedNumbers, CompoundValuesBeingTyped) {
    // The fields a text fills while it is typed, from the first on.
    const std::u16string_view labels[] = {u"ft", u"in"};
    struct Case {
        std::u16string_view typed;
        bool readable;
        std::u16string_view feet, inches;
        int next;
        bool finished;
    };
    const Case cases[] = {
        {u"5", true, u"5", u"", 0, true},
        {u"5 ", true, u"5", u"", 1, true}, // a blank moves on
        {u"5 1", true, u"5", u"1", 1, true},
        {u"5 f", true, u"5", u"", 0, false}, // a label on its way
        {u"5 ft", true, u"5", u"", 1, true},
        {u"5 ft 11", true, u"5", u"11", 1, true},
        {u"5 ft 11 3", true, u"5", u"11 3", 1, false}, // a fraction may follow
        {u"5 ft 11 3/", true, u"5", u"11 3/", 1, false},
        {u"5 ft 11 3/16 in", true, u"5", u"11 3/16", 1, true},
        {u"5'", true, u"5", u"", 1, true},
        {u"5' 11\"", true, u"5", u"11", 1, true},
        {u"3 in", true, u"", u"3", 1, true},
        {u"5 x", false, u"", u"", 0, true},
        {u"5 1 2", true, u"5", u"1 2", 1, false}, // "1 2/3" may follow
        {u"5 1 2 ", false, u"", u"", 0, true},    // no third field
        {u"in", false, u"", u"", 0, true},
    };
    for (const Case& c : cases) {
        CompoundReading reading;
        const bool readable = readCompoundParts(c.typed, labels, 0, true, reading);
        EXPECT_EQ(readable, c.readable) << narrow(c.typed);
        if (!readable) continue;
        EXPECT_EQ(reading.numbers[0], c.feet) << narrow(c.typed);
        EXPECT_EQ(reading.numbers[1], c.inches) << narrow(c.typed);
        EXPECT_EQ(reading.next, c.next) << narrow(c.typed);
        EXPECT_EQ(reading.finished, c.finished) << narrow(c.typed);
    }
}

TEST(PlainNumbers, FifteenDigitsAsOtherProgramsReadThem) {
    struct Case {
        double value;
        int digits;
        std::string_view text;
    };
    const Case cases[] = {
        {0.1 + 0.2, 15, "0.3"},
        {3 - 2.9, 15, "0.1"},
        {1, 15, "1"},
        {1 / 0.3048, 15, "3.28083989501312"},  // the feet in a metre
        {2 / 0.3048, 15, "6.56167979002625"},
        {0.9999999999999999, 15, "1"},
        {-2.5e-7, 15, "-2.5e-7"},
        {1.5e20, 15, "1.5e20"},
        {123456789012345, 15, "123456789012345"},
        {1234567890123456, 15, "1.23456789012346e15"},
        {0.0001, 15, "0.0001"},
        {0.00001, 15, "1e-5"},
        {-0.0, 15, "0"},
        {1e301, 15, "1e301"},
        {2.0 / 3, 4, "0.6667"},
        {-1234.5678, 4, "-1235"},
        {123456, 4, "1.235e5"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(plainNumber(c.value, c.digits), c.text) << c.value;
        // The text reads back in the engine as the value it says.
        ExpressionEngine engine;
        double back = NAN;
        const std::u16string text(c.text.begin(), c.text.end());
        ASSERT_TRUE(engine.evaluate(text, back)) << c.text;
        EXPECT_EQ(back, roundedToDigits(c.value, c.digits)) << c.text;
        EXPECT_EQ(back, std::stod(std::string(c.text))) << c.text;
    }
    EXPECT_EQ(fixedDecimals(2.675, 2), "2.68"); // rounded as written, not as stored
    EXPECT_EQ(fixedDecimals(0.005, 2), "0.01");
    EXPECT_EQ(fixedDecimals(999.996, 2), "1000.00");
    EXPECT_EQ(fixedDecimals(1e-9, 3), "0.000");
}

TEST(PlainNumbers, ShownDigitsSetTheDisplay) {
    struct Case {
        int digits;
        double value;
        std::u16string_view shown;
    };
    const Case cases[] = {
        {12, 2.0 / 3, u"0.66666666667"},
        {12, 1234567.891, u"1,234,567.891"},
        {4, 2.0 / 3, u"0.667"},
        {4, -1234567.891, u"-1.235 e6"},
        {4, 0.000123456, u"123.5 e-6"},
        {15, 2.0 / 3, u"0.66666666666667"},
        {15, 0.1 + 0.2, u"0.3"},
        {15, 2.5e13, u"25,000,000,000,000"},
        {15, -1e15, u"-1 e15"},
    };
    for (const Case& c : cases) {
        setShownDigits(c.digits);
        EXPECT_EQ(displayDecimal(c.value, true), c.shown) << c.digits << " " << c.value;
    }
    setShownDigits(3);
    EXPECT_EQ(shownDigits(), kMinShownDigits);
    setShownDigits(kDefaultShownDigits);
}
