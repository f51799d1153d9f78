#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pq {

// Every file the programs read is at most this large.
constexpr int64_t kMaxReadSize = 64 * 1024 * 1024;

// Where a file lives on its device: two paths name the same file when these
// agree.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

// What tells one version of a file from another: where it lives, its size
// and its modification time. A file rewritten by another program differs in
// at least one of them.
struct FileStamp {
    FileIdentity identity;
    int64_t size = 0;
    int64_t modifiedNs = 0;
    bool operator==(const FileStamp&) const = default;
};

// The stamp of the file a path names (links followed), if it exists.
std::optional<FileStamp> stampOf(const std::string& path);

// One version of a file's content: its stamp and a hash of its bytes. A
// change that keeps the size and puts the modification time back still
// changes the hash.
struct FileVersion {
    FileStamp stamp;
    uint64_t contentHash = 0;
    bool operator==(const FileVersion&) const = default;
};

// A 64-bit hash of bytes (FNV-1a).
uint64_t contentHash(const uint8_t* data, size_t size);

// What one read found out about the file.
struct ReadFileInfo {
    FileIdentity identity;
    time_t modified = 0;
    time_t accessed = 0;
    int64_t size = 0;
    int64_t modifiedNs = 0; // the modification time in nanoseconds since 1970
};

struct ReadOptions {
    int64_t maxBytes = kMaxReadSize;
    // False: a symbolic link in the last place of the path is refused.
    bool followLinks = true;
};

// Reads a whole regular file. The file is opened without blocking (a FIFO or
// a device never stalls the caller), checked to be a regular file on the
// descriptor that is then read, and read to its end, never beyond maxBytes.
// False with the cause in `error` ("no such file or directory", "permission
// denied", "not a regular file", "larger than 64 MiB", ...) on any failure;
// a read error is never taken for an empty file.
bool readRegularFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error,
                     const ReadOptions& options = {}, ReadFileInfo* info = nullptr);
bool readRegularFile(const std::string& path, std::string& bytes, std::string& error,
                     const ReadOptions& options = {});

// The version of the file a path names, read whole; none (with the cause in
// `error`) when it cannot be read.
std::optional<FileVersion> versionOf(const std::string& path, std::string* error = nullptr);

// The system's text for an error number, starting in lower case:
// "permission denied", "no space left on device".
std::string describeError(int errorNumber);

// "larger than 64 MiB", or in bytes when the limit is no whole MiB.
std::string tooLargeText(int64_t maxBytes);

} // namespace pq
