#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "document/data_source.h"
#include "document/document.h"
#include "tests/document/file_bytes.h"

using namespace pq;
using pq::test::TempFolder;

namespace {

std::unique_ptr<Document> compile(std::string_view source, int type, SourceError* error = nullptr) {
    SourceError ignored;
    return compileDataSource(source, type, error ? *error : ignored);
}

std::vector<uint8_t> bytesOf(Document& d, const TempFolder& folder, const char* name) {
    EXPECT_TRUE(d.saveTo(folder.file(name)));
    return test::readBytes(folder.file(name));
}

} // namespace

TEST(DataSource, ReadsTheFormPeopleWrite) {
    SourceError error;
    auto d = compile(R"(# Lengths
type: conversions
title: Length
category:   Distance
updated: "  spaced  "

[unit]
id: m
name: Metre

[unit]
name: Foot
id: ft
shown: no
formats: decimal, compound
display: compound
part: ft = 1
part: in = 12

[conversion]
from: FT
to: metre
factor: 12 * 0.0254

[conversion]
from: m
to-position: 1
forward: x
reverse: "x \"quoted\"\t"
)",
                     0, &error);
    ASSERT_TRUE(d) << error.line << ": " << error.message;
    auto& doc = static_cast<ConversionDocument&>(*d);
    EXPECT_EQ(doc.typeCode(), 1);
    EXPECT_EQ(doc.category, u"Distance");
    EXPECT_EQ(doc.updatedText, u"  spaced  ");
    ASSERT_EQ(doc.items.size(), 2u);
    const Item& foot = *doc.items[1];
    EXPECT_EQ(foot.shown, 0);
    EXPECT_EQ(foot.format.allowedFormats, Decimal | Compound);
    EXPECT_EQ(foot.format.displayFormat, Compound);
    EXPECT_EQ(foot.format.entryFormat, Compound);
    EXPECT_EQ(foot.format.labels[1], u"in");
    EXPECT_EQ(foot.format.fractions[1], 12);
    EXPECT_EQ(foot.format.fractions[2], 0);
    ASSERT_EQ(doc.conversions.size(), 2u);
    EXPECT_EQ(doc.conversions[0]->unit1, &foot); // identifiers and names, any case
    EXPECT_EQ(doc.conversions[0]->factor, 12 * 0.0254);
    EXPECT_EQ(doc.conversions[0]->offset, 0);
    EXPECT_EQ(doc.conversions[1]->unit2, doc.items[0].get());
    EXPECT_EQ(doc.conversions[1]->kind, Conversion::Formula);
    EXPECT_EQ(doc.conversions[1]->reverseFormula, u"x \"quoted\"\t");

    // Defaults: the type from the file name, formats from display.
    auto calc = compile("[input]\nid: a\n[output]\nid: b\nvalue: a*2\ndisplay: currency\n", 2);
    ASSERT_TRUE(calc);
    EXPECT_TRUE(calc->items[1]->isOutput());
    EXPECT_EQ(calc->items[1]->format.allowedFormats, Currency);
    EXPECT_EQ(calc->updatedText, u"");
}

