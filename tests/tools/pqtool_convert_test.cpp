// pqtool convert over a data folder as scripts and people use it: the units
// named in every way people write them, one-line questions, hidden units,
// the usual meanings of shared names; the number printed, or the status 2
// with the candidates and never a number for another unit than the one meant.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "tests/document/unit_fixture.h"
#include "tests/tools/run_process.h"

using pq::test::ProcessResult;
using pq::test::runProcess;

namespace {

// Definitions the expected values come from.
constexpr double kFoot = 0.3048;         // m
constexpr double kInch = 0.0254;         // m
constexpr double kMile = 1609.344;       // m
constexpr double kGallonUS = 3.785411784; // L, 231 in³
constexpr double kGallonUK = 4.54609;    // L
constexpr double kPoundForce = 4.4482216152605; // N

const std::string& fixtureFolder() {
    static const pq::test::TempFolder folder;
    static const bool written = pq::test::writeUnitFixture(folder);
    EXPECT_TRUE(written);
    return folder.path();
}

struct Row {
    bool fixture; // the folder of units the shipped files lack
    std::vector<std::string> words;
    int status;
    double value;          // with status 0 and no `out`: the number printed (--plain)
    const char* out = nullptr; // the exact output instead
    const char* err = nullptr; // a part of the message
};

ProcessResult run(const Row& row) {
    std::vector<std::string> args{"convert", "--folder",
                                  row.fixture ? fixtureFolder() : std::string(PQ_DATA_DIR)};
    if (!row.out && row.status == 0) args.push_back("--plain");
    args.insert(args.end(), row.words.begin(), row.words.end());
    return runProcess(PQTOOL_PATH, args);
}

std::string joined(const std::vector<std::string>& words) {
    std::string line;
    for (const std::string& word : words) line += (line.empty() ? "" : " | ") + word;
    return line;
}

} // namespace

TEST(PqtoolConvert, NamesAsPeopleWriteThemAndOneLineQuestions) {
    const Row rows[] = {
        // The forms of a question, and what they print.
        {false, {"60 mph to km/h"}, 0, 0, "96.56064\n"},
        {false, {"60", "mph", "to", "km/h"}, 0, 0, "96.56064\n"},
        {false, {"60 mph in km/h"}, 0, 0, "96.56064\n"},
        {false, {"60mph", "in", "km/h"}, 0, 0, "96.56064\n"},
        {false, {"60", "mph", "km/h"}, 0, 0, "96.56064\n"},
        {false, {"5 ft 11 in to cm"}, 0, 0, "180.34\n"},
        {false, {"5 ft 11 3/16 in to cm"}, 0, (71 + 3.0 / 16) * 2.54},
        {false, {"1 1/2 cups to mL"}, 0, 1.5 * 1000 * kGallonUS / 16},
        {false, {"3/4", "in", "mm"}, 0, 19.05},
        {false, {"1 h 30 min in s"}, 0, 0, "5,400\n"},
        {false, {"-40 F to C"}, 0, 0, "-40\n"},
        {false, {"--plain", "1", "ly", "m"}, 0, 0, "9.4607304725808e+15\n"},
        {false, {"--plain", "1 h 30 min in s"}, 0, 0, "5400\n"},
        {false, {"5' 11\" to cm"}, 0, 5 * 30.48 + 11 * 2.54},
        {false, {"1 mi to km"}, 0, kMile / 1000},
        // Hidden units, as source and as target.
        {false, {"1", "m", "furlong"}, 0, 1 / (660 * kFoot)},
        {false, {"1", "furlong", "m"}, 0, 660 * kFoot},
        {false, {"1", "m", "nm"}, 0, 1e9},
        {false, {"1", "kg", "ct"}, 0, 1000 / 0.2},
        {false, {"1", "s", "us"}, 0, 1e6},
        {false, {"1", "L", "cup"}, 0, 16 / kGallonUS},
        {false, {"1", "L", "galUS"}, 0, 1 / kGallonUS},
        {false, {"1", "mL", "flozUK"}, 0, 160 / (1000 * kGallonUK)},
        {false, {"1", "m3", "cup"}, 0, 16000 / kGallonUS}, // the cup of Volume
        // The usual meanings.
        {false, {"1", "gallon", "L"}, 0, kGallonUS},
        {false, {"1", "gal", "L"}, 0, kGallonUS},
        {false, {"2", "pints", "mL"}, 0, 2 * 1000 * kGallonUS / 8},
        {false, {"1", "quart", "L"}, 0, kGallonUS / 4},
        {false, {"1", "cup", "mL"}, 0, 1000 * kGallonUS / 16},
        {false, {"1 fluid ounce to mL"}, 0, 1000 * kGallonUS / 128},
        {false, {"1", "tablespoon", "mL"}, 0, 1000 * kGallonUS / 256},
        {false, {"1", "teaspoon", "mL"}, 0, 1000 * kGallonUS / 768},
        {false, {"1", "calorie", "J"}, 0, 4.184},
        {false, {"1", "kilocalorie", "J"}, 0, 4184},
        {false, {"1", "horsepower", "W"}, 0, 550 * kFoot * kPoundForce},
        {false, {"1", "ton", "kg"}, 0, 2000 * 0.45359237},
        {false, {"10", "mpg", "L/100km"}, 0, 100 * kGallonUS / (10 * kMile / 1000)},
        // Other units named as people write them.
        {false, {"1 imperial gallon to L"}, 0, kGallonUK},
        {false, {"1 UK gallon to US gallon"}, 0, kGallonUK / kGallonUS},
        {false, {"3 furlongs to m"}, 0, 3 * 660 * kFoot},
        {false, {"1 square feet to m2"}, 0, kFoot * kFoot},
        {false, {"1 cu in to mL"}, 0, 1e6 * kInch * kInch * kInch},
        {false, {"5 degrees Celsius to F"}, 0, 41},
        {false, {"100 kilometer per hour to miles per hour"}, 0, 1e5 / kMile},
        {false, {"2 gigabytes to MB"}, 0, 2000},
        {false, {"1", "MPH", "KMH"}, 0, kMile / 1000},
        // Units the shipped files lack, beside their case twins.
        {true, {"1", "mW", "W"}, 0, 0.001},
        {true, {"1", "MW", "W"}, 0, 1e6},
        {true, {"1", "Mb", "B"}, 0, 1e6 / 8},
        {true, {"1", "MB", "bit"}, 0, 8e6},
        {true, {"1", "Cal", "J"}, 0, 4184},
        {true, {"1", "cal", "J"}, 0, 4.184},
        {true, {"1 Nm to lbf·ft"}, 0, 1 / (kFoot * kPoundForce)},
        {true, {"1 kΩ to Ω"}, 0, 1000},
        {true, {"100 usd in eur"}, 0, 80},
        // The shipped case twins.
        {false, {"1", "mW", "W"}, 0, 0.001},
        {false, {"1", "ML", "L"}, 0, 1e6},
        {false, {"1", "Mb", "MB"}, 0, 0.125},
        {false, {"1", "kb", "B"}, 0, 125},
        {false, {"1", "Cal", "J"}, 0, 4184},
        {false, {"12", "pt", "mm"}, 0, 12 * kInch / 72 * 1000}, // the point, not the pint
        // Names that mean no unit here, or several, or units of no one file.
        {false, {"1", "Mg", "kg"}, 2, 0, "", "\"Mg\""},
        {false, {"1", "Nm", "m"}, 2, 0, "", "\"Nm\""},
        {false, {"1", "m/s", "s"}, 2, 0, "", "no data file holds both \"m/s\" and \"s\""},
        {false, {"1 IST to UTC"}, 2, 0, "", "\"IST\" names several units"},
        {false, {"1 C 2 F to K"}, 2, 0, "", "cannot be added"},
        {false, {"1 xyzzy to m"}, 2, 0, "", "no unit of"},
        {false, {"five", "ft", "m"}, 1, 0, "Error\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(joined(row.words));
        const ProcessResult r = run(row);
        EXPECT_EQ(r.exitCode, row.status) << r.err;
        if (row.err) {
            EXPECT_NE(r.err.find(row.err), std::string::npos) << r.err;
        }
        if (row.out) {
            EXPECT_EQ(r.out, row.out);
        } else if (row.status == 0) {
            ASSERT_TRUE(r.out.ends_with('\n')) << r.out;
            char* end = nullptr;
            const double printed = std::strtod(r.out.c_str(), &end);
            EXPECT_EQ(std::string(end), "\n") << r.out;
            EXPECT_NEAR(printed, row.value, 1e-12 * std::fabs(row.value)) << r.out;
        }
        // A number, and nothing else, exactly when the status is 0.
        if (r.exitCode == 0) {
            EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1);
        } else if (r.exitCode == 2) {
            EXPECT_EQ(r.out, "");
        }
    }
}

