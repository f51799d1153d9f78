#pragma once

#include <string>

namespace pq {

// The first `count` significant decimal digits of a value, rounded to nearest,
// in the form the display routines build their texts from: the value is
// 0.d1d2d3... x 10^decimalPoint. Zero gives `count` zeros and decimalPoint 0.
// Negative zero counts as not negative.
struct SignificantDigits {
    std::string digits;
    int decimalPoint = 0;
    bool negative = false;
};

SignificantDigits significantDigits(double value, int count);

} // namespace pq
