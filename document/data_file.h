#pragma once

#include <cstdint>
#include <functional>
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
// ".pqsave-XXXXXX" in the same folder is written and flushed, the file in
// the target's place is compared with the version the writer expects there,
// and only then is the temporary file renamed over it and the folder
// flushed; a failed save leaves the old file as it was. Temporary files more
// than a minute old (left by a program that was killed while saving) are
// removed at the next save into their folder. A save onto a symbolic link
// replaces the file it points to.
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

// What a commit must find in the target's place, checked immediately before
// the new content replaces it.
struct ExpectedOnDisk {
    enum class Kind {
        Anything, // whatever is there is replaced
        Nothing,  // a new file: an existing file of that name is never replaced
        Version,  // the version read or written last (a file that is gone counts as it)
    };
    Kind kind = Kind::Anything;
    FileVersion version;
};

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
    // Writing: puts the collected bytes in place; false when any step
    // fails. The old file is untouched unless only the final flush of the
    // folder failed: the new content is then in place, version() tells it,
    // and the failure is reported all the same, since it may not survive a
    // crash. A file that is not the one expected is a conflict().
    bool commit(const ExpectedOnDisk& expected = {});
    // Closes without committing; a write is abandoned.
    void close();

    bool isOpen() const { return mode_ != Mode::Closed; }
    bool failed() const { return error_; }
    // The last commit found another file than the one expected in the
    // target's place, and left it as it was.
    bool conflict() const { return conflict_; }
    // Why the last open or commit failed: "permission denied", "not a
    // regular file", "no space left on device", ...
    const std::string& errorText() const { return errorText_; }
    // The file that was read, or after a commit the file written.
    std::optional<FileIdentity> identity() const { return identity_; }
    // The version of the file that was read, or after a commit the one
    // written (its stamp taken from the written file before it was closed).
    // The hash of what was read is taken when first asked for: a glance at
    // a file's units needs none.
    std::optional<FileVersion> version() const;
    // The bytes read, or the bytes collected for writing so far.
    const std::vector<uint8_t>& contents() const { return bytes_; }
    const std::string& path() const { return path_; }

    // Byte counts, or -1 when the call fails.
    int64_t read(void* buffer, int64_t count);
    int64_t write(const void* buffer, int64_t count);
    int64_t writeAt(int64_t offset, const void* buffer, int64_t count);
    int64_t size() const;
    int64_t position() const { return static_cast<int64_t>(position_); }
    // Reading: goes to a place in the file; false when it lies outside.
    bool seek(int64_t position);

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

    // Runs in every commit once the new content is on disk, just before the
    // file in the target's place is compared with the one expected: the
    // moment another program's write is hardest to notice. For tests; the
    // argument is the target's path.
    static void setBeforeReplaceHook(std::function<void(const std::string&)> hook);

  private:
    enum class Mode { Closed, Reading, Writing };

    Mode mode_ = Mode::Closed;
    bool error_ = false;
    std::string path_;
    std::vector<uint8_t> bytes_;
    size_t position_ = 0;
    std::u16string text_; // the last text read, kept to spare an allocation per text
    std::optional<FileIdentity> identity_;
    mutable std::optional<FileVersion> version_;
    mutable bool hashPending_ = false; // version_ still lacks the hash of bytes_
    std::optional<FileIdentity> writtenBack_;
    std::string errorText_;
    bool conflict_ = false;
};

// The identity of the file a path names (links followed), if it exists.
std::optional<FileIdentity> identityOf(const std::string& path);

} // namespace pq
