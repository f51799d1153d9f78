#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "converter/dialogs/dialog_checks.h"
#include "document/catalogue.h"
#include "engine/expression_engine.h"
#include "tests/converter/dialogs/dialog_test_support.h"

using namespace pq;
using namespace pq::conv;

TEST(ConversionEntryText, NamesUnitsByIdentifierOrNameAndCutsBothParts) {
    ConversionDocument document;
    Item& km = test::addUnit(document, u"Kilometer", u"km");
    Item& mile = test::addUnit(document, u"Mile");
    Item& longName = test::addUnit(document, u"Twenty characters!!!");
    Item& longer = test::addUnit(document, u"A second unit with a rather long name");
    EXPECT_EQ(ConversionEntryText(test::addLinear(document, km, mile, 0.621371)),
              QStringLiteral("km <=> Mile"));
    EXPECT_EQ(ConversionEntryText(test::addLinear(document, longName, mile, 1)),
              QStringLiteral("Twenty character <=> Mile"));
    const QString cut = ConversionEntryText(test::addLinear(document, longName, longer, 1));
    EXPECT_EQ(cut.size(), 37);
    EXPECT_EQ(cut, QStringLiteral("Twenty character <=> A second unit wi"));
}

TEST(CheckNewConversion, UnitsInOrderThenNoSecondConversionOrSelfConversion) {
    ConversionDocument document;
    Item& km = test::addUnit(document, u"Kilometer", u"km");
    Item& mile = test::addUnit(document, u"Mile");
    Item& m = test::addUnit(document, u"Metre", u"m");
    test::addLinear(document, km, mile, 0.621371);
    EXPECT_EQ(CheckNewConversion(document, nullptr, nullptr),
              QStringLiteral("Choose the unit to convert from in the first list."));
    EXPECT_EQ(CheckNewConversion(document, &km, nullptr),
              QStringLiteral("Choose the unit to convert to in the second list."));
    EXPECT_TRUE(CheckNewConversion(document, &km, &km).startsWith("A unit cannot be converted"));
    EXPECT_TRUE(CheckNewConversion(document, &mile, &km).startsWith("These two units have"))
        << "either direction";
    EXPECT_EQ(CheckNewConversion(document, &km, &m), QString());
}

TEST(CheckFormula, EveryPartMustParse) {
    EXPECT_TRUE(FormulaParses(u"x*1.8+32"));
    EXPECT_TRUE(FormulaParses(u"(X-32)/1.8"));
    EXPECT_TRUE(FormulaParses(u"sqrt(x)"));
    EXPECT_FALSE(FormulaParses(u""));
    EXPECT_FALSE(FormulaParses(u"x*"));
    EXPECT_FALSE(FormulaParses(u"(x+1"));
    EXPECT_FALSE(FormulaParses(u"x 2"));
    EXPECT_EQ(CheckFormula(QStringLiteral("  "), QStringLiteral("forward")),
              QStringLiteral("Type the forward formula, in x: for example x*1000."));
    EXPECT_NE(CheckFormula(QStringLiteral("x+"), QStringLiteral("reverse")).indexOf("reverse"), -1);
    EXPECT_EQ(CheckFormula(QStringLiteral("x/3"), QStringLiteral("reverse")), QString());
}

TEST(CheckFormula, OnlyXAndFunctionsHaveValues) {
    ExpressionEngine engine;
    int parameters = 0;
    ASSERT_TRUE(engine.setFunction(u"half(v)", u"v/2", parameters));
    // Failing for some x only shows when the formula runs.
    for (const char* good : {"1/(x-1)", "pi*x", "sqrt(x)+e", "iif(x<0,0,x)", "HALF(x)", "0x1F*x"})
        EXPECT_EQ(CheckFormula(QString::fromUtf8(good), QStringLiteral("forward"), &engine),
                  QString())
            << good;
    EXPECT_EQ(CheckFormula(QStringLiteral("y*2"), QStringLiteral("forward"), &engine),
              QStringLiteral("The forward formula \"y*2\" uses \"y\", which is neither x nor a "
                             "function"));
    EXPECT_NE(CheckFormula(QStringLiteral("sqrt(x,2)"), QStringLiteral("reverse"), &engine)
                  .indexOf("calls \"sqrt\" with 2 arguments"),
              -1);
    EXPECT_NE(CheckFormula(QStringLiteral("half(x)"), QStringLiteral("reverse")).indexOf("half"),
              -1)
        << "without the engine no user function is known";
    EXPECT_NE(CheckFormula(QStringLiteral("x+"), QStringLiteral("reverse"), &engine)
                  .indexOf("not a valid formula"),
              -1);
}

TEST(CheckIdentifier, UnitsTakePrintableNamesCalculationItemsPlainOnes) {
    ConversionDocument document;
    Item& km = test::addUnit(document, u"Kilometer", u"km");
    test::addUnit(document, u"Mile", u"mi");
    auto fresh = createItem(1);
    EXPECT_EQ(CheckIdentifier(&document, *fresh, QString()), QString()) << "no identifier is fine";
    // The identifiers units really have.
    for (const char* good : {"_m2", "2m", "km/h", "g/cup", "°C", "µm", "my unit", "m²", "ft·lbf"})
        EXPECT_EQ(CheckIdentifier(&document, *fresh, QString::fromUtf8(good)), QString()) << good;
    // The fields of an update file are separated by tabs and line ends.
    for (const char* bad : {"km\th", "km\nh", "km\r", " km", "km "})
        EXPECT_NE(CheckIdentifier(&document, *fresh, QString::fromUtf8(bad)), QString()) << bad;
    auto input = createItem(2);
    for (const char* plain : {"_m2", "bill", "Tip2"})
        EXPECT_EQ(CheckIdentifier(nullptr, *input, QString::fromUtf8(plain)), QString()) << plain;
    for (const char* bad : {"2m", "km/h", "my unit", "°C"})
        EXPECT_NE(CheckIdentifier(nullptr, *input, QString::fromUtf8(bad)).indexOf("plain name"),
                  -1)
            << bad;
    EXPECT_EQ(CheckIdentifier(&document, *fresh, QStringLiteral("MI")),
              QStringLiteral("The identifier \"MI\" is already used by \"Mile\""));
    EXPECT_EQ(CheckIdentifier(&document, km, QStringLiteral("KM")), QString())
        << "an item may keep its own identifier in another case";
    EXPECT_EQ(CheckIdentifier(nullptr, *fresh, QStringLiteral("mi")), QString());
}

