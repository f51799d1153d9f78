#include "document/unit_lookup.h"

#include <algorithm>

#include "document/alternative_names.h"
#include "document/folder_listing.h"
#include "document/match_key.h"

namespace pq {

FolderLookup LookUpUnits(const std::string& rawFolder, const std::vector<std::u16string>& names,
                         int32_t typeCode) {
    const std::string folder =
        rawFolder.empty() || rawFolder.back() != '/' ? rawFolder + '/' : rawFolder;
    std::vector<std::u16string> keys;
    for (const std::u16string& name : names) keys.push_back(matchKey(name));
    FolderLookup lookup;
    lookup.found.resize(keys.size());

    // Each file is read once, whatever its stamp. Of the alternative names
    // only those that are one of the names matter.
    const FolderListing listing = ListDataFolder(folder, false);
    auto wanted = [&keys](std::u16string_view name) {
        return std::any_of(keys.begin(), keys.end(), [name](const std::u16string& key) {
            return !key.empty() && keyEquals(name, key);
        });
    };
    const std::shared_ptr<const AlternativeNames> alternatives =
        listing.alternativeNames
            ? ReadAlternativeNames(folder + listing.alternativeNames->name, wanted)
            : std::make_shared<const AlternativeNames>();
    for (const ListedFile& listed : listing.dataFiles) {
        if (typeCode != 0 && listed.typeCode != typeCode) continue;
        const AlternativeNames::FileNames* fileNames = alternatives->namesIn(listed.fileName);
        // The best way each name names an item, if it does.
        std::vector<std::optional<MatchTier>> tiers(keys.size());
        auto match = [&](const Item& item) {
            const std::vector<std::u16string>& other =
                AlternativeNames::namesOf(fileNames, item.identifier.view());
            bool any = false;
            for (size_t k = 0; k < keys.size(); ++k) {
                tiers[k] = keys[k].empty()
                               ? std::nullopt
                               : WholeNameTier(item.name, item.identifier, other, keys[k]);
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
            for (size_t k = 0; k < keys.size(); ++k)
                if (tiers[k]) lookup.found[k].push_back({document, listed.fileName, i, *tiers[k]});
        }
    }
    return lookup;
}

} // namespace pq
