#include "document/download_folder.h"

#include <stdlib.h>

#include <filesystem>
#include <system_error>

namespace pq {

DownloadFolder::DownloadFolder(const std::string& prefix) {
    std::error_code error;
    std::string pattern =
        (std::filesystem::temp_directory_path(error) / (prefix + "XXXXXX")).string();
    if (error) pattern = "/tmp/" + prefix + "XXXXXX";
    if (mkdtemp(pattern.data())) path_ = pattern + "/";
}

DownloadFolder::~DownloadFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

} // namespace pq
