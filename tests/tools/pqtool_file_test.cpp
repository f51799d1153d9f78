#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "tests/document/file_bytes.h"
#include "tests/tools/run_process.h"

using pq::test::ProcessResult;
using pq::test::runProcess;
using pq::test::TempFolder;

namespace {

ProcessResult pqtool(const std::vector<std::string>& args, const std::string& input = {}) {
    return runProcess(PQTOOL_PATH, args, input);
}

void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

constexpr const char* kLength = R"(type: conversions
title: Length
category: Distance
updated: 2026-12-08

[unit]
id: m
name: Metre

[unit]
id: ft
name: Foot
formats: decimal, compound
display: compound
part: ft = 1
part: in = 12

[unit]
id: mi
name: Mile

[unit]
id: hidden
name: Hidden bridge
shown: no

[unit]
id: fur
name: Furlong

[conversion]
from: ft
to: m
factor: 0.3048

[conversion]
from: mi
to: ft
factor: 5280

[conversion]
from: fur
to: hidden
factor: 1

[conversion]
from: hidden
to: mi
factor: 0.125
)";

} // namespace

TEST(PqtoolEval, FormatsAndLiterals) {
    ProcessResult r = pqtool({"eval", "--format", "decimal", "1234567.5", "1/3", "0.000999"});
    EXPECT_EQ(r.out, "1,234,567.5\n0.33333333333\n999 e-6\n");
    r = pqtool({"eval", "--compound", "ft:1,in:12", "--format", "compound", "[5 6]"});
    EXPECT_EQ(r.out, "5 ft 6 in \n");
    r = pqtool({"eval", "--format", "hex", "--", "-1"});
    EXPECT_EQ(r.out, "FFFF FFFF\n");
    r = pqtool({"eval", "--format", "hex", "--entry", "255", "2.5"});
    EXPECT_EQ(r.out, "00FF\n\n");
    r = pqtool({"eval", "--format", "currency", "--entry", "-1234.5"});
    EXPECT_EQ(r.out, "-1234.50\n");
    r = pqtool({"eval", "{12/25/2004}+7", "--compound", ":1,:60", "[1 30]"});
    EXPECT_EQ(r.out, "2453371\n1.5\n");
    r = pqtool({"eval", "[5 6]"}); // without parts the brackets are no literal
    EXPECT_EQ(r.out, "Error\n");
    for (auto bad :
         std::vector<std::vector<std::string>>{{"eval", "--format", "roman", "1"},
                                               {"eval", "--entry", "1"},
                                               {"eval", "--compound", "ft:2,in:12", "1"},
                                               {"eval", "--compound", "a:1,b:2,c:3,d:4,e:5", "1"},
                                               {"eval", "--compound", "ft", "1"}})
        EXPECT_EQ(pqtool(bad).exitCode, 2) << bad[2];
}

