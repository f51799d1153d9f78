#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>

#include <filesystem>
#include <random>

#include "document/data_file.h"
#include "document/document.h"
#include "document/file_reading.h"
#include "tests/document/file_bytes.h"

using namespace pq;
using pq::test::Bytes;
using pq::test::TempFolder;

namespace {

constexpr uint32_t kMagic = 0xC040A010;
constexpr uint32_t kLegacy = 0xC0215192;

UnitItem& addUnit(Document& d, std::u16string_view name, std::u16string_view id) {
    auto item = std::make_unique<UnitItem>();
    item->name = name;
    item->identifier = id;
    UnitItem& ref = *item;
    d.items.push_back(std::move(item));
    return ref;
}

// A conversion file with every kind of record in it.
std::unique_ptr<ConversionDocument> richConversionFile() {
    auto d = std::make_unique<ConversionDocument>();
    d->title = u"Length";
    d->category = u"Distance";
    d->updatedText = u"today";
    UnitItem& m = addUnit(*d, u"Metre", u"m");
    UnitItem& ft = addUnit(*d, u"Foot", u"ft");
    ft.format.setAllowedFormats(Decimal | Compound | Hex);
    ft.format.displayFormat = Compound;
    ft.format.labels = {WString(u"ft"), WString(u"in"), WString(u""), WString(u"x")};
    ft.format.fractions = {1, 12, 0, 0};
    ft.valueText = u"[5 6]";
    UnitItem& hidden = addUnit(*d, u"Hidden \u00e9\U0001F600", u"h");
    hidden.shown = 0;
    Conversion& linear = d->addConversion();
    linear.unit1 = &ft;
    linear.unit2 = &m;
    linear.factor = 0.3048;
    linear.offset = -0.0;
    Conversion& formula = d->addConversion();
    formula.kind = Conversion::Formula;
    formula.unit1 = &m;
    formula.unit2 = &hidden;
    formula.forwardFormula = u"x*2";
    Conversion& odd = d->addConversion(); // a kind whose low 16 bits are zero is linear
    odd.kind = 0x10000;
    odd.unit1 = &hidden;
    odd.unit2 = &ft;
    odd.factor = 3;
    return d;
}

bool loads(Document& d, const std::string& path) { return d.loadFrom(path, true); }

} // namespace

TEST(DataFile, TextRecords) {
    TempFolder folder;
    const std::string path = folder.file("t.bin");
    DataFile out;
    EXPECT_EQ(out.writeText(u"abc"), 10); // without a file only the size
    ASSERT_TRUE(out.openWrite(path));
    EXPECT_EQ(out.writeText(u"abc"), 10);
    EXPECT_EQ(out.writeText(u""), 4);
    ASSERT_TRUE(out.commit());
    EXPECT_EQ(test::readBytes(path),
              (std::vector<uint8_t>{3, 0, 0, 0, 'a', 0, 'b', 0, 'c', 0, 0, 0, 0, 0}));

    auto readsText = [&](const Bytes& b) {
        test::writeBytes(path, b.data);
        DataFile in;
        EXPECT_TRUE(in.openRead(path));
        WString t(u"old");
        return in.readText(t);
    };
    EXPECT_EQ(readsText(Bytes().text(u"xy")), 8);
    EXPECT_EQ(readsText(Bytes().i32(-1)), 0);
    EXPECT_EQ(readsText(Bytes().i32(65536).text(std::u16string(70000, u'a'))), 0);
    EXPECT_EQ(readsText(Bytes().i32(65535).text(std::u16string(65535, u'a'))), 4 + 2 * 65535);
    EXPECT_EQ(readsText(Bytes().i32(5).i32(0)), 0); // runs past the end
    EXPECT_EQ(readsText(Bytes()), 0);

    test::writeBytes(path, {'a', 'b', '\r', '\n', 'c', 0xE9, '\n', 'd'});
    DataFile lines;
    ASSERT_TRUE(lines.openRead(path));
    WString line;
    EXPECT_EQ(lines.readLine(line), 3);
    EXPECT_EQ(line, u"ab");
    EXPECT_EQ(lines.readLine(line), 1); // the LF of a CR LF pair gives an empty line
    EXPECT_EQ(line, u"");
    EXPECT_EQ(lines.readLine(line), 3);
    EXPECT_EQ(line, u"c\u00e9");
    EXPECT_EQ(lines.readLine(line), 1);
    EXPECT_EQ(line, u"d");
    EXPECT_EQ(lines.readLine(line), 0);
}