TEST(ChooseFileName, TypedNamesAreCheckedAndTitlesMadeUsable) {
    EXPECT_EQ(ChooseFileName(QStringLiteral("Speeds"), QStringLiteral("x"), u".cnv").name,
              QStringLiteral("Speeds"));
    EXPECT_EQ(ChooseFileName(QStringLiteral("Speeds.CNV"), QStringLiteral("x"), u".cnv").name,
              QStringLiteral("Speeds"));
    EXPECT_EQ(ChooseFileName(QString(), QStringLiteral("My Units"), u".cnv").name,
              QStringLiteral("My Units"));
    EXPECT_EQ(ChooseFileName(QStringLiteral("   "), QStringLiteral("km/h..mph"), u".cnv").name,
              QStringLiteral("km_h.mph"));
    EXPECT_EQ(ChooseFileName(QString(), QStringLiteral(".hidden"), u".cnv").name,
              QStringLiteral("hidden"));
    for (const QString& bad : {QStringLiteral("a/b"), QStringLiteral("a\\b"), QStringLiteral(".."),
                               QStringLiteral("../up"), QStringLiteral(".dot"),
                               QStringLiteral("tab\there"), QString(QChar(0x7F))}) {
        const FileNameChoice choice = ChooseFileName(bad, QStringLiteral("Title"), u".cnv");
        EXPECT_TRUE(choice.name.isEmpty()) << bad.toStdString();
        EXPECT_NE(choice.message.indexOf("cannot be a file name"), -1);
    }
}

TEST(IsFileNameTaken, TheCatalogueAndTheFolderCountWithoutRegardToCase) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    ASSERT_TRUE(test::copyShipped(QStringLiteral("Length.cnv"), folder.path()));
    ASSERT_TRUE(test::copyShipped(QStringLiteral("Weight.cnv"), folder.path()));
    ExpressionEngine engine;
    Catalogue catalogue(engine);
    catalogue.setFolder(folder.path().toStdString());
    ASSERT_EQ(catalogue.addFile(u"Length.cnv"), 0);
    {
        QFile renamed(QDir(folder.path()).filePath(QStringLiteral("length_new.CNV")));
        ASSERT_TRUE(renamed.open(QIODevice::WriteOnly)) << "a file the catalogue does not know";
    }
    EXPECT_TRUE(IsFileNameTaken(catalogue, QStringLiteral("LENGTH"), u".cnv"));
    EXPECT_TRUE(IsFileNameTaken(catalogue, QStringLiteral("LENGTH_new"), u".cnv"));
    EXPECT_FALSE(IsFileNameTaken(catalogue, QStringLiteral("Length"), u".cal"))
        << "another extension is another file";
    EXPECT_TRUE(IsFileNameTaken(catalogue, QStringLiteral("weight"), u".cnv"))
        << "files of the folder count even before they are in the catalogue";
    EXPECT_FALSE(IsFileNameTaken(catalogue, QStringLiteral("Speed"), u".cnv"));
}

TEST(CategoriesOf, EachOnceInItsFirstSpellingSortedWithoutCase) {
    ExpressionEngine engine;
    Catalogue catalogue(engine);
    const char16_t* categories[] = {u"length", u"Common", u"", u"Length", u"Length units", u"area"};
    for (const char16_t* category : categories) {
        auto document = createDocument(1);
        document->category = category;
        catalogue.append(std::move(document));
    }
    EXPECT_EQ(CategoriesOf(catalogue), (QStringList{"area", "Common", "length", "Length units"}));
}

TEST(SettingsChecks, AnExistingWritableFolderAndAWebAddress) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    EXPECT_EQ(CheckDataFolder(folder.path()), QString());
    EXPECT_EQ(CheckDataFolder(folder.path() + "/"), QString());
    EXPECT_NE(CheckDataFolder(folder.path() + "/missing").indexOf("does not exist"), -1);
    EXPECT_NE(CheckDataFolder(QString()), QString());
    QFile plain(folder.filePath(QStringLiteral("plain.txt")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    EXPECT_NE(CheckDataFolder(plain.fileName()), QString()) << "a file is no folder";
    const QString locked = folder.filePath(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkdir(locked));
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
    if (!QFile(locked + "/probe").open(QIODevice::WriteOnly)) { // not when running as root
        EXPECT_NE(CheckDataFolder(locked).indexOf("cannot write"), -1);
    }
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"plain.txt"})
        << "the check leaves nothing behind";

    EXPECT_EQ(CheckUpdateSource(QStringLiteral("http://example.com/pqconv/convupd.txt")),
              QString());
    EXPECT_EQ(CheckUpdateSource(QStringLiteral("HTTPS://example.com/x")), QString());
    for (const char* bad : {"", "example.com/pqconv/convupd.txt", "ftp://example.com/x",
                            "file:///tmp/x", "http://", "http//example.com"})
        EXPECT_NE(CheckUpdateSource(QString::fromUtf8(bad)), QString()) << bad;
}
