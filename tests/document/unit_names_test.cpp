// What a name means: the units of the shipped files and of a folder of
// units that differ from others by letter case alone, found by what people
// type, and the order of the find list.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "document/alternative_names.h"
#include "document/conversion_request.h"
#include "document/name_choice.h"
#include "document/unit_index.h"
#include "engine/text.h"
#include "tests/document/unit_fixture.h"

using namespace pq;

namespace {

const UnitIndex& indexOf(const std::string& folder) {
    static std::map<std::string, UnitIndex> indexes;
    auto [entry, added] = indexes.try_emplace(folder, folder);
    if (added) entry->second.refresh();
    return entry->second;
}

const UnitIndex& shipped() { return indexOf(PQ_DATA_DIR); }

const UnitIndex& fixture() {
    static const test::TempFolder folder;
    static const bool written = test::writeUnitFixture(folder);
    EXPECT_TRUE(written);
    return indexOf(folder.path());
}

std::string fileAndUnit(const UnitMatch& match) {
    std::string file = toUtf8(match.file->fileName);
    return file.substr(0, file.rfind('.')) + ":" + toUtf8(match.unit->identifier);
}

// "Volume:galUS" for the unit a name means (several of one kind in file
// order), "?..." for the candidates of an ambiguous name, "" for none.
std::string meaning(const UnitIndex& index, std::u16string_view text) {
    FindOptions whole;
    whole.exactOnly = true;
    const std::vector<UnitMatch> matches = index.find(text, whole);
    std::vector<NameCandidate> candidates;
    for (const UnitMatch& match : matches)
        candidates.push_back({0, match.unit->identifier, match.unit->name, match.tier,
                              match.unit->usual, match.unit->shown});
    const NameMeaning chosen = ChooseMeaning(candidates);
    std::set<std::string> units;
    for (size_t i : chosen.chosen) units.insert(fileAndUnit(matches[i]));
    std::string result = chosen.ambiguous ? "?" : "";
    for (const std::string& unit : units) result += (result.size() > 1 ? " " : "") + unit;
    return result == "?" ? "" : result;
}

struct Case {
    std::u16string_view text;
    const char* means;
};

// The find list, for a message.
std::string listed(const UnitIndex& index, std::u16string_view text) {
    std::string list;
    for (const UnitMatch& match : index.find(text))
        list += fileAndUnit(match) + " (" + std::to_string(static_cast<int>(match.tier)) + ") ";
    return list;
}

void expectMeanings(const UnitIndex& index, std::initializer_list<Case> cases) {
    for (const Case& c : cases)
        EXPECT_EQ(meaning(index, c.text), c.means)
            << "\"" << toUtf8(c.text) << "\": " << listed(index, c.text);
}

} // namespace

TEST(UnitNames, LetterCaseTellsPrefixesAndBitsFromBytesApart) {
    // Units the shipped files lack are never taken for their case twins.
    expectMeanings(shipped(), {
        {u"MW", "Power:MW"},      {u"mW", "Power:mW"},      {u"mw", "Power:mW"},
        {u"mg", "Weight:mg"},     {u"Mg", ""},              {u"MG", ""},
        {u"mL", "Cooking:mL Volume:mL"}, {u"ml", "Cooking:mL Volume:mL"}, {u"ML", "Volume:megalitre"},
        {u"MB", "ComputerBase:MB"}, {u"Mb", "ComputerBase:Mb"},            {u"mb", ""},
        {u"kB", "ComputerBase:kB"}, {u"kb", "ComputerBase:kb"},            {u"KB", ""},
        {u"GB", "ComputerBase:GB"}, {u"Gb", "ComputerBase:Gb"},            {u"gb", ""},
        {u"B", "ComputerBase:B"}, {u"b", ""},
        {u"cal", "Energy:cal"},   {u"Cal", "Energy:kcal"},
        {u"nm", "Length:nm"},     {u"Nm", "Torque:N_m"},    {u"NM", "Length:nmi"},
        {u"m/s", "Speed:m_s"},    {u"ms", "Time:ms"},       {u"M/S", ""},
        {u"kN", "Force:kN"},      {u"kn", "Speed:kn"},
        {u"hPa", "Pressure:hPa"}, {u"hpa", "Pressure:hPa"}, {u"mpa", ""},
        // Where case tells nothing apart it may be any.
        {u"MPH", "Speed:mph"},    {u"KM/H", "Speed:km_h"},  {u"kg", "Weight:kg"},
        {u"KG", "Weight:kg"},     {u"usd", "Currency:USD"}, {u"gbp", "Currency:GBP"},
        {u"Foot", "Length:ft"},   {u"kwh", "Energy:kWh"},   {u"l", "Cooking:L Volume:L"},
    });
    expectMeanings(fixture(), {
        {u"mW", "Power:mW"},  {u"MW", "Power:MW"},  {u"mw", "Power:mW"},
        {u"Mb", "Data:Mb"},   {u"MB", "Data:MB"},   {u"b", ""},
        {u"Cal", "Food:Cal"}, {u"cal", "Food:cal"},
        {u"Nm", "Torque:N_m"}, {u"N·m", "Torque:N_m"}, {u"N*m", "Torque:N_m"}, {u"nm", ""},
    });
}

