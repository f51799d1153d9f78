// When a document may be written, and what saving it refuses.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

#include "document/catalogue.h"
#include "document/data_file.h"
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
    // The file: units kg, g, t; conversions kg-g, t-kg, t-g. What follows a
    // record that cannot be read is found again; a conversion goes with
    // either of its units.
    struct Case {
        const char* what;
        Parts parts;
        int units;       // dropped
        int conversions; // dropped; -1: the list's count is beyond the file
        const char* kept;
        bool stray = false;
    };
    const Case cases[] = {
        {"the kind of a conversion flipped",
         {.secondKind = 1},
         0,
         1,
         "3 of 3 units and 2 of 3 conversions"},
        {"a conversion count one too high",
         {.conversions = 4},
         0,
         1,
         "3 of 3 units and 3 of 4 conversions"},
        {"a conversion count beyond the file",
         {.conversions = 0x7FFFFFF0},
         0,
         -1,
         "3 of 3 units and the 3 conversions that could be read"},
        {"a unit record that breaks off",
         {.brokenThirdUnit = true},
         1,
         2,
         "2 of 3 units and 1 of 3 conversions"},
        {"a name that runs past the unit",
         {.secondName = u"Gr"},
         1,
         2,
         "2 of 3 units and 1 of 3 conversions"},
        {"a unit count one too high", {.units = 4}, 1, 0, "3 of 4 units and 3 of 3 conversions"},
        {"bytes that belong to no record",
         {.strayBytes = 6},
         0,
         0,
         "3 of 3 units and 3 of 3 conversions",
         true},
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
            EXPECT_EQ(keptText(*d), c.kept);
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
        EXPECT_EQ(again.items.size(), d.items.size());
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
    const struct {
        const char* what;
        std::vector<uint8_t> bytes;
        const char* reason;
    } cases[] = {
        {"a length word off by one",
         [] {
             std::vector<uint8_t> bytes = weightFile();
             bytes[4] += 1;
             return bytes;
         }(),
         "its length does not match its size: it was cut short or extended"},
        {"a unit count beyond the file", weightFile({.units = 1000}),
         "its header announces more units than the file can hold"},
        {"no unit that can be read",
         [] {
             Bytes b;
             b.i32(kMagic).i32(0).text(u"").text(u"W").text(u"").i32(1).i32(7);
             for (int i = 0; i < 8; ++i) b.i32(0);
             return b.sealed().data;
         }(),
         "unit 1 is of a kind this version of PqConverter does not know (it may come from a "
         "newer version)"},
    };
    TempFolder folder;
    PlainFolder where(folder.path());
    const std::string path = folder.file("Weight.cnv");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::writeBytes(path, c.bytes);
        ConversionDocument d;
        EXPECT_FALSE(d.load(where, true, u"Weight"));
        EXPECT_EQ(d.readState().kind, Kind::Failed);
        EXPECT_EQ(d.readState().reason, c.reason);
        d.markModified();
        EXPECT_EQ(d.saveChanges(where).outcome, Outcome::Unchanged); // nothing in memory
        EXPECT_EQ(test::readBytes(path), c.bytes);
    }
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

