#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace pq::test {

// Builds the bytes of a data file by hand, field by field.
struct Bytes {
    std::vector<uint8_t> data;

    Bytes& i32(int64_t v) {
        const uint32_t u = static_cast<uint32_t>(v);
        for (int i = 0; i < 4; ++i) data.push_back(static_cast<uint8_t>(u >> (8 * i)));
        return *this;
    }
    Bytes& f64(double v) {
        uint64_t u;
        std::memcpy(&u, &v, 8);
        for (int i = 0; i < 8; ++i) data.push_back(static_cast<uint8_t>(u >> (8 * i)));
        return *this;
    }
    Bytes& text(std::u16string_view t) {
        i32(static_cast<int64_t>(t.size()));
        for (char16_t c : t) {
            data.push_back(static_cast<uint8_t>(c));
            data.push_back(static_cast<uint8_t>(c >> 8));
        }
        return *this;
    }
    // Fills in the length word of a current-format file.
    Bytes& sealed() {
        const uint32_t n = static_cast<uint32_t>(data.size());
        for (int i = 0; i < 4; ++i) data[4 + i] = static_cast<uint8_t>(n >> (8 * i));
        return *this;
    }
};

// A fresh folder under the system's temporary folder, removed afterwards.
class TempFolder {
  public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "pq-test-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
        path_ += '/';
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    const std::string& path() const { return path_; }
    std::string file(std::string_view name) const { return path_ + std::string(name); }

  private:
    std::string path_;
};

inline void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Where some bytes stand in a file's bytes; npos unless they stand there
// exactly once.
inline size_t findOnce(const std::vector<uint8_t>& bytes, const std::vector<uint8_t>& part) {
    const auto first = std::search(bytes.begin(), bytes.end(), part.begin(), part.end());
    if (first == bytes.end() || std::search(first + 1, bytes.end(), part.begin(), part.end()) !=
                                    bytes.end())
        return std::string::npos;
    return static_cast<size_t>(first - bytes.begin());
}

// In a data file: where the character count of the value text of the unit
// with this identifier stands (a unit record is its name, identifier and
// value texts, ...).
inline size_t valueTextOf(const std::vector<uint8_t>& bytes, std::u16string_view identifier) {
    const std::vector<uint8_t> written = Bytes().text(identifier).data;
    const size_t at = findOnce(bytes, written);
    return at == std::string::npos ? at : at + written.size();
}

// Where the kind of the linear conversion with this factor stands (a
// conversion record is its kind, the positions of its two units, its factor
// and offset).
inline size_t conversionKindOf(const std::vector<uint8_t>& bytes, double factor) {
    const size_t at = findOnce(bytes, Bytes().f64(factor).data);
    return at == std::string::npos || at < 12 ? std::string::npos : at - 12;
}

} // namespace pq::test
