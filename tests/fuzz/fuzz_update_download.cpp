// Arbitrary bytes as the files a download source serves: the first part
// (parts are separated by NUL bytes) is the update list, "http://fuzz/N"
// serves part N. The run must store nothing but update files for the
// folder's conversion files, and applying and saving them must leave
// documents that load again, with the update files gone.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "document/data_folder.h"
#include "document/document.h"
#include "document/http_fetcher.h"
#include "document/update_downloader.h"
#include "engine/expression_engine.h"
#include "engine/text.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

class FakeFetcher : public pq::HttpFetcher {
  public:
    explicit FakeFetcher(std::vector<std::string> parts) : parts_(std::move(parts)) {}

    bool fetch(const std::string& url, const std::string& path, std::string& error) override {
        return fetchWithin(url, path, {}, error);
    }
    bool fetchWithin(const std::string& url, const std::string& path, const pq::FetchBudget& budget,
                     std::string& error) override {
        const std::string prefix = "http://fuzz/";
        if (!url.starts_with(prefix) || url.size() > prefix.size() + 3) {
            error = "unknown host";
            return false;
        }
        size_t n = 0;
        for (char c : url.substr(prefix.size())) {
            if (c < '0' || c > '9') {
                error = "not found";
                return false;
            }
            n = 10 * n + static_cast<size_t>(c - '0');
        }
        const std::string& body = parts_[n % parts_.size()];
        if (static_cast<int64_t>(body.size()) > budget.maxBytes) {
            error = "too large";
            return false;
        }
        pq::fuzz::writeFile(path, reinterpret_cast<const uint8_t*>(body.data()), body.size());
        return true;
    }

  private:
    std::vector<std::string> parts_;
};

const char* const kDataFiles[] = {"Currency", "Length"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pq;
    namespace fs = std::filesystem;
    if (size > 65536) return 0;
    static ExpressionEngine engine;
    const std::string folder = fuzz::scratchFolder() + "downloads/";
    fs::remove_all(folder);
    fs::create_directory(folder);
    for (const char* name : kDataFiles) {
        ConversionDocument d;
        for (const char16_t* id : {u"EUR", u"USD", u"m", u"km"}) {
            auto item = std::make_unique<UnitItem>();
            item->identifier = id;
            d.items.push_back(std::move(item));
        }
        if (!d.saveTo(folder + name + ".cnv")) __builtin_trap();
    }

    std::vector<std::string> parts(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            parts.emplace_back();
        else
            parts.back() += static_cast<char>(data[i]);
    }
    FakeFetcher fetcher(parts);
    PlainFolder where(folder);
    DownloadLimits limits;
    limits.totalBytes = 16384;
    UpdateDownloader downloader(where, "http://fuzz/0", fetcher, limits);
    const bool ok = downloader.run();
    if (ok != downloader.errorText().empty()) __builtin_trap();

    // Only the data files and their update files are in the folder.
    std::set<std::string> allowed;
    for (const char* name : kDataFiles) {
        allowed.insert(std::string(name) + ".cnv");
        allowed.insert(std::string(name) + ".upd");
    }
    int updates = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (!allowed.count(name)) __builtin_trap();
        if (name.ends_with(".upd")) ++updates;
    }
    if (updates != downloader.downloadedCount()) __builtin_trap();

    for (const char* name : kDataFiles) {
        ConversionDocument d;
        if (!d.load(where, true, fromUtf8(name))) __builtin_trap();
        if (!d.applyPendingUpdate(where, engine)) continue;
        if (!d.save(where)) continue; // e.g. a stamp too long to store
        if (fs::exists(folder + name + ".upd")) __builtin_trap();
        ConversionDocument again;
        if (!again.load(where, true, fromUtf8(name)) ||
            again.conversions.size() != d.conversions.size())
            __builtin_trap();
    }
    return 0;
}
