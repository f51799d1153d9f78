#include "document/unit_lookup.h"

#include <algorithm>

#include "document/alternative_names.h"
#include "document/folder_listing.h"
#include "document/unit_names.h"

namespace pq {

FolderLookup LookUpUnits(const std::string& rawFolder, const std::vector<std::u16string>& names,
                         int32_t typeCode) {
    const std::string folder =
        rawFolder.empty() || rawFolder.back() != '/' ? rawFolder + '/' : rawFolder;
    std::vector<TypedName> typed;
    for (const std::u16string& name : names) typed.push_back(ReadTypedName(name));
    FolderLookup lookup;
    lookup.found.resize(typed.size());

    // Each file is read once, whatever its stamp. Of the alternative names
    // only those that name a unit as one of the names does matter (and the
    // marks of the usual meanings).
    const FolderListing listing = ListDataFolder(folder, false);
    auto wanted = [&typed](std::u16string_view alternative) {
        if (!MayBeNamedByAny(typed, alternative)) return false;
        const UnitNames forms = NamesOfUnit(alternative, {}, {}, false, &typed);
        return std::any_of(typed.begin(), typed.end(),
                           [&](const TypedName& name) { return MatchUnitNames(name, forms); });
    };
    const std::shared_ptr<const AlternativeNames> alternatives =
        listing.alternativeNames
            ? ReadAlternativeNames(folder + listing.alternativeNames->name, wanted)
            : std::make_shared<const AlternativeNames>();
    size_t fileNumber = 0;
    for (const ListedFile& listed : listing.dataFiles) {
        if (typeCode != 0 && listed.typeCode != typeCode) continue;
        ++fileNumber;
        const AlternativeNames::FileNames* fileNames = alternatives->namesIn(listed.fileName);
        // The best way each name names an item, if it does.
        std::vector<std::optional<MatchTier>> tiers(typed.size());
        bool usual = false;
        auto match = [&](const Item& item) {
            const AlternativeNames::UnitNames& other =
                AlternativeNames::namesOf(fileNames, item.identifier.view());
            usual = other.usual;
            // Most units are ruled out at a glance.
            const bool maybe =
                MayBeNamedByAny(typed, item.name.view()) ||
                MayBeNamedByAny(typed, item.identifier.view()) ||
                std::any_of(other.names.begin(), other.names.end(),
                            [&](const std::u16string& n) { return MayBeNamedByAny(typed, n); });
            if (!maybe) return false;
            const UnitNames forms =
                NamesOfUnit(item.name.view(), item.identifier.view(), other.names,
                            IsCompoundItem(item), &typed);
            bool any = false;
            for (size_t k = 0; k < typed.size(); ++k) {
                tiers[k] = MatchUnitNames(typed[k], forms);
                any = any || tiers[k];
            }
            return any;
        };
        // Most files hold none of the names: a glance at their items tells,
        // and only a file that does is read whole.
        const std::string path = folder + listed.name;
        bool named = false;
        const bool glanced = Document::scanItems(path, [&](const Item& item) {
            named = match(item);
            return !named;
        });
        if (glanced && !named) {
            ++lookup.filesRead;
            continue;
        }
        std::shared_ptr<Document> document = createDocument(listed.typeCode);
        if (!document->readWithoutConverting(path)) {
            lookup.unreadable.emplace_back(listed.name, document->errorText());
            continue;
        }
        ++lookup.filesRead;
        for (size_t i = 0; i < document->items.size(); ++i) {
            if (!match(*document->items[i])) continue;
            for (size_t k = 0; k < typed.size(); ++k)
                if (tiers[k])
                    lookup.found[k].push_back(
                        {document, listed.fileName, fileNumber, i, *tiers[k], usual});
        }
    }
    return lookup;
}

} // namespace pq
