#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "document/catalogue.h"
#include "document/http_fetcher.h"
#include "document/rates_date.h"
#include "document/rates_fetch.h"
#include "engine/expression_engine.h"
#include "engine/text.h"
#include "tests/document/file_bytes.h"
#include "tests/document/reference_rates_sample.h"
#include "tests/document/test_http_server.h"

using namespace pq;
using namespace std::chrono_literals;
using pq::test::TempFolder;
using pq::test::TestHttpServer;

namespace {

CivilDate ymd(int y, unsigned m, unsigned d) {
    return CivilDate{std::chrono::year(y), std::chrono::month(m), std::chrono::day(d)};
}

} // namespace

TEST(RatesDate, IsTheLastBankStampOfTheUpdatedText) {
    const struct {
        const char16_t* text;
        std::optional<CivilDate> date;
    } cases[] = {
        {u"", std::nullopt},
        {u"12/8/2026 10:00:00", std::nullopt}, // a change of the user's
        {u"European Central Bank reference rates of 2023-12-29", ymd(2023, 12, 29)},
        {u"Downloaded file timestamp: European Central Bank reference rates of 2026-12-08",
         ymd(2026, 12, 8)},
        {u"Downloaded file timestamp: European Central Bank reference rates of 2026-12-07"
         u"Downloaded file timestamp: European Central Bank reference rates of 2026-12-08",
         ymd(2026, 12, 8)},
        {u"European Central Bank reference rates of 2024-02-29", ymd(2024, 2, 29)},
        {u"European Central Bank reference rates of 2026-02-29", std::nullopt},
        {u"European Central Bank reference rates of 2026-12-081", std::nullopt},
        {u"European Central Bank reference rates of 2026-1-08", std::nullopt},
        // A stamp that cannot be read does not hide an earlier one.
        {u"European Central Bank reference rates of 2026-12-08, "
         u"European Central Bank reference rates of soon",
         ymd(2026, 12, 8)},
    };
    for (const auto& c : cases) EXPECT_EQ(ratesDateOf(c.text), c.date) << toUtf8(c.text);
}

TEST(RatesDate, RatesOfMoreThanAWeekAgoAreOld) {
    const CivilDate rates = ymd(2026, 12, 8);
    const struct {
        CivilDate today;
        int age;
        bool old;
    } cases[] = {
        {ymd(2026, 12, 7), 0, false}, // a clock behind the bank's
        {ymd(2026, 12, 8), 0, false}, {ymd(2026, 12, 15), 7, false},
        {ymd(2026, 12, 16), 8, true}, {ymd(2027, 3, 1), 83, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ratesAgeDays(rates, c.today), c.age) << isoDate(c.today);
        EXPECT_EQ(ratesAreOld(rates, c.today), c.old) << isoDate(c.today);
    }
    EXPECT_EQ(parseIsoDate(isoDate(ymd(2026, 1, 5))), ymd(2026, 1, 5));
}

TEST(RatesDate, RatesAreDueADayAfterTheirPublication) {
    using namespace std::chrono;
    const sys_days rates = sys_days(ymd(2026, 12, 8));
    const struct {
        system_clock::time_point now;
        bool due;
    } cases[] = {
        {rates + hours(16), false}, // just published
        {rates + days(1) + hours(14), false},
        {rates + days(1) + hours(15), true}, // the next ones may be out
        {rates + days(9), true},
        {rates - days(2), false}, // a clock behind the bank's
    };
    for (const auto& c : cases)
        EXPECT_EQ(ratesAreDue(ymd(2026, 12, 8), c.now), c.due)
            << duration_cast<hours>(c.now - rates).count() << " h";
}

TEST(RatesDate, AnUpdateTextChangesTheDocumentAsItsFileWould) {
    TempFolder folder;
    std::filesystem::copy_file(std::string(PQ_DATA_DIR) + "/Currency.cnv",
                               folder.file("Currency.cnv"));
    ReferenceRates rates;
    std::string error;
    ASSERT_TRUE(parseReferenceRates(test::kReferenceRatesSample, rates, error)) << error;
    const std::string update = referenceRatesUpdate(rates);
    std::ofstream(folder.file("Currency.upd"), std::ios::binary) << update;

    ExpressionEngine engine;
    PlainFolder where(folder.path());
    ConversionDocument fromFile, fromText;
    ASSERT_TRUE(fromFile.load(where, true, u"Currency"));
    ASSERT_TRUE(fromText.load(where, true, u"Currency"));
    ASSERT_TRUE(fromFile.applyPendingUpdate(where, engine));
    ASSERT_TRUE(fromText.applyUpdateText(update, engine));
    EXPECT_TRUE(fromText.isModified());
    EXPECT_EQ(fromText.updatedText.view(), fromFile.updatedText.view());
    EXPECT_EQ(ratesDateOf(fromText.updatedText.view()), ymd(2026, 12, 8));
    fromText.setUpdatedText(u"same");
    fromFile.setUpdatedText(u"same");
    EXPECT_EQ(fromText.image(), fromFile.image());
    EXPECT_FALSE(fromText.applyUpdateText("not an update", engine));
}

TEST(RatesFetch, TakesTheBanksDocumentAloneAndSaysWhyNot) {
    TestHttpServer server;
    std::string big = test::kReferenceRatesSample;
    big.insert(big.find("<Cube>"), std::string(4000, ' '));
    std::string badRate = test::kReferenceRatesSample;
    badRate.replace(badRate.find("'163.27'"), 8, "'-1'");
    server.serve("/daily.xml", test::kReferenceRatesSample);
    server.serve("/list", "PQCLST\nhttp://127.0.0.1:1/a\n");
    server.serve("/update", "PQCUPD 1\r\n--File Name: Currency\r\n");
    server.serve("/page", "<html><body>Moved</body></html>");
    server.serve("/bad.xml", badRate);
    server.serve("/big.xml", big);
    server.serveSlowly("/slow.xml", test::kReferenceRatesSample, 20ms);
    std::string down;
    {
        TestHttpServer gone;
        down = gone.url("/daily.xml");
    }
    const DownloadLimits limits{300ms, 2000};
    const struct {
        std::string url;
        RatesFetch::Outcome outcome;
        std::string reason;
    } cases[] = {
        {server.url("/daily.xml"), RatesFetch::Outcome::Rates, ""},
        {server.url("/list"), RatesFetch::Outcome::Other, ""},
        {server.url("/update"), RatesFetch::Outcome::Other, ""},
        {server.url("/page"), RatesFetch::Outcome::Failed,
         "the download source sent no exchange rates"},
        {server.url("/bad.xml"), RatesFetch::Outcome::Failed,
         "the exchange rates cannot be read: the rate of JPY is not a positive number"},
        {server.url("/big.xml"), RatesFetch::Outcome::Failed, "larger than"},
        {server.url("/missing"), RatesFetch::Outcome::Failed, "404"},
        {server.url("/slow.xml"), RatesFetch::Outcome::Failed,
         "the download took longer than 300 ms"},
        {down, RatesFetch::Outcome::Failed, "onnect"},
    };
    for (const auto& c : cases) {
        CurlFetcher fetcher;
        const RatesFetch result = fetchReferenceRates(fetcher, c.url, limits);
        EXPECT_EQ(result.outcome, c.outcome) << c.url << ": " << result.reason;
        EXPECT_NE(result.reason.find(c.reason), std::string::npos)
            << c.url << ": " << result.reason;
        if (c.outcome == RatesFetch::Outcome::Rates) {
            EXPECT_EQ(result.rates.date, "2026-12-08");
            EXPECT_EQ(result.rates.rates.size(), 6u);
        }
    }
}
