// The index kept between single questions: it answers as a look at the
// whole folder does, and any change to the folder, a file or the index
// itself makes it unused, never wrong.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <fstream>

#include "document/data_source.h"
#include "document/unit_lookup.h"
#include "engine/text.h"
#include "tests/document/file_bytes.h"
#include "tests/document/unit_fixture.h"

using namespace pq;
using pq::test::TempFolder;

namespace {

// Every unit found for each name, with all the lookup tells of it.
std::string describe(const FolderLookup& lookup) {
    std::string text = "read " + std::to_string(lookup.filesRead) + ";";
    for (const std::vector<FoundUnit>& units : lookup.found) {
        text += " [";
        for (const FoundUnit& unit : units)
            text += toUtf8(unit.fileName) + "#" + std::to_string(unit.fileNumber) + ":" +
                    toUtf8(unit.item().identifier) + "@" + std::to_string(unit.position) + "/" +
                    std::to_string(static_cast<int>(unit.tier)) + (unit.usual ? "u" : "") + " ";
        text += "]";
    }
    for (const auto& [file, reason] : lookup.unreadable) text += " unreadable " + file;
    return text;
}

std::vector<std::u16string> names(std::initializer_list<const char*> texts) {
    std::vector<std::u16string> out;
    for (const char* text : texts) out.push_back(fromUtf8(text));
    return out;
}

void writeText(const std::string& path, std::string_view text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

void writeSource(const std::string& path, std::string_view source) {
    SourceError error;
    auto document = compileDataSource(source, 0, error);
    ASSERT_NE(document, nullptr) << error.message;
    ASSERT_TRUE(document->saveTo(path));
}

// An index kept in a folder of its own, written at once: the files of a
// test stay as they are while it runs.
struct Kept {
    TempFolder cache;
    LookupIndexPlace place{cache.file("units.index"), -3'600'000'000'000};
    bool exists() const { return std::filesystem::exists(place.path); }
};

constexpr int32_t kConversions = ConversionDocument::kTypeCode;

} // namespace

// Names as written (answered by the index), next to names in another letter
// case and phrases (which need the whole look): the same units, in the same
// order, with the same tiers, either way.
TEST(UnitLookupIndex, AnswersAsALookAtTheWholeFolderDoes) {
    TempFolder fixture;
    ASSERT_TRUE(test::writeUnitFixture(fixture));
    writeText(fixture.file("AlternativeNames.txt"), "Power.cnv | W | watt, watts | usual\n");
    struct Case {
        std::string folder;
        std::vector<std::u16string> names;
        bool fromIndex;
    };
    const std::vector<Case> cases{
        {PQ_DATA_DIR, names({"ft", "m"}), true},
        {PQ_DATA_DIR, names({"gal", "L"}), true},          // several files, usual meanings
        {PQ_DATA_DIR, names({"cup", "mL", "kph"}), true},  // an alternative name
        {PQ_DATA_DIR, names({"mph", "km/h"}), true},
        {PQ_DATA_DIR, names({"furlongs", "m"}), false},    // a plural: a phrase
        {PQ_DATA_DIR, names({"FT"}), false},               // letter case alone
        {PQ_DATA_DIR, names({"no such unit"}), false},
        {fixture.path(), names({"mW", "MW"}), true},
        {fixture.path(), names({"Mb", "MB", "B"}), true},
        {fixture.path(), names({"Cal", "cal", "J"}), true},
        {fixture.path(), names({"watt", "kΩ"}), true},     // other names; a hidden unit
        {fixture.path(), names({"mw"}), false},
        {fixture.path(), names({"Nm"}), false},            // a product of symbols
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder + " " + toUtf8(c.names.front()));
        const std::string whole = describe(LookUpUnits(c.folder, c.names, kConversions));
        Kept kept;
        const FolderLookup first = LookUpUnits(c.folder, c.names, kConversions, &kept.place);
        EXPECT_FALSE(first.fromIndex);
        EXPECT_EQ(describe(first), whole);
        ASSERT_TRUE(kept.exists());
        const FolderLookup second = LookUpUnits(c.folder, c.names, kConversions, &kept.place);
        EXPECT_EQ(second.fromIndex, c.fromIndex);
        EXPECT_EQ(describe(second), whole);
    }
}

