#include "tools/converter_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "document/file_reading.h"
#include "engine/text.h"

#ifndef PQ_SHARE_FROM_PROGRAM
#define PQ_SHARE_FROM_PROGRAM "../share/pqsuite/"
#endif

namespace pq::tool {

namespace {

// The converter's settings record: 900 bytes, the data folder as 128
// UTF-16LE characters from byte 384, ended by a zero character.
constexpr size_t kRecordSize = 900;
constexpr size_t kFolderOffset = 384;
constexpr size_t kFolderChars = 128;

std::string withSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

bool isFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// $NAME, or $HOME followed by the fallback, as the desktop's base folders are
// found.
std::string baseFolder(const char* name, const char* belowHome) {
    std::string folder = environment(name);
    if (!folder.empty() && folder.front() == '/') return withSlash(folder);
    const std::string home = environment("HOME");
    return home.empty() ? std::string() : withSlash(home) + belowHome;
}

std::string programFolder() {
    std::string path(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || static_cast<size_t>(length) >= path.size()) return "/";
    path.resize(static_cast<size_t>(length));
    return path.substr(0, path.rfind('/') + 1);
}

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int hexValue(char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; }

// A value of the settings file without its quotes and escapes (\0, \xHH,
// \n, ...), one byte a character.
std::string unescaped(std::string_view value) {
    std::string out;
    for (size_t i = 0; i < value.size();) {
        const char c = value[i++];
        if (c == '"') continue;
        if (c != '\\' || i >= value.size()) {
            out += c;
            continue;
        }
        const char e = value[i++];
        if (e == 'x') {
            unsigned code = 0;
            while (i < value.size() && isHexDigit(value[i])) code = code * 16 + hexValue(value[i++]);
            out += static_cast<char>(code & 0xFF);
        } else if (e >= '0' && e <= '7') {
            unsigned code = static_cast<unsigned>(e - '0');
            while (i < value.size() && value[i] >= '0' && value[i] <= '7')
                code = code * 8 + static_cast<unsigned>(value[i++] - '0');
            out += static_cast<char>(code & 0xFF);
        } else {
            static constexpr std::string_view kFrom = "abfnrtv", kTo = "\a\b\f\n\r\t\v";
            const size_t k = kFrom.find(e);
            out += k == std::string_view::npos ? e : kTo[k];
        }
    }
    return out;
}

} // namespace

std::optional<std::string> DataFolderFromSettings(std::string_view iniText) {
    std::string_view section;
    while (!iniText.empty()) {
        const size_t end = iniText.find('\n');
        std::string_view line = iniText.substr(0, end);
        iniText = end == std::string_view::npos ? std::string_view() : iniText.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.starts_with('[')) {
            section = line.substr(1, line.find(']') - 1);
            continue;
        }
        if (section != "Settings" || !line.starts_with("Options")) continue;
        std::string_view rest = line.substr(7);
        while (rest.starts_with(' ')) rest.remove_prefix(1);
        if (!rest.starts_with('=')) continue;
        const std::string value = unescaped(rest.substr(1));
        const size_t open = value.find("@ByteArray(");
        if (open == std::string::npos || value.back() != ')') return std::nullopt;
        const std::string record = value.substr(open + 11, value.size() - open - 12);
        if (record.size() != kRecordSize) return std::nullopt;
        std::u16string folder;
        for (size_t i = 0; i < kFolderChars; ++i) {
            const auto low = static_cast<unsigned char>(record[kFolderOffset + 2 * i]);
            const auto high = static_cast<unsigned char>(record[kFolderOffset + 2 * i + 1]);
            const auto c = static_cast<char16_t>(low | high << 8);
            if (c == 0) break;
            folder += c;
        }
        if (folder.empty()) return std::nullopt;
        return withSlash(toUtf8(folder));
    }
    return std::nullopt;
}

std::string ConverterDataFolder() {
    const std::string config = baseFolder("XDG_CONFIG_HOME", ".config/");
    std::string text, error;
    if (!config.empty() &&
        readRegularFile(config + "Quorvane/PqConverter.conf", text, error, {.maxBytes = 1 << 20}))
        if (auto folder = DataFolderFromSettings(text)) return *folder;

    const std::string program = programFolder();
    const bool beside = isFolder(program + "Conversions");
    if (beside && ::access(program.c_str(), W_OK) == 0) return program + "Conversions/";
    const std::string data = baseFolder("XDG_DATA_HOME", ".local/share/");
    const std::string perUser = data + "Quorvane/PqConverter/Conversions/";
    if (!data.empty() && isFolder(perUser)) return perUser;
    return beside ? program + "Conversions/" : program + PQ_SHARE_FROM_PROGRAM "Conversions/";
}

std::string UnitLookupIndexPath(const std::string& folder) {
    const std::string cache = baseFolder("XDG_CACHE_HOME", ".cache/");
    if (cache.empty()) return {};
    // A folder named from the working folder is another index there.
    std::string key = folder;
    if (key.empty() || key.front() != '/') {
        std::string here(4096, '\0');
        if (!::getcwd(here.data(), here.size())) return {};
        key = here.c_str() + std::string(1, '\0') + key;
    }
    char name[32];
    std::snprintf(name, sizeof name, "units-%016llx.index",
                  static_cast<unsigned long long>(
                      contentHash(reinterpret_cast<const uint8_t*>(key.data()), key.size())));
    return cache + "Quorvane/pqtool/" + name;
}

} // namespace pq::tool
