#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/http_fetcher.h"

namespace pq {

class DataFolder;

// How far one whole run of downloads may go.
struct DownloadLimits {
    std::chrono::milliseconds deadline = std::chrono::minutes(5);
    int64_t totalBytes = 32 * 1024 * 1024;
};

// Fetches the update list at the download source, follows the URLs it
// names (update lists may name further lists), and stores every update file
// for a conversion file of the data folder there as "<file name>.upd",
// where it waits until its conversion file is next made current. A run
// stores at most one update file per conversion file, passes over updates
// for files the folder lacks, and stays within its file count, its deadline
// and its byte budget.
class UpdateDownloader {
  public:
    // At most this many files are fetched in one run.
    static constexpr size_t kMaxFiles = 256;

    UpdateDownloader(const DataFolder& folder, std::string url);
    UpdateDownloader(const DataFolder& folder, std::string url, HttpFetcher& fetcher,
                     DownloadLimits limits = {});

    // The base names of the conversion files whose updates are stored; by
    // default those of the folder, taken when the run starts. For a run
    // that stores into another folder than the data folder.
    void setDataFiles(std::vector<std::u16string> baseNames);

    // False on the first failed download or write, with the reason in
    // errorText; update files stored before it stay stored and counted.
    bool run();
    int downloadedCount() const { return downloadedCount_; }
    const std::string& errorText() const { return errorText_; }

  private:
    bool store(const std::string& cacheFile, const std::u16string& baseName);

    const DataFolder& folder_;
    std::vector<std::string> urls_;
    std::unique_ptr<HttpFetcher> ownFetcher_;
    HttpFetcher* fetcher_;
    DownloadLimits limits_;
    std::vector<std::u16string> dataFiles_;
    bool dataFilesGiven_ = false;
    int downloadedCount_ = 0;
    std::string errorText_;
};

// Whether a name from an update file is a plain file name: 1 to 63
// letters, digits, spaces, "_", "-" and ".", not starting with ".".
bool isSafeUpdateFileName(std::u16string_view name);

// The base names of a folder's conversion (".cnv") files that are regular
// files, in the order the folder lists them.
std::vector<std::u16string> conversionFileNames(const std::string& folder);

} // namespace pq
