#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "tests/document/file_bytes.h"
#include "tests/document/test_http_server.h"
#include "tests/tools/run_process.h"

using pq::test::ProcessResult;
using pq::test::runProcess;
using pq::test::TempFolder;
using pq::test::TestHttpServer;

namespace {

ProcessResult pqtool(const std::vector<std::string>& args) { return runProcess(PQTOOL_PATH, args); }

std::string lineOf(const std::string& output, const std::string& start) {
    size_t at = output.find(start);
    return at == std::string::npos ? "" : output.substr(at, output.find('\n', at) - at);
}

} // namespace

TEST(PqtoolUpdate, RefreshesTheShippedCurrencyFile) {
    TempFolder folder;
    std::filesystem::copy_file(std::string(PQ_DATA_DIR) + "/Currency.cnv",
                               folder.file("Currency.cnv"));
    std::filesystem::copy_file(std::string(PQ_DATA_DIR) + "/Length.cnv", folder.file("Length.cnv"));
    TestHttpServer server;
    server.serve("/pqconv/convupd.txt", "PQCLST\r\n" + server.url("/currency.txt") + "\r\n" +
                                            server.url("/length.txt") + "\r\n");
    server.serve("/currency.txt", "PQCUPD\r\n--File Name: Currency\r\n--Updated: 8 Dec 2026\r\n"
                                  "EUR\tUSD\t1.25\r\neur\tjpy\t150\r\n");
    server.serve("/length.txt", "PQCUPD\r\n--File Name: Length\r\nkm\tm\t999\r\n");

    ProcessResult r = pqtool({"update", folder.path(), server.url("/pqconv/convupd.txt")});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(lineOf(r.out, "Downloaded 2"), "Downloaded 2 update files.");
    EXPECT_EQ(lineOf(r.out, "Currency.cnv"),
              "Currency.cnv\tDownloaded file timestamp:  8 Dec 2026");
    EXPECT_NE(lineOf(r.out, "Length.cnv"), "");
    EXPECT_FALSE(std::filesystem::exists(folder.file("Currency.upd")));

    r = pqtool({"convert", folder.file("Currency.cnv"), "EUR", "2"});
    EXPECT_NE(r.out.find("\t2.50\n"), std::string::npos) << r.out;   // 2 EUR = 2.50 USD
    EXPECT_NE(r.out.find("\t300.00\n"), std::string::npos) << r.out; // 2 EUR = 300 JPY
    r = pqtool({"convert", folder.file("Length.cnv"), "km", "1"});
    EXPECT_NE(r.out.find("\t999\n"), std::string::npos) << r.out;

    // Nothing pending: nothing applied. A failed download says so and exits 1.
    r = pqtool({"update", folder.path()});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "");
    r = pqtool({"update", folder.path(), server.url("/missing")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(r.err.starts_with("The download failed: could not download " +
                                  server.url("/missing") + " ("))
        << r.err;
    EXPECT_EQ(pqtool({"update", folder.file("nothing")}).exitCode, 2);
}

namespace {

std::string textOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

TEST(PqtoolUpdate, UpdatesThatCannotBeStoredOrSavedFailAndLoseNothing) {
    TempFolder folder;
    std::filesystem::copy_file(std::string(PQ_DATA_DIR) + "/Currency.cnv",
                               folder.file("Currency.cnv"));
    std::filesystem::copy_file(std::string(PQ_DATA_DIR) + "/Length.cnv", folder.file("Length.cnv"));
    const std::string currency = textOf(folder.file("Currency.cnv"));
    const std::string update = "PQCUPD\r\n--File Name: Currency\r\nEUR\tUSD\t1.25\r\n";

    // A full disk: the conversion file cannot be saved, so the update file
    // stays for the next run and the old file is kept.
    std::ofstream(folder.file("Currency.upd"), std::ios::binary) << update;
    ProcessResult r = runProcess(PQTOOL_PATH, {"update", folder.path()}, {}, 4096);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "pqtool: Currency.cnv: cannot be written: file too large\n");
    EXPECT_EQ(textOf(folder.file("Currency.cnv")), currency);
    EXPECT_EQ(textOf(folder.file("Currency.upd")), update);
    r = pqtool({"update", folder.path()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_FALSE(std::filesystem::exists(folder.file("Currency.upd")));

    // A downloaded update that cannot be stored fails the run with the cause.
    TestHttpServer server;
    server.serve("/u", update);
    std::filesystem::create_directories(folder.file("Currency.upd/x"));
    r = pqtool({"update", folder.path(), server.url("/u")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("the update Currency.upd could not be stored (not a regular file)"),
              std::string::npos)
        << r.err;
    std::filesystem::remove_all(folder.file("Currency.upd"));

    // A FIFO waiting as an update file is reported, not waited for.
    ASSERT_EQ(mkfifo(folder.file("Length.upd").c_str(), 0600), 0);
    r = pqtool({"update", folder.path()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "pqtool: Length.upd: not a regular file\n");

    // Text from the server reaches the terminal escaped.
    std::filesystem::remove(folder.file("Length.upd"));
    server.serve("/list", "PQCLST\r\nhttp://127.0.0.1:1/\x1b[2J\x9b\r\n");
    server.serve("/stamp",
                 "PQCUPD\n--File Name: Length\n--Updated: \x1b]0;title\x07\nkm\tm\t1000\n");
    r = pqtool({"update", folder.path(), server.url("/list")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.find('\x1b'), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("/\\x1B[2J\\xC2\\x9B ("), std::string::npos) << r.err;
    r = pqtool({"update", folder.path(), server.url("/stamp")});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Length.cnv\tDownloaded file timestamp:  \\x1B]0;title\\x07\n"),
              std::string::npos)
        << r.out;
}
