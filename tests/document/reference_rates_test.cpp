#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <regex>
#include <thread>

#include "document/catalogue.h"
#include "document/reference_rates.h"
#include "document/update_downloader.h"
#include "engine/expression_engine.h"
#include "tests/document/file_bytes.h"
#include "tests/document/reference_rates_sample.h"
#include "tests/document/test_http_server.h"

using namespace pq;
using pq::test::kReferenceRatesSample;
using pq::test::TempFolder;
using pq::test::TestHttpServer;

namespace {

// The sample with one part of it replaced.
std::string sampleWith(const std::string& from, const std::string& to) {
    std::string text = kReferenceRatesSample;
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

std::string parseError(const std::string& xml) {
    ReferenceRates rates;
    std::string error;
    if (parseReferenceRates(xml, rates, error)) return "accepted";
    return error;
}

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Answers every request with an endless body.
class EndlessServer {
  public:
    EndlessServer() {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            ::listen(listener_, 4) == 0 &&
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] {
            const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (connection < 0) return;
            std::string chunk = "HTTP/1.0 200 OK\r\n\r\n<?xml version='1.0'?><Envelope>";
            while (!stop_ && ::send(connection, chunk.data(), chunk.size(), MSG_NOSIGNAL) > 0)
                chunk.assign(65536, ' ');
            ::close(connection);
        });
    }
    ~EndlessServer() {
        stop_ = true;
        ::shutdown(listener_, SHUT_RDWR); // wakes a pending accept
        thread_.join();
        ::close(listener_);
    }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/rates.xml"; }

  private:
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// A currency file of the euro, the dollar, the yen and the franc, the dollar
// joined to the euro the other way round.
void writeCurrencyFile(const TempFolder& folder) {
    ConversionDocument d;
    d.title.assign(u"Currency Exchange");
    d.updatedText.assign(u"Shipped");
    for (const char16_t* id : {u"EUR", u"USD", u"JPY", u"CHF", u"HUF"}) {
        auto item = std::make_unique<UnitItem>();
        item->identifier.assign(id);
        d.items.push_back(std::move(item));
    }
    Conversion& back = d.addConversion();
    back.unit1 = d.items[1].get();
    back.unit2 = d.items[0].get();
    back.factor = 0.9;
    Conversion& yen = d.addConversion();
    yen.unit1 = d.items[0].get();
    yen.unit2 = d.items[2].get();
    yen.factor = 150;
    ASSERT_TRUE(d.saveTo(folder.file("Currency.cnv")));
}

struct Outcome {
    bool ok;
    int count;
    std::string error;
};

Outcome download(const TempFolder& folder, const std::string& url) {
    PlainFolder where(folder.path());
    UpdateDownloader downloader(where, url);
    const bool ok = downloader.run();
    return {ok, downloader.downloadedCount(), downloader.errorText()};
}

} // namespace

TEST(ReferenceRates, TheBanksDocumentGivesTheUpdateOfTheCurrencyFile) {
    ReferenceRates rates;
    std::string error;
    ASSERT_TRUE(parseReferenceRates(kReferenceRatesSample, rates, error)) << error;
    EXPECT_EQ(rates.date, "2026-12-08");
    ASSERT_EQ(rates.rates.size(), 6u);
    EXPECT_EQ(rates.rates[0], (std::pair<std::string, std::string>("USD", "1.0845")));
    EXPECT_EQ(rates.rates[2].second, "0.84213"); // digits as published
    EXPECT_EQ(referenceRatesUpdate({"2026-12-08", {{"USD", "1.0845"}, {"EUR", "1"}}}),
              "PQCUPD\r\n--File Name: Currency\r\n"
              "--Updated:European Central Bank reference rates of 2026-12-08\r\n"
              "EUR\tUSD\t1.0845\r\n");

    // Several dates (the bank's history documents): the latest one counts.
    const std::string days =
        sampleWith("<Cube time='2026-12-08'>",
                   "<Cube time='2026-12-04'><Cube currency='USD' rate='1.05'/></Cube>"
                   "<Cube time='2026-12-09'><Cube currency='USD' rate='1.09'/></Cube>"
                   "<Cube time='2026-12-07'>");
    ASSERT_TRUE(parseReferenceRates(days, rates, error)) << error;
    EXPECT_EQ(rates.date, "2026-12-09");
    EXPECT_EQ(rates.rates, (std::vector<std::pair<std::string, std::string>>{{"USD", "1.09"}}));

    // Recognised by its beginning, whatever the white space and byte order mark.
    EXPECT_TRUE(isReferenceRatesDocument(kReferenceRatesSample));
    EXPECT_TRUE(isReferenceRatesDocument("\xEF\xBB\xBF \r\n<gesmes:Envelope>"));
    EXPECT_TRUE(isReferenceRatesDocument("<Envelope/>"));
    EXPECT_FALSE(isReferenceRatesDocument("PQCLST\n"));
    EXPECT_FALSE(isReferenceRatesDocument("PQCUPD\n<?xml"));
    EXPECT_FALSE(isReferenceRatesDocument("<html>"));
    EXPECT_FALSE(isReferenceRatesDocument(""));
}

