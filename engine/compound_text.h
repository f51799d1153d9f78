#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

namespace pq {

// A compound value written out with the labels of its parts, as people
// write it: "5 ft 11 in", "5' 11\"", "5 ft 11 3/16 in", "3 in" (a part
// may be left out), or its numbers alone in the order of the parts ("5 11").
// The labels are compared without regard to case; "'" and "′" also name a
// part labelled "ft" or "′", and "\"", "″" and "''" one labelled "in" or
// "″"; "deg" names a part labelled "°". Each number is a typed number
// (readTypedNumber), without sign.
struct CompoundReading {
    static constexpr int kMaxParts = 4;
    // Each part's number as written, blanks made single; empty: not given.
    std::array<std::u16string, kMaxParts> numbers;
    int next = 0;         // the part a number typed next goes to
    bool finished = true; // false while the last number or label is unfinished
    bool written = false; // more than digits: a blank, a label or a fraction
};

// Reads text into the parts from `first` on. labels: one per part (an
// empty one for a part without). `typing`: the text is being typed, so it
// may end inside a number or a label, and numbers without a label go to the
// parts in order; otherwise every number of a part that has a label needs
// it. False when the text cannot be (the start of) such a value.
bool readCompoundParts(std::u16string_view text, std::span<const std::u16string_view> labels,
                       int first, bool typing, CompoundReading& out);

} // namespace pq
