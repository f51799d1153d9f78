// The help documents promise what the programs do: every example of a number
// form and of a date function is in the help and gives the value it says.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "engine/calendar_date.h"
#include "engine/date_text.h"
#include "engine/expression_engine.h"
#include "engine/number_format.h"
#include "engine/text.h"

using namespace pq;

namespace {

std::string help(const char* path) {
    std::ifstream in(std::string(PQ_SOURCE_DIR "/") + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A value box of a unit that allows every form of number: feet and inches,
// currency, dates.
NumberFormat anyUnit() {
    NumberFormat f;
    f.setAllowedFormats(Decimal | Currency | Compound | DateTime);
    f.labels[0] = u"ft";
    f.labels[1] = u"in";
    f.fractions = {1, 12, 0, 0};
    return f;
}

struct Example {
    const char* text;
    double value;
};

} // namespace

TEST(HelpDocuments, TheConverterReadsEveryNumberAndDateItsHelpShows) {
    const std::string document = help("converter/help/pqconverter.htm");
    ASSERT_FALSE(document.empty());
    const double christmas = CalendarDate(12, 25, 2024).day;
    ExpressionEngine engine;
    const NumberFormat unit = anyUnit();
    for (const Example& e : {
             Example{"1,234.5", 1234.5},
             Example{"1.5e-3", 1.5e-3},
             Example{"500 e-6", 500e-6},
             Example{"0x1F", 31},
             Example{"1Fh", 31},
             Example{"17o", 15},
             Example{"101b", 5},
             Example{"0xFFFFFFFF", -1},
             Example{"(1,234.50)", -1234.5},
             Example{"4 ft 3 in", 4.25},
             Example{"[4 3]", 4.25},
             Example{"{12/25/2024}", christmas},
             Example{"{12/25/2024}+7", christmas + 7},
             Example{"fromutc(35, {12/25/2024}+0.5)", CalendarDate(12, 25, 2024, 7, 0, 0).day},
             Example{"toutc(35, {12/25/2024}+0.5)", CalendarDate(12, 25, 2024, 17, 0, 0).day},
         }) {
        EXPECT_NE(document.find(std::string("<code>") + e.text + "</code>"), std::string::npos)
            << e.text;
        double value = 0;
        ASSERT_TRUE(unit.readEntry(fromUtf8(e.text), engine, value)) << e.text;
        EXPECT_NEAR(value, e.value, 1e-9) << e.text;
    }
    // The date box's forms, in a month-first order.
    for (const Example& e :
         {Example{"2024-12-25", christmas}, Example{"2024-12-25 10:00", christmas + 10.0 / 24},
          Example{"25 Dec 2024", christmas}, Example{"12/25/2024", christmas},
          Example{"Wed 12/25/2024 10:00:00", christmas + 10.0 / 24}}) {
        EXPECT_NE(document.find(e.text), std::string::npos) << e.text;
        double day = 0;
        ASSERT_TRUE(readDateText(fromUtf8(e.text), DateOrder::MonthDayYear, day, nullptr))
            << e.text;
        EXPECT_NEAR(day, e.value, 1e-9) << e.text;
    }
    for (const char* call :
         {"<code>time</code>", "<code>inttime(zone)</code>", "<code>fromutc(zone, t)</code>",
          "<code>toutc(zone, t)</code>", "<code>inttime(85)</code>"})
        EXPECT_NE(document.find(call), std::string::npos) << call;
    double value = 0;
    EXPECT_TRUE(engine.evaluate(u"inttime(85)", value));
    EXPECT_TRUE(unit.parseAndEvaluate(u"time-{today}", engine, value));
}

TEST(HelpDocuments, TheCalculatorComputesEveryExampleOfItsHelp) {
    const std::string document = help("calculator/help/PqCalculator.htm");
    ASSERT_FALSE(document.empty());
    ExpressionEngine engine;
    for (const Example& e :
         {Example{"0x1F", 31}, Example{"0ffh", 255}, Example{"17o", 15}, Example{"101b", 5},
          Example{"0xFFFFFFFF", -1}, Example{"0ffffffffh", -1}, Example{"1.5e3", 1500},
          Example{"fromutc(35, 2460669.5)", 2460669.2916666665},
          Example{"toutc(35, 2460669.5)", 2460669.7083333335}}) {
        EXPECT_NE(document.find(e.text), std::string::npos) << e.text;
        double value = 0;
        ASSERT_TRUE(engine.evaluate(fromUtf8(e.text), value)) << e.text;
        EXPECT_EQ(value, e.value) << e.text;
    }
    EXPECT_NE(document.find("2460669.2916666665"), std::string::npos);
    EXPECT_NE(document.find("2460669.7083333335"), std::string::npos);
    EXPECT_EQ(CalendarDate(12, 25, 2024, 12, 0, 0).day, 2460669.5) << "noon UTC, as the help says";
    for (const char* call :
         {"time-2451544", "inttime(zone)", "inttime(85)", "fromutc(zone, t)", "toutc(zone, t)"})
        EXPECT_NE(document.find(call), std::string::npos) << call;
}
