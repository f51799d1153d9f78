#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace pq::fuzz {

// A private folder for the files a fuzz target writes; made once per run.
inline const std::string& scratchFolder() {
    // Never destroyed, so that the clean-up at exit can still read it.
    static const std::string* folder = [] {
        // Memory-backed when the machine has it: every save is flushed to disk.
        std::string pattern = std::filesystem::is_directory("/dev/shm") ? "/dev/shm/pq-fuzz-XXXXXX"
                                                                        : "/tmp/pq-fuzz-XXXXXX";
        const char* made = mkdtemp(pattern.data());
        if (!made) std::abort();
        std::atexit([] { std::filesystem::remove_all(scratchFolder()); });
        return new std::string(std::string(made) + "/");
    }();
    return *folder;
}

inline void writeFile(const std::string& path, const uint8_t* data, size_t size) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

inline std::vector<uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace pq::fuzz