TEST(ReferenceRates, BrokenOrHostileDocumentsAreRefusedWithTheirReason) {
    EXPECT_EQ(
        parseError(std::string(kReferenceRatesSample) + std::string(kMaxReferenceRatesBytes, ' ')),
        "the document is larger than 512 KiB");
    EXPECT_EQ(parseError(sampleWith("</gesmes:Sender>", "")).substr(0, 32),
              "it is not well-formed XML (line ");
    EXPECT_EQ(parseError(""), "it is not well-formed XML (line 1: no element found)");
    EXPECT_EQ(parseError("<?xml version='1.0'?><html><Cube time='2026-12-08'/></html>"),
              "it is not an exchange rates document");

    // Entities: a few bytes that would expand to gigabytes, or read a file.
    std::string laughs = "<?xml version='1.0'?><!DOCTYPE Envelope [<!ENTITY a 'ha'>";
    for (char c = 'b'; c <= 'j'; ++c)
        laughs += std::string("<!ENTITY ") + c + " '&" + char(c - 1) + ";&" + char(c - 1) + ";'>";
    laughs += "]><Envelope><Cube><Cube time='2026-12-08'><Cube currency='USD' rate='&j;'/>"
              "</Cube></Cube></Envelope>";
    EXPECT_EQ(parseError(laughs), "it declares a document type or entities");
    EXPECT_EQ(parseError("<!DOCTYPE Envelope SYSTEM 'file:///etc/passwd'><Envelope/>"),
              "it declares a document type or entities");

    for (const char* rate : {"0", "0.0000", "-1.5", "+1.5", "nan", "NaN", "inf", "1e5", "1.", ".5",
                             "1,5", " 1.5", "1.5.2", "", "99999999999999999999999999"})
        EXPECT_EQ(parseError(sampleWith("'1.0845'", std::string("'") + rate + "'")),
                  "the rate of USD is not a positive number")
            << rate;
    EXPECT_EQ(parseError(sampleWith(" rate='1.0845'", "")),
              "the rate of USD is not a positive number");

    for (const char* code : {"usd", "US", "USDX", "U$D", ""})
        EXPECT_EQ(parseError(sampleWith("'USD'", std::string("'") + code + "'")),
                  "a currency code is missing or not three upper-case letters")
            << code;
    EXPECT_EQ(parseError(sampleWith("'JPY'", "'USD'")), "USD is given twice");
    EXPECT_EQ(parseError(sampleWith("<Cube currency='USD' rate='1.0845'/>", "<Cube/>")),
              "a rate names no currency");

    EXPECT_EQ(parseError(sampleWith(" time='2026-12-08'", "")),
              "rates are given without a date (time attribute)");
    for (const char* date :
         {"2026-13-01", "2026-02-29", "2026-12-8", "08.12.2026", "", "1900-01-01"})
        EXPECT_EQ(parseError(sampleWith("'2026-12-08'", std::string("'") + date + "'")),
                  "a date is not of the form YYYY-MM-DD")
            << date;
    EXPECT_EQ(parseError(sampleWith("'2026-12-08'", "'2028-02-29'")), "accepted"); // a leap day
    EXPECT_EQ(parseError("<Envelope><Cube/></Envelope>"), "it holds no dated rates");
    EXPECT_EQ(parseError("<Envelope><Cube><Cube time='2026-12-08'/></Cube></Envelope>"),
              "the rates of 2026-12-08 are missing");
}

