// Finding units across the data folder: the keys, the matching rules and
// their order over the shipped files, and an index that follows the folder.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "document/data_source.h"
#include "document/document.h"
#include "document/unit_index.h"
#include "document/unit_lookup.h"
#include "engine/text.h"
#include "tests/document/file_bytes.h"

using namespace pq;
using pq::test::TempFolder;

namespace {

std::string utf8(std::u16string_view text) { return toUtf8(text); }

// "Speed.cnv km_h" for a match, "" for none.
std::string describe(const UnitMatch& match) {
    return utf8(match.file->fileName) + " " + utf8(match.unit->identifier);
}

std::string first(const UnitIndex& index, std::u16string_view text, const FindOptions& options = {}) {
    const auto matches = index.find(text, options);
    return matches.empty() ? std::string() : describe(matches.front());
}

const UnitIndex& shippedIndex() {
    static const UnitIndex index = [] {
        UnitIndex built(PQ_DATA_DIR);
        built.refresh();
        return built;
    }();
    return index;
}

void writeSource(const TempFolder& folder, const char* name, std::string_view source) {
    SourceError error;
    auto document = compileDataSource(source, 0, error);
    ASSERT_NE(document, nullptr) << error.message;
    ASSERT_TRUE(document->saveTo(folder.file(name)));
}

void writeText(const std::string& path, std::string_view text) {
    std::ofstream(path, std::ios::binary) << text;
}

constexpr std::string_view kRoads = R"(type: conversions
title: Roads
category: Travel

[unit]
id: lea
name: League

[unit]
id: fur
name: Furlong (fur)
shown: no
)";

} // namespace

TEST(MatchKey, IgnoresCaseAccentsSpacesAndPunctuation) {
    const struct {
        std::u16string_view text;
        std::u16string_view key;
    } cases[] = {
        {u"km h", u"kmh"},         {u"KM / H", u"km/h"},        {u"°C", u"degc"},
        {u"µm", u"um"},            {u"m²", u"m2"},              {u"mmH₂O", u"mmh2o"},
        {u"Réaumur", u"reaumur"},  {u"Złoty", u"zloty"},        {u"Straße", u"strasse"},
        {u"  Fl. Oz ", u"floz"},   {u"Tip (%)", u"tippercent"}, {u"UTC\u221212", u"utc12"},
        {u"ft\u00B7lbf", u"ft\u00B7lbf"}, {u"kΩμΜ", u"kohmuu"},    {u"$", u"$"},
        {u"", u""},
    };
    for (const auto& c : cases) EXPECT_EQ(utf8(matchKey(c.text)), utf8(c.key)) << utf8(c.text);
}

TEST(MatchKey, WordsStartAfterPunctuationAndAtCapitals) {
    EXPECT_EQ(keyWithWords(u"Mile per hour (mph)").wordStarts,
              (std::vector<uint16_t>{0, 4, 7, 11}));
    EXPECT_EQ(keyWithWords(u"flozUS").wordStarts, (std::vector<uint16_t>{0, 4}));
    EXPECT_EQ(keyWithWords(u"km_h").wordStarts, (std::vector<uint16_t>{0, 2}));
    EXPECT_EQ(keyWithWords(u"km/h").key, u"km/h");
    EXPECT_EQ(keyWithWords(u"km/h").wordStarts, (std::vector<uint16_t>{0, 2, 3}));
}

TEST(UnitIndex, MatchesTheShippedUnitsAsPeopleTypeThem) {
    const struct {
        std::u16string_view text;
        const char* found; // the first match
        MatchTier tier;
    } cases[] = {
        {u"kph", "Speed.cnv km_h", MatchTier::Exact},         // an alternative name
        {u"kmh", "Speed.cnv km_h", MatchTier::Folded},        // punctuation left out
        {u"KM/H", "Speed.cnv km_h", MatchTier::CaseFolded},   // case
        {u"degc", "Temperature.cnv degC", MatchTier::CaseFolded},
        {u"°F", "Temperature.cnv degF", MatchTier::Exact},
        {u"fahrenheit", "Temperature.cnv degF", MatchTier::Exact},
        {u"reau", "Temperature.cnv degRe", MatchTier::WordPrefix}, // accents
        {u"lbs", "Weight.cnv lb", MatchTier::Exact},
        {u"nmi", "Length.cnv nmi", MatchTier::Exact},
        {u"mph", "Speed.cnv mph", MatchTier::Exact},
        {u"mile per", "Speed.cnv mph", MatchTier::WordPrefix}, // across words
        {u"foot", "Length.cnv ft", MatchTier::CaseFolded},     // the name without "(ft)"
        {u"ilogram", "Weight.cnv kg", MatchTier::Substring},
        {u"bill", "TipCalc.cal bill", MatchTier::Exact},       // calculation items
        {u"mrad", "Angle.cnv mrad", MatchTier::Exact},         // hidden units
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(utf8(c.text));
        const auto matches = shippedIndex().find(c.text);
        ASSERT_FALSE(matches.empty());
        EXPECT_EQ(describe(matches.front()), c.found);
        EXPECT_EQ(matches.front().tier, c.tier);
    }
    EXPECT_TRUE(shippedIndex().find(u"xyzzy").empty());
    EXPECT_TRUE(shippedIndex().find(u"/ -").empty()); // nothing left to match
}

