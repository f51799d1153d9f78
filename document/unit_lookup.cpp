#include "document/unit_lookup.h"

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

    // Each file is read once, whatever its stamp.
    const FolderListing listing = ListDataFolder(folder, false);
    const std::shared_ptr<const AlternativeNames> alternatives =
        listing.alternativeNames ? ReadAlternativeNames(folder + listing.alternativeNames->name)
                                 : std::make_shared<const AlternativeNames>();
    for (const ListedFile& listed : listing.dataFiles) {
        if (typeCode != 0 && listed.typeCode != typeCode) continue;
        std::shared_ptr<Document> document = createDocument(listed.typeCode);
        if (!document->readWithoutConverting(folder + listed.name)) {
            lookup.unreadable.emplace_back(listed.name, document->errorText());
            continue;
        }
        ++lookup.filesRead;
        const AlternativeNames::FileNames* fileNames = alternatives->namesIn(listed.fileName);
        for (size_t i = 0; i < document->items.size(); ++i) {
            const Item& item = *document->items[i];
            const std::vector<std::u16string>& other =
                AlternativeNames::namesOf(fileNames, item.identifier.view());
            for (size_t k = 0; k < keys.size(); ++k) {
                if (keys[k].empty()) continue;
                if (const auto tier = WholeNameTier(item.name, item.identifier, other, keys[k]))
                    lookup.found[k].push_back({document, listed.fileName, i, *tier});
            }
        }
    }
    return lookup;
}

} // namespace pq
