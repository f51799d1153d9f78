#include "document/unit_index.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <set>

#include "document/document.h"
#include "document/file_reading.h"
#include "engine/text.h"

namespace pq {

namespace {

// The alternative names file is small; anything larger is not one.
constexpr int64_t kMaxAlternativesSize = 4 * 1024 * 1024;

std::optional<FileStamp> stampOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    FileStamp stamp;
    stamp.device = info.st_dev;
    stamp.inode = info.st_ino;
    stamp.size = info.st_size;
    stamp.modified = info.st_mtim;
    stamp.changed = info.st_ctim;
    return stamp;
}

// The alternative names of every unit of a file, and the keys when the
// index is for finding.
void attachNames(IndexedFile& file, const AlternativeNames* alternatives, UnitIndex::Use use) {
    static const AlternativeNames kNone;
    const AlternativeNames::FileNames* names =
        (alternatives ? *alternatives : kNone).namesIn(file.fileName);
    file.keys.clear();
    if (use == UnitIndex::Use::Finding) file.keys.resize(file.units.size());
    for (size_t i = 0; i < file.units.size(); ++i) {
        IndexedUnit& unit = file.units[i];
        unit.alternatives = AlternativeNames::namesOf(names, unit.identifier);
        if (use == UnitIndex::Use::LookingUp) continue;
        UnitKeys& keys = file.keys[i];
        keys.identifier = keyWithWords(unit.identifier);
        keys.name = keyWithWords(unit.name);
        for (const std::u16string& alternative : unit.alternatives) {
            std::u16string key = matchKey(alternative);
            if (!key.empty()) keys.alternatives.push_back(std::move(key));
        }
    }
}

} // namespace

bool FileStamp::operator==(const FileStamp& other) const {
    return device == other.device && inode == other.inode && size == other.size &&
           modified.tv_sec == other.modified.tv_sec &&
           modified.tv_nsec == other.modified.tv_nsec && changed.tv_sec == other.changed.tv_sec &&
           changed.tv_nsec == other.changed.tv_nsec;
}

std::shared_ptr<IndexedFile> IndexDocument(const Document& document, std::u16string_view fileName,
                                           const AlternativeNames* alternatives,
                                           UnitIndex::Use use) {
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
    }
    attachNames(*file, alternatives, use);
    return file;
}

UnitIndex::UnitIndex(std::string folder, Use use) : folder_(std::move(folder)), use_(use) {
    if (folder_.empty() || folder_.back() != '/') folder_ += '/';
}

bool UnitIndex::refresh() {
    bool changed = !built_;
    built_ = true;

    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder_.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            // Hidden files include the temporary files of a save in progress.
            if (!name.empty() && name.front() != '.') names.push_back(name);
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());

    // The alternative names first: every file's units carry them.
    bool alternativesChanged = false;
    std::optional<FileStamp> alternativesStamp;
    for (const std::string& name : names) {
        if (!equalsIgnoreCase(widen(name), widen(AlternativeNames::kFileName))) continue;
        const std::string path = folder_ + name;
        alternativesStamp = stampOf(path);
        if (alternativesStamp && alternativesStamp == alternativesStamp_) break;
        std::string bytes, error;
        auto alternatives = std::make_shared<AlternativeNames>();
        if (alternativesStamp &&
            readRegularFile(path, bytes, error, {.maxBytes = kMaxAlternativesSize}))
            alternatives->parse(bytes);
        alternatives_ = std::move(alternatives);
        alternativesChanged = true;
        break;
    }
    if (!alternativesStamp && alternativesStamp_) {
        alternatives_.reset();
        alternativesChanged = true;
    }
    alternativesStamp_ = alternativesStamp;
    changed = changed || alternativesChanged;

    std::map<std::u16string, std::shared_ptr<const IndexedFile>> known;
    for (auto& file : files_) known.emplace(file->fileName, file);
    std::vector<std::shared_ptr<const IndexedFile>> files;
    std::map<std::string, std::pair<FileStamp, std::string>> unreadable;
    std::set<std::u16string> taken; // file names differing in case alone are one file
    for (const std::string& name : names) {
        const std::u16string fileName = fromUtf8(name);
        const int32_t typeCode = typeCodeForFileName(fileName);
        if (typeCode == 0 || !taken.insert(lowerAscii(fileName)).second) continue;
        const std::string path = folder_ + name;
        const std::optional<FileStamp> stamp = stampOf(path);
        if (!stamp) continue;
        const auto old = known.find(fileName);
        if (old != known.end() && old->second->stamp == *stamp) {
            if (alternativesChanged) {
                auto renamed = std::make_shared<IndexedFile>(*old->second);
                attachNames(*renamed, alternatives_.get(), use_);
                files.push_back(std::move(renamed));
            } else {
                files.push_back(old->second);
            }
            known.erase(old);
            continue;
        }
        const auto failed = unreadable_.find(name);
        if (failed != unreadable_.end() && failed->second.first == *stamp) {
            unreadable.insert(*failed);
            continue;
        }
        changed = true;
        std::unique_ptr<Document> document = createDocument(typeCode);
        if (!document->readWithoutConverting(path)) {
            unreadable[name] = {*stamp, document->errorText()};
            continue;
        }
        std::shared_ptr<IndexedFile> file =
            IndexDocument(*document, fileName, alternatives_.get(), use_);
        file->stamp = *stamp;
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
    return IndexDocument(document, document.fileNameWithExtension(), alternatives_.get(), use_);
}

std::optional<UnitMatch> UnitIndex::unit(std::u16string_view fileName,
                                         std::u16string_view identifier) const {
    for (const auto& file : files_) {
        if (!equalsIgnoreCase(file->fileName, fileName)) continue;
        for (const IndexedUnit& unit : file->units)
            if (equalsIgnoreCase(unit.identifier, identifier))
                return UnitMatch{file, &unit, MatchTier::Identifier, false};
    }
    return std::nullopt;
}

} // namespace pq