TEST(DataSource, RefusesBadSourcesNamingTheLine) {
    struct Case {
        const char* source;
        int line;
        const char* words; // part of the message
    };
    const Case cases[] = {
        {"[unit]\nid: a\n[conversion]\nfrom: a\nto: nowhere\n", 5, "nowhere"},
        {"[unit]\nid: a\nname: x\nname: y\n", 4, "duplicate field \"name\""},
        {"[unit]\nid: a\n[conversion]\nfrom: a\n", 3, "needs \"to:\""},
        {"[unit]\nid: a\n[conversion]\nfrom: a\nto: a\nfactor: 2+\n", 6, "not a number"},
        {"[unit]\ncolour: red\n", 2, "unknown field"},
        {"[units]\n", 1, "unknown section"},
        {"[unit]\nformats: decimal, purple\n", 2, "unknown format"},
        {"[unit]\npart: ft = 1\n", 2, "compound"},
        {"[unit]\nshown: maybe\n", 2, "whole number"},
        {"[unit]\nname: \"open\n", 2, "end with"},
        {"[unit]\nname: \"bad \\q\"\n", 2, "escape"},
        {"just text\n", 1, "key: value"},
        {"type: spreadsheets\n", 1, "type must be"},
        {"[unit]\nid: a\n[unit]\nid: a\n[conversion]\nfrom: a\nto: a\n", 6, "more than one"},
        {"[unit]\nid: a\n[conversion]\nfrom: a\nto: a\nfactor: 1\nforward: x\n", 6, "not both"},
    };
    for (const Case& c : cases) {
        SourceError error;
        EXPECT_EQ(compile(c.source, 1, &error), nullptr) << c.source;
        EXPECT_EQ(error.line, c.line) << c.source << " -> " << error.message;
        EXPECT_NE(error.message.find(c.words), std::string::npos) << error.message;
    }
    SourceError error;
    EXPECT_EQ(compile("type: calculations\n", 1, &error), nullptr); // contradicts ".cnv"
    EXPECT_EQ(compile("[unit]\n", 0, &error), nullptr);             // no type known at all
}

TEST(DataSource, WritingAndCompilingGivesBackTheSameBytes) {
    TempFolder folder;
    ConversionDocument d;
    d.title = u"\"Odd\" title ";
    d.category = u"";
    d.updatedText = u"line one\nline two\t\u00e9";
    const char16_t lone[] = {u'a', 0xD800, u'b', 0};
    for (int i = 0; i < 4; ++i) {
        auto item = std::make_unique<UnitItem>();
        item->name = i < 2 ? u"Twin" : u"Other"; // names that are not unique
        item->identifier = i == 0 ? u"" : (i == 3 ? u"#1" : u"");
        item->valueText = i == 2 ? std::u16string_view(lone) : u"";
        d.items.push_back(std::move(item));
    }
    Item& fancy = *d.items[2];
    fancy.shown = 5;
    fancy.format.allowedFormats = Compound | 64 | static_cast<int32_t>(0x80000000);
    fancy.format.displayFormat = 3;
    fancy.format.entryFormat = Currency;
    fancy.format.labels = {WString(u""), WString(u"b"), WString(u""), WString(u"=x")};
    double nan;
    const uint64_t bits = 0x7FF8000000000123ULL;
    std::memcpy(&nan, &bits, 8);
    fancy.format.fractions = {2, -0.0, nan, 1e-310};
    auto calcLike = std::make_unique<CalcItem>();
    calcLike->role = 7;
    calcLike->name = u"x";
    d.items.push_back(std::move(calcLike));
    auto join = [&](size_t a, size_t b) -> Conversion& {
        Conversion& c = d.addConversion();
        c.unit1 = d.items[a].get();
        c.unit2 = d.items[b].get();
        return c;
    };
    join(0, 1).factor = 1.0 / 3;
    Conversion& odd = join(3, 2);
    odd.kind = 0x20000;
    odd.offset = -0.0;
    odd.factor = 1e300 * 10;
    Conversion& formula = join(4, 0);
    formula.kind = 0x10005;
    formula.forwardFormula = u"";
    formula.reverseFormula = u"x#3";

    const std::vector<uint8_t> original = bytesOf(d, folder, "orig.cnv");
    const std::string text = writeDataSource(d);
    SourceError error;
    auto back = compileDataSource(text, 1, error);
    ASSERT_TRUE(back) << error.line << ": " << error.message << "\n" << text;
    EXPECT_EQ(bytesOf(*back, folder, "back.cnv"), original) << text;
    EXPECT_EQ(writeDataSource(*back), text);
}

