// When a document may be written, and what saving it refuses.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "document/catalogue.h"
#include "document/document.h"
#include "engine/expression_engine.h"
#include "tests/document/file_bytes.h"

using namespace pq;
using test::Bytes;
using test::TempFolder;

namespace {

constexpr int64_t kMagic = 0xC040A010;
using Kind = ReadState::Kind;
using Outcome = SaveResult::Outcome;

Bytes& unit(Bytes& b, std::u16string_view name, std::u16string_view id) {
    return b.i32(1).text(name).text(id).text(u"").i32(1).i32(1).i32(1).i32(1);
}

// Three units and three linear conversions; `fault` may change the bytes
// at the marked places before the file is sealed.
struct Parts {
    int64_t units = 3;
    int64_t conversions = 3;
    int64_t secondKind = 0;
    std::u16string_view secondName = u"Gram";
    bool brokenThirdUnit = false;
    size_t strayBytes = 0;
};

std::vector<uint8_t> weightFile(const Parts& p = {}) {
    Bytes b;
    b.i32(kMagic).i32(0).text(u"today").text(u"Weight").text(u"Mass").i32(p.units);
    unit(b, u"Kilogram", u"kg");
    if (p.secondName == u"Gram") {
        unit(b, u"Gram", u"g");
    } else { // a name whose length word claims more than it holds
        b.i32(1).i32(static_cast<int64_t>(p.secondName.size()) + 200);
        for (char16_t c : p.secondName)
            b.data.push_back(static_cast<uint8_t>(c)), b.data.push_back(0);
    }
    if (p.brokenThirdUnit)
        b.i32(1).i32(-3); // a record that breaks off at once: dropped, reading goes on
    else
        unit(b, u"Tonne", u"t");
    b.i32(p.conversions);
    b.i32(0).i32(0).i32(1).f64(1000).f64(0);
    b.i32(p.secondKind).i32(2).i32(0).f64(1000).f64(0);
    b.i32(0).i32(2).i32(1).f64(1e6).f64(0);
    b.data.insert(b.data.end(), p.strayBytes, 0);
    return b.sealed().data;
}

// Why a file or folder may not be written: root may write anything, so
// only the cleared write bits tell it.
std::string noWrite(bool folder) {
    if (geteuid() == 0)
        return folder ? "its folder is marked read-only" : "the file is marked read-only";
    return folder ? "you have no permission to write its folder"
                  : "you have no permission to write it";
}

int64_t modifiedNs(const std::string& path) {
    struct stat info {};
    stat(path.c_str(), &info);
    return static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
}

} // namespace

TEST(Saving, AFileThatLostRecordsIsLeftAsItIsUntilRepaired) {
    struct Case {
        const char* what;
        Parts parts;
        int units;       // dropped
        int conversions; // dropped; -1: the list's count is beyond the file
        bool stray = false;
    };
    const Case cases[] = {
        {"the kind of a conversion flipped", {.secondKind = 1}, 0, 2},
        {"a conversion count one too high", {.conversions = 4}, 0, 1},
        {"a conversion count beyond the file", {.conversions = 0x7FFFFFF0}, 0, -1},
        {"a unit record that breaks off", {.brokenThirdUnit = true}, 1, 2},
        {"bytes that belong to no record", {.strayBytes = 6}, 0, 0, true},
    };
    TempFolder folder;
    ExpressionEngine engine;
    const std::string path = folder.file("Weight.cnv");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(path + ".damaged");
        const std::vector<uint8_t> original = weightFile(c.parts);
        test::writeBytes(path, original);
        {
            Catalogue catalogue(engine);
            catalogue.setFolder(folder.path());
            ASSERT_EQ(catalogue.addFile(u"Weight.cnv"), 0);
            Document* d = catalogue.current(0);
            ASSERT_TRUE(d && d->loaded);
            EXPECT_EQ(d->readState().kind, Kind::Damaged);
            EXPECT_EQ(d->readState().droppedUnits, c.units);
            EXPECT_EQ(d->readState().droppedConversions, c.conversions);
            EXPECT_EQ(d->readState().strayBytes, c.stray);
            EXPECT_FALSE(d->editable());
            d->title = u"Changed all the same";
            d->markModified();
            EXPECT_EQ(d->saveChanges(catalogue).outcome, Outcome::NotEditable);
        } // the catalogue lets it go
        EXPECT_EQ(test::readBytes(path), original) << "never shortened";

        // Repair keeps what was read, after the original bytes were copied.
        ConversionDocument d;
        PlainFolder where(folder.path());
        ASSERT_TRUE(d.load(where, true, u"Weight"));
        const size_t kept = d.conversions.size();
        std::string backup;
        EXPECT_EQ(d.repair(where, backup).outcome, Outcome::Saved);
        EXPECT_EQ(backup, "Weight.cnv.damaged");
        EXPECT_EQ(test::readBytes(path + ".damaged"), original);
        EXPECT_TRUE(d.editable());
        ConversionDocument again;
        ASSERT_TRUE(again.loadFrom(path, true));
        EXPECT_EQ(again.readState().kind, Kind::Whole);
        EXPECT_EQ(again.items.size(), static_cast<size_t>(3 - c.units));
        EXPECT_EQ(again.conversions.size(), kept);
    }

    // A second repair never overwrites the first backup.
    const std::vector<uint8_t> first = test::readBytes(path + ".damaged");
    const std::vector<uint8_t> damaged = weightFile({.conversions = 4});
    test::writeBytes(path, damaged);
    ConversionDocument d;
    PlainFolder where(folder.path());
    ASSERT_TRUE(d.load(where, true, u"Weight"));
    std::string backup;
    EXPECT_EQ(d.repair(where, backup).outcome, Outcome::Saved);
    EXPECT_EQ(backup, "Weight.cnv.damaged-2");
    EXPECT_EQ(test::readBytes(path + ".damaged"), first);
    EXPECT_EQ(test::readBytes(path + ".damaged-2"), damaged);

    // A whole file repairs nothing and is not written.
    EXPECT_EQ(d.repair(where, backup).outcome, Outcome::Unchanged);
}

