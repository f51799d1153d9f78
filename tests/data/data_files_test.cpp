// The data files that ship with the converter, as the build compiled them:
// they load, their factors give the defined values, every unit can be reached
// from every other, and the calculation and time-zone files compute what
// people expect of them.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "document/document.h"
#include "engine/calendar_date.h"
#include "engine/expression_engine.h"
#include "engine/text.h"
#include "engine/time_zones.h"
#include "tests/data/shipped_data.h"

using namespace pq;
using namespace pq::test;

// Each text source of the project is a listed file, and the build compiled
// each of them.
TEST(ShippedData, TheListNamesEverySource) {
    std::set<std::string> listed, sources;
    for (std::string name : kShippedFiles) {
        EXPECT_TRUE(std::filesystem::is_regular_file(kFolder + name)) << name;
        listed.insert(name.substr(0, name.size() - 4));
    }
    for (const auto& entry : std::filesystem::directory_iterator(PQ_SOURCE_DIR "/data")) {
        const std::filesystem::path& path = entry.path();
        if (path.extension() == ".txt" && path.stem() != "AlternativeNames" &&
            path.stem() != "CMakeLists")
            sources.insert(path.stem().string());
    }
    EXPECT_EQ(listed, sources);
}

TEST(ShippedData, EveryFileLoadsWithTitleCategoryAndUsableIdentifiers) {
    ExpressionEngine engine;
    for (const char* name : kShippedFiles) {
        SCOPED_TRACE(name);
        auto document = load(name);
        ASSERT_NE(document, nullptr);
        EXPECT_FALSE(document->title.empty());
        EXPECT_FALSE(document->category.empty());
        EXPECT_FALSE(document->updatedText.empty());
        ASSERT_FALSE(document->items.empty());
        // Identifiers are typed in formulas and named by update files: each
        // must be a plain name that a formula can use as a variable, and no
        // two alike. Two may differ in case alone where their symbols do
        // (mW, the milliwatt, and MW, the megawatt).
        std::set<std::u16string> identifiers, names;
        for (const auto& item : document->items) {
            SCOPED_TRACE(utf8(item->name));
            const std::u16string_view identifier = item->identifier.view();
            EXPECT_TRUE(isIdentifier(identifier));
            double value = 0;
            EXPECT_TRUE(engine.setVariable(identifier, 7));
            EXPECT_TRUE(engine.evaluate(identifier, value) && value == 7);
            engine.removeDefinition(identifier);
            EXPECT_TRUE(identifiers.insert(std::u16string(identifier)).second);
            EXPECT_TRUE(names.insert(std::u16string(item->name.view())).second);
        }
    }
}