TEST(ReferenceRates, DownloadingThemUpdatesTheRatesAndTheUpdatedText) {
    TempFolder folder;
    writeCurrencyFile(folder);
    TestHttpServer server;
    server.serve("/eurofxref-daily.xml", kReferenceRatesSample);
    Outcome run = download(folder, server.url("/eurofxref-daily.xml"));
    ASSERT_TRUE(run.ok) << run.error;
    EXPECT_EQ(run.count, 1);

    ExpressionEngine engine;
    {
        Catalogue catalogue(engine);
        catalogue.setFolder(folder.path());
        catalogue.addFile(u"Currency.cnv");
        ASSERT_TRUE(catalogue.current(0));
        ASSERT_TRUE(catalogue.applyUpdate());
        EXPECT_EQ(catalogue.current(0)->saveChanges(catalogue).outcome, SaveResult::Outcome::Saved);
    }
    EXPECT_FALSE(std::filesystem::exists(folder.file("Currency.upd")));
    ConversionDocument saved;
    ASSERT_TRUE(saved.loadFrom(folder.file("Currency.cnv"), true));
    EXPECT_EQ(saved.updatedText,
              u"Downloaded file timestamp: European Central Bank reference rates of 2026-12-08");
    std::map<std::u16string, double> factors; // per currency, against the euro
    for (const auto& c : saved.conversions) {
        ASSERT_TRUE(c->isLinear());
        EXPECT_EQ(c->unit1->identifier, u"EUR"); // the dollar's conversion turned round
        factors[std::u16string(c->unit2->identifier.view())] = c->factor;
    }
    // The test currency XTS has no unit and is skipped; GBP likewise.
    EXPECT_EQ(factors,
              (std::map<std::u16string, double>{
                  {u"USD", 1.0845}, {u"JPY", 163.27}, {u"CHF", 0.9412}, {u"HUF", 401.15}}));

    // An update list may name the document as well.
    server.serve("/list.txt", "PQCLST\r\n" + server.url("/eurofxref-daily.xml") + "\r\n");
    run = download(folder, server.url("/list.txt"));
    EXPECT_TRUE(run.ok) << run.error;
    EXPECT_EQ(contents(folder.file("Currency.upd")), referenceRatesUpdate({"2026-12-08",
                                                                           {{"USD", "1.0845"},
                                                                            {"JPY", "163.27"},
                                                                            {"GBP", "0.84213"},
                                                                            {"CHF", "0.9412"},
                                                                            {"XTS", "2.5"},
                                                                            {"HUF", "401.15"}}}));
}

TEST(ReferenceRates, ABrokenDownloadChangesNoFile) {
    TempFolder folder;
    writeCurrencyFile(folder);
    const std::string before = contents(folder.file("Currency.cnv"));
    TestHttpServer server;
    const std::vector<std::pair<std::string, std::string>> documents = {
        {"huge", sampleWith("<Cube>", "<Cube>" + std::string(600 * 1024, '\n'))},
        {"malformed", sampleWith("</Cube>\n\t</Cube>", "</Cube>")},
        {"laughs",
         sampleWith("<gesmes:Envelope", "<!DOCTYPE x [<!ENTITY a 'aaaa'>]><gesmes:Envelope")},
        {"zero", sampleWith("'163.27'", "'0'")},
        {"negative", sampleWith("'163.27'", "'-163.27'")},
        {"infinite", sampleWith("'163.27'", "'inf'")},
        {"badcode", sampleWith("'CHF'", "'chf'")},
        {"undated", sampleWith(" time='2026-12-08'", "")}};
    for (const auto& [name, body] : documents) {
        server.serve("/" + name, body);
        const Outcome run = download(folder, server.url("/" + name));
        EXPECT_FALSE(run.ok) << name;
        EXPECT_EQ(run.count, 0) << name;
        EXPECT_TRUE(std::regex_match(run.error, std::regex("the exchange rates of "
                                                           "http://127\\.0\\.0\\.1:[0-9]+/" +
                                                           name + " could not be read: .+")))
            << run.error;
    }
    {
        EndlessServer endless; // stopped by the download's size limit
        const Outcome run = download(folder, endless.url());
        EXPECT_FALSE(run.ok);
        EXPECT_EQ(run.error,
                  "could not download " + endless.url() + " (the file is larger than the limit)");
    }
    std::vector<std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(folder.path()))
        files.push_back(e.path().filename().string());
    EXPECT_EQ(files, std::vector<std::string>{"Currency.cnv"});
    EXPECT_EQ(contents(folder.file("Currency.cnv")), before);
}
