#include "document/file_reading.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

#include "document/file_descriptor.h"

namespace pq {

namespace {

// Reads into `out` until the end of the file; false with errno set on a
// read error, or when more than maxBytes arrive (the size may change while
// the file is read, and some files report none).
template <typename Buffer>
bool readToEnd(int fd, Buffer& out, int64_t expected, int64_t maxBytes, bool& tooLarge) {
    out.clear();
    out.resize(static_cast<size_t>(expected) + 1);
    size_t got = 0;
    for (;;) {
        if (got == out.size()) {
            if (static_cast<int64_t>(got) > maxBytes) {
                tooLarge = true;
                return false;
            }
            out.resize(std::min<size_t>(2 * out.size() + 4096, static_cast<size_t>(maxBytes) + 1));
        }
        ssize_t n = ::read(fd, out.data() + got, out.size() - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) break;
        got += static_cast<size_t>(n);
        // A file that reads short just as it told its size is at its end;
        // one that tells none is read until a read gives nothing.
        if (expected > 0 && got == static_cast<size_t>(expected)) break;
    }
    if (static_cast<int64_t>(got) > maxBytes) {
        tooLarge = true;
        return false;
    }
    out.resize(got);
    return true;
}

template <typename Buffer>
bool readInto(const std::string& path, Buffer& bytes, std::string& error,
              const ReadOptions& options, ReadFileInfo* info) {
    bytes.clear();
    if (path.empty()) {
        error = describeError(ENOENT);
        return false;
    }
    int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    if (!options.followLinks) flags |= O_NOFOLLOW;
    FileDescriptor fd(::open(path.c_str(), flags));
    if (fd.get() < 0) {
        error = errno == ELOOP && !options.followLinks ? "a symbolic link" : describeError(errno);
        return false;
    }
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0) {
        error = describeError(errno);
        return false;
    }
    if (!S_ISREG(status.st_mode)) {
        error = "not a regular file";
        return false;
    }
    if (status.st_size > options.maxBytes) {
        error = tooLargeText(options.maxBytes);
        return false;
    }
    // The file was opened without blocking, so that a pipe or device in its
    // place could not hold the program up; a regular file never blocks, and
    // reads in the usual way with the flag left on.
    bool tooLarge = false;
    if (!readToEnd(fd.get(), bytes, status.st_size, options.maxBytes, tooLarge)) {
        error = tooLarge ? tooLargeText(options.maxBytes) : describeError(errno);
        bytes.clear();
        return false;
    }
    if (info) {
        info->identity = {status.st_dev, status.st_ino};
        info->modified = status.st_mtime;
        info->accessed = status.st_atime;
        info->size = static_cast<int64_t>(status.st_size);
        info->modifiedNs =
            static_cast<int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    }
    return true;
}

} // namespace

std::optional<FileStamp> stampOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    return FileStamp{{info.st_dev, info.st_ino},
                     static_cast<int64_t>(info.st_size),
                     static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

uint64_t contentHash(const uint8_t* data, size_t size) {
    uint64_t hash = 0xcbf29ce484222325ULL;
    for (size_t i = 0; i < size; ++i) {
        hash ^= data[i];
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

std::optional<FileVersion> versionOf(const std::string& path, std::string* error) {
    std::vector<uint8_t> bytes;
    std::string cause;
    ReadFileInfo info;
    if (!readRegularFile(path, bytes, cause, {}, &info)) {
        if (error) *error = cause;
        return std::nullopt;
    }
    return FileVersion{{info.identity, info.size, info.modifiedNs},
                       contentHash(bytes.data(), bytes.size())};
}

bool readRegularFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error,
                     const ReadOptions& options, ReadFileInfo* info) {
    return readInto(path, bytes, error, options, info);
}

bool readRegularFile(const std::string& path, std::string& bytes, std::string& error,
                     const ReadOptions& options) {
    return readInto(path, bytes, error, options, nullptr);
}

std::string describeError(int errorNumber) {
    std::string text = std::strerror(errorNumber);
    if (!text.empty())
        text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}

std::string tooLargeText(int64_t maxBytes) {
    constexpr int64_t kMiB = 1024 * 1024;
    if (maxBytes > 0 && maxBytes % kMiB == 0)
        return "larger than " + std::to_string(maxBytes / kMiB) + " MiB";
    return "larger than " + std::to_string(maxBytes) + " bytes";
}

} // namespace pq
