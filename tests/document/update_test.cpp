#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "document/catalogue.h"
#include "document/update_downloader.h"
#include "engine/expression_engine.h"
#include "tests/document/file_bytes.h"
#include "tests/document/test_http_server.h"

using namespace pq;
using pq::test::TempFolder;
using pq::test::TestHttpServer;

namespace {

std::string updateFile(const std::string& name, const std::string& lines) {
    return "PQCUPD 1\r\n--File Name: " + name + "\r\n" + lines;
}

bool exists(const TempFolder& f, const std::string& name) {
    return std::filesystem::exists(f.file(name));
}

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Download {
    bool ok;
    int count;
    std::string error;
};

Download download(const TempFolder& folder, const std::string& url, FetchLimits limits = {}) {
    CurlFetcher fetcher(limits);
    PlainFolder where(folder.path());
    UpdateDownloader downloader(where, url, fetcher);
    bool ok = downloader.run();
    return {ok, downloader.downloadedCount(), downloader.errorText()};
}

} // namespace

TEST(Downloads, AListNamingTwoUpdateFilesStoresBoth) {
    TempFolder folder;
    TestHttpServer server;
    server.serve("/list.txt", "PQCLST\r\n" + server.url("/a.txt") + "\r\n# a comment\r\n" +
                                  server.url("/b.txt") + "\r\n");
    server.serve("/a.txt", updateFile("Currency", "USD\tEUR\t0.9\r\n"));
    server.serve("/b.txt", updateFile("Metals", "--Updated: today\r\n"));
    Download d = download(folder, server.url("/list.txt"));
    EXPECT_TRUE(d.ok) << d.error;
    EXPECT_EQ(d.count, 2);
    EXPECT_EQ(contents(folder.file("Currency.upd")), updateFile("Currency", "USD\tEUR\t0.9\r\n"));
    EXPECT_TRUE(exists(folder, "Metals.upd"));
}

TEST(Downloads, ListsThatNameThemselvesOrFurtherListsEnd) {
    TempFolder folder;
    TestHttpServer server;
    server.serve("/self.txt",
                 "PQCLST\n" + server.url("/self.txt") + "\n" + server.url("/more.txt"));
    server.serve("/more.txt", "PQCLST\n" + server.url("/self.txt") + "\n" + server.url("/u.txt") +
                                  "\nHTTPS://127.0.0.1:1/x\n");
    server.serve("/u.txt", updateFile("Length", ""));
    Download d = download(folder, server.url("/self.txt"));
    EXPECT_FALSE(d.ok); // the https address listed cannot be reached
    EXPECT_EQ(d.error, "Error downloading HTTP file: HTTPS://127.0.0.1:1/x");
    EXPECT_EQ(d.count, 1); // stored before the failure, and kept
    EXPECT_TRUE(exists(folder, "Length.upd"));
    EXPECT_EQ(server.requests(), 3);
}

TEST(Downloads, WhatIsNotAnUpdateFileIsNotStored) {
    TempFolder folder;
    TestHttpServer server;
    server.serve("/list", "PQCLST\n" + server.url("/html") + "\n" + server.url("/noname") + "\n" +
                              server.url("/up") + "\n" + server.url("/back") + "\n" +
                              server.url("/slash") + "\n" + server.url("/long") + "\n" +
                              server.url("/ctl") + "\n" + server.url("/empty") + "\n" +
                              server.url("/moved") + "\n" + server.url("/missing") + "\n" +
                              server.url("/never") + "\n");
    server.serve("/html", "<html>not ours</html>");
    server.serve("/noname", "PQCUPD\nUSD\tEUR\t1\n");
    server.serve("/up", updateFile("../escape", ""));
    server.serve("/back", updateFile("..\\escape", ""));
    server.serve("/slash", updateFile("/etc/passwd", ""));
    server.serve("/long", updateFile(std::string(64, 'a'), ""));
    server.serve("/ctl", updateFile("a\x01"
                                    "b",
                                    ""));
    server.serve("/empty", updateFile("   ", ""));
    server.serve("/fine", updateFile("  Fine  ", ""));
    server.redirect("/moved", server.url("/fine"));
    Download d = download(folder, server.url("/list"));
    EXPECT_FALSE(d.ok);
    EXPECT_EQ(d.error, "Error downloading HTTP file: " + server.url("/missing")); // a 404
    EXPECT_EQ(d.count, 1);
    std::vector<std::string> stored;
    for (const auto& e : std::filesystem::directory_iterator(folder.path()))
        stored.push_back(e.path().filename().string());
    EXPECT_EQ(stored, std::vector<std::string>{"Fine.upd"});
    EXPECT_FALSE(std::filesystem::exists(folder.path() + "../escape.upd"));
}

TEST(Downloads, AServerThatNeverAnswersFailsWithinTheTimeout) {
    TempFolder folder;
    test::SilentServer silent;
    FetchLimits limits;
    limits.totalTimeoutSeconds = 1;
    const auto start = std::chrono::steady_clock::now();
    Download d = download(folder, silent.url("/list"), limits);
    const auto seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_FALSE(d.ok);
    EXPECT_LT(seconds, 5);

    TestHttpServer server; // and a file larger than the limit is refused
    server.serve("/big", updateFile("Big", std::string(5000, 'x')));
    limits.maxBytes = 1000;
    d = download(folder, server.url("/big"), limits);
    EXPECT_FALSE(d.ok);
    EXPECT_FALSE(exists(folder, "Big.upd"));
    EXPECT_FALSE(download(folder, "file:///etc/passwd").ok); // only http and https
}

