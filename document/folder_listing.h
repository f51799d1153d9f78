#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/file_reading.h"

namespace pq {

class AlternativeNames;

// A file of the data folder that units are found in.
struct ListedFile {
    std::string name;         // as the folder spells it
    std::u16string fileName;  // the same as text
    int32_t typeCode = 0;     // 1 conversion file, 2 calculation file
    FileStamp stamp;
};

struct FolderListing {
    // The data files by name. Hidden files (a save in progress among them),
    // names that differ from an earlier one in case alone, and anything but
    // regular files are left out.
    std::vector<ListedFile> dataFiles;
    // The folder's AlternativeNames.txt (in any case), when it has one.
    std::optional<ListedFile> alternativeNames;
};

// An empty listing when the folder cannot be read. Without stamps the files
// are not looked at one by one (the stamps stay empty); an entry that is no
// regular file may then remain when the folder does not tell its kind, and
// reading it fails.
FolderListing ListDataFolder(const std::string& folder, bool withStamps = true);

// The alternative names of a file; none when it cannot be read. With
// `wanted`, only the names it accepts (AlternativeNames::parse).
std::shared_ptr<const AlternativeNames> ReadAlternativeNames(
    const std::string& path, const std::function<bool(std::u16string_view)>& wanted = nullptr);

} // namespace pq
