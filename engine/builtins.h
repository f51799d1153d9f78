#pragma once

#include <string_view>

namespace pq {

// The 24 built-in functions, by index.
enum Builtin : int {
    kAbs,
    kRound,
    kSqrt,
    kE,
    kLn,
    kLg,
    kPi,
    kSin,
    kCos,
    kTan,
    kAsin,
    kAcos,
    kAtan,
    kSinh,
    kCosh,
    kTanh,
    kNeg,
    kIif,
    kRand,
    kFromUtc,
    kToUtc,
    kTime,
    kIntTime,
    kErr,
    kBuiltinCount
};

struct BuiltinInfo {
    std::u16string_view name;
    int arguments; // -1: any odd count of at least 3 (iif)
};

extern const BuiltinInfo kBuiltins[kBuiltinCount];

// The built-in a call reaches: its index when the name is a built-in and the
// argument count matches (iif for any count), else -1.
int resolveBuiltin(std::u16string_view name, int argumentCount);
bool isBuiltinName(std::u16string_view name);

} // namespace pq