// Each change is seen at the next question, which the whole look answers
// and which writes the index again; the one after is answered by it.
TEST(UnitLookupIndex, IsNotUsedOnceTheFolderOrItselfHasChanged) {
    TempFolder folder;
    ASSERT_TRUE(test::writeUnitFixture(folder));
    writeText(folder.file("AlternativeNames.txt"), "Power.cnv | W | wattage\n");
    Kept kept;
    const std::vector<std::u16string> asked = names({"W", "Cal", "wattage"});
    LookUpUnits(folder.path(), asked, kConversions, &kept.place);
    ASSERT_TRUE(kept.exists());

    auto damage = [&](auto change) {
        std::vector<uint8_t> bytes = test::readBytes(kept.place.path);
        change(bytes);
        test::writeBytes(kept.place.path, bytes);
    };
    struct Change {
        const char* what;
        std::function<void()> make;
        std::string found; // the files of W, Cal and wattage
    };
    const std::vector<Change> changes{
        {"a file added",
         [&] {
             writeSource(folder.file("Light.cnv"),
                         "type: conversions\ntitle: Light\n[unit]\nid: W\nname: Watt (W)\n"
                         "[unit]\nid: lm\nname: Lumen (lm)\n");
         },
         "Light.cnv Power.cnv | Food.cnv | Power.cnv | "},
        {"a file changed in place",
         [&] {
             TempFolder elsewhere;
             writeSource(elsewhere.file("Data.cnv"),
                         "type: conversions\ntitle: Data\n[unit]\nid: bit\nname: Bit (bit)\n"
                         "[unit]\nid: Cal\nname: Cal (Cal)\n");
             test::writeBytes(folder.file("Data.cnv"), test::readBytes(elsewhere.file("Data.cnv")));
         },
         "Light.cnv Power.cnv | Data.cnv Food.cnv | Power.cnv | "},
        {"a file removed", [&] { std::filesystem::remove(folder.file("Light.cnv")); },
         "Power.cnv | Data.cnv Food.cnv | Power.cnv | "},
        {"other names changed in place",
         [&] {
             writeText(folder.file("AlternativeNames.txt"),
                       "Power.cnv | W | wattage\nData.cnv | bit | wattage\n");
         },
         "Power.cnv | Data.cnv Food.cnv | Data.cnv Power.cnv | "},
        {"the index cut short", [&] { damage([](auto& b) { b.resize(b.size() / 2); }); },
         "Power.cnv | Data.cnv Food.cnv | Data.cnv Power.cnv | "},
        {"the index filled with zeros",
         [&] { damage([](auto& b) { std::fill(b.begin(), b.end(), 0); }); },
         "Power.cnv | Data.cnv Food.cnv | Data.cnv Power.cnv | "},
        {"a name of the index altered",
         [&] {
             damage([](auto& b) {
                 // "wattage" becomes "wattagf", which no record's check allows.
                 const std::vector<uint8_t> name = test::Bytes().text(u"wattage").data;
                 auto at = std::search(b.begin(), b.end(), name.begin() + 4, name.end());
                 ASSERT_NE(at, b.end());
                 at[12] = 'f';
             });
         },
         "Power.cnv | Data.cnv Food.cnv | Data.cnv Power.cnv | "},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.what);
        change.make();
        for (bool fromIndex : {false, true}) {
            const FolderLookup lookup = LookUpUnits(folder.path(), asked, kConversions, &kept.place);
            EXPECT_EQ(lookup.fromIndex, fromIndex);
            std::string found;
            for (const std::vector<FoundUnit>& units : lookup.found) {
                std::vector<std::string> files;
                for (const FoundUnit& unit : units) files.push_back(toUtf8(unit.fileName));
                std::sort(files.begin(), files.end());
                for (const std::string& file : files) found += file + " ";
                found += "| ";
            }
            EXPECT_EQ(found, change.found);
        }
    }
    // An index of another folder is not this one's.
    TempFolder other;
    ASSERT_TRUE(test::writeUnitFixture(other));
    writeText(other.file("AlternativeNames.txt"), "Power.cnv | W | wattage\n");
    EXPECT_FALSE(LookUpUnits(other.path(), asked, kConversions, &kept.place).fromIndex);
}

// Files changed within the settling time could change again unseen within
// one tick of the file system's clock: no index holds them. A folder with
// an unreadable file is not kept either.
TEST(UnitLookupIndex, IsWrittenOnlyForSettledReadableFolders) {
    TempFolder folder;
    ASSERT_TRUE(test::writeUnitFixture(folder));
    Kept kept;
    LookupIndexPlace waiting{kept.place.path, 3'600'000'000'000};
    LookUpUnits(folder.path(), names({"W"}), kConversions, &waiting);
    EXPECT_FALSE(kept.exists());

    writeText(folder.file("Junk.cnv"), "not a data file");
    const FolderLookup lookup = LookUpUnits(folder.path(), names({"W"}), kConversions, &kept.place);
    EXPECT_EQ(lookup.unreadable.size(), 1u);
    EXPECT_FALSE(kept.exists());
}
