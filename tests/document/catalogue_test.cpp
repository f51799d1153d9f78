#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "document/catalogue.h"
#include "engine/expression_engine.h"
#include "tests/document/file_bytes.h"

using namespace pq;
using pq::test::TempFolder;

namespace {

// Writes a small conversion or calculation file with the given title.
void makeFile(const TempFolder& folder, const std::string& fileName, std::u16string_view title,
              int units = 1) {
    std::unique_ptr<Document> d = createDocument(fileName.ends_with(".cal") ? 2 : 1);
    d->title = title;
    for (int i = 0; i < units; ++i)
        d->items.push_back(createItem(fileName.ends_with(".cal") ? 2 : 1));
    ASSERT_TRUE(d->saveTo(folder.file(fileName)));
}

std::vector<std::u16string> order(const Catalogue& c) {
    std::vector<std::u16string> names;
    for (size_t i = 0; i < c.size(); ++i) names.push_back(c.at(i).fileNameWithExtension());
    return names;
}

using Names = std::vector<std::u16string>;

} // namespace

TEST(Catalogue, MostRecentlyUsedFirstWithOneDocumentLoaded) {
    TempFolder folder;
    makeFile(folder, "A.cnv", u"Alpha", 2);
    makeFile(folder, "B.cal", u"Beta");
    makeFile(folder, "C.cnv", u"Gamma", 3);
    ExpressionEngine engine;
    {
        Catalogue c(engine);
        c.setFolder(folder.path().substr(0, folder.path().size() - 1)); // without the slash
        EXPECT_EQ(c.folder(), folder.path());
        EXPECT_EQ(c.addFile(u"A.cnv"), 0);
        EXPECT_EQ(c.addFile(u"B.cal"), 1);
        EXPECT_EQ(c.addFile(u"C.cnv"), 2);
        EXPECT_EQ(c.addFile(u"a.CNV"), 0); // known already, any case
        EXPECT_FALSE(c.at(2).loaded);
        EXPECT_EQ(c.at(2).itemCountText(), u"3 units"); // from its header

        Document* a = c.current(0); // a header-only first document is loaded
        ASSERT_TRUE(a && a->loaded);
        a->title = u"Alpha saved";
        a->markModified();
        ASSERT_EQ(a->saveChanges(c).outcome, SaveResult::Outcome::Saved);
        a->title = u"Alpha changed, never saved";
        EXPECT_EQ(c.current(2)->title, u"Gamma");
        EXPECT_EQ(order(c), (Names{u"C.cnv", u"A.cnv", u"B.cal"}));
        EXPECT_FALSE(c.at(1).loaded); // A was unloaded, and not written
        EXPECT_TRUE(c.at(0).loaded);

        ConversionDocument reread;
        ASSERT_TRUE(reread.loadFrom(folder.file("A.cnv"), false));
        EXPECT_EQ(reread.title, u"Alpha saved");

        EXPECT_EQ(c.current(7), nullptr); // outside the list: nothing changes
        EXPECT_EQ(order(c), (Names{u"C.cnv", u"A.cnv", u"B.cal"}));
        EXPECT_EQ(c.find(u"b.cal", false), &c.at(2));
        EXPECT_EQ(c.find(u"B.cal", true)->title, u"Beta");
        EXPECT_EQ(order(c), (Names{u"B.cal", u"C.cnv", u"A.cnv"}));
        EXPECT_EQ(c.find(u"nothing.cnv", true), nullptr);
        c.at(0).title = u"Beta at exit";
    } // the catalogue writes nothing when it goes
    CalculationDocument beta;
    ASSERT_TRUE(beta.loadFrom(folder.file("B.cal"), false));
    EXPECT_EQ(beta.title, u"Beta");
}

