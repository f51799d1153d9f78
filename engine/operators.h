#pragma once

#include <cmath>
#include <cstdint>

namespace pq {

// The operators of the formula language (the parser's operator indices),
// applied to their operands; false where an operator fails.

// Truncates toward zero and keeps the low 32 bits as a signed integer, so a
// value outside the 32-bit range wraps like the based literals do
// (4294967295 is the pattern FFFFFFFF, that is -1).
inline int32_t toInt32(double v) {
    double t = std::trunc(v);
    if (t >= -2147483648.0 && t <= 2147483647.0) return static_cast<int32_t>(t);
    double m = std::fmod(t, 4294967296.0); // exact
    if (m < 0) m += 4294967296.0;
    return static_cast<int32_t>(static_cast<uint32_t>(m));
}

inline bool applyOperator(int index, double l, double r, double& out) {
    switch (index) {
    case 0: out = l + r; return true;
    case 1: out = l - r; return true;
    case 2: out = l * r; return true;
    case 3:
        if (r == 0) return false;
        out = l / r;
        return true;
    case 4:
        if (r == 0) return false;
        out = std::fmod(l, r);
        return true;
    case 5: out = std::pow(l, r); return true;
    case 6: out = l > r ? -1 : 0; return true;
    case 7: out = l < r ? -1 : 0; return true;
    case 8: out = l == r ? -1 : 0; return true;
    case 9: out = toInt32(l) & toInt32(r); return true;
    case 10: out = toInt32(l) | toInt32(r); return true;
    case 11: out = toInt32(l) ^ toInt32(r); return true;
    default: return false;
    }
}

inline bool applyUnary(int index, double x, double& out) {
    switch (index) {
    case 12: out = ~toInt32(x); return true;
    case 13: {
        if (!(x >= 0 && x < 150) || x != std::floor(x)) return false;
        double product = 1;
        for (int k = 2; k <= static_cast<int>(x); ++k) product *= k;
        out = product;
        return true;
    }
    case 14: out = x * x; return true;
    case 15: out = x * x * x; return true;
    case 16: out = -x; return true;
    case 17: out = x * 0.01; return true;
    default: return false;
    }
}

} // namespace pq
