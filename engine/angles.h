#pragma once

#include <cmath>

#include "engine/expression_engine.h"

namespace pq {

// A right angle in radians; pi and every angle conversion derive from it.
inline const double kHalfPi = std::asin(1.0);

inline double toRadians(AngleMode mode, double a) {
    switch (mode) {
    case AngleMode::Deg: return a * (1.0 / 90) * kHalfPi;
    case AngleMode::Gra: return a * 0.01 * kHalfPi;
    default: return a;
    }
}

inline double fromRadians(AngleMode mode, double r) {
    switch (mode) {
    case AngleMode::Deg: return r / kHalfPi * 90;
    case AngleMode::Gra: return r / kHalfPi * 100;
    default: return r;
    }
}

// Both reductions make the results exact at whole multiples of a right angle.
inline double cosine(AngleMode mode, double a) {
    double t = std::fabs(std::fmod(toRadians(mode, a), 4 * kHalfPi));
    if (t > 2 * kHalfPi) t = 4 * kHalfPi - t;
    return std::sin(kHalfPi - t);
}

inline double sine(AngleMode mode, double a) {
    double t = std::fabs(std::fmod(kHalfPi - toRadians(mode, a), 4 * kHalfPi));
    if (t > 2 * kHalfPi) t = 4 * kHalfPi - t;
    return std::sin(kHalfPi - t);
}

} // namespace pq
