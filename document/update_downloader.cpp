#include "document/update_downloader.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "document/data_file.h"
#include "document/data_folder.h"
#include "document/reference_rates.h"
#include "engine/text.h"

namespace pq {

namespace {

constexpr size_t kMaxFileNameLength = 63;

// A private folder for the downloaded files, removed with everything in it
// when the run ends, however it ends.
class CacheFolder {
  public:
    CacheFolder() {
        std::error_code error;
        std::string pattern =
            (std::filesystem::temp_directory_path(error) / "pqconv-XXXXXX").string();
        if (error) pattern = "/tmp/pqconv-XXXXXX";
        if (const char* made = mkdtemp(pattern.data())) path_ = std::string(made) + "/";
    }
    ~CacheFolder() {
        if (!path_.empty()) {
            std::error_code error;
            std::filesystem::remove_all(path_, error);
        }
    }
    bool valid() const { return !path_.empty(); }
    std::string file(size_t n) const { return path_ + "download" + std::to_string(n); }

  private:
    std::string path_;
};

std::u16string_view trimmed(std::u16string_view text) {
    while (!text.empty() && (text.front() == u' ' || text.front() == u'\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == u' ' || text.back() == u'\t')) text.remove_suffix(1);
    return text;
}

} // namespace

bool isSafeUpdateFileName(std::u16string_view name) {
    if (name.empty() || name.size() > kMaxFileNameLength) return false;
    if (name.find(u"..") != std::u16string_view::npos) return false;
    return std::none_of(name.begin(), name.end(), [](char16_t c) {
        return c < 0x20 || c == 0x7F || c == u'/' || c == u'\\';
    });
}

UpdateDownloader::UpdateDownloader(const DataFolder& folder, std::string url)
    : folder_(folder), ownFetcher_(std::make_unique<CurlFetcher>()), fetcher_(ownFetcher_.get()) {
    urls_.push_back(std::move(url));
}

UpdateDownloader::UpdateDownloader(const DataFolder& folder, std::string url, HttpFetcher& fetcher)
    : folder_(folder), fetcher_(&fetcher) {
    urls_.push_back(std::move(url));
}

bool UpdateDownloader::store(const std::string& cacheFile, const std::u16string& fileName) {
    DataFile in;
    if (!in.openRead(cacheFile)) return false;
    std::vector<uint8_t> bytes(static_cast<size_t>(in.size()));
    if (in.read(bytes.data(), in.size()) != in.size()) return false;
    DataFile out;
    return out.openWrite(folder_.folder() + toUtf8(fileName) + ".upd") &&
           out.write(bytes.data(), static_cast<int64_t>(bytes.size())) >= 0 && out.commit();
}

bool UpdateDownloader::run() {
    downloadedCount_ = 0;
    errorText_.clear();
    CacheFolder cache;
    std::set<std::string> fetched;
    size_t files = 0;
    for (size_t i = 0; i < urls_.size(); ++i) {
        const std::string url = urls_[i];
        if (!fetched.insert(url).second) continue; // a list may name itself
        if (!cache.valid() || ++files > kMaxFiles) {
            errorText_ = "Error downloading HTTP file: " + url;
            return false;
        }
        const std::string cacheFile = cache.file(files);
        std::string reason;
        if (!fetcher_->fetch(url, cacheFile, reason)) {
            errorText_ = "Error downloading HTTP file: " + url;
            return false; // the cache folder goes with everything in it
        }
        if (isReferenceRatesFile(cacheFile)) {
            // The bank's exchange rates: they become the update of Currency.cnv.
            if (!storeReferenceRates(folder_, cacheFile, errorText_)) {
                errorText_ = "Error reading the exchange rates of " + url + ": " + errorText_;
                return false;
            }
            ++downloadedCount_;
            continue; // the cache folder goes with the file
        }
        DataFile file;
        if (!file.openRead(cacheFile)) {
            errorText_ = "Error opening HTTP cache file: " + cacheFile;
            return false;
        }
        WString line;
        file.readLine(line);
        const std::u16string_view first = line.view();
        if (first.starts_with(u"PQCUPD")) {
            while (file.readLine(line) > 0) {
                if (!startsWithIgnoreCase(line.view(), u"--File Name:")) continue;
                const std::u16string name(trimmed(line.view().substr(12)));
                // Only a plain file name of the data folder is accepted.
                if (isSafeUpdateFileName(name) && store(cacheFile, name)) ++downloadedCount_;
                break;
            }
        } else if (first.starts_with(u"PQCLST")) {
            while (file.readLine(line) > 0) {
                const std::u16string_view text = trimmed(line.view());
                if (startsWithIgnoreCase(text, u"http://") ||
                    startsWithIgnoreCase(text, u"https://"))
                    urls_.push_back(toUtf8(text));
            }
        }
        file.close();
        std::error_code ignored;
        std::filesystem::remove(cacheFile, ignored);
    }
    return true;
}

} // namespace pq