TEST(DataFile, ByteCountsOfSmallFiles) {
    TempFolder folder;
    PlainFolder where(folder.path());
    ConversionDocument empty;
    empty.name = u"Empty";
    empty.updatedText = u"u";
    empty.title = u"ti";
    empty.category = u"cat";
    ASSERT_TRUE(empty.save(where));
    EXPECT_EQ(test::readBytes(folder.file("Empty.cnv")).size(), 8u + 4 + 4 + 4 + 4 + 4 + 2 * 6);

    ConversionDocument small;
    small.name = u"Small";
    small.updatedText = u"";
    small.title = u"T";
    UnitItem& a = addUnit(small, u"a", u"a");
    UnitItem& b = addUnit(small, u"b", u"b");
    Conversion& c = small.addConversion();
    c.unit1 = &a;
    c.unit2 = &b;
    c.factor = 2;
    ASSERT_TRUE(small.save(where));
    std::vector<uint8_t> bytes = test::readBytes(folder.file("Small.cnv"));
    Bytes expected;
    expected.i32(kMagic).i32(130).text(u"").text(u"T").text(u"").i32(2);
    for (const char16_t* n : {u"a", u"b"})
        expected.i32(1).text(n).text(n).text(u"").i32(1).i32(1).i32(1).i32(1);
    expected.i32(1).i32(0).i32(0).i32(1).f64(2).f64(0);
    EXPECT_EQ(bytes, expected.data);
}

TEST(DataFile, EveryRecordSurvivesARoundTrip) {
    TempFolder folder;
    const std::string first = folder.file("a.cnv");
    const std::string second = folder.file("b.cnv");
    auto original = richConversionFile();
    ASSERT_TRUE(original->saveTo(first));

    ConversionDocument copy;
    ASSERT_TRUE(loads(copy, first));
    ASSERT_EQ(copy.items.size(), 3u);
    ASSERT_EQ(copy.conversions.size(), 3u);
    EXPECT_EQ(copy.title, u"Length");
    EXPECT_EQ(copy.items[1]->format.labels[3], u"x");
    EXPECT_EQ(copy.items[1]->format.displayFormat, Compound);
    EXPECT_EQ(copy.items[2]->name, u"Hidden \u00e9\U0001F600");
    EXPECT_EQ(copy.items[2]->shown, 0);
    EXPECT_EQ(copy.conversions[0]->unit1, copy.items[1].get());
    EXPECT_EQ(copy.conversions[1]->forwardFormula, u"x*2");
    EXPECT_EQ(copy.conversions[2]->kind, 0x10000);
    EXPECT_EQ(copy.conversions[2]->factor, 3);
    EXPECT_TRUE(copy.loaded);
    ASSERT_TRUE(copy.saveTo(second));
    EXPECT_EQ(test::readBytes(first), test::readBytes(second));

    CalculationDocument calc;
    auto input = std::make_unique<CalcItem>();
    input->identifier = u"bill";
    input->valueText = u"100";
    auto output = std::make_unique<CalcItem>();
    output->role = Output;
    output->identifier = u"tip";
    output->valueText = u"bill*0.15";
    calc.items.push_back(std::move(input));
    calc.items.push_back(std::move(output));
    const std::string calcPath = folder.file("t.cal");
    ASSERT_TRUE(calc.saveTo(calcPath));
    CalculationDocument calcCopy;
    ASSERT_TRUE(loads(calcCopy, calcPath));
    ASSERT_EQ(calcCopy.items.size(), 2u);
    EXPECT_FALSE(calcCopy.items[0]->isOutput());
    EXPECT_TRUE(calcCopy.items[1]->isOutput());
    EXPECT_EQ(calcCopy.items[1]->valueText, u"bill*0.15");

    // The header alone: no items, but the count from the file.
    ConversionDocument header;
    ASSERT_TRUE(header.loadFrom(first, false));
    EXPECT_FALSE(header.loaded);
    EXPECT_TRUE(header.items.empty());
    EXPECT_EQ(header.itemCountText(), u"3 units");
    EXPECT_EQ(header.category, u"Distance");
}

