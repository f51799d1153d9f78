// Moving a date-time between UTC and the zones of the engine's table, as the
// Time Zones file does for every zone when one value is typed.

#include <benchmark/benchmark.h>

#include <vector>

#include "engine/calendar_date.h"
#include "engine/time_zones.h"

namespace {

// The zone codes of the shipped Time Zones file.
const int kCodes[] = {0,   1,   2,   3,   4,   10,  13,  15,  20,  25,  30,  33,  35,  40,  45,
                      50,  55,  56,  60,  65,  70,  73,  75,  80,  83,  85,  90,  95,  100, 105,
                      110, 113, 115, 120, 125, 130, 135, 140, 145, 150, 155, 158, 160, 165, 170,
                      175, 180, 185, 190, 193, 195, 200, 201, 203, 205, 207, 210, 215, 220, 225,
                      227, 230, 235, 240, 245, 250, 255, 260, 265, 270, 275, 280, 285, 290, 300};

using Move = bool (*)(int, double&);

// Every zone at one instant: what a conversion of the whole file costs.
void allZones(benchmark::State& state, Move move, int codeOffset) {
    const double day = pq::CalendarDate(7, 15, 2026, 12, 0, 0).day;
    for (auto _ : state) {
        for (int code : kCodes) {
            double t = day;
            bool ok = move(code + codeOffset, t);
            benchmark::DoNotOptimize(ok);
            benchmark::DoNotOptimize(t);
        }
    }
    state.SetItemsProcessed(state.iterations() * std::size(kCodes));
}

// One zone at an instant of every day from `firstYear` for `years` years.
void everyDay(benchmark::State& state, Move move, int firstYear, int years) {
    std::vector<double> days;
    const double first = pq::CalendarDate(1, 1, firstYear, 13, 30, 0).day;
    for (int i = 0; i < 365 * years; ++i) days.push_back(first + i);
    for (auto _ : state) {
        for (double day : days) {
            double t = day;
            bool ok = move(35, t); // US Eastern
            benchmark::DoNotOptimize(ok);
            benchmark::DoNotOptimize(t);
        }
    }
    state.SetItemsProcessed(state.iterations() * days.size());
}

} // namespace

BENCHMARK_CAPTURE(allZones, fromUtc, pq::fromUtc, 0);
BENCHMARK_CAPTURE(allZones, toUtc, pq::toUtc, 0);
BENCHMARK_CAPTURE(allZones, fromUtcStandardTime, pq::fromUtc, 1000);
BENCHMARK_CAPTURE(everyDay, fromUtc2026, pq::fromUtc, 2026, 1);
BENCHMARK_CAPTURE(everyDay, toUtc2026, pq::toUtc, 2026, 1);
BENCHMARK_CAPTURE(everyDay, fromUtc1990to2069, pq::fromUtc, 1990, 80);
BENCHMARK_CAPTURE(everyDay, toUtc1990to2069, pq::toUtc, 1990, 80);

BENCHMARK_MAIN();