TEST(UnitIndex, OrdersWholeNamesBeforeWordStartsBeforeTheRestAndTheCurrentFileFirst) {
    const UnitIndex& index = shippedIndex();
    // "c" is the identifier of the speed of light, in that case, and of the
    // coulomb (C) in another, and Celsius's other name.
    const auto c = index.find(u"c");
    ASSERT_GE(c.size(), 3u);
    EXPECT_EQ(describe(c[0]), "Speed.cnv c");
    EXPECT_EQ(describe(c[1]), "ElectricCharge.cnv C");
    EXPECT_EQ(describe(c[2]), "Temperature.cnv degC");
    for (size_t i = 1; i < c.size(); ++i) EXPECT_LE(c[i - 1].tier, c[i].tier);

    EXPECT_EQ(first(index, u"m"), "Length.cnv m");
    FindOptions inSpeed;
    inSpeed.currentFile = u"speed.CNV";
    // A whole name anywhere first, then the current file's word starts.
    const auto m = index.find(u"m", inSpeed);
    ASSERT_GE(m.size(), 2u);
    EXPECT_EQ(describe(m[0]), "Length.cnv m");
    EXPECT_EQ(utf8(m[1].file->fileName), "Speed.cnv");
    EXPECT_TRUE(m[1].inCurrentFile);
    EXPECT_EQ(m[1].tier, MatchTier::WordPrefix);
    // ... but its mere substrings come after the good matches elsewhere.
    const auto in = index.find(u"in", inSpeed); // "minutes" in Speed
    ASSERT_GE(in.size(), 2u);
    EXPECT_EQ(describe(in[0]), "Length.cnv in");
    FindOptions limited;
    limited.limit = 5;
    EXPECT_EQ(index.find(u"m", limited).size(), 5u);
    FindOptions exact;
    exact.exactOnly = true;
    const auto gallons = index.find(u"gal", exact);
    ASSERT_EQ(gallons.size(), 3u); // US and imperial in Volume, US in Cooking
    for (const UnitMatch& match : gallons) EXPECT_EQ(match.tier, MatchTier::Exact);
}

TEST(UnitIndex, FollowsTheFolder) {
    TempFolder folder;
    writeSource(folder, "Roads.cnv", kRoads);
    UnitIndex index(folder.path());
    EXPECT_FALSE(index.built());
    EXPECT_TRUE(index.refresh());
    EXPECT_EQ(first(index, u"fur"), "Roads.cnv fur");
    EXPECT_FALSE(index.refresh()); // nothing changed, nothing read

    // A save, a new file, other names.
    std::string roads(kRoads);
    roads += "\n[unit]\nid: mil\nname: Roman mile\n";
    writeSource(folder, "Roads.cnv", roads);
    writeSource(folder, "Sea.cnv", "type: conversions\ntitle: Sea\n\n[unit]\nid: ftm\nname: Fathom\n");
    writeText(folder.file("AlternativeNames.txt"),
              "# ours\nroads.CNV | LEA | lieue, \xC3\xA9tape\nbroken line\n");
    EXPECT_TRUE(index.refresh());
    EXPECT_EQ(first(index, u"roman"), "Roads.cnv mil");
    EXPECT_EQ(first(index, u"fathom"), "Sea.cnv ftm");
    EXPECT_EQ(first(index, u"etape"), "Roads.cnv lea");
    EXPECT_EQ(index.find(u"lieue").front().tier, MatchTier::Exact);

    // A file gone, and one that is no data file.
    std::filesystem::remove(folder.file("Sea.cnv"));
    writeText(folder.file("Broken.cnv"), "not a data file");
    EXPECT_TRUE(index.refresh());
    EXPECT_EQ(first(index, u"fathom"), "");
    ASSERT_EQ(index.unreadable().size(), 1u);
    EXPECT_EQ(index.unreadable()[0].first, "Broken.cnv");
    EXPECT_FALSE(index.refresh());
    ASSERT_TRUE(index.unit(u"ROADS.cnv", u"Fur").has_value());
    EXPECT_FALSE(index.unit(u"ROADS.cnv", u"Fur")->unit->shown);
}

TEST(UnitIndex, ReadsOldFilesWithoutRewritingThem) {
    TempFolder folder;
    test::Bytes legacy;
    legacy.i32(0xC0215192).text(u"Old").i32(1);
    legacy.i32(1).text(u"cubit").text(u"Cubit").text(u"").i32(0);
    legacy.i32(1).i32(0).i32(0).i32(0).i32(0);
    test::writeBytes(folder.file("Old.cnv"), legacy.data);
    UnitIndex index(folder.path());
    index.refresh();
    EXPECT_EQ(first(index, u"cubit"), "Old.cnv cubit");
    EXPECT_EQ(test::readBytes(folder.file("Old.cnv")), legacy.data);
}

