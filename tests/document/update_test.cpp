#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
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

Download download(const TempFolder& folder, const std::string& url, FetchLimits limits = {},
                  DownloadLimits run = {}) {
    CurlFetcher fetcher(limits);
    PlainFolder where(folder.path());
    UpdateDownloader downloader(where, url, fetcher, run);
    bool ok = downloader.run();
    return {ok, downloader.downloadedCount(), downloader.errorText()};
}

// Empty conversion files, so that update files for them are stored.
void addConversionFiles(const TempFolder& folder, std::initializer_list<const char*> names) {
    for (const char* name : names) {
        ConversionDocument d;
        ASSERT_TRUE(d.saveTo(folder.file(std::string(name) + ".cnv")));
    }
}

std::vector<std::string> updateFiles(const TempFolder& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder.path()))
        if (e.path().extension() != ".cnv") names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

TEST(Downloads, AListNamingTwoUpdateFilesStoresBoth) {
    TempFolder folder;
    addConversionFiles(folder, {"Currency", "Metals"});
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
    addConversionFiles(folder, {"Length"});
    TestHttpServer server;
    server.serve("/self.txt",
                 "PQCLST\n" + server.url("/self.txt") + "\n" + server.url("/more.txt"));
    server.serve("/more.txt", "PQCLST\n" + server.url("/self.txt") + "\n" + server.url("/u.txt") +
                                  "\nHTTPS://127.0.0.1:1/x\n");
    server.serve("/u.txt", updateFile("Length", ""));
    Download d = download(folder, server.url("/self.txt"));
    EXPECT_FALSE(d.ok); // the https address listed cannot be reached
    EXPECT_EQ(d.error, "could not download HTTPS://127.0.0.1:1/x (the server could not be "
                       "reached; is the computer connected to the internet?)");
    EXPECT_EQ(d.count, 1); // stored before the failure, and kept
    EXPECT_TRUE(exists(folder, "Length.upd"));
    EXPECT_EQ(server.requests(), 3);
}

