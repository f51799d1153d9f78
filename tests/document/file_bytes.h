#pragma once

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

} // namespace pq::test