TEST(UnitIndex, TheOpenDocumentStandsInForItsFile) {
    TempFolder folder;
    writeSource(folder, "Roads.cnv", kRoads);
    UnitIndex index(folder.path());
    index.refresh();
    SourceError error;
    auto open = compileDataSource(std::string(kRoads) + "\n[unit]\nid: mil\nname: Roman mile\n", 0,
                                  error);
    ASSERT_NE(open, nullptr);
    open->name = u"Roads";
    FindOptions options;
    options.currentFile = u"Roads.cnv";
    options.currentContents = index.entriesOf(*open);
    EXPECT_EQ(first(index, u"roman", options), "Roads.cnv mil");
    EXPECT_EQ(index.find(u"league", options).size(), 1u); // not twice
    EXPECT_EQ(first(index, u"roman"), "");
}

TEST(UnitLookup, FindsWholeNamesAsTheIndexDoesReadingEachFileOnce) {
    const std::vector<std::u16string> names{u"ft", u"gal", u"kph", u"mile per", u"bill"};
    const FolderLookup lookup = LookUpUnits(PQ_DATA_DIR, names, ConversionDocument::kTypeCode);
    EXPECT_EQ(lookup.filesRead, 46u); // the conversion files alone
    EXPECT_TRUE(lookup.unreadable.empty());
    FindOptions exact;
    exact.exactOnly = true;
    for (size_t k = 0; k < names.size(); ++k) {
        SCOPED_TRACE(utf8(names[k]));
        std::vector<std::string> looked, indexed;
        for (const FoundUnit& unit : lookup.found[k]) {
            looked.push_back(utf8(unit.fileName) + " " + utf8(unit.item().identifier));
            EXPECT_TRUE(unit.document->loaded);
        }
        for (const UnitMatch& match : shippedIndex().find(names[k], exact))
            if (match.file->typeCode == ConversionDocument::kTypeCode)
                indexed.push_back(describe(match));
        std::sort(looked.begin(), looked.end());
        std::sort(indexed.begin(), indexed.end());
        EXPECT_EQ(looked, indexed);
    }
    EXPECT_EQ(lookup.found[1].size(), 3u);         // the gallons of Cooking and Volume
    EXPECT_TRUE(lookup.found[3].empty());          // no whole name
    EXPECT_EQ(lookup.found[2].front().tier, MatchTier::Exact);
}

// Most files are only glanced at; those of an older format, with a dropped
// record or unreadable are read as the index reads them.
TEST(UnitLookup, FindsInOldDamagedAndUnreadableFilesAsAWholeReadDoes) {
    TempFolder folder;
    writeSource(folder, "Roads.cnv", kRoads);
    test::Bytes legacy;
    legacy.i32(0xC0215192).text(u"Old").i32(1);
    legacy.i32(1).text(u"cubit").text(u"Cubit").text(u"").i32(0);
    legacy.i32(1).i32(0).i32(0).i32(0).i32(0);
    test::writeBytes(folder.file("Old.cnv"), legacy.data);
    test::Bytes cut; // two units announced, the second cut short
    cut.i32(0xC040A010).i32(0).text(u"").text(u"Cut").text(u"").i32(2);
    cut.i32(1).text(u"Span").text(u"span").text(u"").i32(1).i32(0).i32(0).i32(0);
    cut.i32(1).text(u"Hand").i32(40000);
    test::writeBytes(folder.file("Cut.cnv"), cut.sealed().data);
    writeText(folder.file("Junk.cnv"), "not a data file");
    writeText(folder.file("AlternativeNames.txt"),
              "Cut.cnv | span | hand width, spans\nroads.cnv | LEA | lieue\n");

    const std::vector<std::u16string> names{u"cubit", u"Hand Width", u"lieue", u"fur", u"hand"};
    const FolderLookup lookup = LookUpUnits(folder.path(), names);
    EXPECT_EQ(lookup.filesRead, 3u);
    ASSERT_EQ(lookup.unreadable.size(), 1u);
    EXPECT_EQ(lookup.unreadable[0].first, "Junk.cnv");
    EXPECT_EQ(lookup.unreadable[0].second, "it is not a data file");
    const std::vector<std::string> expected{"Old.cnv cubit", "Cut.cnv span", "Roads.cnv lea",
                                            "Roads.cnv fur", ""};
    for (size_t k = 0; k < names.size(); ++k) {
        std::string found;
        for (const FoundUnit& unit : lookup.found[k])
            found += utf8(unit.fileName) + " " + utf8(unit.item().identifier);
        EXPECT_EQ(found, expected[k]) << utf8(names[k]);
    }
    EXPECT_EQ(test::readBytes(folder.file("Old.cnv")), legacy.data);
}
