#pragma once

// What the checks of the shipped data files share: the list of the files,
// and loading one, finding a unit in it and entering a value for a unit as
// the value panel does.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <string_view>

#include "document/document.h"
#include "engine/expression_engine.h"
#include "engine/text.h"

namespace pq::test {

inline const std::string kFolder = PQ_DATA_DIR "/";

// Every file that ships; the first six are the ones a new user starts with.
inline const char* const kShippedFiles[] = {
    "Currency.cnv",        "Weight.cnv",          "Length.cnv",
    "TipCalc.cal",         "TimeZones.cnv",       "ComputerBase.cnv",
    "Angle.cnv",           "Area.cnv",            "Cooking.cnv",
    "DataRate.cnv",        "Energy.cnv",          "Force.cnv",
    "FuelConsumption.cnv", "Power.cnv",           "Pressure.cnv",
    "Speed.cnv",           "Temperature.cnv",     "Time.cnv",
    "Volume.cnv",          "AbsorbedDose.cnv",    "Acceleration.cnv",
    "AmountOfSubstance.cnv", "BloodGlucose.cnv",  "Capacitance.cnv",
    "Concentration.cnv",   "Density.cnv",         "DynamicViscosity.cnv",
    "ElectricCharge.cnv",  "ElectricConsumption.cnv", "ElectricCurrent.cnv",
    "EquivalentDose.cnv",  "Flow.cnv",            "Frequency.cnv",
    "Illuminance.cnv",     "ImageSize.cnv",       "KinematicViscosity.cnv",
    "Luminance.cnv",       "LuminousFlux.cnv",    "LuminousIntensity.cnv",
    "PixelDensity.cnv",    "Proportion.cnv",      "Radioactivity.cnv",
    "Resistance.cnv",      "RotationalSpeed.cnv", "Torque.cnv",
    "Typography.cnv",      "Voltage.cnv",
};

inline bool isCalculationFile(std::string_view name) { return name.ends_with(".cal"); }

// A shipped file with its hidden units shown, so that every unit is computed.
inline std::unique_ptr<Document> load(const std::string& name) {
    auto document = createDocument(isCalculationFile(name) ? CalculationDocument::kTypeCode
                                                           : ConversionDocument::kTypeCode);
    if (!document->loadFrom(kFolder + name, true)) return nullptr;
    for (auto& item : document->items) item->shown = 1;
    return document;
}

inline Item* find(Document& document, std::u16string_view identifier) {
    for (const auto& item : document.items)
        if (item->identifier == identifier) return item.get();
    return nullptr;
}

inline std::string utf8(std::u16string_view text) { return toUtf8(text); }

// Enters a value for one unit, as the value panel does, and computes the rest.
inline void enter(Document& document, Item& unit, double value, ExpressionEngine& engine) {
    unit.value = value;
    unit.state = ValueState::Valid;
    document.currentItem = &unit;
    document.computeAll(engine);
}

inline ::testing::AssertionResult nearlyEqual(double actual, double expected,
                                              double relative = 1e-12) {
    const double tolerance = expected == 0 ? relative : relative * std::fabs(expected);
    if (std::fabs(actual - expected) <= tolerance) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << testing::PrintToString(actual) << " is not " << testing::PrintToString(expected);
}

} // namespace pq::test
