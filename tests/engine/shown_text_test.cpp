// Every text the programs show or copy reads back as the value it stands for.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>

#include "engine/calendar_date.h"
#include "engine/date_text.h"
#include "engine/expression_engine.h"
#include "engine/format_text.h"
#include "engine/number_format.h"
#include "engine/number_parse.h"
#include "engine/plain_number.h"
#include "engine/shown_text.h"

namespace pq {
namespace {

std::string narrow(std::u16string_view text) { return std::string(text.begin(), text.end()); }

NumberFormat formatOf(int32_t code) {
    NumberFormat f;
    f.setAllowedFormats(code | Decimal);
    f.displayFormat = f.entryFormat = code;
    if (code == Compound) {
        f.labels[0] = u"ft";
        f.labels[1] = u"in";
        f.fractions = {1, 12, 0, 0};
    }
    return f;
}

TEST(HexPrefix, ReadsWhereverNumbersAreRead) {
    struct Case {
        std::u16string_view text;
        double value;
    };
    for (const Case& c :
         {Case{u"0x1f", 31}, Case{u"0X1f", 31}, Case{u"0x1F", 31}, Case{u"0xFFFFFFFF", -1},
          Case{u"0x7fffffff", 2147483647}, Case{u"0x80000000", -2147483648.0},
          Case{u"0x0000000000ff", 255}, Case{u"0x0", 0}}) {
        double v = NAN;
        EXPECT_TRUE(parseNumber(c.text, v) && v == c.value) << narrow(c.text);
    }
    for (std::u16string_view bad : {u"0x", u"0xg", u"0x100000000", u"-0x1", u"0x1.5", u"0x1h"}) {
        double v;
        EXPECT_FALSE(parseNumber(bad, v)) << narrow(bad);
    }
    ExpressionEngine engine;
    struct Formula {
        std::u16string_view text;
        double value;
    };
    for (const Formula& f :
         {Formula{u"0X1F+1", 32}, Formula{u"0x1e-5", 25}, Formula{u"2*0x10", 32},
          Formula{u"0x1e", 30}, Formula{u"1e-5", 1e-5}, Formula{u"0ffh+0x1", 256}}) {
        double v = NAN;
        EXPECT_TRUE(engine.evaluate(f.text, v) && v == f.value) << narrow(f.text) << " = " << v;
    }
}

TEST(ShownNumbers, DisplayFormsReadBack) {
    struct Case {
        std::u16string_view text;
        double value;
    };
    for (const Case& c :
         {Case{u"1,295.4", 1295.4}, Case{u" -1,234,567 ", -1234567},
          Case{u"699.460043197 e-6", 699.460043197e-6}, Case{u"25 e12", 25e12},
          Case{u"0 FFFF FFFFh", -1}, Case{u"1010 0101b", 165},
          Case{u"Dec: 2,147,483,648", 2147483648.0}, Case{u"0x1F", 31}, Case{u"1.5E+20", 1.5e20},
          Case{u"\u22122.5", -2.5}, Case{u"1 234 567", 1234567}}) {
        std::u16string plain;
        double v = NAN;
        EXPECT_TRUE(readShownNumber(c.text, plain, v) && v == c.value)
            << narrow(c.text) << " -> " << narrow(plain);
    }
    for (std::u16string_view bad : {u"4,5", u"1,2345", u",123", u"12,", u"", u" ", u".", u"-",
                                    u"1+2", u"abc", u"Dec:", u"1 2", u"12 34", u"1 234.5 6"}) {
        std::u16string plain;
        double v;
        EXPECT_FALSE(readShownNumber(bad, plain, v)) << narrow(bad);
    }
    double v = 0;
    EXPECT_TRUE(readBracketedAmount(u"(1,234.50)", v));
    EXPECT_EQ(v, -1234.5);
    EXPECT_TRUE(readBracketedAmount(u" (0.05) ", v));
    EXPECT_EQ(v, -0.05);
    for (std::u16string_view bad : {u"(12.5)", u"(1+2.00)", u"(12,34.00)", u"12.50", u"(.50)"})
        EXPECT_FALSE(readBracketedAmount(bad, v)) << narrow(bad);

    EXPECT_EQ(joinSpacedExponents(u"699.460043197 e-6*2"), u"699.460043197e-6*2");
    EXPECT_EQ(joinSpacedExponents(u"2  E+3"), u"2e3");
    EXPECT_EQ(joinSpacedExponents(u"x2 e-1"), u"x2 e-1"); // names and 0x stay as typed
    EXPECT_EQ(joinSpacedExponents(u"0x1 e-5"), u"0x1 e-5");
    EXPECT_EQ(joinSpacedExponents(u"2 exp"), u"2 exp");
}

TEST(ShownNumbers, ShortestTextReadsBackExactly) {
    std::mt19937_64 random(20);
    std::vector<double> values = {0.1 + 0.2, 52.13866090712743, 99999999999, 1e300, 1e301,
                                  -1e301,    5e-324,            2.5e-310,    123456789012,
                                  1.0 / 3};
    for (int i = 0; i < 2000; ++i) {
        double v;
        const uint64_t bits = random();
        std::memcpy(&v, &bits, sizeof v);
        if (std::isfinite(v) && std::fabs(v) <= 1e301) values.push_back(v);
    }
    for (double v : values) {
        const std::u16string text = shortestNumberText(v);
        double back = NAN;
        ASSERT_TRUE(parseNumber(text, back) && back == v) << narrow(text);
    }
    EXPECT_EQ(shortestNumberText(99999999999), u"99999999999");
    EXPECT_EQ(shortestNumberText(1e-7), u"1e-7");
    EXPECT_EQ(shortestNumberText(1e20), u"1e20");
}

TEST(DateTexts, LocaleOrderIsoAndTheDisplaysForms) {
    const double christmas = CalendarDate(12, 25, 2024).day;
    const double morning = CalendarDate(12, 25, 2024, 10, 0, 0).day;
    struct Case {
        std::u16string_view text;
        DateOrder order;
        double day;
        bool time;
    };
    const DateOrder mdy = DateOrder::MonthDayYear, dmy = DateOrder::DayMonthYear,
                    ymd = DateOrder::YearMonthDay;
    for (const Case& c : {
             Case{u"12/25/2024", mdy, christmas, false},
             Case{u"25/12/2024", dmy, christmas, false},
             Case{u"25.12.2024", dmy, christmas, false},
             Case{u"2024-12-25", mdy, christmas, false},
             Case{u"2024-12-25 10:00", dmy, morning, true},
             Case{u"2024-12-25T10:00:00", ymd, morning, true},
             Case{u"Wed 12/25/2024 10:00:00", mdy, morning, true},
             Case{u"Wed 12/25/2024 10:00:00 AM", mdy, morning, true},
             Case{u"12/25/2024 10:00:00 PM", mdy, morning + 0.5, true},
             Case{u"12/25/2024 12:00:00 AM", mdy, christmas, true},
             Case{u"25 Dec 2024", mdy, christmas, false},
             Case{u"December 25, 2024", dmy, christmas, false},
             Case{u"12/25/24", mdy, christmas, false},
             Case{u"2024年12月25日", ymd, christmas, false},
             Case{u"1/1/44 BC", mdy, CalendarDate(1, 1, -44).day, false},
         }) {
        double day = 0;
        bool time = !c.time;
        EXPECT_TRUE(readDateText(c.text, c.order, day, &time) && day == c.day && time == c.time)
            << narrow(c.text) << " -> " << day;
    }
    for (std::u16string_view bad :
         {u"", u"12", u"13/25/2024", u"2/30/2024", u"12/25/2024 25:00", u"12/25/2024 10",
          u"12/25/2024 10:61", u"12/25/2024 13:00 PM", u"hello 12/25/2024", u"12/25/2024 x",
          u"12/25/20245", u"1/2/3/4/5/6/7"}) {
        double day;
        EXPECT_FALSE(readDateText(bad, DateOrder::MonthDayYear, day, nullptr)) << narrow(bad);
    }
}

// Every text a row, a value box or Copy writes reads back in the value box
// as the value it stands for: the same shown text, and from Copy the same
// double.
TEST(ShownNumbers, RowsBoxesAndCopiesReadBackInTheValueBox) {
    ExpressionEngine engine;
    std::vector<double> values = {0,
                                  1295.4,
                                  -1234.5,
                                  4.25,
                                  0.000699460043197,
                                  1e12,
                                  2.5e13,
                                  -0.5,
                                  1.0 / 3,
                                  52.13866090712743,
                                  1e-7,
                                  1e300,
                                  -1e-300,
                                  12345678,
                                  2147483647,
                                  -2147483648.0,
                                  4294967296.0,
                                  0.1 + 0.2,
                                  96.56064,
                                  5.9999999};
    std::mt19937 random(7);
    std::uniform_real_distribution<double> exponent(-12, 15);
    for (int i = 0; i < 300; ++i)
        values.push_back((random() % 2 ? -1 : 1) * std::pow(10.0, exponent(random)));
    for (int32_t code : {Decimal, Currency, Compound, Hex, Octal, Binary}) {
        NumberFormat f = formatOf(code);
        for (double v : values) {
            // A compound value is typed in its own editor, not as the text
            // of formatForEntry.
            const std::u16string entry = code == Compound ? std::u16string() : f.formatForEntry(v);
            for (const std::u16string& text : {f.formatForDisplay(v), entry}) {
                if (text.empty()) continue; // a base box cannot show a fraction
                double back = NAN;
                ASSERT_TRUE(f.readEntry(text, engine, back))
                    << formatCodeName(code) << " " << narrow(text);
                EXPECT_EQ(f.formatForDisplay(back), f.formatForDisplay(v))
                    << formatCodeName(code) << " " << narrow(text);
            }
            // Copy reads back in the numeric box as its 15 digits, which show
            // as the value did; in a base box, a value the base can show.
            const std::u16string copy = f.copyText(v);
            for (int32_t entryFormat : {int32_t(Decimal), code}) {
                f.entryFormat = entryFormat;
                double copied = NAN;
                if (entryFormat != Decimal && std::u16string_view(copy).starts_with(u"Dec"))
                    continue;
                if (entryFormat != Decimal && f.formatForEntry(v).empty()) continue;
                ASSERT_TRUE(f.readEntry(copy, engine, copied)) << narrow(copy);
                EXPECT_EQ(copied, roundedToDigits(v)) << formatCodeName(code) << " " << narrow(copy);
                // (Cents, and inches to three decimals, of an amount of 10^9
                // or more are digits beyond them.)
                if ((code != Currency && code != Compound) || std::fabs(v) < 1e9) {
                    EXPECT_EQ(f.formatForDisplay(copied), f.formatForDisplay(v)) << narrow(copy);
                }
            }
            f.entryFormat = code;
        }
    }
    const NumberFormat dates = formatOf(DateTime);
    for (double day : {CalendarDate(12, 25, 2024, 10, 30, 15).day, CalendarDate(1, 1, 1753).day,
                       CalendarDate(2, 29, 2000, 23, 59, 59).day}) {
        double back = NAN;
        ASSERT_TRUE(dates.readEntry(dates.copyText(day), engine, back))
            << narrow(dates.copyText(day));
        EXPECT_EQ(back, day);
    }
}

TEST(ShownNumbers, CopyKeepsWhatTheRowRounds) {
    const NumberFormat decimal = formatOf(Decimal);
    EXPECT_EQ(decimal.copyText(1295.4), u"1295.4");
    // Fifteen significant digits at most, no binary noise beyond them.
    EXPECT_EQ(decimal.copyText(52.13866090712743), u"52.1386609071274");
    EXPECT_EQ(decimal.copyText(0.1 + 0.2), u"0.3");
    EXPECT_EQ(decimal.copyText(2 / 0.3048), u"6.56167979002625"); // 2 m in feet
    EXPECT_EQ(decimal.copyText(0.0005), u"0.0005");
    EXPECT_EQ(formatOf(Hex).copyText(255), u"0x00FF");
    EXPECT_EQ(formatOf(Hex).copyText(2.5), u"2.5");
    EXPECT_EQ(formatOf(Binary).copyText(5), u"0101b");
    EXPECT_EQ(formatOf(Compound).copyText(4.25), u"4.25");
    EXPECT_EQ(decimal.formatForEntry(0.0005), u"500 e-6"); // the row's own style
    EXPECT_EQ(decimal.formatForEntry(1234567.5), u"1234567.5");
    EXPECT_EQ(baseEntryText(u"0001 2345", Hex), u"00012345h");
    EXPECT_EQ(baseEntryText(u"0x1F", Hex), u"0x1f");
    EXPECT_EQ(baseEntryText(u"ffh", Hex), u"0ffh");
    EXPECT_EQ(baseEntryText(u"17o", Octal), u"17o");
    EXPECT_EQ(baseEntryText(u"1 2", Decimal), u"1 2");
}

} // namespace
} // namespace pq