TEST(Saving, AFileThatCannotBeReadSaysWhyAndIsNotWritten) {
    TempFolder folder;
    PlainFolder where(folder.path());
    const std::string path = folder.file("Weight.cnv");
    std::vector<uint8_t> bytes = weightFile({.units = 4}); // the fourth unit is missing
    test::writeBytes(path, bytes);
    ConversionDocument d;
    EXPECT_FALSE(d.load(where, true, u"Weight"));
    EXPECT_EQ(d.readState().kind, Kind::Failed);
    EXPECT_EQ(d.readState().reason, "unit 4 is of a kind this version of PqConverter does not "
                                    "know (it may come from a newer version)");
    d.markModified();
    EXPECT_EQ(d.saveChanges(where).outcome, Outcome::Unchanged); // nothing in memory
    EXPECT_EQ(test::readBytes(path), bytes);

    bytes[4] += 1;
    test::writeBytes(path, bytes);
    EXPECT_FALSE(d.load(where, true));
    EXPECT_EQ(d.readState().reason,
              "its length does not match its size: it was cut short or extended");

    // A name cut short: what follows it is read as the next unit's kind.
    bytes = weightFile({.secondName = u"Gr"});
    test::writeBytes(path, bytes);
    EXPECT_FALSE(d.load(where, true));
    EXPECT_EQ(d.readState().reason.find("unit 3 is of a kind this version"), 0u)
        << "no number a user cannot read";
    EXPECT_EQ(test::readBytes(path), bytes);
}