TEST(ShippedData, FactorsGiveTheDefinedValues) {
    struct Equality {
        const char* file;
        const char16_t* from;
        const char16_t* amount; // typed in the unit's own notation
        const char16_t* to;
        double expected;
    };
    const double pi = std::acos(-1.0);
    const Equality table[] = {
        {"Length.cnv", u"mi", u"1", u"m", 1609.344},
        {"Length.cnv", u"ft", u"1", u"in", 12},
        {"Length.cnv", u"in", u"1", u"cm", 2.54},
        {"Length.cnv", u"ft_in", u"[5 6]", u"in", 66},
        {"Length.cnv", u"nmi", u"1", u"km", 1.852},
        {"Length.cnv", u"furlong", u"8", u"mi", 1},
        {"Length.cnv", u"ly", u"1", u"m", 9460730472580800},
        {"Weight.cnv", u"lb", u"1", u"kg", 0.45359237},
        {"Weight.cnv", u"oz", u"16", u"lb", 1},
        {"Weight.cnv", u"st", u"1", u"lb_oz", 14},
        {"Weight.cnv", u"st_lb", u"[10 7]", u"lb", 147},
        {"Weight.cnv", u"ton_US", u"1", u"kg", 907.18474},
        {"Weight.cnv", u"gr", u"7000", u"lb", 1},
        {"Weight.cnv", u"ozt", u"1", u"g", 31.1034768},
        {"Temperature.cnv", u"degC", u"0", u"degF", 32},
        {"Temperature.cnv", u"degC", u"100", u"K", 373.15},
        {"Temperature.cnv", u"degF", u"-40", u"degC", -40},
        {"Temperature.cnv", u"K", u"0", u"degF", -459.67},
        {"Temperature.cnv", u"degR", u"0", u"K", 0},
        {"Area.cnv", u"ac", u"1", u"m2", 4046.8564224},
        {"Area.cnv", u"mi2", u"1", u"ac", 640},
        {"Area.cnv", u"yd2", u"1", u"ft2", 9},
        {"Area.cnv", u"km2", u"1", u"ha", 100},
        {"Volume.cnv", u"galUS", u"1", u"L", 3.785411784},
        {"Volume.cnv", u"galUS", u"1", u"in3", 231},
        {"Volume.cnv", u"galUK", u"1", u"L", 4.54609},
        {"Volume.cnv", u"ptUK", u"1", u"flozUK", 20},
        {"Volume.cnv", u"ft3", u"1", u"in3", 1728},
        {"Volume.cnv", u"bbl", u"1", u"galUS", 42},
        {"Speed.cnv", u"kn", u"1", u"m_s", 1852.0 / 3600},
        {"Speed.cnv", u"mph", u"1", u"m_s", 0.44704},
        {"Speed.cnv", u"m_s", u"1", u"km_h", 3.6},
        {"Speed.cnv", u"c", u"1", u"m_s", 299792458},
        {"Speed.cnv", u"min_km", u"[5 0]", u"km_h", 12},
        {"Speed.cnv", u"mph", u"7.5", u"min_mi", 8},
        {"Pressure.cnv", u"atm", u"1", u"Pa", 101325},
        {"Pressure.cnv", u"atm", u"1", u"torr", 760},
        {"Pressure.cnv", u"psi", u"1", u"Pa", 6894.757293168361},
        {"Pressure.cnv", u"bar", u"1", u"kPa", 100},
        {"Pressure.cnv", u"inHg", u"1", u"mmHg", 25.4},
        {"Pressure.cnv", u"at", u"1", u"Pa", 98066.5},
        {"Energy.cnv", u"kWh", u"1", u"MJ", 3.6},
        {"Energy.cnv", u"BTU", u"1", u"J", 1055.05585262},
        {"Energy.cnv", u"BTU_th", u"1", u"J", 1054.3502644888889},
        {"Energy.cnv", u"kcal", u"1", u"kJ", 4.184},
        {"Energy.cnv", u"cal_IT", u"1", u"J", 4.1868},
        {"Energy.cnv", u"ft_lbf", u"1", u"J", 1.3558179483314004},
        {"Energy.cnv", u"eV", u"1", u"J", 1.602176634e-19},
        {"Power.cnv", u"hp", u"1", u"W", 745.69987158227022},
        {"Power.cnv", u"hpM", u"1", u"W", 735.49875},
        {"Power.cnv", u"TR", u"1", u"BTU_h", 12000},
        {"Power.cnv", u"kcal_h", u"1", u"W", 1.163},
        {"Power.cnv", u"W", u"1", u"dBm", 30},
        {"Power.cnv", u"dBm", u"0", u"W", 0.001},
        {"Time.cnv", u"d", u"1", u"s", 86400},
        {"Time.cnv", u"wk", u"1", u"h", 168},
        {"Time.cnv", u"yr", u"1", u"d", 365.2425},
        {"Time.cnv", u"mo", u"12", u"yr", 1},
        {"Time.cnv", u"hms", u"[1 30 0]", u"min", 90},
        {"Time.cnv", u"dhms", u"[1 6 0 0]", u"h", 30},
        {"Angle.cnv", u"deg", u"180", u"rad", pi},
        {"Angle.cnv", u"turn", u"1", u"grad", 400},
        {"Angle.cnv", u"dms", u"[1 0 0]", u"arcsec", 3600},
        {"Angle.cnv", u"mil", u"6400", u"deg", 360},
        {"Angle.cnv", u"rad", u"1", u"mrad", 1000},
        {"DataRate.cnv", u"Mbit_s", u"8", u"MB_s", 1},
        {"DataRate.cnv", u"GiB_s", u"1", u"MiB_s", 1024},
        {"DataRate.cnv", u"kB_s", u"1", u"bit_s", 8000},
        {"FuelConsumption.cnv", u"L_100km", u"1", u"mpgUS", 235.21458333333333},
        {"FuelConsumption.cnv", u"mpgUK", u"1", u"L_100km", 282.48093633182214},
        {"FuelConsumption.cnv", u"L_100km", u"5", u"km_L", 20},
        {"FuelConsumption.cnv", u"mpgUS", u"1", u"galUS_100mi", 100},
        {"Cooking.cnv", u"cup", u"1", u"mL", 236.5882365},
        {"Cooking.cnv", u"cup", u"1", u"tbsp", 16},
        {"Cooking.cnv", u"tbsp", u"1", u"tsp", 3},
        {"Cooking.cnv", u"ptUK", u"1", u"mL", 568.26125},
        {"Force.cnv", u"lbf", u"1", u"N", 4.4482216152605},
        {"Force.cnv", u"kgf", u"1", u"N", 9.80665},
        {"Force.cnv", u"kip", u"1", u"lbf", 1000},
        {"Force.cnv", u"pdl", u"1", u"N", 0.138254954376},
        {"ComputerBase.cnv", u"hex", u"0FFh", u"dec", 255},
        {"ComputerBase.cnv", u"bin", u"1010b", u"oct", 10},
        {"ComputerBase.cnv", u"KiB", u"1", u"B", 1024},
        {"ComputerBase.cnv", u"MiB", u"1", u"KiB", 1024},
        {"ComputerBase.cnv", u"TiB", u"1", u"B", 1099511627776},
        {"ComputerBase.cnv", u"B", u"1", u"bit", 8},
        {"ComputerBase.cnv", u"GB", u"1", u"MB", 1000},
        {"Currency.cnv", u"EUR", u"1", u"USD", 1.1050},
        {"Currency.cnv", u"USD", u"1.105", u"EUR", 1},
        {"Currency.cnv", u"DEM", u"1.95583", u"FRF", 6.55957},
    };

    ExpressionEngine engine;
    std::string loadedName;
    std::unique_ptr<Document> document;
    for (const Equality& e : table) {
        SCOPED_TRACE(std::string(e.file) + ": " + utf8(e.amount) + " " + utf8(e.from) + " in " +
                     utf8(e.to));
        if (loadedName != e.file) {
            document = load(e.file);
            loadedName = e.file;
        }
        ASSERT_NE(document, nullptr);
        Item* from = find(*document, e.from);
        Item* to = find(*document, e.to);
        ASSERT_NE(from, nullptr);
        ASSERT_NE(to, nullptr);
        double amount;
        ASSERT_TRUE(from->format.parseAndEvaluate(e.amount, engine, amount));
        enter(*document, *from, amount, engine);
        ASSERT_EQ(to->state, ValueState::Valid);
        EXPECT_TRUE(nearlyEqual(to->value, e.expected));
    }
}

