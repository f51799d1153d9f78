#pragma once

#include <QByteArray>

namespace pq::calc {

enum class ViewMode { Standard = 0, Scientific = 1 };

// The two values the calculator keeps between runs, in the settings of
// "Quorvane"/"PqCalculator", group "Settings".
struct CalculatorSettings {
    ViewMode currentView = ViewMode::Standard; // "CurrentView"
    int currentMacro = -1;                     // "CurrentMacro": the user function applied, -1 none
    QByteArray geometry;                       // "Window/Geometry": the window's size and place

    // Values out of range read as the defaults.
    static CalculatorSettings read();
    void write() const;
};

} // namespace pq::calc
