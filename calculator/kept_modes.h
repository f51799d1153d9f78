#pragma once

#include "calculator/number_text.h"
#include "engine/expression_engine.h"

namespace pq::calc {

// What the calculator keeps between runs besides its two settings values,
// in the settings of "Quorvane"/"PqCalculator": the angle unit and the main
// display's base (group "Scientific", values "AngleMode": "Rad", "Deg" or
// "Gra", and "Base": "Dec", "Hex", "Oct" or "Bin"), how numbers are shown
// (group "Display", values "Digits": 4 to 15, "Notation": "Automatic",
// "Fixed", "Scientific" or "Engineering", and "Decimals": 0 to 9), and
// whether the history panel is open, where, and what part of the window's
// width (or height) it takes (group "History", values "Shown", "Below" and
// "Share", a fraction; 0 where the panel's own size is taken).
struct KeptModes {
    AngleMode angle = AngleMode::Rad;
    Base base = Base::Dec;
    NumberStyle style;
    bool historyShown = false;
    bool historyBelow = false; // below the keypads rather than beside them
    double historyShare = 0;   // above 0 and below 1, or 0

    // Unknown values read as the defaults.
    static KeptModes read();
    void write() const;
};

} // namespace pq::calc