// Every unit, hidden ones too, computes every other unit, and the value it
// gives leads back to where it came from: no unit is cut off, no direction a
// user may type in is missing, and each formula pair is its own inverse.
TEST(ShippedData, EveryUnitReachesEveryOtherAndBack) {
    ExpressionEngine engine;
    for (const char* name : kShippedFiles) {
        if (isCalculationFile(name)) continue;
        SCOPED_TRACE(name);
        auto document = load(name);
        ASSERT_NE(document, nullptr);
        auto& units = document->items;
        // A value every unit can take: a date and time for the zones.
        const double value = std::string_view(name) == "TimeZones.cnv"
                                 ? CalendarDate(3, 7, 2011, 9, 30, 0).day
                                 : 1.5;

        std::vector<double> reached(units.size());
        for (size_t a = 0; a < units.size(); ++a) {
            SCOPED_TRACE("from " + utf8(units[a]->name));
            enter(*document, *units[a], value, engine);
            for (size_t b = 0; b < units.size(); ++b) {
                SCOPED_TRACE("to " + utf8(units[b]->name));
                ASSERT_EQ(units[b]->state, ValueState::Valid);
                EXPECT_FALSE(units[b]->displayValue().empty());
                reached[b] = units[b]->value;
            }
            for (size_t b = 0; b < units.size(); ++b) {
                if (b == a) continue;
                SCOPED_TRACE("back from " + utf8(units[b]->name));
                enter(*document, *units[b], reached[b], engine);
                ASSERT_EQ(units[a]->state, ValueState::Valid);
                EXPECT_TRUE(nearlyEqual(units[a]->value, value));
            }
        }
    }
}

