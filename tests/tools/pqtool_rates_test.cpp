#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "document/document.h"
#include "document/rates_date.h"
#include "engine/text.h"
#include "tests/document/file_bytes.h"
#include "tests/document/reference_rates_sample.h"
#include "tests/document/test_http_server.h"
#include "tests/tools/run_process.h"

using pq::test::ProcessResult;
using pq::test::runProcess;
using pq::test::TempFolder;
using pq::test::TestHttpServer;

namespace {

ProcessResult pqtool(const std::vector<std::string>& args) { return runProcess(PQTOOL_PATH, args); }

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

TEST(PqtoolUpdate, TheBanksRatesRefreshTheShippedCurrencyFile) {
    TempFolder folder;
    std::filesystem::copy_file(std::string(PQ_DATA_DIR) + "/Currency.cnv",
                               folder.file("Currency.cnv"));
    TestHttpServer server;
    server.serve("/stats/eurofxref/eurofxref-daily.xml", pq::test::kReferenceRatesSample);
    std::string bad = pq::test::kReferenceRatesSample;
    bad.replace(bad.find("'163.27'"), 8, "'-1'");
    server.serve("/bad.xml", bad);

    // A broken document first: it says why and leaves the file alone.
    const std::string shipped = contents(folder.file("Currency.cnv"));
    ProcessResult r = pqtool({"update", folder.path(), server.url("/bad.xml")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "The download failed: the exchange rates of " + server.url("/bad.xml") +
                         " could not be read: the rate of JPY is not a positive number\n");
    EXPECT_EQ(contents(folder.file("Currency.cnv")), shipped);

    r = pqtool({"update", folder.path(), server.url("/stats/eurofxref/eurofxref-daily.xml")});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Downloaded 1 update file.\n"
                     "Currency.cnv\tDownloaded file timestamp: European Central Bank reference "
                     "rates of 2026-12-08\n"
                     "Currency.cnv: rates of 2026-12-08, European Central Bank\n");
    EXPECT_FALSE(std::filesystem::exists(folder.file("Currency.upd")));

    r = pqtool({"convert", folder.file("Currency.cnv"), "EUR", "100"});
    EXPECT_NE(r.out.find("(USD)\t108.45\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("(JPY)\t16,327.00\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("(GBP)\t84.21\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("(CHF)\t94.12\n"), std::string::npos) << r.out;
    // A currency the document does not name keeps its shipped rate.
    EXPECT_NE(r.out.find("(CAD)\t146.42\n"), std::string::npos) << r.out;
}

TEST(PqtoolRates, SaysTheDateAndAgeOfTheRatesAndFailsWhenTheyAreOld) {
    using namespace std::chrono;
    TempFolder folder;
    const std::string file = folder.file("Currency.cnv");
    const sys_days today = sys_days(pq::localToday());
    auto stamp = [&](const std::u16string& updated) {
        pq::ConversionDocument currency;
        ASSERT_TRUE(currency.loadFrom(std::string(PQ_DATA_DIR) + "/Currency.cnv", true));
        currency.setUpdatedText(updated);
        ASSERT_TRUE(currency.saveTo(file));
    };
    auto dated = [&](int daysAgo) {
        return std::u16string(pq::kRatesStamp) +
               pq::fromUtf8(pq::isoDate(year_month_day(today - days(daysAgo))));
    };
    const struct {
        int daysAgo;
        const char* age;
        int exitCode;
    } cases[] = {
        {0, "today", 0},
        {1, "1 day old", 0},
        {7, "7 days old", 0},
        {8, "8 days old: older than 7 days", 1},
        {400, "400 days old: older than 7 days", 1},
    };
    for (const auto& c : cases) {
        stamp(u"Downloaded file timestamp: " + dated(c.daysAgo));
        const ProcessResult r = pqtool({"rates", "--folder", folder.path()});
        EXPECT_EQ(r.exitCode, c.exitCode) << c.age;
        EXPECT_EQ(r.out, "Currency.cnv: rates of " +
                             pq::isoDate(year_month_day(today - days(c.daysAgo))) +
                             ", European Central Bank, " + c.age + "\n");
    }

    // Rates of no known date are not trusted either.
    stamp(u"12/8/2026 10:00:00");
    ProcessResult r = pqtool({"rates", "--folder=" + folder.path()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "Currency.cnv: the date of its rates is not known (Updated: 12/8/2026 "
                     "10:00:00)\n");
    std::filesystem::remove(file);
    r = pqtool({"rates", "--folder", folder.path()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "pqtool: " + folder.path() + " holds no Currency.cnv\n");
    r = pqtool({"rates", "--days", "3"});
    EXPECT_EQ(r.exitCode, 2);
}
