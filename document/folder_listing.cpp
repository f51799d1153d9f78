#include "document/folder_listing.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <set>

#include "document/alternative_names.h"
#include "document/document.h"
#include "document/file_reading.h"
#include "engine/text.h"

namespace pq {

namespace {

// The alternative names file is small; anything larger is not one.
constexpr int64_t kMaxAlternativesSize = 4 * 1024 * 1024;

// The stamp of a regular file; none for anything else.
std::optional<FileStamp> regularFileStamp(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    return FileStamp{{info.st_dev, info.st_ino},
                     static_cast<int64_t>(info.st_size),
                     static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

} // namespace

FolderListing ListDataFolder(const std::string& folder, bool withStamps) {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            const bool other = entry->d_type != DT_REG && entry->d_type != DT_LNK &&
                               entry->d_type != DT_UNKNOWN;
            if (!name.empty() && name.front() != '.' && !other) names.push_back(name);
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());

    FolderListing listing;
    std::set<std::u16string> taken;
    for (const std::string& name : names) {
        const std::u16string fileName = fromUtf8(name);
        const int32_t typeCode = typeCodeForFileName(fileName);
        const bool alternatives =
            !listing.alternativeNames &&
            equalsIgnoreCase(fileName, widen(AlternativeNames::kFileName));
        if (typeCode == 0 && !alternatives) continue;
        if (typeCode != 0 && !taken.insert(lowerAscii(fileName)).second) continue;
        const std::optional<FileStamp> stamp =
            withStamps ? regularFileStamp(folder + name) : std::optional(FileStamp());
        if (!stamp) continue;
        ListedFile file{name, fileName, typeCode, *stamp};
        if (alternatives)
            listing.alternativeNames = std::move(file);
        else
            listing.dataFiles.push_back(std::move(file));
    }
    return listing;
}

std::shared_ptr<const AlternativeNames> ReadAlternativeNames(
    const std::string& path, const std::function<bool(std::u16string_view)>& wanted) {
    auto names = std::make_shared<AlternativeNames>();
    std::string bytes, error;
    if (readRegularFile(path, bytes, error, {.maxBytes = kMaxAlternativesSize}))
        names->parse(bytes, wanted);
    return names;
}

} // namespace pq
