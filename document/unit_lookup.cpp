#include "document/unit_lookup.h"

#include <algorithm>
#include <map>

#include "document/alternative_names.h"
#include "document/folder_listing.h"
#include "document/symbol_case.h"
#include "document/unit_lookup_index.h"
#include "document/unit_names.h"

namespace pq {

namespace {

// A unit that may be one of the names, as a glance at its file gave it.
struct Candidate {
    size_t file = 0;     // into the listing's data files
    size_t position = 0; // in the file's items
    std::u16string name, identifier;
    bool compound = false;
    const AlternativeNames::UnitNames* other = nullptr;
    std::vector<std::optional<MatchTier>> tiers; // per name
    // Its name, identifier and other names, prepared for MayBeWrittenIn.
    std::vector<std::u16string> written;
};

// The tiers at which a unit matches each name. Phrases, the costly part,
// are made only for the names of `phrased`: a name some unit has written
// exactly means that unit, whatever its phrases would match.
void matchNames(Candidate& unit, const std::vector<TypedName>& typed,
                const std::vector<bool>& phrased) {
    static const std::vector<TypedName> kNoPhrases;
    // The written forms are parts of the name, the identifier and the other
    // names: a name that stands in none of them is none of the forms.
    if (unit.written.empty()) {
        unit.written.push_back(FoldLetterCase(CollapseSpaces(unit.name)));
        unit.written.push_back(FoldLetterCase(CollapseSpaces(unit.identifier)));
        for (const std::u16string& other : unit.other->names)
            unit.written.push_back(FoldLetterCase(CollapseSpaces(other)));
    }
    auto written = [&unit](const TypedName& name) {
        return std::any_of(unit.written.begin(), unit.written.end(), [&](const std::u16string& text) {
            return MayBeWrittenInFolded(name, text);
        });
    };
    std::optional<UnitNames> forms;
    std::vector<TypedName> needPhrases;
    for (size_t k = 0; k < typed.size(); ++k) {
        unit.tiers[k].reset();
        if (written(typed[k])) {
            if (!forms)
                forms = NamesOfUnit(unit.name, unit.identifier, unit.other->names, unit.compound,
                                    &kNoPhrases);
            unit.tiers[k] = MatchUnitNames(typed[k], *forms);
        }
        if (phrased[k] && (!unit.tiers[k] || *unit.tiers[k] != MatchTier::Exact))
            needPhrases.push_back(typed[k]);
    }
    if (needPhrases.empty()) return;
    const UnitNames all = NamesOfUnit(unit.name, unit.identifier, unit.other->names,
                                      unit.compound, &needPhrases);
    for (size_t k = 0; k < typed.size(); ++k)
        if (phrased[k]) unit.tiers[k] = MatchUnitNames(typed[k], all);
}

bool matchesAny(const Candidate& unit) {
    return std::any_of(unit.tiers.begin(), unit.tiers.end(),
                       [](const std::optional<MatchTier>& tier) { return tier.has_value(); });
}

// A unit that matches one of the names, and how well it matches each.
struct Matched {
    size_t file = 0;
    size_t position = 0;
    std::u16string_view identifier;
    const std::vector<std::optional<MatchTier>>* tiers = nullptr;
    bool usual = false;
};

// Reads the files that hold the units matched (those read already are in
// `documents`) and files each unit under the names it matches, in the order
// given: by file, then by place in the file.
void readMatchedFiles(const std::string& folder, const std::vector<ListedFile>& files,
                      const std::vector<Matched>& matched,
                      std::vector<std::shared_ptr<Document>>& documents, FolderLookup& lookup) {
    size_t fileNumber = 0, lastFile = files.size();
    for (const Matched& unit : matched) {
        const ListedFile& listed = files[unit.file];
        std::shared_ptr<Document>& document = documents[unit.file];
        if (!document) {
            document = createDocument(listed.typeCode);
            if (!document->readWithoutConverting(folder + listed.name)) {
                lookup.unreadable.emplace_back(listed.name, document->errorText());
                continue;
            }
        }
        // A file changed since the glance holds other units: not these.
        if (unit.position >= document->items.size() ||
            document->items[unit.position]->identifier.view() != unit.identifier)
            continue;
        if (unit.file != lastFile) ++fileNumber;
        lastFile = unit.file;
        for (size_t k = 0; k < unit.tiers->size(); ++k)
            if ((*unit.tiers)[k])
                lookup.found[k].push_back({document, listed.fileName, fileNumber, unit.position,
                                           *(*unit.tiers)[k], unit.usual});
    }
}

// The answer an index gives when every name names some unit exactly, as it
// is written: then the look at the folder would give the units the index
// has for the names as written and in another letter case, and no others.
// None otherwise; `damaged` when a record of the index is.
std::optional<FolderLookup> lookUpInIndex(bool& damaged, const UnitLookupIndex& index,
                                          const std::string& folder,
                                          const std::vector<TypedName>& typed, int32_t typeCode) {
    damaged = false;
    std::map<uint32_t, std::vector<std::optional<MatchTier>>> tiers; // by unit, in file order
    for (size_t k = 0; k < typed.size(); ++k) {
        if (typed[k].text.empty()) return std::nullopt;
        bool exact = false;
        const bool whole = index.forEachForm(typed[k].folded, [&](uint32_t unit,
                                                                  std::u16string_view text) {
            std::optional<MatchTier> tier;
            if (text == typed[k].text)
                tier = MatchTier::Exact;
            else if (CaseAllows(typed[k].text, typed[k].readsAsSymbols, text))
                tier = MatchTier::CaseFolded;
            if (!tier) return;
            std::optional<MatchTier>& best = tiers.try_emplace(unit, typed.size()).first->second[k];
            if (!best || *tier < *best) best = tier;
            exact = exact || *tier == MatchTier::Exact;
        });
        damaged = !whole;
        if (!whole || !exact) return std::nullopt;
    }
    // Only the files that hold the units are named.
    std::vector<ListedFile> files(index.fileCount());
    std::vector<Matched> matched;
    for (const auto& [number, unitTiers] : tiers) {
        const std::optional<UnitLookupIndex::Unit> unit = index.unit(number);
        damaged = !unit;
        if (!unit) return std::nullopt;
        ListedFile& listed = files[unit->file];
        if (listed.name.empty()) {
            const UnitLookupIndex::File file = index.file(unit->file);
            listed = {std::string(file.name), std::u16string(file.fileName), typeCode, {}};
        }
        matched.push_back({unit->file, unit->position, unit->identifier, &unitTiers, unit->usual});
    }
    FolderLookup lookup;
    lookup.found.resize(typed.size());
    lookup.filesRead = files.size();
    lookup.fromIndex = true;
    std::vector<std::shared_ptr<Document>> documents(files.size());
    readMatchedFiles(folder, files, matched, documents, lookup);
    return lookup;
}

// What a look at the whole folder learns for an index: the stamps taken
// before each thing was read, and every unit's names.
struct IndexBuilder {
    int64_t startNs = FileClockNow();
    UnitLookupContents contents;
    std::vector<uint32_t> fileNumbers; // of the listing's files, in the index
    bool complete = true;              // false: a file could not be stamped