namespace {

struct Units {
    TempFolder folder;
    PlainFolder where{folder.path()};
    ConversionDocument d;
    ExpressionEngine engine;
    Item *u1, *u2, *u3;
    Units() {
        d.name = u"Money";
        for (const char16_t* id : {u"U1", u"u2", u"U3"}) {
            auto item = std::make_unique<UnitItem>();
            item->identifier = id;
            d.items.push_back(std::move(item));
        }
        u1 = d.items[0].get();
        u2 = d.items[1].get();
        u3 = d.items[2].get();
    }
    bool apply(const std::string& bytes) {
        std::ofstream(folder.file("Money.upd"), std::ios::binary) << bytes;
        return d.applyPendingUpdate(where, engine);
    }
};

} // namespace

TEST(PendingUpdates, LinesSetLinearConversions) {
    Units t;
    Conversion& formula = t.d.addConversion(); // stored the other way round, as a formula
    formula.kind = Conversion::Formula;
    formula.unit1 = t.u2;
    formula.unit2 = t.u1;
    ASSERT_TRUE(t.apply("PQCUPD\r\n--Updated: 1 Dec\r\n--File Name: Money\r\n-- a comment\r\n"
                        "U1\tU2\t1/1.25\r\n\r\nu1\tu3\t2*3\n--Updated: 2 Dec\n"
                        "\tU2\t5\nU1\tU2\n U1\tU2\t7\nU1\t\t7\nU1\tU3\t\nU1\tU3\t0\n"
                        "U1\tU3\t1/0\nU1\tNone\t3\nU3\tU3\t4\n"));
    EXPECT_FALSE(std::filesystem::exists(t.folder.file("Money.upd"))); // deleted once applied
    ASSERT_EQ(t.d.conversions.size(), 2u);
    Conversion& first = *t.d.conversions[0];
    EXPECT_TRUE(first.isLinear());
    EXPECT_EQ(first.unit1, t.u1);
    EXPECT_EQ(first.unit2, t.u2);
    EXPECT_EQ(first.factor, 0.8);
    EXPECT_EQ(first.offset, 0);
    Conversion& created = *t.d.conversions[1];
    EXPECT_EQ(created.unit1, t.u1);
    EXPECT_EQ(created.unit2, t.u3);
    EXPECT_EQ(created.factor, 6);
    EXPECT_EQ(t.d.updatedText,
              u"Downloaded file timestamp:  1 DecDownloaded file timestamp:  2 Dec");
}

TEST(PendingUpdates, OnlyUpdateFilesAreApplied) {
    Units t;
    t.d.updatedText = u"before";
    EXPECT_FALSE(t.d.applyPendingUpdate(t.where, t.engine)); // none pending
    EXPECT_FALSE(t.apply("PQCLST\nU1\tU2\t3\n"));
    EXPECT_TRUE(std::filesystem::exists(t.folder.file("Money.upd"))); // neither applied nor deleted
    EXPECT_TRUE(t.d.conversions.empty());
    EXPECT_EQ(t.d.updatedText, u"before");

    ASSERT_TRUE(t.apply("PQCUPD")); // without --Updated: the time it was applied
    EXPECT_NE(t.d.updatedText, u"before");
    EXPECT_FALSE(t.d.updatedText.empty());

    t.d.loaded = false; // a document without its items in memory keeps the file waiting
    EXPECT_FALSE(t.apply("PQCUPD\nU1\tU2\t3\n"));
    EXPECT_TRUE(std::filesystem::exists(t.folder.file("Money.upd")));
}

TEST(PendingUpdates, TheCatalogueAppliesThemWhenAFileBecomesCurrent) {
    TempFolder folder;
    ExpressionEngine engine;
    for (const char* name : {"First.cnv", "Rates.cnv"}) {
        ConversionDocument d;
        for (const char16_t* id : {u"a", u"b"}) {
            auto item = std::make_unique<UnitItem>();
            item->identifier = id;
            d.items.push_back(std::move(item));
        }
        ASSERT_TRUE(d.saveTo(folder.file(name)));
    }
    std::ofstream(folder.file("rates.upd"), std::ios::binary)
        << "PQCUPD\n--Updated: now\nA\tB\t2\n";
    {
        Catalogue c(engine);
        c.setFolder(folder.path());
        c.addFile(u"First.cnv");
        c.addFile(u"Rates.cnv");
        c.current(0);
        auto* rates = static_cast<ConversionDocument*>(c.current(1));
        ASSERT_EQ(rates->conversions.size(), 1u);
        EXPECT_EQ(rates->conversions[0]->factor, 2);
        EXPECT_EQ(rates->updatedText, u"Downloaded file timestamp:  now");
    } // written back when the catalogue goes
    ConversionDocument saved;
    ASSERT_TRUE(saved.loadFrom(folder.file("Rates.cnv"), true));
    ASSERT_EQ(saved.conversions.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(folder.file("rates.upd")));
}