TEST(DataFile, LegacyFilesAreReadWholeAndLeftAsTheyAre) {
    TempFolder folder;
    PlainFolder where(folder.path());
    Bytes legacy;
    legacy.i32(kLegacy).text(u"Old Title").i32(3);
    legacy.i32(1).text(u"m   ").text(u"Metre  ").text(u"").i32(0);
    legacy.i32(1).text(u"ft").text(u"Foot").text(u"1").i32(1 | Compound);
    for (auto [label, fraction] : {std::pair{u"ft", 1.0}, {u"in", 12.0}, {u"", 0.0}, {u"", 0.0}})
        legacy.text(label).f64(fraction);
    legacy.i32(1).text(u"yd").text(u"Yard").text(u"").i32(Hex);
    legacy.i32(3).i32(7).i32(0).i32(7).i32(7).i32(2).i32(7).i32(7).i32(99).i32(7); // 99: no item
    legacy.i32(1).i32(0).i32(1).i32(0).f64(3.2808399).f64(0);
    test::writeBytes(folder.file("Old.cnv"), legacy.data);

    ConversionDocument d;
    d.category = u"kept";
    ASSERT_TRUE(d.load(where, false, u"Old")); // a legacy file is read whole regardless
    EXPECT_TRUE(d.loaded);
    ASSERT_EQ(d.items.size(), 3u);
    EXPECT_EQ(d.title, u"Old Title");
    EXPECT_EQ(d.category, u"kept");
    EXPECT_EQ(d.items[0]->identifier, u"m");
    EXPECT_EQ(d.items[0]->name, u"Metre");
    EXPECT_EQ(d.items[0]->shown, 1);
    EXPECT_EQ(d.items[1]->shown, 0);
    EXPECT_EQ(d.items[2]->shown, 1);
    EXPECT_EQ(d.items[1]->format.fractions[1], 12);
    EXPECT_EQ(d.items[1]->format.labels[1], u"in");
    EXPECT_EQ(d.items[2]->format.allowedFormats, Hex);
    EXPECT_EQ(d.items[2]->format.displayFormat, Hex);
    EXPECT_EQ(d.items[0]->format.allowedFormats, Decimal); // flags 0 mean decimal only
    ASSERT_EQ(d.conversions.size(), 1u);
    EXPECT_EQ(d.conversions[0]->unit1, d.items[1].get());

    EXPECT_TRUE(d.isLegacy());
    EXPECT_EQ(test::readBytes(folder.file("Old.cnv")), legacy.data) << "reading never writes";

    // A legacy calculation item carries its role and a second identifier.
    Bytes calc;
    calc.i32(kLegacy).text(u"Tip").i32(1);
    calc.i32(2).text(u"first").text(u"Total").text(u"a+b").i32(0).i32(1).text(u"total");
    calc.i32(1).i32(0).i32(0).i32(0);
    test::writeBytes(folder.file("Tip.cal"), calc.data);
    CalculationDocument tip;
    ASSERT_TRUE(tip.load(where, true, u"Tip"));
    ASSERT_EQ(tip.items.size(), 1u);
    EXPECT_EQ(tip.items[0]->identifier, u"total");
    EXPECT_TRUE(tip.items[0]->isOutput());
    EXPECT_EQ(tip.items[0]->shown, 1);
}

