#pragma once

#include <fontconfig/fontconfig.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pq::ui {

// fontconfig patterns as one line of text and back, keeping what its own
// name syntax drops: each value's type and binding. A value reads back
// equal, bit for bit for numbers.
//
// One field per value, fields apart by tabs: the object, a space, a type
// letter (s string, i integer, d double, b bool, m matrix, l language set,
// r range), a binding letter (S strong, W weak), a space and the value, with
// backslash, tab and line ends escaped.

// The text of `pattern`; none when it holds a value of another type (a
// character set, say), which then cannot be written.
std::optional<std::string> PatternText(const FcPattern* pattern);

// The pattern a text describes, or null when the text is not one.
FcPattern* PatternFromText(std::string_view text);

// The values of a pattern, element by element, in order. fontconfig hands
// out a value by its place in the element, walking from the first each time,
// so going through an element of a hundred values costs five thousand steps;
// once listed, they are gone through in a hundred. They point into the
// pattern, which must outlive them unchanged.
struct PatternValue {
    const char* object;
    FcValue value;
    FcValueBinding binding;
};
using PatternValues = std::vector<PatternValue>;
PatternValues ValuesOf(const FcPattern* pattern);

// Equal in every element: the same objects with the same values, in the same
// order, of the same types and bindings, strings to the letter.
// FcPatternEqual counts the integer 1 equal to the double 1 and "Sans" equal
// to "sans", and ignores bindings, none of which a substitution does.
bool SamePattern(const FcPattern* pattern, const PatternValues& values);
bool SamePattern(const FcPattern* a, const FcPattern* b);

// Each value is bound strongly or weakly, as every value fontconfig keeps
// is: only such values can be given to a pattern.
bool CanCopyPattern(const PatternValues& values);

// Makes `target` hold the values, bindings alike.
void CopyPattern(FcPattern* target, const PatternValues& values);

// A new pattern holding what `pattern` holds. FcPatternDuplicate takes time
// in the square of an element's values, which a substitution makes many of.
FcPattern* SnapshotPattern(const FcPattern* pattern);

} // namespace pq::ui