TEST(Saving, OnlyAChangedDocumentThatMayBeWrittenIsWritten) {
    struct Case {
        const char* what;
        std::function<void(const TempFolder&)> before; // before the file is read
        std::function<void(const TempFolder&)> after;  // after, before the save
        Kind kind;
        Outcome outcome;
        std::string cause;
    };
    const std::string kFile = "Weight.cnv";
    auto chmodFile = [&](mode_t mode) {
        return [=](const TempFolder& f) { chmod(f.file(kFile).c_str(), mode); };
    };
    auto chmodFolder = [](mode_t mode) {
        return [=](const TempFolder& f) { chmod(f.path().c_str(), mode); };
    };
    auto none = [](const TempFolder&) {};
    const Case cases[] = {
        {"a whole file", none, none, Kind::Whole, Outcome::Saved, ""},
        {"a read-only file", chmodFile(0444), none, Kind::ReadOnly, Outcome::NotEditable,
         noWrite(false)},
        {"a read-only folder", chmodFolder(0555), none, Kind::ReadOnly, Outcome::NotEditable,
         noWrite(true)},
        {"a file made read-only while open", none, chmodFile(0400), Kind::Whole, Outcome::Failed,
         noWrite(false)},
        {"a folder made read-only while open", none, chmodFolder(0500), Kind::Whole,
         Outcome::Failed, noWrite(true)},
        {"a file rewritten by another program", none,
         [&](const TempFolder& f) { test::writeBytes(f.file(kFile), weightFile({.units = 2})); },
         Kind::Whole, Outcome::ChangedOnDisk, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        PlainFolder where(folder.path());
        const std::string path = folder.file(kFile);
        test::writeBytes(path, weightFile());
        c.before(folder);
        ConversionDocument d;
        ASSERT_TRUE(d.load(where, true, u"Weight"));
        EXPECT_EQ(d.readState().kind, c.kind);
        if (c.kind == Kind::ReadOnly) {
            EXPECT_EQ(d.readState().reason, c.cause);
        }
        c.after(folder);
        const std::vector<uint8_t> onDisk = test::readBytes(path);
        const int64_t stamp = modifiedNs(path);

        // Unchanged, it is never written.
        EXPECT_EQ(d.saveChanges(where).outcome, Outcome::Unchanged);
        EXPECT_EQ(modifiedNs(path), stamp);

        d.title = u"Changed";
        d.markModified();
        const SaveResult result = d.saveChanges(where);
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(result.file, kFile);
        if (c.outcome == Outcome::Failed) {
            EXPECT_EQ(result.cause, c.cause);
        }
        if (c.outcome == Outcome::Saved) {
            EXPECT_FALSE(d.isModified());
        } else {
            EXPECT_EQ(test::readBytes(path), onDisk);
            EXPECT_TRUE(d.isModified() || !d.editable());
        }
        chmod(path.c_str(), 0644);
        chmod(folder.path().c_str(), 0755);
    }
}

TEST(Saving, AFileChangedOnDiskIsReplacedOnlyWhenAskedOrReadAgain) {
    TempFolder folder;
    PlainFolder where(folder.path());
    const std::string path = folder.file("Weight.cnv");
    test::writeBytes(path, weightFile());
    ConversionDocument d;
    ASSERT_TRUE(d.load(where, true, u"Weight"));
    EXPECT_FALSE(d.changedOnDisk(where));

    // Another program rewrites it with the same size: its time tells.
    std::vector<uint8_t> theirs = weightFile();
    theirs[theirs.size() - 10] ^= 0x10; // the last factor
    timespec later[2] = {{0, UTIME_OMIT}, {0, 0}};
    clock_gettime(CLOCK_REALTIME, &later[1]);
    later[1].tv_sec += 2;
    test::writeBytes(path, theirs);
    utimensat(AT_FDCWD, path.c_str(), later, 0);
    EXPECT_TRUE(d.changedOnDisk(where));
    d.markModified();
    EXPECT_EQ(d.saveChanges(where).outcome, Outcome::ChangedOnDisk);
    EXPECT_EQ(test::readBytes(path), theirs);

    // Read again, the document holds their version and is unmodified.
    ASSERT_TRUE(d.reload(where));
    EXPECT_FALSE(d.isModified());
    EXPECT_NE(d.conversions.back()->factor, 1e6);
    EXPECT_FALSE(d.changedOnDisk(where));

    // Keeping one's own version replaces theirs.
    test::writeBytes(path, weightFile({.units = 2}));
    d.markModified();
    EXPECT_EQ(d.saveChanges(where, true).outcome, Outcome::Saved);
    ConversionDocument saved;
    ASSERT_TRUE(saved.loadFrom(path, true));
    EXPECT_EQ(saved.items.size(), 3u);

    // A new document never replaces a file it did not read; a gone file is
    // simply written again.
    ConversionDocument fresh;
    fresh.name = u"Weight";
    fresh.markModified();
    const SaveResult taken = fresh.saveChanges(where);
    EXPECT_EQ(taken.outcome, Outcome::Failed);
    EXPECT_EQ(taken.cause, "a file of that name exists already");
    std::filesystem::remove(path);
    d.markModified();
    EXPECT_EQ(d.saveChanges(where).outcome, Outcome::Saved);
}

TEST(Saving, ALegacyFileIsConvertedOnlyWhenReadWholeAndWritable) {
    constexpr int64_t kLegacy = 0xC0215192;
    auto legacyFile = [](bool broken) {
        Bytes b;
        b.i32(kLegacy).text(u"Old").i32(2);
        b.i32(1).text(u"m").text(u"Metre").text(u"").i32(0);
        if (broken)
            b.i32(1).i32(-3); // a unit that breaks off
        else
            b.i32(1).text(u"ft").text(u"Foot").text(u"").i32(0);
        return b.i32(0).i32(0).data; // no shown units, no conversions
    };
    const struct {
        const char* what;
        bool broken;
        mode_t mode;
        Kind kind;
        bool converted;
    } cases[] = {
        {"whole", false, 0644, Kind::Whole, true},
        {"a unit lost", true, 0644, Kind::Damaged, false},
        {"read-only", false, 0444, Kind::ReadOnly, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        PlainFolder where(folder.path());
        const std::string path = folder.file("Old.cnv");
        const std::vector<uint8_t> bytes = legacyFile(c.broken);
        test::writeBytes(path, bytes);
        chmod(path.c_str(), c.mode);
        ConversionDocument d;
        ASSERT_TRUE(d.load(where, false, u"Old"));
        EXPECT_EQ(d.readState().kind, c.kind);
        EXPECT_EQ(test::readBytes(path) != bytes, c.converted);
        EXPECT_FALSE(d.isModified());
        chmod(path.c_str(), 0644);
    }
}
