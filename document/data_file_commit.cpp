// Putting a written data file in place: a temporary file beside the target,
// compared with what the writer expects immediately before the rename.
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <random>

#include "document/data_file.h"
#include "document/file_descriptor.h"
#include "engine/text.h"

namespace pq {

namespace {

// The entry of a folder whose name differs from `name` in case alone.
std::optional<std::string> caseVariant(const std::string& folder, const std::string& name) {
    const std::u16string wanted = fromUtf8(name);
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string candidate = entry.path().filename().string();
        if (candidate != name && equalsIgnoreCase(fromUtf8(candidate), wanted)) return candidate;
    }
    return std::nullopt;
}

bool isTemporaryName(std::string_view name) {
    const std::string_view prefix = DataFile::kTemporaryPrefix;
    return name.size() == prefix.size() + 6 && name.starts_with(prefix);
}

// Removes the temporary files of saves that never finished: those older
// than a minute (a save in progress is younger).
void removeStaleTemporaries(const std::string& folder) {
    std::error_code error;
    const time_t now = ::time(nullptr);
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (!isTemporaryName(name)) continue;
        struct stat info {};
        const std::string path = folder + name;
        if (::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && now - info.st_mtime > 60)
            ::unlink(path.c_str());
    }
}

// The file a save of `path` replaces: the target of a symbolic link, the
// file whose name differs in case alone when it is the one written back.
// False with the reason when the save must not go ahead.
bool saveTarget(const std::string& path, const std::optional<FileIdentity>& writtenBack,
                std::string& target, std::string& error) {
    struct stat info {};
    target = path;
    if (::lstat(path.c_str(), &info) != 0) {
        if (errno != ENOENT) {
            error = describeError(errno);
            return false;
        }
        const std::string folder = folderOf(path);
        const auto variant = caseVariant(folder, fileNameOf(path));
        if (!variant) return true; // a new file
        const auto identity = identityOf(folder + *variant);
        if (!writtenBack || identity != writtenBack) {
            error = "a file named " + *variant + " exists already";
            return false;
        }
        target = folder + *variant;
        if (::lstat(target.c_str(), &info) != 0) {
            error = describeError(errno);
            return false;
        }
    }
    if (S_ISLNK(info.st_mode)) {
        char* real = ::realpath(target.c_str(), nullptr);
        if (!real) {
            error =
                "a symbolic link to a file that cannot be reached (" + describeError(errno) + ")";
            return false;
        }
        target = real;
        std::free(real);
        if (::stat(target.c_str(), &info) != 0) {
            error = describeError(errno);
            return false;
        }
    }
    if (!S_ISREG(info.st_mode)) {
        error = "not a regular file";
        return false;
    }
    return true;
}

// Flushes a folder's entries (a rename in it) to the disk; false with errno
// set when that fails.
bool syncFolder(const std::string& folder) {
    FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0) return false;
    if (::fsync(fd.get()) != 0) {
        // Some file systems cannot flush a folder at all; that is no failure.
        return errno == EINVAL || errno == EROFS;
    }
    return true;
}

// Creates a new temporary file in the folder, named ".pqsave-" and six
// random characters, with `mode` as the umask lets it be (the umask itself
// is never changed: another thread may be creating files too). The
// descriptor, or -1 with errno set.
int createTemporary(const std::string& folder, mode_t mode, std::string& path) {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937_64 random{std::random_device{}() ^ static_cast<uint64_t>(::getpid())
                                                                     << 32};
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = folder + DataFile::kTemporaryPrefix;
        for (int i = 0; i < 6; ++i) path += kLetters[random() % (sizeof kLetters - 1)];
        const int fd =
            ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

// Renames without ever replacing a file of the new name: -1 with EEXIST
// when one is there.
int renameNoReplace(const std::string& from, const std::string& to) {
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return -1;
#endif
    // A hard link is never made over an existing name either.
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return 0;
    }
    if (errno == EEXIST || (errno != EPERM && errno != ENOTSUP)) return -1;
    // A file system without hard links: as close as it allows.
    struct stat info {};
    if (::lstat(to.c_str(), &info) == 0) {
        errno = EEXIST;
        return -1;
    }
    return ::rename(from.c_str(), to.c_str());
}

enum class Found { Expected, Other, Unreadable };

