// How a document meets its file after reading: whether the file was read
// whole and may be written, whether it changed on disk, saving a changed
// document, reading it again, and repairing a damaged file.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "document/data_file.h"
#include "document/document.h"
#include "engine/text.h"

namespace pq {

namespace {

// Why this user may not write the file at path (existing or not) or its
// folder; empty when both may be written. Write bits that are all cleared
// count as "read-only" whoever runs the program: the file's owner marked
// it so.
std::string writeProblem(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        if (::access(path.c_str(), W_OK) != 0)
            return errno == EROFS ? "the file system is read-only"
                                  : "you have no permission to write it";
        if ((info.st_mode & 0222) == 0) return "the file is marked read-only";
    }
    const std::string folder = folderOf(path);
    if (::access(folder.c_str(), W_OK | X_OK) != 0) {
        if (errno == ENOENT) return "its folder does not exist";
        return errno == EROFS ? "the file system is read-only"
                              : "you have no permission to write its folder";
    }
    if (::stat(folder.c_str(), &info) == 0 && (info.st_mode & 0222) == 0)
        return "its folder is marked read-only";
    return {};
}

// Writes bytes into a new file of the folder, never over an existing one:
// "<name><suffix>", else "<name><suffix>-2", "-3", ... The name taken goes
// to `taken`; false with the cause when no copy could be made.
bool writeBackup(const std::string& path, const char* suffix, const std::vector<uint8_t>& bytes,
                 mode_t mode, std::string& taken, std::string& cause) {
    for (int n = 1; n < 1000; ++n) {
        taken = fileNameOf(path) + suffix + (n == 1 ? std::string() : "-" + std::to_string(n));
        const std::string backup = folderOf(path) + taken;
        const int fd = ::open(backup.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            cause = describeError(errno);
            return false;
        }
        bool ok = writeAll(fd, bytes.data(), bytes.size()) && ::fsync(fd) == 0;
        int error = ok ? 0 : errno;
        if (::close(fd) != 0 && ok) {
            ok = false;
            error = errno;
        }
        if (ok) return true;
        ::unlink(backup.c_str()); // a partial copy is no backup
        cause = describeError(error);
        return false;
    }
    cause = "too many earlier copies";
    return false;
}

enum class Original { Read, Missing, Changed, Unreadable };

// The bytes of the file at path when it is still `expected` (or, without
// one, whatever it is).
Original readOriginal(const std::string& path, const std::optional<FileVersion>& expected,
                      std::vector<uint8_t>& bytes, std::string& cause) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 && errno == ENOENT) return Original::Missing;
    ReadFileInfo read;
    if (!readRegularFile(path, bytes, cause, {}, &read)) return Original::Unreadable;
    const FileVersion found{{read.identity, read.size, read.modifiedNs},
                            contentHash(bytes.data(), bytes.size())};
    return expected && found != *expected ? Original::Changed : Original::Read;
}

} // namespace

void Document::judgeRead(const DataFile& file, const std::string& path) {
    readState_ = ReadState{};
    const bool stray = file.position() < file.size();
    if (droppedUnits_ > 0 || droppedConversions_ != 0 || stray) {
        readState_.kind = ReadState::Kind::Damaged;
        readState_.unitsInFile = itemCount;
        readState_.droppedUnits = droppedUnits_;
        readState_.conversionsInFile = conversionsInFile_;
        readState_.droppedConversions = droppedConversions_;
        readState_.strayBytes = stray && droppedUnits_ == 0 && droppedConversions_ == 0;
        return;
    }
    // A file read to find units in is never written: its write rights do
    // not matter.
    if (lookingOnly_) {
        readState_.kind = ReadState::Kind::ReadOnly;
        readState_.reason = "read to find units in";
        return;
    }
    if (std::string problem = writeProblem(resolveFileCase(path)); !problem.empty()) {
        readState_.kind = ReadState::Kind::ReadOnly;
        readState_.reason = std::move(problem);
    }
}

std::vector<uint8_t> Document::image() const {
    DataFile file;
    file.openWrite("image");
    writeContent(file);
    return file.contents();
}

