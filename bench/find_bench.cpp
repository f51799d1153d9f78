// Finding units: one keystroke's search over the shipped data files plus a
// generated file of 10,000 units (the goal is under 2 ms), the units of a
// question typed into the find box found on the same keystroke, opening
// the find box on that large file, and building the index in the
// background.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "document/conversion_request.h"
#include "document/document.h"
#include "document/name_choice.h"
#include "document/unit_index.h"
#include "engine/text.h"

namespace {

using namespace pq;

constexpr int kGeneratedUnits = 10000;

// A conversion file of many units with names of the usual shape ("Kilo
// pascal 17 per hour (kPa17/h)"), each joined to the one before.
std::unique_ptr<Document> generatedDocument() {
    static const char* const kPrefixes[] = {"", "Kilo", "Mega", "Milli", "Micro", "Centi",
                                            "Nano", "Giga", "Deci"};
    static const char* const kBases[] = {"metre", "gram",  "second", "litre", "pascal",
                                         "joule", "watt",  "newton", "volt",  "ohm",
                                         "foot",  "pound", "gallon", "inch",  "calorie"};
    static const char* const kTails[] = {"", " per hour", " squared", ", US", ", imperial",
                                         " per second"};
    auto document = std::make_unique<ConversionDocument>();
    document->title = u"Generated";
    document->category = u"Bench";
    document->name = u"Generated";
    for (int i = 0; i < kGeneratedUnits; ++i) {
        auto item = createItem(UnitItem::kTypeCode);
        const std::string prefix = kPrefixes[i % 9];
        std::string base = kBases[(i / 9) % 15];
        if (!prefix.empty()) base = prefix + base;
        base[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(base[0])));
        const std::string number = std::to_string(i);
        const std::string name = base + " " + number + kTails[(i / 135) % 6] + " (" +
                                 base.substr(0, 3) + number + ")";
        item->name = widen(name);
        item->identifier = widen("u" + number + "_" + base.substr(0, 2));
        Item* previous = document->items.empty() ? nullptr : document->items.back().get();
        document->items.push_back(std::move(item));
        if (previous) {
            Conversion& conversion = document->addConversion();
            conversion.unit1 = previous;
            conversion.unit2 = document->items.back().get();
            conversion.factor = 1.001;
        }
    }
    return document;
}

// The shipped files and the generated one in a folder of their own.
struct Folder {
    Folder() {
        path = std::filesystem::temp_directory_path() / "pq-find-bench";
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
        for (const auto& entry : std::filesystem::directory_iterator(PQ_DATA_DIR))
            std::filesystem::copy_file(entry.path(), path / entry.path().filename());
        large = generatedDocument();
        if (!large->saveTo((path / "Generated.cnv").string()))
            std::fprintf(stderr, "the generated file could not be written\n");
        index = UnitIndex(path.string());
        index.refresh();
    }
    ~Folder() { std::filesystem::remove_all(path); }

    std::filesystem::path path;
    std::unique_ptr<Document> large;
    UnitIndex index;
};

Folder& folder() {
    static Folder instance;
    return instance;
}

// One keystroke: the text typed so far searched, the first 50 matches in
// order, as the find box asks for them. The open file is Speed, or the
// large file itself (its units then come from the window).
void BM_Keystroke(benchmark::State& state, const char16_t* text, bool inLargeFile) {
    Folder& f = folder();
    FindOptions options;
    options.limit = 50;
    options.currentFile = inLargeFile ? u"Generated.cnv" : u"Speed.cnv";
    if (inLargeFile) options.currentContents = f.index.entriesOf(*f.large);
    size_t found = 0;
    for (auto _ : state) {
        auto matches = f.index.find(text, options);
        found = matches.size();
        benchmark::DoNotOptimize(matches.data());
    }
    state.counters["matches"] = static_cast<double>(found);
}
BENCHMARK_CAPTURE(BM_Keystroke, k, u"k", false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Keystroke, kp, u"kp", false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Keystroke, kph, u"kph", false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Keystroke, mile_per, u"mile per", false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Keystroke, degc, u"°C", false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Keystroke, none, u"xyzzy", false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Keystroke, e_in_large_file, u"e", true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Keystroke, pascal_in_large_file, u"kilopascal 17", true)
    ->Unit(benchmark::kMicrosecond);

// A question typed into the box: each way the line reads, its names found
// as wholes and the file that holds them chosen, as the box does on every
// keystroke beside the search above.
void BM_Question(benchmark::State& state, const char16_t* line) {
    Folder& f = folder();
    FindOptions whole;
    whole.exactOnly = true;
    size_t files = 0;
    for (auto _ : state) {
        std::map<const IndexedFile*, size_t> numbers;
        for (size_t i = 0; i < f.index.files().size(); ++i)
            numbers[f.index.files()[i].get()] = i;
        for (const ConversionRequest& request : ReadConversionRequests(line)) {
            std::vector<std::u16string> names;
            for (const RequestPart& part : request.parts) names.push_back(part.unit);
            if (!request.target.empty()) names.push_back(request.target);
            std::vector<std::vector<NameCandidate>> candidates;
            std::vector<std::vector<UnitMatch>> matches;
            for (const std::u16string& name : names) {
                matches.push_back(f.index.find(name, whole));
                auto& list = candidates.emplace_back();
                for (const UnitMatch& m : matches.back())
                    list.push_back({numbers.at(m.file.get()), m.unit->identifier, m.unit->name,
                                    m.tier, m.unit->usual, m.unit->shown});
            }
            files = ChooseFiles(candidates).files.size();
            if (files > 0) break;
        }
        benchmark::DoNotOptimize(files);
    }
    state.counters["files"] = static_cast<double>(files);
}
BENCHMARK_CAPTURE(BM_Question, mph_to_kmh, u"60 mph to km/h")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Question, ft_in_to_cm, u"5 ft 11 in to cm")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Question, unknown, u"60 mph to k")->Unit(benchmark::kMicrosecond);

// Opening the find box while the large file is open: its units are taken
// from the window's document, on the user-interface thread.
void BM_OpenOnLargeFile(benchmark::State& state) {
    Folder& f = folder();
    for (auto _ : state) benchmark::DoNotOptimize(f.index.entriesOf(*f.large));
}
BENCHMARK(BM_OpenOnLargeFile)->Unit(benchmark::kMillisecond);

// Building the whole index, which runs in the background.
void BM_BuildIndex(benchmark::State& state) {
    Folder& f = folder();
    for (auto _ : state) {
        UnitIndex index(f.path.string());
        index.refresh();
        benchmark::DoNotOptimize(index.files().data());
    }
}
BENCHMARK(BM_BuildIndex)->Unit(benchmark::kMillisecond);

} // namespace