TEST(UnitNames, PluralsSpellingsQualifiersPowersAndPer) {
    expectMeanings(shipped(), {
        {u"pascals", "Pressure:Pa"},       {u"furlongs", "Length:furlong"},
        {u"inches", "Length:in"},          {u"feet", "Length:ft"},
        {u"degrees Celsius", "Temperature:degC"}, {u"gigabytes", "ComputerBase:GB"},
        {u"stones", "Weight:st"},          {u"knots", "Speed:kn"},
        {u"deciliter", "Cooking:dL Volume:dL"}, {u"kilometer per hour", "Speed:km_h"},
        {u"metres", "Length:m"},           {u"kilogrammes", "Weight:kg"},
        {u"imperial gallon", "Volume:galUK"}, {u"gallon (imperial)", "Volume:galUK"},
        {u"UK gallon", "Volume:galUK"},    {u"Gallon, Imperial", "Volume:galUK"},
        {u"US gallon", "Cooking:galUS Volume:galUS"},
        {u"US liquid pint", "Volume:ptUS"},
        {u"long ton", "Weight:ton_UK"},    {u"metric ton", "Weight:t"},
        {u"Australian tablespoon", "Cooking:tbsp_AU"},
        {u"BTU IT", "Energy:BTU"},         {u"kcal IT", "Energy:kcal_IT"},
        {u"square feet", "Area:ft2"},      {u"sq ft", "Area:ft2"},
        {u"ft²", "Area:ft2"},              {u"ft^2", "Area:ft2"},
        {u"foot squared", "Area:ft2"},     {u"square kilometers", "Area:km2"},
        {u"cubic inch", "Volume:in3"},     {u"cu in", "Volume:in3"},
        {u"in³", "Volume:in3"},            {u"cubic centimeter", "Volume:cm3"},
        {u"miles per hour", "Speed:mph"},  {u"km per hour", "Speed:km_h"},
        {u"kilometre per h", "Speed:km_h"}, {u"feet/second", "Speed:ft_s"},
        {u"litres per 100 km", "FuelConsumption:L_100km"},
    });
}

TEST(UnitNames, SymbolsAndTimeZones) {
    expectMeanings(shipped(), {
        {u"\u2032", "?Angle:arcmin Length:ft"}, {u"'", "?Angle:arcmin Length:ft"},
        {u"\u2033", "?Angle:arcsec Length:in"}, {u"\"", "?Angle:arcsec Length:in"},
        {u"''", "?Angle:arcsec Length:in"},     {u"arcminute", "Angle:arcmin"},
        {u"°", "Angle:deg"},                    {u"°C", "Temperature:degC"},
        {u"deg F", "Temperature:degF"},         {u"µm", "Length:um"},
        {u"\u03BCm", "Length:um"},              {u"\u03BCs", "Time:us"},
        {u"New York", "TimeZones:Eastern"},     {u"Los Angeles", "TimeZones:Pacific"},
        {u"Chicago", "TimeZones:Central"},      {u"GMT", "TimeZones:UTC"},
        {u"PST", "TimeZones:Pacific"},          {u"America/New_York", "TimeZones:Eastern"},
        {u"Kolkata", "TimeZones:India"},        {u"Hong Kong", "TimeZones:Beijing"},
        {u"Lisbon", "TimeZones:London"},        {u"St Johns", "TimeZones:Newfoundland"},
        {u"IST", "?TimeZones:India TimeZones:Jerusalem TimeZones:London"},
        {u"mi", "Length:mi"},                   {u"Hz", "Frequency:Hz"},
        {u"volt", "Voltage:V"},
    });
    expectMeanings(fixture(), {
        {u"Ω", "Resistance:ohm"},   {u"\u2126", "Resistance:ohm"}, {u"ohms", "Resistance:ohm"},
        {u"kΩ", "Resistance:kohm"}, {u"kohm", "Resistance:kohm"},
    });
}

