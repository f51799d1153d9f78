#pragma once

#include <string>

namespace pq {

// Where a document's file lives: the data folder, always ending in "/".
class DataFolder {
  public:
    virtual ~DataFolder() = default;
    virtual const std::string& folder() const = 0;
};

// A data folder given by its path.
class PlainFolder : public DataFolder {
  public:
    explicit PlainFolder(std::string path) : path_(std::move(path)) {
        if (path_.empty() || path_.back() != '/') path_ += '/';
    }
    const std::string& folder() const override { return path_; }

  private:
    std::string path_;
};

} // namespace pq
