#include <gtest/gtest.h>

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
    EXPECT_EQ(lineOf(r.out, "Updated"),
              "Updated conversion data files have been successfully downloaded (2).");
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
    EXPECT_EQ(r.out, "PqConverter could NOT complete downloading due to a system error: Error "
                     "downloading HTTP file: " +
                         server.url("/missing") + "\n");
    EXPECT_EQ(pqtool({"update", folder.file("nothing")}).exitCode, 2);
}