bool Document::changedOnDisk(const DataFolder& folder) const {
    if (!version_) return false;
    std::vector<uint8_t> bytes;
    std::string cause;
    const Original found = readOriginal(resolveFileCase(filePath(folder)), version_, bytes, cause);
    return found == Original::Changed || found == Original::Unreadable;
}

bool Document::keepLegacyCopy(const std::string& path, bool replaceChanged, SaveResult& result) {
    std::vector<uint8_t> original;
    switch (readOriginal(path, replaceChanged ? std::nullopt : version_, original, result.cause)) {
    case Original::Read: break;
    case Original::Missing: return true; // nothing left to keep
    case Original::Changed: result.outcome = SaveResult::Outcome::ChangedOnDisk; return false;
    case Original::Unreadable: result.outcome = SaveResult::Outcome::Failed; return false;
    }
    struct stat status {};
    const mode_t mode = ::stat(path.c_str(), &status) == 0 ? (status.st_mode & 0777) : 0600;
    std::string taken;
    if (!writeBackup(path, ".legacy", original, mode, taken, result.cause)) {
        result.cause = "its bytes in the older format could not be kept (" + result.cause + ")";
        result.outcome = SaveResult::Outcome::Failed;
        return false;
    }
    legacyKept_ = true;
    return true;
}

SaveResult Document::saveChanges(const DataFolder& folder, bool replaceChanged) {
    SaveResult result;
    result.file = toUtf8(fileNameWithExtension());
    if (!loaded || !modified_) return result;
    if (!editable()) {
        result.outcome = SaveResult::Outcome::NotEditable;
        result.cause = readState_.reason;
        return result;
    }
    const std::string path = resolveFileCase(filePath(folder));
    if (std::string problem = writeProblem(path); !problem.empty()) {
        result.outcome = SaveResult::Outcome::Failed;
        result.cause = std::move(problem);
        return result;
    }
    // A new document never replaces a file it did not read; a read one only
    // the version read or saved last, unless the user chose to replace it.
    ExpectedOnDisk expected;
    if (!version_) {
        expected.kind = ExpectedOnDisk::Kind::Nothing;
    } else if (!replaceChanged) {
        expected.kind = ExpectedOnDisk::Kind::Version;
        expected.version = *version_;
    }
    if (legacy_ && !legacyKept_ && !keepLegacyCopy(path, replaceChanged, result)) return result;
    result.outcome = commitTo(path, expected, true);
    if (result.outcome == SaveResult::Outcome::Failed) result.cause = errorText_;
    return result;
}

bool Document::reload(const DataFolder& folder) {
    currentItem = nullptr;
    appliedUpdate_.clear(); // an update applied in memory waits in its file again
    loaded = load(folder, true);
    return loaded;
}

SaveResult Document::repair(const DataFolder& folder, std::string& backup) {
    SaveResult result;
    result.file = toUtf8(fileNameWithExtension());
    if (readState_.kind != ReadState::Kind::Damaged || !loaded) return result;
    const std::string path = resolveFileCase(filePath(folder));
    result.outcome = SaveResult::Outcome::Failed;
    if (std::string problem = writeProblem(path); !problem.empty()) {
        result.cause = std::move(problem);
        return result;
    }
    std::vector<uint8_t> original;
    switch (readOriginal(path, version_, original, result.cause)) {
    case Original::Read: break;
    case Original::Missing: result.cause = describeError(ENOENT); return result;
    case Original::Changed: result.outcome = SaveResult::Outcome::ChangedOnDisk; return result;
    case Original::Unreadable: return result;
    }
    struct stat status {};
    const mode_t mode = ::stat(path.c_str(), &status) == 0 ? (status.st_mode & 0777) : 0600;
    if (!writeBackup(path, ".damaged", original, mode, backup, result.cause)) return result;
    readState_ = ReadState{};
    // A damaged file in the older format is kept whole in the backup.
    legacyKept_ = true;
    markModified();
    return saveChanges(folder);
}

} // namespace pq
