// Finding units in the index: how well a unit matches, and the order of the
// matches.
#include <algorithm>

#include "document/unit_index.h"
#include "engine/text.h"

namespace pq {

namespace {

bool startsAtWord(const KeyedText& text, std::u16string_view query) {
    if (query.size() > text.key.size()) return false;
    const size_t last = text.key.size() - query.size();
    for (uint16_t start : text.wordStarts) {
        if (start > last) break;
        if (std::u16string_view(text.key).substr(start, query.size()) == query) return true;
    }
    return false;
}

// Whether the query lies inside one word of the text: "ilogram" in
// "Kilogram", but not "hz" across "Polish zloty".
bool withinWord(const KeyedText& text, std::u16string_view query) {
    const std::u16string_view key = text.key;
    for (size_t at = key.find(query); at != std::u16string_view::npos;
         at = key.find(query, at + 1)) {
        const auto next = std::upper_bound(text.wordStarts.begin(), text.wordStarts.end(), at);
        if (next == text.wordStarts.end() || *next >= at + query.size()) return true;
    }
    return false;
}

std::optional<MatchTier> matchTier(const IndexedUnit& unit, const UnitKeys& keys,
                                   const TypedName& typed, std::u16string_view query,
                                   bool wholeOnly) {
    if (MayBeNamed(typed, keys.starts))
        if (auto tier = MatchUnitNames(typed, NamesOf(unit, keys))) return tier;
    if (wholeOnly || query.empty()) return std::nullopt;
    if (startsAtWord(keys.name, query) || startsAtWord(keys.identifier, query))
        return MatchTier::WordPrefix;
    for (const KeyedText& key : keys.alternatives)
        if (startsAtWord(key, query)) return MatchTier::WordPrefix;
    if (withinWord(keys.name, query) || withinWord(keys.identifier, query))
        return MatchTier::Substring;
    for (const KeyedText& key : keys.alternatives)
        if (withinWord(key, query)) return MatchTier::Substring;
    return std::nullopt;
}

struct Candidate {
    const std::shared_ptr<const IndexedFile>* file;
    size_t fileOrder;
    const IndexedUnit* unit;
    size_t nameLength;
    MatchTier tier;
    bool current;

    // By how well they match; among equals the usual meaning of a name
    // (named as a whole) first, then the shown before the hidden, the
    // current file's before the others, the shorter names, which the text
    // matches more closely; then by file and by place in the file.
    bool operator<(const Candidate& other) const {
        if (tier != other.tier) return tier < other.tier;
        if (tier <= MatchTier::Folded && unit->usual != other.unit->usual) return unit->usual;
        if (unit->shown != other.unit->shown) return unit->shown;
        if (current != other.current) return current;
        if (nameLength != other.nameLength) return nameLength < other.nameLength;
        if (fileOrder != other.fileOrder) return fileOrder < other.fileOrder;
        return unit->position < other.unit->position;
    }
};

} // namespace

std::vector<UnitMatch> UnitIndex::find(std::u16string_view text,
                                       const FindOptions& options) const {
    const TypedName typed = ReadTypedName(text);
    // Nothing but "per" and "times" names nothing.
    if (typed.phrase.phrase.core.find_first_not_of(u"/\u00B7") == std::u16string::npos) return {};
    const std::u16string query = matchKey(text);
    std::vector<Candidate> found;
    auto scan = [&](const std::shared_ptr<const IndexedFile>& file, size_t order, bool current) {
        if (file->keys.size() != file->units.size()) return;
        for (size_t i = 0; i < file->units.size(); ++i) {
            const IndexedUnit& unit = file->units[i];
            const std::optional<MatchTier> tier =
                matchTier(unit, file->keys[i], typed, query, options.exactOnly);
            if (!tier) continue;
            found.push_back({&file, order, &unit, unit.name.size(), *tier, current});
        }
    };
    bool currentSeen = false;
    for (size_t i = 0; i < files_.size(); ++i) {
        const bool current = !options.currentFile.empty() &&
                             equalsIgnoreCase(files_[i]->fileName, options.currentFile);
        if (current && options.currentContents) {
            scan(options.currentContents, i, true);
            currentSeen = true;
        } else {
            scan(files_[i], i, current);
        }
    }
    // A new file that was never saved.
    if (options.currentContents && !currentSeen) scan(options.currentContents, files_.size(), true);

    size_t count = found.size();
    if (options.limit != 0 && options.limit < count) {
        count = options.limit;
        std::partial_sort(found.begin(), found.begin() + static_cast<std::ptrdiff_t>(count),
                          found.end());
    } else {
        std::sort(found.begin(), found.end());
    }
    std::vector<UnitMatch> matches;
    matches.reserve(count);
    for (size_t i = 0; i < count; ++i)
        matches.push_back({*found[i].file, found[i].unit, found[i].tier, found[i].current});
    return matches;
}

} // namespace pq