TEST(UnitNames, ANameSeveralUnitsShareMeansTheOneMarkedUsual) {
    expectMeanings(shipped(), {
        {u"gallon", "Cooking:galUS Volume:galUS"}, {u"gal", "Cooking:galUS Volume:galUS"},
        {u"pint", "Cooking:ptUS Volume:ptUS"},     {u"pt", "Cooking:ptUS Volume:ptUS"},
        {u"quart", "Cooking:qtUS Volume:qtUS"},    {u"cup", "Cooking:cup"},
        {u"fluid ounce", "Cooking:flozUS Volume:flozUS"},
        {u"fl oz", "Cooking:flozUS Volume:flozUS"},
        {u"tablespoon", "Cooking:tbsp"},           {u"teaspoon", "Cooking:tsp"},
        {u"mpg", "FuelConsumption:mpgUS"},         {u"calorie", "Energy:cal"},
        {u"kilocalorie", "Energy:kcal"},           {u"horsepower", "Power:hp"},
        {u"ton", "Weight:ton_US"},                 {u"tons", "Weight:ton_US"},
        {u"dollar", "Currency:USD"},
    });
    // Without the marks the names are ambiguous.
    test::TempFolder bare;
    for (const char* name : {"Volume.cnv", "FuelConsumption.cnv"})
        std::filesystem::copy_file(std::string(PQ_DATA_DIR "/") + name, bare.file(name));
    expectMeanings(indexOf(bare.path()), {
        {u"gallon", "?Volume:galUK Volume:galUS"},
        {u"mpg", "?FuelConsumption:mpgUK FuelConsumption:mpgUS"},
    });
}

TEST(UnitNames, TheFindListPutsTheUsualMeaningAndShownUnitsFirst) {
    auto order = [](std::u16string_view text, std::u16string_view current = {}) {
        FindOptions options;
        options.currentFile = current;
        std::vector<std::string> units;
        for (const UnitMatch& match : shipped().find(text, options))
            units.push_back(fileAndUnit(match));
        return units;
    };
    auto before = [](const std::vector<std::string>& list, const char* a, const char* b) {
        const auto ia = std::find(list.begin(), list.end(), a);
        const auto ib = std::find(list.begin(), list.end(), b);
        return ia != list.end() && (ib == list.end() || ia < ib);
    };
    const auto gal = order(u"gal");
    ASSERT_GE(gal.size(), 3u);
    EXPECT_EQ(gal[0], "Volume:galUS");  // usual and shown
    EXPECT_EQ(gal[1], "Cooking:galUS"); // usual and hidden
    EXPECT_EQ(gal[2], "Volume:galUK");
    EXPECT_EQ(order(u"ton").front(), "Weight:ton_US");
    EXPECT_TRUE(before(order(u"ton"), "Weight:ton_UK", "Energy:tTNT"));
    EXPECT_EQ(order(u"kilocalorie").front(), "Energy:kcal");
    EXPECT_EQ(order(u"m/s").front(), "Speed:m_s");
    const auto perSecond = order(u"m/s");
    EXPECT_EQ(std::count(perSecond.begin(), perSecond.end(), "Time:ms"), 0); // not at all
    // A whole name elsewhere before the open file's word starts.
    EXPECT_EQ(order(u"mi", u"TimeZones.cnv").front(), "Length:mi");
    // Shown before hidden, then the open file's first.
    EXPECT_TRUE(before(order(u"fa", u"Length.cnv"), "Temperature:degF", "Length:fathom"));
    EXPECT_EQ(order(u"fo", u"Speed.cnv").front(), "Speed:ft_s");
    const auto hertz = order(u"Hz");
    EXPECT_EQ(hertz.front(), "Frequency:Hz");
    EXPECT_EQ(std::count(hertz.begin(), hertz.end(), "Currency:PLN"), 0); // not the zloty
}