TEST(Downloads, WhatIsNotAnUpdateFileIsNotStored) {
    TempFolder folder;
    addConversionFiles(folder, {"Fine", "a", "b", "c", "d", "e", "f", "g", "Dot", "bashrc"});
    TestHttpServer server;
    server.serve("/list", "PQCLST\n" + server.url("/html") + "\n" + server.url("/noname") + "\n" +
                              server.url("/up") + "\n" + server.url("/back") + "\n" +
                              server.url("/slash") + "\n" + server.url("/long") + "\n" +
                              server.url("/ctl") + "\n" + server.url("/empty") + "\n" +
                              server.url("/dot") + "\n" + server.url("/hidden") + "\n" +
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
    server.serve("/dot", updateFile(".", ""));
    server.serve("/hidden", updateFile(".bashrc", ""));
    server.serve("/fine", updateFile("  Fine  ", ""));
    server.redirect("/moved", server.url("/fine"));
    Download d = download(folder, server.url("/list"));
    EXPECT_FALSE(d.ok);
    EXPECT_TRUE(d.error.starts_with("could not download " + server.url("/missing")))
        << d.error; // a 404
    EXPECT_EQ(d.count, 1);
    EXPECT_EQ(updateFiles(folder), std::vector<std::string>{"Fine.upd"});
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
    EXPECT_LT(seconds, 30) << "ended by the timeout, not left waiting";
    EXPECT_TRUE(d.error.ends_with("(the server did not answer in time; try again later)"))
        << d.error;

    TestHttpServer server; // and a file larger than the limit is refused
    server.serve("/big", updateFile("Big", std::string(5000, 'x')));
    limits.maxBytes = 1000;
    d = download(folder, server.url("/big"), limits);
    EXPECT_FALSE(d.ok);
    EXPECT_FALSE(exists(folder, "Big.upd"));
    EXPECT_FALSE(download(folder, "file:///etc/passwd").ok); // only http and https
}

TEST(Downloads, UpdatesForFilesTheFolderLacksArePassedOverAndTheOthersStored) {
    TempFolder folder;
    addConversionFiles(folder, {"Currency", "Length"});
    TestHttpServer server;
    // A list that serves many folders: forty updates for files this folder
    // lacks, then the one for its Currency file.
    std::string list = "PQCLST\n";
    for (int i = 0; i < 40; ++i) {
        const std::string path = "/u" + std::to_string(i);
        server.serve(path, updateFile("Junk" + std::to_string(i), std::string(1000, 'x')));
        list += server.url(path) + "\n";
    }
    server.serve("/currency", updateFile("Currency", "a\tb\t1\n"));
    server.serve("/list", list + server.url("/currency") + "\n");
    Download d = download(folder, server.url("/list"));
    EXPECT_TRUE(d.ok) << d.error;
    EXPECT_EQ(d.count, 1);
    EXPECT_EQ(server.requests(), 42);
    EXPECT_EQ(updateFiles(folder), std::vector<std::string>{"Currency.upd"});
    std::filesystem::remove(folder.file("Currency.upd"));

    // The run's file count still bounds a list that names without end.
    list = "PQCLST\n";
    for (size_t i = 0; i <= UpdateDownloader::kMaxFiles; ++i) {
        const std::string path = "/v" + std::to_string(i);
        server.serve(path, updateFile("Junk", ""));
        list += server.url(path) + "\n";
    }
    server.serve("/long", list);
    d = download(folder, server.url("/long"));
    EXPECT_FALSE(d.ok);
    EXPECT_NE(d.error.find("more than 256 files"), std::string::npos) << d.error;
    EXPECT_TRUE(updateFiles(folder).empty());

    // One update per conversion file, under the file's own name, whatever
    // case the update file writes it in; "~root" is no plain file name.
    server.serve("/two", "PQCLST\n" + server.url("/c1") + "\n" + server.url("/c2") + "\n");
    server.serve("/c1", updateFile("CURRENCY", "a\tb\t1\n"));
    server.serve("/c2", updateFile("currency", "a\tb\t2\n"));
    d = download(folder, server.url("/two"));
    EXPECT_TRUE(d.ok) << d.error;
    EXPECT_EQ(d.count, 1);
    EXPECT_EQ(updateFiles(folder), std::vector<std::string>{"Currency.upd"});
    server.serve("/tilde", updateFile("~root", ""));
    addConversionFiles(folder, {"~root"});
    EXPECT_EQ(download(folder, server.url("/tilde")).count, 0);
}

TEST(Downloads, TheWholeRunKeepsToItsByteBudgetAndDeadline) {
    TempFolder folder;
    addConversionFiles(folder, {"A", "B", "C"});
    TestHttpServer server;
    server.serve("/list", "PQCLST\n" + server.url("/a") + "\n" + server.url("/b") + "\n" +
                              server.url("/c") + "\n");
    server.serve("/a", updateFile("A", std::string(6000, 'x')));
    server.serve("/b", updateFile("B", std::string(6000, 'x')));
    server.serve("/c", updateFile("C", ""));
    DownloadLimits budget;
    budget.totalBytes = 10000;
    Download d = download(folder, server.url("/list"), {}, budget);
    EXPECT_FALSE(d.ok);
    EXPECT_EQ(d.count, 1);
    EXPECT_NE(d.error.find("bytes left for this download"), std::string::npos) << d.error;
    EXPECT_EQ(updateFiles(folder), std::vector<std::string>{"A.upd"});

    // A server that trickles its answer is given up after the low-speed
    // time, and the whole run after its deadline.
    server.serveSlowly("/slow", updateFile("C", std::string(100, 'x')),
                       std::chrono::milliseconds(150));
    FetchLimits slowLimits;
    slowLimits.lowSpeedBytesPerSecond = 50;
    slowLimits.lowSpeedSeconds = 1;
    auto start = std::chrono::steady_clock::now();
    d = download(folder, server.url("/slow"), slowLimits);
    EXPECT_FALSE(d.ok);
    EXPECT_LT(secondsSince(start), 4);
    DownloadLimits deadline;
    deadline.deadline = std::chrono::milliseconds(800);
    start = std::chrono::steady_clock::now();
    d = download(folder, server.url("/slow"), {}, deadline);
    EXPECT_FALSE(d.ok);
    EXPECT_LT(secondsSince(start), 3);
    EXPECT_NE(d.error.find("took longer than 800 ms"), std::string::npos) << d.error;
    EXPECT_FALSE(exists(folder, "C.upd"));
}

TEST(Downloads, AnUpdateFileThatCannotBeStoredFailsTheRun) {
    TempFolder folder;
    addConversionFiles(folder, {"Currency"});
    // Something that is no file stands where the update file would go.
    std::filesystem::create_directories(folder.file("Currency.upd/inside"));
    TestHttpServer server;
    server.serve("/u", updateFile("Currency", "a\tb\t1\n"));
    Download d = download(folder, server.url("/u"));
    EXPECT_FALSE(d.ok);
    EXPECT_EQ(d.count, 0);
    EXPECT_EQ(d.error, "the update Currency.upd could not be stored (not a regular file)");

    // Text from the server is never shown raw: control characters are
    // escaped in the reason.
    server.serve("/list", "PQCLST\nhttp://127.0.0.1:1/\x1b]0;owned\x07\n");
    d = download(folder, server.url("/list"));
    EXPECT_FALSE(d.ok);
    EXPECT_EQ(d.error.find('\x1b'), std::string::npos);
    EXPECT_NE(d.error.find("http://127.0.0.1:1/\\x1B]0;owned\\x07"), std::string::npos) << d.error;
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
    // The update file stays until the document was saved with the new factors.
    EXPECT_TRUE(std::filesystem::exists(t.folder.file("Money.upd")));
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

TEST(PendingUpdates, IdentifiersMustNameOneUnitEach) {
    Units t;
    auto twin = std::make_unique<UnitItem>(); // a second unit with the identifier u2
    twin->identifier = u"U2";
    Item* u2b = twin.get();
    t.d.items.push_back(std::move(twin));
    ASSERT_TRUE(t.apply("PQCUPD\nU1\tU2\t2\nU2\tU3\t3\nu2\tU2\t4\nU3\tu3\t5\nU3\tU1\t6\n"));
    // Only the last line names two distinct units, each the only one with
    // its identifier.
    ASSERT_EQ(t.d.conversions.size(), 1u);
    EXPECT_EQ(t.d.conversions[0]->unit1, t.u3);
    EXPECT_EQ(t.d.conversions[0]->unit2, t.u1);
    EXPECT_EQ(t.d.conversions[0]->factor, 6);
    for (const auto& c : t.d.conversions) EXPECT_NE(c->unit1, u2b);
}

TEST(PendingUpdates, TheUpdateFileGoesOnlyOnceTheDocumentWasSaved) {
    Units t;
    ASSERT_TRUE(t.apply("PQCUPD\nU1\tU2\t2\n"));
    // The document's file cannot be written: the update stays for later.
    std::filesystem::create_directories(t.folder.file("Money.cnv/inside"));
    EXPECT_FALSE(t.d.save(t.where));
    EXPECT_EQ(t.d.errorText(), "not a regular file");
    EXPECT_TRUE(std::filesystem::exists(t.folder.file("Money.upd")));
    std::filesystem::remove_all(t.folder.file("Money.cnv"));
    // A newer update stored after this one was applied is kept as well.
    std::ofstream(t.folder.file("Money.upd.new"), std::ios::binary) << "PQCUPD\nU1\tU2\t3\n";
    std::filesystem::rename(t.folder.file("Money.upd.new"), t.folder.file("Money.upd"));
    ASSERT_TRUE(t.d.save(t.where));
    EXPECT_TRUE(std::filesystem::exists(t.folder.file("Money.upd")));
    ASSERT_TRUE(t.d.applyPendingUpdate(t.where, t.engine));
    EXPECT_EQ(t.d.conversions[0]->factor, 3);
    ASSERT_TRUE(t.d.save(t.where));
    EXPECT_FALSE(std::filesystem::exists(t.folder.file("Money.upd")));
}

TEST(PendingUpdates, AnUpdateThatIsNoRegularFileIsNotRead) {
    Units t;
    ASSERT_EQ(mkfifo(t.folder.file("Money.upd").c_str(), 0600), 0);
    EXPECT_FALSE(t.d.applyPendingUpdate(t.where, t.engine)); // and does not wait for a writer
    EXPECT_TRUE(t.d.conversions.empty());
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
        EXPECT_TRUE(rates->isModified());
        EXPECT_EQ(rates->saveChanges(c).outcome, SaveResult::Outcome::Saved);
    }
    ConversionDocument saved;
    ASSERT_TRUE(saved.loadFrom(folder.file("Rates.cnv"), true));
    ASSERT_EQ(saved.conversions.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(folder.file("rates.upd")));
}
