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
    ProcessResult r = pqtool({"eval", "2^3^2", "-2^2", "-3!", "200*10%", "0feh-1", "1e301"});
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