TEST(PqtoolConvert, AmbiguousNamesListTheirUnitsAndFiles) {
    const ProcessResult r = runProcess(
        PQTOOL_PATH, {"convert", "--folder", PQ_DATA_DIR, "1", "IST", "UTC"});
    EXPECT_EQ(r.exitCode, 2);
    for (const char* zone : {"India\t", "Jerusalem\t", "London\t"})
        EXPECT_NE(r.err.find(std::string(zone)), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("TimeZones.cnv"), std::string::npos);
    // A value with no unit to convert to shows every unit of its file.
    const ProcessResult all =
        runProcess(PQTOOL_PATH, {"convert", "--folder", PQ_DATA_DIR, "5 ft 11 in"});
    EXPECT_EQ(all.exitCode, 0) << all.err;
    EXPECT_NE(all.out.find("Centimetre (cm)\t180.34\n"), std::string::npos) << all.out;
}

TEST(PqtoolConvert, AFileOfItsOwnTakesNamesByTheSameRules) {
    const std::string power = fixtureFolder() + "Power.cnv";
    const struct {
        const char* unit;
        const char* watts; // the first line
    } cases[] = {{"MW", "Watt (W)\t1,000,000\n"}, {"mW", "Watt (W)\t0.001\n"},
                 {"megawatts", "Watt (W)\t1,000,000\n"}, {"watt", "Watt (W)\t1\n"}};
    for (const auto& c : cases) {
        const ProcessResult r = runProcess(PQTOOL_PATH, {"convert", power, c.unit, "1"});
        EXPECT_EQ(r.exitCode, 0) << c.unit << ": " << r.err;
        EXPECT_TRUE(r.out.starts_with(c.watts)) << c.unit << ": " << r.out;
    }
    const ProcessResult none = runProcess(PQTOOL_PATH, {"convert", power, "Mw2", "1"});
    EXPECT_EQ(none.exitCode, 2);
    EXPECT_EQ(none.out, "");
}