TEST(ShippedData, UnitsShowTheirOwnNotation) {
    ExpressionEngine engine;
    struct Shown {
        const char* file;
        const char16_t* from;
        double amount;
        const char16_t* to;
        const char16_t* text;
    };
    const Shown table[] = {
        {"Length.cnv", u"mi", 1, u"km", u"1.609344"},
        {"Length.cnv", u"in", 70, u"ft_in", u"5 ft 10 in "},
        {"Weight.cnv", u"oz", 40, u"lb_oz", u"2 lb 8 oz "},
        {"Time.cnv", u"s", 5400, u"hms", u"1 h 30 min 0 s "},
        {"Angle.cnv", u"deg", 12.5042, u"dms", u"12 ° 30 ′ 15.12 ″ "},
        {"ComputerBase.cnv", u"dec", 255, u"hex", u"00FF"},
        {"ComputerBase.cnv", u"dec", 255, u"oct", u"0377"},
        {"ComputerBase.cnv", u"dec", 5, u"bin", u"0101"},
        {"Currency.cnv", u"EUR", 1000, u"USD", u"1,105.00"},
    };
    for (const Shown& s : table) {
        SCOPED_TRACE(std::string(s.file) + " " + utf8(s.to));
        auto document = load(s.file);
        ASSERT_NE(document, nullptr);
        Item* from = find(*document, s.from);
        Item* to = find(*document, s.to);
        ASSERT_NE(from, nullptr);
        ASSERT_NE(to, nullptr);
        enter(*document, *from, s.amount, engine);
        EXPECT_EQ(utf8(to->displayValue()), utf8(s.text));
    }
}

TEST(ShippedData, TipCalculatorSplitsTheBill) {
    ExpressionEngine engine;
    auto document = load("TipCalc.cal");
    ASSERT_NE(document, nullptr);
    Item* bill = find(*document, u"bill");
    Item* percent = find(*document, u"percent");
    Item* people = find(*document, u"people");
    Item* tip = find(*document, u"tip");
    Item* total = find(*document, u"total");
    Item* each = find(*document, u"each");
    ASSERT_TRUE(bill && percent && people && tip && total && each);

    // Opened as shipped, the default values give a worked example.
    document->computeAll(engine);
    EXPECT_EQ(utf8(bill->displayValue()), "50.00");
    EXPECT_EQ(utf8(total->displayValue()), "57.50");
    EXPECT_EQ(utf8(each->displayValue()), "28.75");

    const std::pair<Item*, double> typed[] = {{bill, 100}, {percent, 15}, {people, 4}};
    for (auto [item, value] : typed) {
        item->value = value;
        item->state = ValueState::Valid;
    }
    document->computeAll(engine);
    EXPECT_TRUE(nearlyEqual(tip->value, 15));
    EXPECT_TRUE(nearlyEqual(total->value, 115));
    EXPECT_TRUE(nearlyEqual(each->value, 28.75));
    EXPECT_EQ(utf8(total->displayValue()), "115.00");
    EXPECT_EQ(utf8(each->displayValue()), "28.75");

    people->value = 0; // nobody to share the bill: no amount per person
    document->computeAll(engine);
    EXPECT_EQ(each->state, ValueState::Error);
    EXPECT_EQ(total->state, ValueState::Valid);
}