TEST(DataFile, DamagedFilesAreRefusedAndNeverOverwritten) {
    TempFolder folder;
    PlainFolder where(folder.path());
    const std::string path = folder.file("Bad.cnv");
    auto header = [] { return Bytes().i32(kMagic).i32(0).text(u"u").text(u"t").text(u"c"); };
    std::vector<std::pair<const char*, std::vector<uint8_t>>> cases = {
        {"empty", {}},
        {"three bytes", {0x10, 0xA0, 0x40}},
        {"unknown first word", Bytes().i32(0x12345678).i32(8).data},
        {"length word off by one",
         [&] {
             Bytes b = header().i32(0).i32(0).sealed();
             b.data[4] += 1;
             return b.data;
         }()},
        {"truncated",
         [&] {
             Bytes b = header().i32(0).i32(0).sealed();
             b.data.pop_back();
             return b.data;
         }()},
        {"negative text length", Bytes().i32(kMagic).i32(12).i32(-5).sealed().data},
        {"text past the end", Bytes().i32(kMagic).i32(0).i32(1000).sealed().data},
        {"huge item count", header().i32(0x7FFFFFFF).i32(1).sealed().data},
        {"negative item count", header().i32(-1).sealed().data},
        {"unknown type code", header().i32(1).i32(7).sealed().data},
        {"legacy, truncated", Bytes().i32(kLegacy).text(u"x").i32(2).data},
        {"legacy, unknown type code", Bytes().i32(kLegacy).text(u"x").i32(1).i32(9).data},
    };
    for (const auto& [what, bytes] : cases) {
        test::writeBytes(path, bytes);
        ConversionDocument d;
        d.name = u"Bad";
        EXPECT_FALSE(d.load(where, true)) << what;
        EXPECT_FALSE(d.loaded) << what;
        d.markModified();
        d.saveChanges(where); // must not write over the damaged file
        d.unload();
        EXPECT_EQ(test::readBytes(path), bytes) << what;
    }
    ConversionDocument missing;
    missing.name = u"Missing";
    EXPECT_FALSE(missing.load(where, true));
    EXPECT_FALSE(missing.loaded);

    // Random bytes behind a valid header, and wholly random files.
    std::mt19937 random(42);
    for (int round = 0; round < 300; ++round) {
        Bytes b = round % 2 ? header() : Bytes();
        size_t n = random() % 400;
        for (size_t i = 0; i < n; ++i) b.data.push_back(static_cast<uint8_t>(random()));
        if (round % 2) b.sealed();
        test::writeBytes(path, b.data);
        ConversionDocument d;
        d.load(where, true, u"Bad");
        d.markModified();
        d.saveChanges(where);
        // Only a file that was read whole may be rewritten.
        if (d.readState().kind != ReadState::Kind::Whole) {
            EXPECT_EQ(test::readBytes(path), b.data);
        }
        d.unload();
    }
}

TEST(DataFile, RecordsNamingNoItemAreDropped) {
    TempFolder folder;
    Bytes b;
    b.i32(kMagic).i32(0).text(u"").text(u"T").text(u"").i32(2);
    b.i32(1).text(u"a").text(u"a").text(u"").i32(1).i32(1).i32(1).i32(1);
    b.i32(1).i32(-3); // an item whose record breaks off: dropped, reading goes on
    b.i32(3);
    b.i32(0).i32(0).i32(5).f64(2).f64(0);  // names position 5
    b.i32(0).i32(-1).i32(0).f64(2).f64(0); // names position -1
    b.i32(1).i32(0).i32(0).text(u"x").text(u"x");
    b.sealed();
    const std::string path = folder.file("Odd.cnv");
    test::writeBytes(path, b.data);
    ConversionDocument d;
    ASSERT_TRUE(d.loadFrom(path, true));
    EXPECT_EQ(d.items.size(), 1u);
    ASSERT_EQ(d.conversions.size(), 1u); // only the self-loop names a real item
    EXPECT_EQ(d.conversions[0]->unit1, d.items[0].get());
}

TEST(DataFile, AFailedSaveLeavesTheOldFile) {
    TempFolder folder;
    PlainFolder where(folder.path());
    auto d = richConversionFile();
    d->name = u"Keep";
    ASSERT_TRUE(d->save(where));
    const auto before = test::readBytes(folder.file("Keep.cnv"));
    d->title = std::u16string(70000, u'x'); // too long for a text record
    EXPECT_FALSE(d->save(where));
    EXPECT_EQ(test::readBytes(folder.file("Keep.cnv")), before);

    std::filesystem::create_directory(folder.file("Dir.cnv"));
    d->title = u"ok";
    d->name = u"Dir";
    EXPECT_FALSE(d->save(where)); // cannot replace a folder
    d->name = u"Keep";
    EXPECT_FALSE(d->save(PlainFolder(folder.file("no/such/folder"))));
    // No temporary files are left behind.
    size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder.path()))
        ++entries;
    EXPECT_EQ(entries, 2u);
}

