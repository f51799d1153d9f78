#pragma once

#include <string>

namespace pq {

// A folder of its own for downloaded files, made in the system's temporary
// folder and removed with everything in it when the object ends, however
// the download ends.
class DownloadFolder {
  public:
    // The folder's name starts with `prefix` ("pqconv-rates-").
    explicit DownloadFolder(const std::string& prefix);
    ~DownloadFolder();
    DownloadFolder(const DownloadFolder&) = delete;
    DownloadFolder& operator=(const DownloadFolder&) = delete;

    // False when no folder could be made.
    bool valid() const { return !path_.empty(); }
    // The path of a file of that name in the folder.
    std::string file(const std::string& name) const { return path_ + name; }

  private:
    std::string path_; // ends in "/"; empty when none could be made
};

} // namespace pq
