#include "calculator/user_functions.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "engine/expression_engine.h"

namespace pq::calc {

namespace {

void putWord(std::string& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void putText(std::string& out, std::u16string_view text) {
    putWord(out, static_cast<uint32_t>(text.size()));
    for (char16_t c : text) {
        out.push_back(static_cast<char>(c & 0xFF));
        out.push_back(static_cast<char>(c >> 8));
    }
}

class Reader {
  public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}

    bool word(uint32_t& value) {
        if (bytes_.size() - position_ < 4) return false;
        value = 0;
        for (int i = 0; i < 4; ++i)
            value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes_[position_ + i]))
                     << (8 * i);
        position_ += 4;
        return true;
    }

    bool text(std::u16string& value) {
        uint32_t count = 0;
        if (!word(count) || count > (bytes_.size() - position_) / 2) return false;
        value.resize(count);
        for (uint32_t i = 0; i < count; ++i) {
            const auto low = static_cast<unsigned char>(bytes_[position_ + 2 * i]);
            const auto high = static_cast<unsigned char>(bytes_[position_ + 2 * i + 1]);
            value[i] = static_cast<char16_t>(low | (high << 8));
        }
        position_ += 2 * static_cast<size_t>(count);
        return true;
    }

    size_t left() const { return bytes_.size() - position_; }

  private:
    std::string_view bytes_;
    size_t position_ = 0;
};

// The smallest record: three empty texts and the reserved word.
constexpr size_t kMinRecordSize = 16;

} // namespace

std::string EncodeFunctionFile(const UserFunctionList& functions) {
    std::string out;
    putWord(out, static_cast<uint32_t>(functions.size()));
    for (const UserFunction& function : functions) {
        putText(out, function.name);
        putText(out, function.declaration);
        putText(out, function.formula);
        putWord(out, 0);
    }
    return out;
}

bool DecodeFunctionFile(std::string_view bytes, UserFunctionList& functions) {
    functions.clear();
    Reader reader(bytes);
    uint32_t count = 0;
    if (!reader.word(count)) return false;
    for (uint32_t i = 0; i < count; ++i) {
        if (reader.left() < kMinRecordSize) return false;
        UserFunction function;
        uint32_t reserved = 0;
        if (!reader.text(function.name) || !reader.text(function.declaration) ||
            !reader.text(function.formula) || !reader.word(reserved))
            return false;
        functions.push_back(std::move(function));
    }
    return reader.left() == 0;
}

int RegisterFunctions(ExpressionEngine& engine, UserFunctionList& functions) {
    int dropped = 0;
    UserFunctionList kept;
    kept.reserve(functions.size());
    for (UserFunction& function : functions) {
        int parameters = 0;
        if (function.declaration.empty() || function.formula.empty() ||
            !engine.defineFunction(function.declaration, function.formula, parameters)) {
            ++dropped;
            continue;
        }
        function.paramCount = parameters;
        function.isNew = false;
        kept.push_back(std::move(function));
    }
    functions = std::move(kept);
    return dropped;
}

std::u16string CallName(std::u16string_view declaration) {
    return std::u16string(declaration.substr(0, declaration.find(u'(')));
}

FileStatus ReadFunctionFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return errno == ENOENT ? FileStatus::Missing : FileStatus::ReadError;
    struct stat info {};
    FileStatus status = FileStatus::Ok;
    if (::fstat(fd, &info) != 0) {
        status = FileStatus::ReadError;
    } else if (!S_ISREG(info.st_mode)) {
        status = FileStatus::NotAFile;
    } else if (static_cast<unsigned long long>(info.st_size) > kMaxFunctionFileSize) {
        status = FileStatus::TooLarge;
    } else {
        char buffer[4096];
        for (;;) {
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) {
                status = FileStatus::ReadError;
                break;
            }
            if (got == 0) break;
            bytes.append(buffer, static_cast<size_t>(got));
            if (bytes.size() > kMaxFunctionFileSize) {
                status = FileStatus::TooLarge; // grew while being read
                break;
            }
        }
    }
    ::close(fd);
    if (status != FileStatus::Ok) bytes.clear();
    return status;
}

bool WriteFunctionFile(const std::string& path, std::string_view bytes, std::string& error) {
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    bool ok = true;
    size_t written = 0;
    while (ok && written < bytes.size()) {
        const ssize_t put = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            error = std::strerror(put < 0 ? errno : ENOSPC);
            ok = false;
        } else {
            written += static_cast<size_t>(put);
        }
    }
    if (ok && ::fchmod(fd, 0644) != 0) {
        error = std::strerror(errno);
        ok = false;
    }
    if (ok && ::fsync(fd) != 0) {
        error = std::strerror(errno);
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        error = std::strerror(errno);
        ok = false;
    }
    if (ok && ::rename(temporary.c_str(), path.c_str()) != 0) {
        error = std::strerror(errno);
        ok = false;
    }
    if (!ok) ::unlink(temporary.c_str());
    return ok;
}

} // namespace pq::calc