TEST(DataFile, OnlyRegularFilesWithinTheLimitAreRead) {
    TempFolder folder;
    ASSERT_EQ(mkfifo(folder.file("Pipe.cnv").c_str(), 0600), 0);
    std::filesystem::create_directory(folder.file("Dir.cnv"));
    ConversionDocument d;
    for (const std::string& path : {folder.file("Pipe.cnv"), folder.file("Dir.cnv"),
                                    std::string("/dev/zero"), std::string("/dev/null")}) {
        EXPECT_FALSE(d.loadFrom(path, true)) << path; // at once: a FIFO has no writer
        EXPECT_EQ(d.errorText(), "not a regular file") << path;
    }
    EXPECT_FALSE(d.loadFrom(folder.file("None.cnv"), false));
    EXPECT_EQ(d.errorText(), "no such file or directory");

    std::vector<uint8_t> bytes;
    std::string error;
    test::writeBytes(folder.file("eleven"), std::vector<uint8_t>(11, 'x'));
    EXPECT_FALSE(readRegularFile(folder.file("eleven"), bytes, error, {10, true}));
    EXPECT_EQ(error, "larger than 10 bytes");
    EXPECT_TRUE(bytes.empty());
    EXPECT_TRUE(readRegularFile(folder.file("eleven"), bytes, error, {11, true}));
    EXPECT_EQ(bytes.size(), 11u);
    EXPECT_FALSE(readRegularFile("/proc/self/mem", bytes, error)); // a read error is no empty file
    EXPECT_EQ(error, "input/output error");
    std::filesystem::create_symlink("eleven", folder.file("link"));
    EXPECT_FALSE(readRegularFile(folder.file("link"), bytes, error, {100, false}));
    EXPECT_TRUE(readRegularFile(folder.file("link"), bytes, error, {100, true}));
    EXPECT_EQ(tooLargeText(64 * 1024 * 1024), "larger than 64 MiB");
    if (geteuid() != 0) { // permission bits do not hold for root
        ::chmod(folder.file("eleven").c_str(), 0);
        EXPECT_FALSE(readRegularFile(folder.file("eleven"), bytes, error));
        EXPECT_EQ(error, "permission denied");
    }
}

TEST(DataFile, SavesReplaceTheRightFileAndClearLeftovers) {
    TempFolder folder;
    PlainFolder where(folder.path());
    auto d = richConversionFile();
    d->name = u"Rich";
    ASSERT_TRUE(d->save(where));
    const auto bytes = test::readBytes(folder.file("Rich.cnv"));

    // Temporary files of saves that were killed: those over a minute old go
    // at the next save into the folder; a young one may be a save under way.
    test::writeBytes(folder.file(".pqsave-AbC123"), {1});
    test::writeBytes(folder.file(".pqsave-young1"), {1});
    test::writeBytes(folder.file(".pqsave-other-name"), {1});
    const timespec old[2] = {{::time(nullptr) - 120, 0}, {::time(nullptr) - 120, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, folder.file(".pqsave-AbC123").c_str(), old, 0), 0);
    ASSERT_EQ(::utimensat(AT_FDCWD, folder.file(".pqsave-other-name").c_str(), old, 0), 0);
    ASSERT_TRUE(d->save(where));
    EXPECT_FALSE(std::filesystem::exists(folder.file(".pqsave-AbC123")));
    EXPECT_TRUE(std::filesystem::exists(folder.file(".pqsave-young1")));
    EXPECT_TRUE(std::filesystem::exists(folder.file(".pqsave-other-name"))); // not ours

    // A save through a symbolic link replaces the file it points to.
    std::filesystem::create_directory(folder.file("elsewhere"));
    test::writeBytes(folder.file("elsewhere/Real.cnv"), {0});
    std::filesystem::create_symlink("elsewhere/Real.cnv", folder.file("Linked.cnv"));
    d->name = u"Linked";
    ASSERT_TRUE(d->save(where));
    EXPECT_TRUE(std::filesystem::is_symlink(folder.file("Linked.cnv")));
    EXPECT_EQ(test::readBytes(folder.file("elsewhere/Real.cnv")), bytes);
    std::filesystem::create_symlink("nowhere/None.cnv", folder.file("Dangling.cnv"));
    d->name = u"Dangling";
    EXPECT_FALSE(d->save(where));
    EXPECT_TRUE(d->errorText().starts_with("a symbolic link to a file that cannot be reached"));

    // A name that differs in case alone from another file's is refused,
    // unless that file is the one the document came from.
    d->name = u"RICH";
    EXPECT_FALSE(d->save(where));
    EXPECT_EQ(d->errorText(), "a file named Rich.cnv exists already");
    ConversionDocument loaded;
    ASSERT_TRUE(loaded.loadFrom(folder.file("rich.CNV"), true)); // found in any case
    loaded.title = u"Written back";
    ASSERT_TRUE(loaded.saveTo(folder.file("rich.CNV")));
    EXPECT_FALSE(std::filesystem::exists(folder.file("rich.CNV")));
    ConversionDocument again;
    ASSERT_TRUE(again.loadFrom(folder.file("Rich.cnv"), false));
    EXPECT_EQ(again.title, u"Written back");
    ASSERT_TRUE(loaded.saveTo(folder.file("rich.CNV"))); // again, after its own save
}