TEST(ShippedData, TimeZonesFollowTheirCodesAndDaylightRules) {
    ExpressionEngine engine;
    auto document = load("TimeZones.cnv");
    ASSERT_NE(document, nullptr);
    auto& zones = static_cast<ConversionDocument&>(*document);

    // Each zone of the table appears once, with the same code both ways.
    std::set<int> codes;
    for (const auto& c : zones.conversions) {
        SCOPED_TRACE(utf8(c->unit2->name));
        EXPECT_EQ(c->unit1->identifier, std::u16string_view(u"UTC"));
        int forward = -1, reverse = -1;
        ASSERT_EQ(std::sscanf(utf8(c->forwardFormula).c_str(), "fromutc(%d, x)", &forward), 1);
        ASSERT_EQ(std::sscanf(utf8(c->reverseFormula).c_str(), "toutc(%d, x)", &reverse), 1);
        EXPECT_EQ(forward, reverse);
        EXPECT_TRUE(codes.insert(forward).second);
    }
    std::set<int> keys;
    for (const TimeZoneRow& row : timeZoneTable()) keys.insert(row.key);
    EXPECT_EQ(codes, keys);

    struct Instant {
        CalendarDate utc;
        const char16_t* zone;
        CalendarDate local;
    };
    const Instant table[] = {
        {{7, 15, 2004, 12, 0, 0}, u"Pacific", {7, 15, 2004, 5, 0, 0}}, // daylight time
        {{1, 15, 2004, 12, 0, 0}, u"Pacific", {1, 15, 2004, 4, 0, 0}}, // standard time
        {{7, 15, 2004, 12, 0, 0}, u"London", {7, 15, 2004, 13, 0, 0}},
        {{7, 15, 2004, 12, 0, 0}, u"India", {7, 15, 2004, 17, 30, 0}}, // no daylight time
        {{7, 15, 2004, 12, 0, 0}, u"Kathmandu", {7, 15, 2004, 17, 45, 0}},
        {{1, 15, 2004, 12, 0, 0}, u"Sydney", {1, 15, 2004, 23, 0, 0}},  // southern summer
        {{1, 15, 2004, 12, 0, 0}, u"Auckland", {1, 16, 2004, 1, 0, 0}}, // the next day
        {{1, 15, 2004, 12, 0, 0}, u"Newfoundland", {1, 15, 2004, 8, 30, 0}},
    };
    Item* utc = find(*document, u"UTC");
    ASSERT_NE(utc, nullptr);
    for (const Instant& t : table) {
        SCOPED_TRACE(utf8(t.zone) + " " + std::to_string(t.utc.month));
        Item* zone = find(*document, t.zone);
        ASSERT_NE(zone, nullptr);
        enter(*document, *utc, t.utc.day, engine);
        ASSERT_EQ(zone->state, ValueState::Valid);
        EXPECT_TRUE(nearlyEqual(zone->value, t.local.day, 1e-14));
        enter(*document, *zone, t.local.day, engine);
        ASSERT_EQ(utc->state, ValueState::Valid);
        EXPECT_TRUE(nearlyEqual(utc->value, t.utc.day, 1e-14));
    }
}

// Downloaded updates name currencies by their ISO 4217 codes and set the
// rate of each conversion from the base currency.
TEST(ShippedData, CurrenciesAreIsoCodesJoinedToTheEuro) {
    auto document = load("Currency.cnv");
    ASSERT_NE(document, nullptr);
    auto& currencies = static_cast<ConversionDocument&>(*document);
    Item* euro = find(*document, u"EUR");
    ASSERT_NE(euro, nullptr);
    for (const auto& item : document->items) {
        const std::u16string_view code = item->identifier.view();
        SCOPED_TRACE(utf8(code));
        ASSERT_EQ(code.size(), 3u);
        for (char16_t c : code) EXPECT_TRUE(c >= u'A' && c <= u'Z');
        EXPECT_EQ(item->format.displayFormat, Currency);
        if (item.get() == euro) continue;
        EXPECT_EQ(currencies.countConversionsOf(item.get()), 1);
        const Conversion* c = currencies.findConversion(euro, item.get());
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->unit1, euro);
        EXPECT_TRUE(c->isLinear());
        EXPECT_GT(c->factor, 0);
    }
}