TEST(PqtoolFiles, CompileDumpAndConvert) {
    TempFolder folder;
    const std::string source = folder.file("length.txt");
    const std::string file = folder.file("Length.cnv");
    writeText(source, kLength);
    ProcessResult r = pqtool({"compile", source, file});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto bytes = pq::test::readBytes(file);

    r = pqtool({"dump", file});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    writeText(folder.file("again.txt"), r.out);
    ASSERT_EQ(pqtool({"compile", folder.file("again.txt"), folder.file("Again.cnv")}).exitCode, 0);
    EXPECT_EQ(pq::test::readBytes(folder.file("Again.cnv")), bytes);

    r = pqtool({"convert", file, "MI", "1"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Metre\t1,609.344\nFoot\t5280 ft 0 in \nMile\t1\nFurlong\t8\n");
    r = pqtool({"convert", file, "Foot", "[5 6]"}); // by name, in the unit's own notation
    EXPECT_EQ(r.out, "Metre\t1.6764\nFoot\t5 ft 6 in \nMile\t0.00104166667\nFurlong\t"
                     "0.00833333333\n");
    EXPECT_EQ(pq::test::readBytes(file), bytes); // the file is not modified

    r = pqtool({"convert", file, "parsec", "1"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("parsec"), std::string::npos);
    r = pqtool({"convert", file, "m", "1/0"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "Error\n");
    // A file that cannot be read is a failed operation; a name that is no
    // data file name, bad usage.
    r = pqtool({"convert", folder.file("None.cnv"), "m", "1"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(
        r.err.find("None.cnv: cannot be read as a conversion file: no such file or directory"),
        std::string::npos)
        << r.err;
    EXPECT_EQ(pqtool({"dump", folder.file("None.cnv")}).exitCode, 1);
    EXPECT_EQ(pqtool({"dump", source}).exitCode, 2); // not a .cnv or .cal name
}

TEST(PqtoolFiles, CalculationFiles) {
    TempFolder folder;
    writeText(folder.file("tip.txt"), R"(type: calculations
title: Tip

[output]
id: each
name: Per person
value: total/people
display: currency

[input]
id: bill
name: Bill
value: 50

[input]
id: percent
name: Tip percent
value: 15

[input]
id: people
name: People
value: 2

[output]
id: total
name: Total
value: bill*(1+percent%)
display: currency
)");
    const std::string file = folder.file("Tip.cal");
    ASSERT_EQ(pqtool({"compile", folder.file("tip.txt"), file}).exitCode, 0);
    ProcessResult r = pqtool({"calc", file, "bill=100", "PEOPLE=4"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Per person\t28.75\nBill\t100\nTip percent\t15\nPeople\t4\nTotal\t115.00\n");
    r = pqtool({"calc", file});
    EXPECT_EQ(r.out, "Per person\t28.75\nBill\t50\nTip percent\t15\nPeople\t2\nTotal\t57.50\n");
    EXPECT_EQ(pqtool({"calc", file, "total=1"}).exitCode, 2); // an output, not an input
    EXPECT_EQ(pqtool({"calc", file, "tax=1"}).exitCode, 2);
    EXPECT_EQ(pqtool({"calc", file, "bill"}).exitCode, 2);
    EXPECT_EQ(pqtool({"calc", file, "bill=oops("}).exitCode, 1);
}

TEST(PqtoolFiles, CompileRefusesBadSourcesAndWritesNothing) {
    TempFolder folder;
    const std::string out = folder.file("Out.cnv");
    writeText(folder.file("bad.txt"),
              "title: x\n\n[unit]\nid: a\n\n[conversion]\nfrom: a\nto: b\n");
    ProcessResult r = pqtool({"compile", folder.file("bad.txt"), out});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("bad.txt:8:"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(out));

    // An existing output stays as it was.
    writeText(out, "precious");
    writeText(folder.file("dup.txt"), "title: a\ntitle: b\n");
    r = pqtool({"compile", folder.file("dup.txt"), out});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("dup.txt:2:"), std::string::npos) << r.err;
    std::ifstream in(out);
    std::string kept((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(kept, "precious");
    EXPECT_EQ(pqtool({"compile", folder.file("missing.txt"), out}).exitCode, 1);
    EXPECT_EQ(pqtool({"compile", folder.file("dup.txt")}).exitCode, 2);
}

namespace {

std::string textOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

TEST(PqtoolFiles, SourcesThatAreNoRegularFilesNeitherHangNorClobber) {
    TempFolder folder;
    const std::string out = folder.file("Out.cnv");
    writeText(out, "precious");
    ASSERT_EQ(mkfifo(folder.file("pipe.txt").c_str(), 0600), 0);
    std::filesystem::create_directory(folder.file("dir.txt"));
    struct Case {
        std::string source;
        std::string reason;
    };
    for (const Case& c :
         std::vector<Case>{{folder.file("dir.txt"), "not a regular file"},
                           {folder.file("pipe.txt"), "not a regular file"},
                           {"/dev/zero", "not a regular file"},
                           {"/dev/null", "not a regular file"},
                           {"/proc/self/mem", "input/output error"},
                           {folder.file("none.txt"), "no such file or directory"}}) {
        ProcessResult r = pqtool({"compile", c.source, out});
        EXPECT_EQ(r.exitCode, 1) << c.source;
        EXPECT_EQ(r.err, "pqtool: " + c.source + ": cannot be read: " + c.reason + "\n");
        EXPECT_EQ(textOf(out), "precious") << c.source;
    }
    // A source of more than 64 MiB is refused without being read whole.
    {
        std::ofstream big(folder.file("big.txt"), std::ios::binary);
        big.seekp(64 * 1024 * 1024);
        big << "x";
    }
    ProcessResult r = pqtool({"compile", folder.file("big.txt"), out});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("cannot be read: larger than 64 MiB"), std::string::npos) << r.err;
    EXPECT_EQ(textOf(out), "precious");

    // A FIFO or a folder named as a data file is refused at once as well.
    ASSERT_EQ(mkfifo(folder.file("Pipe.cnv").c_str(), 0600), 0);
    r = pqtool({"dump", folder.file("Pipe.cnv")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("not a regular file"), std::string::npos) << r.err;
    EXPECT_EQ(pqtool({"convert", folder.file("dir.txt/../Pipe.cnv"), "m", "1"}).exitCode, 1);
}

TEST(PqtoolFiles, SavesKeepOtherFilesAndLinksAsTheyAre) {
    TempFolder folder;
    writeText(folder.file("l.txt"), kLength);
    // A file whose name differs only in case is not replaced.
    writeText(folder.file("Foo.cnv"), "precious");
    ProcessResult r = pqtool({"compile", folder.file("l.txt"), folder.file("foo.CNV")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "pqtool: " + folder.file("foo.CNV") +
                         ": cannot be written: a file named Foo.cnv exists already\n");
    EXPECT_EQ(textOf(folder.file("Foo.cnv")), "precious");
    EXPECT_FALSE(std::filesystem::exists(folder.file("foo.CNV")));

    // Through a symbolic link the file it points to is replaced.
    std::filesystem::create_directory(folder.file("real"));
    writeText(folder.file("real/Target.cnv"), "old");
    std::filesystem::create_symlink("real/Target.cnv", folder.file("Link.cnv"));
    ASSERT_EQ(pqtool({"compile", folder.file("l.txt"), folder.file("Link.cnv")}).exitCode, 0);
    EXPECT_TRUE(std::filesystem::is_symlink(folder.file("Link.cnv")));
    EXPECT_EQ(pqtool({"dump", folder.file("real/Target.cnv")}).exitCode, 0);

    // A full disk: the old file stays, and the cause is named.
    writeText(folder.file("Small.cnv"), "small");
    r = runProcess(PQTOOL_PATH, {"compile", folder.file("l.txt"), folder.file("Small.cnv")}, {},
                   100);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("cannot be written: file too large"), std::string::npos) << r.err;
    EXPECT_EQ(textOf(folder.file("Small.cnv")), "small");
    for (const auto& e : std::filesystem::directory_iterator(folder.path()))
        EXPECT_FALSE(e.path().filename().string().starts_with(".pqsave-")) << e.path();
}

TEST(PqtoolFiles, ErrorsGoToStandardErrorWithTheirStatus) {
    ProcessResult r = pqtool({"--help"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.out.find("2  bad usage"), std::string::npos);
    EXPECT_EQ(r.err, "");
    r = pqtool({"frobnicate"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(r.err.starts_with("pqtool: unknown command: frobnicate\n")) << r.err;
    r = pqtool({"dump", "/no/such/Thing.cnv"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("no such file or directory"), std::string::npos);
    r = pqtool({"dump", "/no/such/\x1b[2JThing.cnv"}); // names are shown escaped
    EXPECT_NE(r.err.find("/no/such/\\x1B[2JThing.cnv"), std::string::npos) << r.err;
}