namespace {

uint64_t fingerprint(const void* data, size_t size) {
    uint64_t h = 14695981039346656037ULL; // FNV-1a
    for (size_t i = 0; i < size; ++i) {
        h ^= static_cast<const uint8_t*>(data)[i];
        h *= 1099511628211ULL;
    }
    return h;
}

std::u16string numbered(const char16_t* prefix, size_t n) {
    std::u16string text(prefix);
    for (char c : std::to_string(n)) text += static_cast<char16_t>(c);
    return text;
}

// 10,000 units whose identifiers and names collide in every way the writer
// has to step around: missing identifiers, shared identifiers and names,
// names equal to other units' identifiers, and identifiers that differ from
// others only in case. A chain joins each unit to the next, a star joins the
// first unit to all others.
std::unique_ptr<ConversionDocument> crowdedDocument(bool star) {
    auto d = std::make_unique<ConversionDocument>();
    d->title = u"Crowd";
    d->updatedText = u"1 January 2026";
    constexpr size_t kUnits = 10000;
    for (size_t i = 0; i < kUnits; ++i) {
        Item& item = *d->items.emplace_back(std::make_unique<UnitItem>());
        if (i % 13 == 0)
            item.identifier = u"twin";
        else if (i % 5 != 0)
            item.identifier = numbered(i % 3 == 0 ? u"U" : u"u", i);
        if (i % 17 == 0)
            item.name = u"Same";
        else if (i % 19 == 0)
            item.name = numbered(u"u", i + 1);
        else
            item.name = numbered(u"Unit ", i);
    }
    for (size_t i = 1; i < kUnits; ++i) {
        Conversion& c = d->addConversion();
        c.unit1 = d->items[star ? 0 : i - 1].get();
        c.unit2 = d->items[i].get();
        c.factor = 1 + static_cast<double>(i) / 1024;
    }
    d->itemCount = static_cast<int32_t>(kUnits);
    return d;
}

// The same units referred to as a person might write them: by identifier or
// name in another case, or by position.
std::string looseSource(size_t units) {
    std::string text = "type: conversions\ntitle: Loose\n";
    for (size_t i = 0; i < units; ++i)
        text += "\n[unit]\nid: Id" + std::to_string(i) + "\nname: Name " + std::to_string(i) + "\n";
    for (size_t i = 1; i < units; ++i) {
        const std::string n = std::to_string(i);
        text += "\n[conversion]\nfrom-position: " + std::to_string(i) + "\n";
        text += i % 3 == 0 ? "to: id" + n : i % 3 == 1 ? "to: NAME " + n : "to: Id" + n;
        text += "\nfactor: 2\n";
    }
    return text;
}

} // namespace

TEST(DataSource, LargeFilesGiveTheSameBytesAsEver) {
    TempFolder folder;
    struct Expected {
        bool star;
        uint64_t text;
        uint64_t file;
    };
    for (const Expected& e : {Expected{false, 17513890790695658964u, 10875506568977960007u},
                              Expected{true, 13652407944019143062u, 7133025096923575525u}}) {
        const auto d = crowdedDocument(e.star);
        const std::string text = writeDataSource(*d);
        SourceError error;
        auto back = compileDataSource(text, 0, error);
        ASSERT_TRUE(back) << error.line << ": " << error.message;
        const std::vector<uint8_t> bytes = bytesOf(*back, folder, "crowd.cnv");
        EXPECT_EQ(bytesOf(*d, folder, "orig.cnv"), bytes);
        EXPECT_EQ(fingerprint(text.data(), text.size()), e.text) << e.star;
        EXPECT_EQ(fingerprint(bytes.data(), bytes.size()), e.file) << e.star;
    }
    SourceError error;
    auto loose = compileDataSource(looseSource(10000), 0, error);
    ASSERT_TRUE(loose) << error.line << ": " << error.message;
    const std::vector<uint8_t> bytes = bytesOf(*loose, folder, "loose.cnv");
    EXPECT_EQ(fingerprint(bytes.data(), bytes.size()), 12868011792460939998u);
}
