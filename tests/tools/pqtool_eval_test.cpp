#include <gtest/gtest.h>

#include "tests/tools/run_process.h"

using pq::test::ProcessResult;
using pq::test::runProcess;

namespace {

ProcessResult pqtool(const std::vector<std::string>& args, const std::string& input = {}) {
    return runProcess(PQTOOL_PATH, args, input);
}

} // namespace

TEST(PqtoolEval, PrintsOneLinePerExpression) {
    ProcessResult r = pqtool({"eval", "2^3^2", "-2^2", "-3!", "200*10%", "0feh-1", "1e302"});
    EXPECT_EQ(r.out, "64\n4\n-6\n20\n253\nError\n");
    EXPECT_EQ(r.exitCode, 1); // one expression failed

    r = pqtool({"eval", "--angle", "deg", "cos(90)", "tan(90)"});
    EXPECT_EQ(r.out, "0\nError\n");

    r = pqtool({"eval", "1/3", "0.1+0.2", "2^0.5"});
    EXPECT_EQ(r.out, "0.33333333333333331\n0.30000000000000004\n1.4142135623730951\n");
    EXPECT_EQ(r.exitCode, 0);

    r = pqtool({"eval", "--", "--3", "-1"}); // "--" ends the options
    EXPECT_EQ(r.out, "3\n-1\n");
}

TEST(PqtoolEval, ReadsNumbersAsPeopleWriteThem) {
    // Each text and what eval prints for it; the values as C prints them.
    const std::pair<std::string, std::string> cases[] = {
        {"1e+2", "100"},
        {"2.5e+3", "2500"},
        {"1.5E+20", "1.5e+20"},
        {"2e-3+1", "1.002"},
        {"1e+2*2", "200"},
        {"-.5", "-0.5"},
        {"5.", "5"},
        {"1e301", "1.0000000000000001e+301"}, // the largest literal, 1e301 as a double
        {"4e", "Error"},
        {"1e-", "Error"},
        {"1e+", "Error"},
        {".", "Error"},
        {"2*.", "Error"},
        {"1e302", "Error"},
        {"1e308", "Error"},
        {"0ffh+0x10+101b+17o", "291"}, // the based forms as they were
    };
    std::vector<std::string> args = {"eval"};
    std::string expected;
    for (const auto& [text, printed] : cases) {
        args.push_back(text);
        expected += printed + "\n";
    }
    const ProcessResult r = pqtool(args);
    EXPECT_EQ(r.out, expected);
    EXPECT_EQ(r.exitCode, 1);

    // What eval prints reads back as the same value.
    EXPECT_EQ(pqtool({"eval", "1e20/1e+20", "1.5e+20=15e19"}).out, "1\n-1\n");
}

TEST(PqtoolEval, DigitsChooseTheSignificantDigits) {
    ProcessResult r = pqtool({"eval", "--digits", "15", "0.1+0.2", "3-2.9", "1/3", "2/0.3048",
                              "-1e20/3", "1e-7/3", "1e+2"});
    EXPECT_EQ(r.out, "0.3\n0.1\n0.333333333333333\n6.56167979002625\n-3.33333333333333e19\n"
                     "3.33333333333333e-8\n100\n");
    r = pqtool({"--digits", "4", "eval", "2/3", "123456", "-0.000123456"});
    EXPECT_EQ(r.out, "0.6667\n1.235e5\n-0.0001235\n");
    // The display format takes the digits too.
    r = pqtool({"eval", "--digits", "6", "--format", "decimal", "1234567.891", "2/3"});
    EXPECT_EQ(r.out, "1.23457 e6\n0.66667\n");
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"eval", "--digits", "3", "1"},
                                               {"eval", "--digits", "16", "1"},
                                               {"eval", "--digits", "x", "1"},
                                               {"--digits", "20", "eval", "1"}}) {
        r = pqtool(args);
        EXPECT_EQ(r.exitCode, 2) << args[2];
        EXPECT_NE(r.err.find("--digits needs a whole number from 4 to 15"), std::string::npos);
    }
}

TEST(PqtoolEval, TimeZonesComeFromTheTzDatabaseItLoads) {
    if (!PQ_TZ_DATABASE) GTEST_SKIP() << "built without the tz database";
    // Noon UTC on 15 March 2026: New York is on daylight saving time since
    // 8 March (the engine's own table would still keep standard time), and
    // Moscow keeps +3 all year.
    const ProcessResult r = pqtool({"eval", "fromutc(35, 2461115.5)", "fromutc(145, 2461236.5)"});
    EXPECT_EQ(r.out, "2461115.3333333335\n2461236.625\n");
}

TEST(PqtoolEval, SettingsApplyInOrderBeforeTheExpressions) {
    ProcessResult r =
        pqtool({"eval", "net(120)*rate", "--set", "rate=1.25", "--define", "net(g)=g/(1+vat)",
                "--set", "vat=0.2", "--angle", "gra", "sin(100)", "iif(rate=1.25,1,2)"});
    EXPECT_EQ(r.out, "125\n1\n1\n");
    EXPECT_EQ(r.exitCode, 0);
    // A setting may refer to one made before it.
    r = pqtool({"eval", "--set", "a=2", "--set", "b=a*a", "b"});
    EXPECT_EQ(r.out, "4\n");
}

TEST(PqtoolEval, ReadsStandardInputWithoutExpressions) {
    ProcessResult r = pqtool({"eval"}, "1+1\r\n\nsqrt(16)\nbad(\n");
    EXPECT_EQ(r.out, "2\nError\n4\nError\n");
    EXPECT_EQ(r.exitCode, 1);
    r = pqtool({"eval"}, "");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.exitCode, 0);
}

TEST(PqtoolEval, BadUsageExitsWithTwo) {
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"eval", "--angle", "turns", "1"},
                                               {"eval", "--angle"},
                                               {"eval", "--set", "x", "1"},
                                               {"eval", "--set", "x=1/0", "x"},
                                               {"eval", "--set", "2x=1", "1"},
                                               {"eval", "--define", "sin(a)=a", "1"},
                                               {"eval", "--define", "f(a+1)=a", "1"},
                                               {"eval", "--verbose", "1"},
                                               {"frobnicate"},
                                               {}}) {
        ProcessResult r = pqtool(args);
        EXPECT_EQ(r.exitCode, 2) << (args.empty() ? "" : args.back());
        EXPECT_EQ(r.out, "");
        EXPECT_FALSE(r.err.empty());
    }
    ProcessResult help = pqtool({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("eval [--angle"), std::string::npos);
}
