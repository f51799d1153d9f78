#include "document/name_choice.h"

#include <algorithm>
#include <set>

namespace pq {

namespace {

// The number of kinds among some candidates.
size_t kindCount(const std::vector<NameCandidate>& candidates, const std::vector<size_t>& which) {
    size_t kinds = 0;
    for (size_t i = 0; i < which.size(); ++i) {
        bool seen = false;
        for (size_t j = 0; j < i && !seen; ++j)
            seen = SameKind(candidates[which[i]], candidates[which[j]]);
        if (!seen) ++kinds;
    }
    return kinds;
}

// One kind among some candidates: all of them when they are one, else the
// usual meaning when that is one kind; empty otherwise.
std::vector<size_t> oneKind(const std::vector<NameCandidate>& candidates,
                            const std::vector<size_t>& which) {
    if (kindCount(candidates, which) <= 1) return which;
    std::vector<size_t> usual;
    for (size_t i : which)
        if (candidates[i].usual) usual.push_back(i);
    if (!usual.empty() && kindCount(candidates, usual) == 1) {
        // Its units in other files too, marked there or not.
        std::vector<size_t> kind;
        for (size_t i : which)
            if (SameKind(candidates[i], candidates[usual.front()])) kind.push_back(i);
        return kind;
    }
    return {};
}

} // namespace

bool SameKind(const NameCandidate& a, const NameCandidate& b) {
    return (!a.identifier.empty() && a.identifier == b.identifier) ||
           (!a.name.empty() && a.name == b.name);
}

NameMeaning ChooseMeaning(const std::vector<NameCandidate>& candidates) {
    NameMeaning meaning;
    bool caseFoldedSkipped = false;
    for (MatchTier tier : {MatchTier::Exact, MatchTier::CaseFolded, MatchTier::Folded}) {
        // A name in another letter case is a phrase of it, too: those passed
        // over come back with the phrases.
        std::vector<size_t> atTier;
        for (size_t i = 0; i < candidates.size(); ++i)
            if (candidates[i].tier == tier ||
                (caseFoldedSkipped && candidates[i].tier == MatchTier::CaseFolded))
                atTier.push_back(i);
        if (atTier.empty()) continue;
        std::vector<size_t> kind = oneKind(candidates, atTier);
        if (!kind.empty()) {
            meaning.chosen = std::move(kind);
            meaning.atTier = std::move(atTier);
            return meaning;
        }
        if (tier == MatchTier::CaseFolded) {
            caseFoldedSkipped = true;
            continue;
        }
        meaning.chosen = atTier;
        meaning.atTier = std::move(atTier);
        meaning.ambiguous = true;
        return meaning;
    }
    return meaning;
}

FilesChoice ChooseFiles(const std::vector<std::vector<NameCandidate>>& names) {
    FilesChoice choice;
    // Each name's units that may be meant: every kind of the tier that
    // decides its meaning, so that a unit sharing a file with the other
    // names wins over a usual meaning that shares none ("12 pt mm" is the
    // typographic point, "1 pt mL" the usual pint), and the units of those
    // kinds in other files.
    std::vector<std::vector<size_t>> allowed(names.size());
    for (size_t n = 0; n < names.size(); ++n) {
        const std::vector<NameCandidate>& candidates = names[n];
        const NameMeaning meaning = ChooseMeaning(candidates);
        if (!meaning.found()) {
            choice.unknownName = static_cast<int>(n);
            return choice;
        }
        for (size_t i = 0; i < candidates.size(); ++i) {
            const bool meant = std::any_of(meaning.atTier.begin(), meaning.atTier.end(),
                                           [&](size_t c) {
                                               return c == i ||
                                                      SameKind(candidates[c], candidates[i]);
                                           });
            if (meant) allowed[n].push_back(i);
        }
    }
    // The files that hold a unit of every name.
    std::set<size_t> files;
    for (size_t i : allowed.front()) files.insert(names.front()[i].file);
    for (size_t n = 1; n < names.size(); ++n) {
        std::set<size_t> holding;
        for (size_t i : allowed[n])
            if (files.count(names[n][i].file)) holding.insert(names[n][i].file);
        files = std::move(holding);
    }
    if (files.empty()) return choice;
    // Within those files, each name must come down to one kind.
    for (size_t n = 0; n < names.size(); ++n) {
        std::vector<size_t> inFiles;
        for (size_t i : allowed[n])
            if (files.count(names[n][i].file)) inFiles.push_back(i);
        std::vector<size_t> kind = oneKind(names[n], inFiles);
        if (kind.empty()) {
            choice.ambiguousName = static_cast<int>(n);
            choice.ambiguousUnits = std::move(inFiles);
            return choice;
        }
        allowed[n] = std::move(kind);
    }
    for (size_t file : files) {
        FileChoice entry{file, {}, MatchTier::Exact};
        for (size_t n = 0; n < names.size(); ++n) {
            // The unit of the file that matches best, a shown one first.
            std::optional<size_t> best;
            for (size_t i : allowed[n]) {
                const NameCandidate& c = names[n][i];
                if (c.file != file) continue;
                if (!best || c.tier < names[n][*best].tier ||
                    (c.tier == names[n][*best].tier && c.shown && !names[n][*best].shown))
                    best = i;
            }
            if (!best) break;
            entry.units.push_back(*best);
            entry.worst = std::max(entry.worst, names[n][*best].tier);
        }
        if (entry.units.size() == names.size()) choice.files.push_back(std::move(entry));
    }
    std::stable_sort(choice.files.begin(), choice.files.end(),
                     [](const FileChoice& a, const FileChoice& b) { return a.worst < b.worst; });
    return choice;
}

} // namespace pq
