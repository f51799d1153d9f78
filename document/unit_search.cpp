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

bool contains(std::u16string_view text, std::u16string_view query) {
    return text.find(query) != std::u16string_view::npos;
}

std::optional<MatchTier> matchTier(const IndexedUnit& unit, const UnitKeys* keys,
                                   std::u16string_view query) {
    if (auto tier = WholeNameTier(unit.name, unit.identifier, unit.alternatives, query))
        return tier;
    if (!keys) return std::nullopt;
    if (startsAtWord(keys->name, query) || startsAtWord(keys->identifier, query))
        return MatchTier::WordPrefix;
    for (const std::u16string& key : keys->alternatives)
        if (key.starts_with(query)) return MatchTier::WordPrefix;
    if (contains(keys->name.key, query) || contains(keys->identifier.key, query))
        return MatchTier::Substring;
    for (const std::u16string& key : keys->alternatives)
        if (contains(key, query)) return MatchTier::Substring;
    return std::nullopt;
}

struct Candidate {
    const std::shared_ptr<const IndexedFile>* file;
    size_t fileOrder;
    const IndexedUnit* unit;
    size_t nameLength;
    MatchTier tier;
    bool current;

    // The current file's good matches first, then the rest by how well
    // they match, the current file's first among equals; then the shorter
    // names, which the text matches more closely; then by file and by place
    // in the file.
    int group() const { return current && tier <= MatchTier::WordPrefix ? 0 : 1; }
    bool operator<(const Candidate& other) const {
        if (group() != other.group()) return group() < other.group();
        if (tier != other.tier) return tier < other.tier;
        if (current != other.current) return current;
        if (nameLength != other.nameLength) return nameLength < other.nameLength;
        if (fileOrder != other.fileOrder) return fileOrder < other.fileOrder;
        return unit->position < other.unit->position;
    }
};

} // namespace

std::optional<MatchTier> WholeNameTier(std::u16string_view name, std::u16string_view identifier,
                                       const std::vector<std::u16string>& alternatives,
                                       std::u16string_view key) {
    if (keyEquals(identifier, key)) return MatchTier::Identifier;
    for (const std::u16string& alternative : alternatives)
        if (keyEquals(alternative, key)) return MatchTier::Name;
    if (nameMatchesWhole(name, key)) return MatchTier::Name;
    return std::nullopt;
}

std::vector<UnitMatch> UnitIndex::find(std::u16string_view text,
                                       const FindOptions& options) const {
    const std::u16string query = matchKey(text);
    if (query.empty()) return {};
    std::vector<Candidate> found;
    auto scan = [&](const std::shared_ptr<const IndexedFile>& file, size_t order, bool current) {
        const bool keyed = !options.exactOnly && file->keys.size() == file->units.size();
        for (size_t i = 0; i < file->units.size(); ++i) {
            const IndexedUnit& unit = file->units[i];
            const UnitKeys* keys = keyed ? &file->keys[i] : nullptr;
            const std::optional<MatchTier> tier = matchTier(unit, keys, query);
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