// Whether the file in the target's place is the one the writer expects.
Found compareOnDisk(const std::string& target, const ExpectedOnDisk& expected, std::string& cause) {
    switch (expected.kind) {
    case ExpectedOnDisk::Kind::Anything: return Found::Expected;
    case ExpectedOnDisk::Kind::Nothing: {
        struct stat info {};
        return ::lstat(target.c_str(), &info) == 0 ? Found::Other : Found::Expected;
    }
    case ExpectedOnDisk::Kind::Version: break;
    }
    struct stat info {};
    if (::stat(target.c_str(), &info) != 0 && errno == ENOENT) return Found::Expected;
    const std::optional<FileVersion> now = versionOf(target, &cause);
    if (!now) return Found::Unreadable;
    return *now == expected.version ? Found::Expected : Found::Other;
}

std::function<void(const std::string&)>& beforeReplaceHook() {
    static std::function<void(const std::string&)> hook;
    return hook;
}

} // namespace

void DataFile::setBeforeReplaceHook(std::function<void(const std::string&)> hook) {
    beforeReplaceHook() = std::move(hook);
}

bool DataFile::commit(const ExpectedOnDisk& expected) {
    conflict_ = false;
    if (mode_ != Mode::Writing || error_) {
        if (mode_ == Mode::Writing) errorText_ = "the content cannot be stored in a data file";
        close();
        return false;
    }
    std::string target;
    if (!saveTarget(path_, writtenBack_, target, errorText_)) {
        close();
        return false;
    }
    const std::string folder = folderOf(target);
    removeStaleTemporaries(folder);
    // The new file keeps the old one's permissions; a new file gets the
    // usual ones for the user's umask.
    struct stat old {};
    const bool replacing = ::stat(target.c_str(), &old) == 0;
    std::string temp;
    FileDescriptor fd(createTemporary(folder, replacing ? (old.st_mode & 0777) : 0666, temp));
    if (fd.get() < 0) {
        errorText_ = describeError(errno);
        close();
        return false;
    }
    struct stat written {};
    bool ok = (!replacing || ::fchmod(fd.get(), old.st_mode & 07777) == 0) &&
              writeAll(fd.get(), bytes_.data(), bytes_.size()) && ::fsync(fd.get()) == 0 &&
              ::fstat(fd.get(), &written) == 0;
    int cause = ok ? 0 : errno;
    if (!fd.closeChecked() && ok) {
        ok = false;
        cause = errno;
    }
    if (ok && beforeReplaceHook()) beforeReplaceHook()(target);
    // The last moment before the rename: another program's version of the
    // file is never replaced unasked.
    if (ok) {
        switch (compareOnDisk(target, expected, errorText_)) {
        case Found::Expected: break;
        case Found::Other:
            conflict_ = true;
            errorText_ = expected.kind == ExpectedOnDisk::Kind::Nothing
                             ? "a file of that name exists already"
                             : "another program changed the file";
            ok = false;
            break;
        case Found::Unreadable:
            errorText_ = "the file on disk cannot be read to compare it (" + errorText_ + ")";
            ok = false;
            break;
        }
    } else {
        errorText_ = describeError(cause);
    }
    if (ok) {
        const bool renamed = expected.kind == ExpectedOnDisk::Kind::Nothing
                                 ? renameNoReplace(temp, target) == 0
                                 : ::rename(temp.c_str(), target.c_str()) == 0;
        if (!renamed) {
            ok = false;
            conflict_ = errno == EEXIST && expected.kind == ExpectedOnDisk::Kind::Nothing;
            errorText_ = conflict_ ? "a file of that name exists already" : describeError(errno);
        }
    }
    if (!ok) {
        ::unlink(temp.c_str());
        close();
        return false;
    }
    // The rename reaches the disk only with its folder.
    const bool synced = syncFolder(folder);
    cause = errno;
    const uint64_t hash = contentHash(bytes_.data(), bytes_.size());
    close();
    identity_ = FileIdentity{written.st_dev, written.st_ino};
    version_ = FileVersion{
        {*identity_, static_cast<int64_t>(written.st_size),
         static_cast<int64_t>(written.st_mtim.tv_sec) * 1000000000 + written.st_mtim.tv_nsec},
        hash};
    if (!synced) {
        errorText_ = "the folder could not be flushed to the disk (" + describeError(cause) + ")";
        return false;
    }
    return true;
}

} // namespace pq
