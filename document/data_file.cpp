#include "document/data_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "engine/text.h"

namespace pq {

bool writeAll(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

std::string fileNameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

std::string resolveFileCase(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) return path;
    const std::string folder = folderOf(path);
    const std::u16string wanted = fromUtf8(fileNameOf(path));
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string candidate = entry.path().filename().string();
        if (equalsIgnoreCase(fromUtf8(candidate), wanted)) return folder + candidate;
    }
    return path;
}

std::optional<FileIdentity> identityOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    return FileIdentity{info.st_dev, info.st_ino};
}

DataFile::~DataFile() { close(); }

void DataFile::close() {
    mode_ = Mode::Closed;
    error_ = false;
    path_.clear();
    bytes_.clear();
    bytes_.shrink_to_fit();
    position_ = 0;
    identity_.reset();
    version_.reset();
    hashPending_ = false;
    writtenBack_.reset();
}

bool DataFile::openRead(const std::string& path) {
    close();
    errorText_.clear();
    ReadFileInfo info;
    std::string error;
    // The name as given is tried first: it is nearly always right.
    bool read = readRegularFile(path, bytes_, error, {kMaxFileSize, true}, &info);
    if (!read) {
        const std::string resolved = resolveFileCase(path);
        if (resolved != path)
            read = readRegularFile(resolved, bytes_, error, {kMaxFileSize, true}, &info);
    }
    if (!read) {
        errorText_ = error;
        error_ = true;
        return false;
    }
    identity_ = info.identity;
    version_ = FileVersion{{info.identity, info.size, info.modifiedNs}, 0};
    hashPending_ = true;
    mode_ = Mode::Reading;
    path_ = path;
    return true;
}

std::optional<FileVersion> DataFile::version() const {
    if (hashPending_) {
        version_->contentHash = contentHash(bytes_.data(), bytes_.size());
        hashPending_ = false;
    }
    return version_;
}

void DataFile::openBytes(std::vector<uint8_t> bytes) {
    close();
    errorText_.clear();
    bytes_ = std::move(bytes);
    mode_ = Mode::Reading;
}

bool DataFile::openWrite(const std::string& path, std::optional<FileIdentity> writtenBack) {
    close();
    errorText_.clear();
    if (path.empty()) {
        errorText_ = describeError(ENOENT);
        return false;
    }
    mode_ = Mode::Writing;
    path_ = path;
    writtenBack_ = writtenBack;
    return true;
}

int64_t DataFile::read(void* buffer, int64_t count) {
    if (mode_ != Mode::Reading || count < 0) return -1;
    size_t n = std::min(static_cast<size_t>(count), bytes_.size() - position_);
    if (n > 0) std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += n;
    return static_cast<int64_t>(n);
}

int64_t DataFile::write(const void* buffer, int64_t count) {
    if (mode_ != Mode::Writing || count < 0) return -1;
    if (bytes_.size() + static_cast<size_t>(count) > static_cast<size_t>(kMaxFileSize)) {
        error_ = true;
        return -1;
    }
    const uint8_t* p = static_cast<const uint8_t*>(buffer);
    bytes_.insert(bytes_.end(), p, p + count);
    return count;
}

int64_t DataFile::writeAt(int64_t offset, const void* buffer, int64_t count) {
    if (mode_ != Mode::Writing || offset < 0 || count < 0 ||
        static_cast<size_t>(offset + count) > bytes_.size())
        return -1;
    std::memcpy(bytes_.data() + offset, buffer, static_cast<size_t>(count));
    return count;
}

bool DataFile::seek(int64_t position) {
    if (mode_ != Mode::Reading || position < 0 || static_cast<size_t>(position) > bytes_.size())
        return false;
    position_ = static_cast<size_t>(position);
    return true;
}

int64_t DataFile::size() const {
    return mode_ == Mode::Closed ? -1 : static_cast<int64_t>(bytes_.size());
}

bool DataFile::readInt32(int32_t& value) {
    uint8_t b[4];
    if (read(b, 4) != 4) return false;
    value =
        static_cast<int32_t>(static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
                             static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24);
    return true;
}

bool DataFile::readDouble(double& value) {
    uint8_t b[8];
    if (read(b, 8) != 8) return false;
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = bits << 8 | b[i];
    std::memcpy(&value, &bits, 8);
    return true;
}

int64_t DataFile::readText(WString& text) {
    int32_t length;
    if (!readInt32(length) || length < 0 || length > kMaxTextLength) return 0;
    const size_t bytes = 2 * static_cast<size_t>(length);
    if (bytes > bytes_.size() - position_) return 0;
    text_.resize(static_cast<size_t>(length));
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(text_.data(), bytes_.data() + position_, bytes);
    } else {
        for (size_t i = 0; i < text_.size(); ++i)
            text_[i] = static_cast<char16_t>(bytes_[position_ + 2 * i] |
                                             bytes_[position_ + 2 * i + 1] << 8);
    }
    position_ += bytes;
    if (!text.assign(text_)) return 0;
    return 4 + static_cast<int64_t>(bytes);
}

bool DataFile::writeInt32(int32_t value) {
    const uint32_t u = static_cast<uint32_t>(value);
    const uint8_t b[4] = {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8),
                          static_cast<uint8_t>(u >> 16), static_cast<uint8_t>(u >> 24)};
    return write(b, 4) == 4;
}

bool DataFile::writeDouble(double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, 8);
    uint8_t b[8];
    for (int i = 0; i < 8; ++i) b[i] = static_cast<uint8_t>(bits >> (8 * i));
    return write(b, 8) == 8;
}

int64_t DataFile::writeText(std::u16string_view text) {
    const int64_t size = 4 + 2 * static_cast<int64_t>(text.size());
    if (mode_ != Mode::Writing) return size;
    if (text.size() > static_cast<size_t>(kMaxTextLength)) {
        error_ = true; // a longer text could not be read back
        return -1;
    }
    if (!writeInt32(static_cast<int32_t>(text.size()))) return -1;
    std::vector<uint8_t> units(2 * text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        units[2 * i] = static_cast<uint8_t>(text[i]);
        units[2 * i + 1] = static_cast<uint8_t>(text[i] >> 8);
    }
    if (write(units.data(), static_cast<int64_t>(units.size())) < 0) return -1;
    return size;
}

int64_t DataFile::readLine(WString& line) {
    line.assign(std::u16string_view());
    if (mode_ != Mode::Reading || position_ >= bytes_.size()) return 0;
    size_t start = position_;
    size_t end = start;
    while (end < bytes_.size() && bytes_[end] != '\r' && bytes_[end] != '\n') ++end;
    line.assign8bit(bytes_.data() + start, static_cast<int32_t>(end - start));
    position_ = end < bytes_.size() ? end + 1 : end;
    return static_cast<int64_t>(position_ - start);
}

} // namespace pq