TEST(Saving, AnotherProgramsWriteIsNeverReplacedUnasked) {
    // Another program writes the file at some moment of a save; the save
    // finds it immediately before it would replace the file.
    struct Case {
        const char* what;
        bool atTheLastMoment; // between writing the new content and the rename
        bool sameSizeAndTime; // the change keeps the size; the time is put back
        bool newDocument;     // the save is the first of a new document
    };
    const Case cases[] = {
        {"before the save", false, false, false},
        {"before the save, size and time kept", false, true, false},
        {"at the last moment", true, false, false},
        {"at the last moment, size and time kept", true, true, false},
        {"a new file's name taken at the last moment", true, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        PlainFolder where(folder.path());
        const std::string path = folder.file("Weight.cnv");
        const std::string theirs = folder.file("theirs"), stamp = folder.file("stamp");
        std::vector<uint8_t> theirBytes = weightFile();
        theirBytes[theirBytes.size() - 10] ^= 0x10; // the last factor: same size
        if (!c.sameSizeAndTime) theirBytes = weightFile({.conversions = 2}); // cut short
        test::writeBytes(theirs, theirBytes);
        ConversionDocument d;
        d.name = u"Weight";
        if (!c.newDocument) {
            test::writeBytes(path, weightFile());
            ASSERT_TRUE(d.load(where, true));
        }
        // What the other program does: writes its bytes in place of the file
        // and, to hide that, puts the file's time back as it was.
        const std::string write = c.newDocument ? "cp " + theirs + " " + path
                                  : c.sameSizeAndTime
                                      ? "cp -p " + path + " " + stamp + " && cp " + theirs + " " +
                                            path + " && touch -r " + stamp + " " + path
                                      : "cp " + theirs + " " + path;
        struct Hook {
            explicit Hook(std::function<void(const std::string&)> hook) {
                DataFile::setBeforeReplaceHook(std::move(hook));
            }
            ~Hook() { DataFile::setBeforeReplaceHook({}); }
        } hook(c.atTheLastMoment ? std::function<void(const std::string&)>(
                                       [&](const std::string&) { std::system(write.c_str()); })
                                 : nullptr);
        if (!c.atTheLastMoment) {
            ASSERT_EQ(std::system(write.c_str()), 0);
        }

        d.title = u"Mine";
        d.markModified();
        const SaveResult refused = d.saveChanges(where);
        DataFile::setBeforeReplaceHook({});
        if (c.sameSizeAndTime) {
            EXPECT_EQ(modifiedNs(path), modifiedNs(stamp));
        }
        if (c.newDocument) {
            EXPECT_EQ(refused.outcome, Outcome::Failed);
            EXPECT_EQ(refused.cause, "a file of that name exists already");
        } else {
            EXPECT_EQ(refused.outcome, Outcome::ChangedOnDisk);
            EXPECT_TRUE(d.changedOnDisk(where));
        }
        EXPECT_EQ(test::readBytes(path), theirBytes);
        EXPECT_TRUE(d.isModified());
        for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
            EXPECT_FALSE(entry.path().filename().string().starts_with(".pqsave-"));
        if (c.newDocument) continue;

        // Keeping one's own version replaces theirs; from then on the file
        // is the version saved.
        EXPECT_EQ(d.saveChanges(where, true).outcome, Outcome::Saved);
        EXPECT_FALSE(d.changedOnDisk(where));
        ConversionDocument saved;
        ASSERT_TRUE(saved.loadFrom(path, true));
        EXPECT_EQ(saved.title, u"Mine");
        // Read again, the document holds their version and is unmodified.
        test::writeBytes(path, theirBytes);
        ASSERT_TRUE(d.reload(where));
        EXPECT_FALSE(d.isModified());
        EXPECT_EQ(d.title, u"Weight");
        EXPECT_FALSE(d.changedOnDisk(where));
    }
}

TEST(Saving, ANewFileTakesTheUsersUsualRightsAndAnOldOneKeepsItsOwn) {
    TempFolder folder;
    PlainFolder where(folder.path());
    const mode_t mask = umask(027);
    ConversionDocument fresh;
    fresh.name = u"Fresh";
    fresh.markModified();
    EXPECT_EQ(fresh.saveChanges(where).outcome, Outcome::Saved);
    EXPECT_EQ(umask(027), 027) << "the umask is as it was";
    umask(mask);
    struct stat info {};
    ASSERT_EQ(stat(folder.file("Fresh.cnv").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640);

    chmod(folder.file("Fresh.cnv").c_str(), 0604);
    fresh.title = u"Again";
    fresh.markModified();
    EXPECT_EQ(fresh.saveChanges(where).outcome, Outcome::Saved);
    ASSERT_EQ(stat(folder.file("Fresh.cnv").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0604);
}

TEST(Saving, ALegacyFileIsConvertedAtItsFirstSaveAndItsBytesKeptBesideIt) {
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
    } cases[] = {
        {"whole", false, 0644, Kind::Whole},
        {"a unit lost", true, 0644, Kind::Damaged},
        {"read-only", false, 0444, Kind::ReadOnly},
    };
    ExpressionEngine engine;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        PlainFolder where(folder.path());
        const std::string path = folder.file("Old.cnv");
        const std::vector<uint8_t> bytes = legacyFile(c.broken);
        test::writeBytes(path, bytes);
        chmod(path.c_str(), c.mode);
        // Read as the converter reads its folder: listed, made current, left.
        Catalogue catalogue(engine);
        catalogue.setFolder(folder.path());
        catalogue.scanFolder();
        Document* d = catalogue.current(0);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->readState().kind, c.kind);
        EXPECT_TRUE(d->isLegacy());
        EXPECT_EQ(test::readBytes(path), bytes) << "reading never writes";

        d->title = u"Changed";
        d->markModified();
        const SaveResult saved = d->saveChanges(where);
        chmod(path.c_str(), 0644);
        if (c.kind != Kind::Whole) {
            EXPECT_EQ(saved.outcome, Outcome::NotEditable);
            EXPECT_EQ(test::readBytes(path), bytes);
            EXPECT_FALSE(std::filesystem::exists(path + ".legacy"));
            continue;
        }
        // The first save converts it, after its bytes were kept.
        EXPECT_EQ(saved.outcome, Outcome::Saved);
        EXPECT_EQ(test::readBytes(path + ".legacy"), bytes);
        EXPECT_FALSE(d->isLegacy());
        ConversionDocument converted;
        ASSERT_TRUE(converted.loadFrom(path, true));
        EXPECT_FALSE(converted.isLegacy());
        EXPECT_EQ(converted.title, u"Changed");
        EXPECT_EQ(converted.items.size(), 2u);
        d->markModified();
        EXPECT_EQ(d->saveChanges(where).outcome, Outcome::Saved);
        EXPECT_FALSE(std::filesystem::exists(path + ".legacy-2")) << "kept once";

        // Another legacy file of that name never replaces the copy kept.
        const std::vector<uint8_t> second = legacyFile(false);
        test::writeBytes(path, second);
        ConversionDocument again;
        ASSERT_TRUE(again.load(where, false, u"Old"));
        again.markModified();
        EXPECT_EQ(again.saveChanges(where).outcome, Outcome::Saved);
        EXPECT_EQ(test::readBytes(path + ".legacy"), bytes);
        EXPECT_EQ(test::readBytes(path + ".legacy-2"), second);
    }
}