TEST(Catalogue, StartsFromTheRecentFilesAndScansTheFolder) {
    TempFolder folder;
    makeFile(folder, "Currency.cnv", u"Currency");
    makeFile(folder, "length.cnv", u"Length"); // on disk in another case
    makeFile(folder, "TipCalc.cal", u"Tip");
    makeFile(folder, "Extra.cnv", u"Extra");
    makeFile(folder, "noext", u"x");
    test::writeBytes(folder.file("Broken.cnv"), {1, 2, 3});
    test::writeBytes(folder.file("readme.txt"), {'h', 'i'});
    std::filesystem::create_directory(folder.file("Folder.cnv"));
    ExpressionEngine engine;
    Catalogue c(engine);
    c.setFolder(folder.path());
    const std::vector<std::u16string> recent = {
        u"Currency.cnv",  u"Weight.cnv",       u"Length.cnv", u"TipCalc.cal",
        u"TimeZones.cnv", u"ComputerBase.cnv", u"",           u"Extra.cnv"};
    c.addFiles(recent); // names that no longer exist are passed over; the list ends at ""
    EXPECT_EQ(order(c), (Names{u"Currency.cnv", u"Length.cnv", u"TipCalc.cal"}));
    Document* first = c.find(recent.front(), true);
    ASSERT_TRUE(first && first->loaded);
    EXPECT_EQ(first->title, u"Currency");
    EXPECT_EQ(c.at(1).title, u"Length"); // read through the name in another case

    c.scanFolder();
    EXPECT_EQ(c.size(), 4u); // Extra added; broken, other files and folders not
    EXPECT_EQ(c.indexOf(u"EXTRA.cnv"), 3);
    EXPECT_EQ(c.addFile(u"Broken.cnv"), -1);
    EXPECT_EQ(c.addFile(u".cnv"), -1);

    c.current(1);
    c.at(0).title = u"Length again";
    c.at(0).markModified();
    EXPECT_EQ(c.at(0).saveChanges(c).outcome, SaveResult::Outcome::Saved);
    c.removeDocuments(0, 1); // the current one is unloaded, the next loaded
    EXPECT_EQ(order(c), (Names{u"Currency.cnv", u"TipCalc.cal", u"Extra.cnv"}));
    EXPECT_TRUE(c.at(0).loaded);
    ConversionDocument length;
    ASSERT_TRUE(length.loadFrom(folder.file("length.cnv"), false));
    EXPECT_EQ(length.title, u"Length again");
    EXPECT_FALSE(std::filesystem::exists(folder.file("Length.cnv"))); // written in place

    Catalogue empty(engine);
    empty.setFolder("");
    EXPECT_EQ(empty.folder(), "/");
    EXPECT_EQ(empty.current(0), nullptr);
}

TEST(Catalogue, LegacyFilesStayLoaded) {
    TempFolder folder;
    makeFile(folder, "New.cnv", u"New");
    test::Bytes legacy;
    legacy.i32(0xC0215192).text(u"Old").i32(1);
    legacy.i32(1).text(u"x").text(u"X").text(u"").i32(0);
    legacy.i32(1).i32(0).i32(0).i32(0).i32(0);
    test::writeBytes(folder.file("Old.cnv"), legacy.data);
    ExpressionEngine engine;
    Catalogue c(engine);
    c.setFolder(folder.path());
    c.addFile(u"New.cnv");
    ASSERT_EQ(c.addFile(u"Old.cnv"), 1);
    EXPECT_TRUE(c.at(1).loaded);
    EXPECT_EQ(c.at(1).items.size(), 1u);
    c.current(0);
    EXPECT_TRUE(c.at(0).loaded);
    EXPECT_TRUE(c.at(1).loaded);
}

TEST(TextReferences, ListsAndDecodesHtmFiles) {
    TempFolder folder;
    test::writeBytes(folder.file("notes.htm"), {'<', 'p', '>', 0xC3, 0xA9, 0xE2, 0x82, 0xAC});
    test::writeBytes(folder.file("readme.HTM"), {'c', 'a', 'f', 0xE9, ' ', 0x80, 0x93});
    test::writeBytes(folder.file("empty.htm"), {});
    test::writeBytes(folder.file("x.html"), {'a'});
    test::writeBytes(folder.file(".htm"), {'a'});
    TextReferenceList list;
    list.scan(folder.path());
    std::vector<std::u16string> names;
    for (size_t i = 0; i < list.size(); ++i) names.push_back(list.name(i));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (Names{u"empty", u"notes", u"readme"}));
    for (size_t i = 0; i < list.size(); ++i) {
        std::u16string text;
        if (list.name(i) == u"notes") {
            ASSERT_TRUE(list.readText(i, text));
            EXPECT_EQ(text, u"<p>\u00e9\u20ac"); // valid UTF-8
        } else if (list.name(i) == u"readme") {
            ASSERT_TRUE(list.readText(i, text));
            EXPECT_EQ(text, u"caf\u00e9 \u20ac\u201c"); // Windows-1252
            EXPECT_EQ(list.path(i), folder.path() + "readme.htm");
        } else {
            EXPECT_FALSE(list.readText(i, text));
        }
    }
    EXPECT_EQ(decodeText("\xEF\xBF\xBD ok"), u"\uFFFD ok"); // a real U+FFFD stays UTF-8
}

TEST(Catalogue, NamesThatAreNoRegularFilesAreSkippedAtOnce) {
    TempFolder folder;
    ExpressionEngine engine;
    ConversionDocument d;
    ASSERT_TRUE(d.saveTo(folder.file("Real.cnv")));
    ASSERT_EQ(mkfifo(folder.file("Pipe.cnv").c_str(), 0600), 0);
    ASSERT_EQ(mkfifo(folder.file("Pipe.htm").c_str(), 0600), 0);
    std::ofstream(folder.file("Notes.htm")) << "<p>notes</p>";
    Catalogue c(engine);
    c.setFolder(folder.path());
    c.scanFolder();
    ASSERT_EQ(c.size(), 1u);
    EXPECT_EQ(c.at(0).name, u"Real");
    TextReferenceList references;
    references.scan(folder.path());
    ASSERT_EQ(references.size(), 2u);
    for (size_t i = 0; i < references.size(); ++i) {
        std::u16string text;
        EXPECT_EQ(references.readText(i, text), references.name(i) == u"Notes");
    }
}