TEST(ConversionRequest, ReadsTheLineEveryWayItMayBeMeant) {
    auto readings = [](std::u16string_view line) {
        std::vector<std::string> all;
        for (const ConversionRequest& request : ReadConversionRequests(line)) {
            std::string text;
            for (const RequestPart& part : request.parts) {
                char number[32];
                std::snprintf(number, sizeof number, "%g", part.number);
                text += std::string(number) + "[" + toUtf8(part.unit) + "] ";
            }
            all.push_back(text + "-> " + toUtf8(request.target));
        }
        return all;
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(readings(u"60 mph to km/h"), (V{"60[mph] -> km/h", "60[mph to km/h] -> "}));
    EXPECT_EQ(readings(u"60mph in km/h"), (V{"60[mph] -> km/h", "60[mph in km/h] -> "}));
    EXPECT_EQ(readings(u"5 ft 11 in to cm"),
              (V{"5[ft] 11[in] -> cm", "5[ft] 11[in to cm] -> "}));
    EXPECT_EQ(readings(u"60 in in cm"), (V{"60[in] -> cm", "60[in in cm] -> "}));
    EXPECT_EQ(readings(u"1 h 30 min in s"), (V{"1[h] 30[min] -> s", "1[h] 30[min in s] -> "}));
    EXPECT_EQ(readings(u"5 ft, 11 in"), (V{"5[ft] 11[in] -> "}));
    EXPECT_EQ(readings(u"1 h and 30 min to s")[0], "1[h] 30[min] -> s");
    EXPECT_EQ(readings(u"-40 F to C")[0], "-40[F] -> C");
    EXPECT_EQ(readings(u"\u221240 F to C")[0], "-40[F] -> C");
    EXPECT_EQ(readings(u"1,000 m to ft")[0], "1000[m] -> ft");
    EXPECT_EQ(readings(u"2.5e-3 km to m")[0], "0.0025[km] -> m");
    EXPECT_EQ(readings(u"2 em to pt")[0], "2[em] -> pt");
    EXPECT_EQ(readings(u"5' 11\" to cm")[0], "5['] 11[\"] -> cm");
    for (std::u16string_view none : {u"mph", u"60", u"to km/h", u"[5 6] ft", u"1.2.3 m", u""})
        EXPECT_TRUE(readings(none).empty()) << toUtf8(none);
}

TEST(AlternativeNamesFile, AFourthFieldMarksTheUsualMeaning) {
    AlternativeNames names;
    names.parse("# comment\n"
                "Volume.cnv | galUS | US gallon | usual\n"
                "Volume.cnv | galUK | imperial gallon\n"
                "volume.CNV | GALUS | gallons\n"
                "Volume.cnv | qtUK | quarts | often\n"
                "Volume.cnv | ptUS || Usual\n"
                "Power.cnv | mW | milliwatts\n");
    EXPECT_EQ(names.skippedLines(), std::vector<int>{5});
    EXPECT_TRUE(names.namesOf(u"Volume.cnv", u"galUS").usual);
    EXPECT_EQ(names.namesOf(u"Volume.cnv", u"galUS").names,
              (std::vector<std::u16string>{u"US gallon", u"gallons"}));
    EXPECT_FALSE(names.namesOf(u"Volume.cnv", u"galUK").usual);
    EXPECT_TRUE(names.namesOf(u"Volume.cnv", u"ptUS").usual);
    EXPECT_TRUE(names.namesOf(u"Volume.cnv", u"qtUK").names.empty());
    // Letter case tells the milliwatt from the megawatt.
    EXPECT_EQ(names.namesOf(u"Power.cnv", u"mW").names, std::vector<std::u16string>{u"milliwatts"});
    EXPECT_TRUE(names.namesOf(u"Power.cnv", u"MW").names.empty());
}
