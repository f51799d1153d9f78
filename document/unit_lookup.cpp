#include "document/unit_lookup.h"

#include <algorithm>

#include "document/alternative_names.h"
#include "document/folder_listing.h"
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

} // namespace

FolderLookup LookUpUnits(const std::string& rawFolder, const std::vector<std::u16string>& names,
                         int32_t typeCode) {
    const std::string folder =
        rawFolder.empty() || rawFolder.back() != '/' ? rawFolder + '/' : rawFolder;
    std::vector<TypedName> typed;
    for (const std::u16string& name : names) typed.push_back(ReadTypedName(name));
    FolderLookup lookup;
    lookup.found.resize(typed.size());

    // Each file is read once, whatever its stamp. Of the alternative names
    // only those that may be one of the names matter (and the marks of the
    // usual meanings).
    const FolderListing listing = ListDataFolder(folder, false);
    const std::shared_ptr<const AlternativeNames> alternatives =
        listing.alternativeNames
            ? ReadAlternativeNames(folder + listing.alternativeNames->name,
                                   [&typed](std::u16string_view alternative) {
                                       return MayBeNamedByAny(typed, alternative);
                                   })
            : std::make_shared<const AlternativeNames>();

    // A glance at every file's units: those that may be one of the names,
    // ruled in or out by the start of their words. A file that cannot be
    // glanced at is read whole at once.
    std::vector<Candidate> candidates;
    std::vector<std::shared_ptr<Document>> documents(listing.dataFiles.size());
    auto consider = [&](size_t file, size_t position, const Item& item,
                        const AlternativeNames::FileNames* fileNames) {
        const AlternativeNames::UnitNames& other =
            AlternativeNames::namesOf(fileNames, item.identifier.view());
        const bool maybe =
            MayBeNamedByAny(typed, item.name.view()) ||
            MayBeNamedByAny(typed, item.identifier.view()) ||
            std::any_of(other.names.begin(), other.names.end(),
                        [&](const std::u16string& n) { return MayBeNamedByAny(typed, n); });
        if (!maybe) return;
        candidates.push_back({file, position, std::u16string(item.name.view()),
                              std::u16string(item.identifier.view()), IsCompoundItem(item),
                              &other, std::vector<std::optional<MatchTier>>(typed.size()), {}});
    };
    for (size_t f = 0; f < listing.dataFiles.size(); ++f) {
        const ListedFile& listed = listing.dataFiles[f];
        if (typeCode != 0 && listed.typeCode != typeCode) continue;
        const AlternativeNames::FileNames* fileNames = alternatives->namesIn(listed.fileName);
        const std::string path = folder + listed.name;
        size_t position = 0;
        const size_t before = candidates.size();
        if (Document::scanItems(path, [&](const Item& item) {
                consider(f, position++, item, fileNames);
                return true;
            })) {
            ++lookup.filesRead;
            continue;
        }
        candidates.resize(before);
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
    size_t fileNumber = 0, lastFile = listing.dataFiles.size();
    for (const Candidate& unit : candidates) {
        if (!matchesAny(unit)) continue;
        const ListedFile& listed = listing.dataFiles[unit.file];
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
        for (size_t k = 0; k < typed.size(); ++k)
            if (unit.tiers[k])
                lookup.found[k].push_back({document, listed.fileName, fileNumber, unit.position,
                                           *unit.tiers[k], unit.other->usual});
    }
    return lookup;
}

} // namespace pq
