#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "document/http_fetcher.h"

namespace pq {

class DataFolder;

// Fetches the update list at the download source, follows the URLs it
// names (update lists may name further lists), and stores every update file
// in the data folder as "<file name>.upd", where it waits until its
// conversion file is next made current.
class UpdateDownloader {
  public:
    // At most this many files are fetched in one run.
    static constexpr size_t kMaxFiles = 256;

    UpdateDownloader(const DataFolder& folder, std::string url);
    UpdateDownloader(const DataFolder& folder, std::string url, HttpFetcher& fetcher);

    // False on the first failed download; update files stored before it
    // stay stored and counted.
    bool run();
    int downloadedCount() const { return downloadedCount_; }
    const std::string& errorText() const { return errorText_; }

  private:
    bool store(const std::string& cacheFile, const std::u16string& fileName);

    const DataFolder& folder_;
    std::vector<std::string> urls_;
    std::unique_ptr<HttpFetcher> ownFetcher_;
    HttpFetcher* fetcher_;
    int downloadedCount_ = 0;
    std::string errorText_;
};

// Whether a name from an update file may name a file of the data folder:
// not empty, at most 63 characters, no folder separators, no "..", no
// control characters.
bool isSafeUpdateFileName(std::u16string_view name);

} // namespace pq