    struct Unit {
        size_t file, position;
        std::u16string name, identifier;
        bool compound;
        const AlternativeNames::UnitNames* other;
    };
    std::vector<Unit> units;

    std::optional<IndexedDataFile> stamped(const std::string& folder, const ListedFile& listed) {
        std::optional<ChangeStamp> stamp = changeStampOf(folder + listed.name);
        if (!stamp) {
            complete = false;
            return std::nullopt;
        }
        return IndexedDataFile{listed.name, listed.fileName, *stamp};
    }

    void write(const LookupIndexPlace& place) {
        static const std::vector<TypedName> kNoPhrases;
        if (!complete) return;
        for (const Unit& unit : units) {
            IndexedName indexed{fileNumbers[unit.file], static_cast<uint32_t>(unit.position),
                                unit.identifier, unit.other->usual, {}};
            const UnitNames names = NamesOfUnit(unit.name, unit.identifier, unit.other->names,
                                                unit.compound, &kNoPhrases);
            for (const UnitNames::Form& form : names.forms)
                indexed.forms.push_back({form.folded, form.text});
            contents.units.push_back(std::move(indexed));
        }
        WriteUnitLookupIndex(place.path, contents, startNs, place.settleNs);
    }
};

} // namespace

FolderLookup LookUpUnits(const std::string& rawFolder, const std::vector<std::u16string>& names,
                         int32_t typeCode, const LookupIndexPlace* index) {
    const std::string folder =
        rawFolder.empty() || rawFolder.back() != '/' ? rawFolder + '/' : rawFolder;
    std::vector<TypedName> typed;
    for (const std::u16string& name : names) typed.push_back(ReadTypedName(name));

    std::optional<IndexBuilder> builder;
    if (index) {
        bool damaged = true;
        if (const std::optional<UnitLookupIndex> kept =
                UnitLookupIndex::read(index->path, folder, typeCode))
            if (std::optional<FolderLookup> answer =
                    lookUpInIndex(damaged, *kept, folder, typed, typeCode))
                return std::move(*answer);
        // An index that does not describe the folder is made anew.
        if (damaged) {
            builder.emplace();
            builder->contents.folder = folder;
            builder->contents.typeCode = typeCode;
            const std::optional<ChangeStamp> stamp = changeStampOf(folder);
            builder->complete = stamp.has_value();
            if (stamp) builder->contents.folderStamp = *stamp;
        }
    }
    FolderLookup lookup;
    lookup.found.resize(typed.size());

    // Each file is read once, whatever its stamp. Of the alternative names
    // only those that may be one of the names matter (and the marks of the
    // usual meanings), unless an index is made.
    const FolderListing listing = ListDataFolder(folder, false);
    std::shared_ptr<const AlternativeNames> alternatives;
    if (!listing.alternativeNames) {
        alternatives = std::make_shared<const AlternativeNames>();
    } else if (builder) {
        builder->contents.alternativeNames = builder->stamped(folder, *listing.alternativeNames);
        alternatives = ReadAlternativeNames(folder + listing.alternativeNames->name);
    } else {
        alternatives = ReadAlternativeNames(folder + listing.alternativeNames->name,
                                            [&typed](std::u16string_view alternative) {
                                                return MayBeNamedByAny(typed, alternative);
                                            });
    }

    // A glance at every file's units: those that may be one of the names,
    // ruled in or out by the start of their words. A file that cannot be
    // glanced at is read whole at once.
    std::vector<Candidate> candidates;
    std::vector<std::shared_ptr<Document>> documents(listing.dataFiles.size());
    auto consider = [&](size_t file, size_t position, const Item& item,
                        const AlternativeNames::FileNames* fileNames) {
        const AlternativeNames::UnitNames& other =
            AlternativeNames::namesOf(fileNames, item.identifier.view());
        const bool compound = IsCompoundItem(item);
        if (builder)
            builder->units.push_back({file, position, std::u16string(item.name.view()),
                                      std::u16string(item.identifier.view()), compound, &other});
        const bool maybe =
            MayBeNamedByAny(typed, item.name.view()) ||
            MayBeNamedByAny(typed, item.identifier.view()) ||
            std::any_of(other.names.begin(), other.names.end(),
                        [&](const std::u16string& n) { return MayBeNamedByAny(typed, n); });
        if (!maybe) return;
        candidates.push_back({file, position, std::u16string(item.name.view()),
                              std::u16string(item.identifier.view()), compound, &other, std::vector<std::optional<MatchTier>>(typed.size()), {}});
    };
    if (builder) builder->fileNumbers.resize(listing.dataFiles.size());
    for (size_t f = 0; f < listing.dataFiles.size(); ++f) {
        const ListedFile& listed = listing.dataFiles[f];
        if (typeCode != 0 && listed.typeCode != typeCode) continue;
        const AlternativeNames::FileNames* fileNames = alternatives->namesIn(listed.fileName);
        const std::string path = folder + listed.name;
        if (builder) {
            builder->fileNumbers[f] = static_cast<uint32_t>(builder->contents.files.size());
            if (std::optional<IndexedDataFile> stamped = builder->stamped(folder, listed))
                builder->contents.files.push_back(std::move(*stamped));
        }
        size_t position = 0;
        const size_t before = candidates.size();
        const size_t unitsBefore = builder ? builder->units.size() : 0;
        if (Document::scanItems(path, [&](const Item& item) {
                consider(f, position++, item, fileNames);
                return true;
            })) {
            ++lookup.filesRead;
            continue;
        }
        candidates.resize(before);
        if (builder) builder->units.resize(unitsBefore);
        std::shared_ptr<Document> document = createDocument(listed.typeCode);
        if (!document->readWithoutConverting(path)) {
            lookup.unreadable.emplace_back(listed.name, document->errorText());
            continue;
        }
        ++lookup.filesRead;
        for (size_t i = 0; i < document->items.size(); ++i)
            consider(f, i, *document->items[i], fileNames);
        documents[f] = std::move(document);
    }

    // The names some unit has written exactly, and then the rest.
    std::vector<bool> phrased(typed.size(), false);
    for (Candidate& unit : candidates) matchNames(unit, typed, phrased);
    for (size_t k = 0; k < typed.size(); ++k)
        phrased[k] = std::none_of(candidates.begin(), candidates.end(), [k](const Candidate& c) {
            return c.tiers[k] == MatchTier::Exact;
        });
    if (std::find(phrased.begin(), phrased.end(), true) != phrased.end())
        for (Candidate& unit : candidates) matchNames(unit, typed, phrased);

    // The files that hold one of the names are read whole.
    std::vector<Matched> matched;
    for (const Candidate& unit : candidates)
        if (matchesAny(unit))
            matched.push_back({unit.file, unit.position, unit.identifier, &unit.tiers,
                               unit.other->usual});
    readMatchedFiles(folder, listing.dataFiles, matched, documents, lookup);
    if (builder && lookup.unreadable.empty()) builder->write(*index);
    return lookup;
}

} // namespace pq
