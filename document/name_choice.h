#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "document/unit_names.h"

namespace pq {

// A unit that a name matches as a whole (the first three tiers), as the
// choice of what the name means sees it.
struct NameCandidate {
    size_t file = 0; // the caller's number of its file
    std::u16string_view identifier;
    std::u16string_view name;
    MatchTier tier = MatchTier::Exact;
    bool usual = false; // the usual meaning of the names it shares
    bool shown = true;
};

// Units of one kind are one unit in several files ("L" of Volume and of
// Cooking): the same identifier, or the same name.
bool SameKind(const NameCandidate& a, const NameCandidate& b);

// What a name means: the units of its best tier, each tier tried only when
// the one before gives nothing. A tier that gives one kind means that
// kind; one that gives several means the kind marked as their usual
// meaning, when exactly one is. Otherwise the name is ambiguous, except
// that letter case alone (CaseFolded) only counts when it gives one kind:
// else the next tier is tried.
struct NameMeaning {
    std::vector<size_t> chosen; // into the candidates: the kind meant, or every
                                // candidate of the tier when ambiguous
    std::vector<size_t> atTier; // every candidate of the tier that decided
    bool ambiguous = false;
    bool found() const { return !chosen.empty(); }
};
NameMeaning ChooseMeaning(const std::vector<NameCandidate>& candidates);

// For names that must all be units of one file (the parts of a value and
// the unit to convert to): the files that hold a unit meant by each name.
// A name that means several kinds is narrowed to those that share a file
// with the other names, then to the usual meaning among them; units of the
// kind meant that other files hold under the same identifier or name count
// as well ("cup" of Cooking is "cupUS" of Volume). The files are ordered
// by the worst tier of their units, best first.
struct FileChoice {
    size_t file = 0;
    std::vector<size_t> units; // per name, into its candidates
    MatchTier worst = MatchTier::Exact;
};
struct FilesChoice {
    std::vector<FileChoice> files; // empty: see the rest
    int unknownName = -1;   // a name that matches no unit
    int ambiguousName = -1; // a name still meaning several kinds
    std::vector<size_t> ambiguousUnits; // its candidates that could be meant
};
FilesChoice ChooseFiles(const std::vector<std::vector<NameCandidate>>& names);

} // namespace pq
