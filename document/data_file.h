#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "document/file_reading.h"
#include "engine/wstring.h"

namespace pq {

// Access to one data file. Reading takes the whole file into memory when it
// is opened (data files are small; larger ones than kMaxFileSize are
// refused, and so is anything but a regular file). Writing collects the
// bytes and commit() puts them in place atomically: a temporary file named
// ".pqsave-XXXXXX" in the same folder is written, flushed and renamed over
// the old one, and the folder is flushed, so that a failed save leaves the
// old file as it was. Temporary files more than a minute old (left by a
// program that was killed while saving) are removed at the next save into
// their folder. A save onto a symbolic link replaces the file it points to.
// Integers are 32-bit little-endian, doubles IEEE little-endian, texts a
// 32-bit count followed by that many UTF-16LE units.
// File names in the data folder are compared without regard to case: a path
// that does not exist as written names the file whose name differs from it
// only in case, when there is one.
std::string resolveFileCase(const std::string& path);

// The folder of a path with its final slash; "./" for a bare file name.
std::string folderOf(const std::string& path);
// The last part of a path: the file's own name.
std::string fileNameOf(const std::string& path);

// Writes all `size` bytes to `fd`, going on after interrupted writes; false
// on an error, with errno telling which.
bool writeAll(int fd, const uint8_t* data, size_t size);

class DataFile {
  public:
    static constexpr int64_t kMaxFileSize = 64 * 1024 * 1024;
    static constexpr int32_t kMaxTextLength = 65535;

    DataFile() = default;
    ~DataFile();
    DataFile(const DataFile&) = delete;
    DataFile& operator=(const DataFile&) = delete;

    static constexpr const char* kTemporaryPrefix = ".pqsave-";

    bool openRead(const std::string& path);
    // A file whose name differs from path only in case is replaced only when
    // it is writtenBack, the file this content was read from; otherwise the
    // save is refused.
    bool openWrite(const std::string& path, std::optional<FileIdentity> writtenBack = {});
    // Reads bytes held in memory (a document's image) as a file would be
    // read; no file is opened.
    void openBytes(std::vector<uint8_t> bytes);
    // Writing: puts the collected bytes in place; false (and the old file
    // untouched) when any step fails.
    bool commit();
    // Closes without committing; a write is abandoned.
    void close();

    bool isOpen() const { return mode_ != Mode::Closed; }
    bool failed() const { return error_; }
    // Why the last open or commit failed: "permission denied", "not a
    // regular file", "no space left on device", ...
    const std::string& errorText() const { return errorText_; }
    // The file that was read, or after a commit the file written.
    std::optional<FileIdentity> identity() const { return identity_; }
    // The version of the file that was read, or after a commit the one
    // written.
    std::optional<FileStamp> stamp() const { return stamp_; }
    // The bytes read, or the bytes collected for writing so far.
    const std::vector<uint8_t>& contents() const { return bytes_; }
    const std::string& path() const { return path_; }

    // Byte counts, or -1 when the call fails.
    int64_t read(void* buffer, int64_t count);
    int64_t write(const void* buffer, int64_t count);
    int64_t writeAt(int64_t offset, const void* buffer, int64_t count);
    int64_t size() const;
    int64_t position() const { return static_cast<int64_t>(position_); }

    bool readInt32(int32_t& value);
    bool readDouble(double& value);
    // Returns the bytes taken, 4 + 2 x length, or 0 when the length cannot be
    // read or lies outside 0..65535, or the characters run past the end.
    int64_t readText(WString& text);
    bool writeInt32(int32_t value);
    bool writeDouble(double value);
    // Returns the size of the text's record; without an open file it only
    // returns that size.
    int64_t writeText(std::u16string_view text);
    // Reads bytes up to CR or LF (consumed, not stored), each byte one
    // character; returns the bytes consumed, 0 at the end of the file.
    int64_t readLine(WString& line);

  private:
    enum class Mode { Closed, Reading, Writing };

    Mode mode_ = Mode::Closed;
    bool error_ = false;
    std::string path_;
    std::vector<uint8_t> bytes_;
    size_t position_ = 0;
    std::u16string text_; // the last text read, kept to spare an allocation per text
    std::optional<FileIdentity> identity_;
    std::optional<FileStamp> stamp_;
    std::optional<FileIdentity> writtenBack_;
    std::string errorText_;
};

// The identity of the file a path names (links followed), if it exists.
std::optional<FileIdentity> identityOf(const std::string& path);

} // namespace pq
