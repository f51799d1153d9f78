#include "document/unit_index.h"

#include <algorithm>

#include "document/document.h"
#include "engine/text.h"

namespace pq {

namespace {

// The alternative names and the keys of every unit of a file.
void attachNames(IndexedFile& file, const AlternativeNames* alternatives) {
    static const AlternativeNames kNone;
    const AlternativeNames::FileNames* names =
        (alternatives ? *alternatives : kNone).namesIn(file.fileName);
    file.keys.clear();
    file.keys.resize(file.units.size()); // each with names of its own
    for (size_t i = 0; i < file.units.size(); ++i) {
        IndexedUnit& unit = file.units[i];
        const AlternativeNames::UnitNames& other = AlternativeNames::namesOf(names, unit.identifier);
        unit.alternatives = other.names;
        unit.usual = other.usual;
        UnitKeys& keys = file.keys[i];
        keys.starts.add(unit.name);
        keys.starts.add(unit.identifier);
        for (const std::u16string& alternative : unit.alternatives) keys.starts.add(alternative);
        keys.identifier = keyWithWords(unit.identifier);
        keys.name = keyWithWords(unit.name);
        for (const std::u16string& alternative : unit.alternatives) {
            KeyedText key = keyWithWords(alternative);
            if (!key.key.empty()) keys.alternatives.push_back(std::move(key));
        }
    }
}

} // namespace

const UnitNames& NamesOf(const IndexedUnit& unit, const UnitKeys& keys) {
    std::call_once(keys.names->made, [&] {
        keys.names->names =
            NamesOfUnit(unit.name, unit.identifier, unit.alternatives, unit.compound);
    });
    return keys.names->names;
}

bool IsCompoundItem(const Item& item) {
    return item.format.displayFormat == FormatCode::Compound;
}

std::shared_ptr<IndexedFile> IndexDocument(const Document& document, std::u16string_view fileName,
                                           const AlternativeNames* alternatives) {
    auto file = std::make_shared<IndexedFile>();
    file->fileName = fileName;
    file->title = document.title.view();
    file->category = document.category.view();
    file->typeCode = document.typeCode();
    file->units.reserve(document.items.size());
    for (size_t i = 0; i < document.items.size(); ++i) {
        const Item& item = *document.items[i];
        IndexedUnit& unit = file->units.emplace_back();
        unit.name = item.name.view();
        unit.identifier = item.identifier.view();
        unit.position = static_cast<int32_t>(i);
        unit.shown = item.shown != 0;
        unit.compound = IsCompoundItem(item);
    }
    attachNames(*file, alternatives);
    return file;
}

UnitIndex::UnitIndex(std::string folder) : folder_(std::move(folder)) {
    if (folder_.empty() || folder_.back() != '/') folder_ += '/';
}

bool UnitIndex::refresh() {
    bool changed = !built_;
    built_ = true;
    const FolderListing listing = ListDataFolder(folder_);

    // The alternative names first: every file's units carry them.
    bool alternativesChanged = false;
    const std::optional<FileStamp> alternativesStamp =
        listing.alternativeNames ? std::optional(listing.alternativeNames->stamp) : std::nullopt;
    if (alternativesStamp != alternativesStamp_) {
        alternatives_ = listing.alternativeNames
                            ? ReadAlternativeNames(folder_ + listing.alternativeNames->name)
                            : nullptr;
        alternativesStamp_ = alternativesStamp;
        alternativesChanged = true;
        changed = true;
    }

    std::map<std::u16string, std::shared_ptr<const IndexedFile>> known;
    for (auto& file : files_) known.emplace(file->fileName, file);
    std::vector<std::shared_ptr<const IndexedFile>> files;
    std::map<std::string, std::pair<FileStamp, std::string>> unreadable;
    for (const ListedFile& listed : listing.dataFiles) {
        const auto old = known.find(listed.fileName);
        if (old != known.end() && old->second->stamp == listed.stamp) {
            if (alternativesChanged) {
                auto renamed = std::make_shared<IndexedFile>(*old->second);
                attachNames(*renamed, alternatives_.get());
                files.push_back(std::move(renamed));
            } else {
                files.push_back(old->second);
            }
            known.erase(old);
            continue;
        }
        const auto failed = unreadable_.find(listed.name);
        if (failed != unreadable_.end() && failed->second.first == listed.stamp) {
            unreadable.insert(*failed);
            continue;
        }
        changed = true;
        std::unique_ptr<Document> document = createDocument(listed.typeCode);
        if (!document->readWithoutConverting(folder_ + listed.name)) {
            unreadable[listed.name] = {listed.stamp, document->errorText()};
            continue;
        }
        std::shared_ptr<IndexedFile> file =
            IndexDocument(*document, listed.fileName, alternatives_.get());
        file->stamp = listed.stamp;
        files.push_back(std::move(file));
    }
    changed = changed || !known.empty(); // files that are gone
    files_ = std::move(files);
    unreadable_ = std::move(unreadable);
    return changed;
}

std::vector<std::pair<std::string, std::string>> UnitIndex::unreadable() const {
    std::vector<std::pair<std::string, std::string>> result;
    for (const auto& [name, failure] : unreadable_) result.emplace_back(name, failure.second);
    return result;
}

std::shared_ptr<const IndexedFile> UnitIndex::entriesOf(const Document& document) const {
    return IndexDocument(document, document.fileNameWithExtension(), alternatives_.get());
}

std::optional<UnitMatch> UnitIndex::unit(std::u16string_view fileName,
                                         std::u16string_view identifier) const {
    for (const auto& file : files_) {
        if (!equalsIgnoreCase(file->fileName, fileName)) continue;
        for (const IndexedUnit& unit : file->units)
            if (equalsIgnoreCase(unit.identifier, identifier))
                return UnitMatch{file, &unit, MatchTier::Exact, false};
    }
    return std::nullopt;
}

} // namespace pq
