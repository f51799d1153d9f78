#include "document/update_downloader.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "document/data_file.h"
#include "document/data_folder.h"
#include "document/download_folder.h"
#include "document/printable_text.h"
#include "document/reference_rates.h"
#include "engine/text.h"

namespace pq {

namespace {

constexpr size_t kMaxFileNameLength = 63;

std::u16string_view trimmed(std::u16string_view text) {
    while (!text.empty() && (text.front() == u' ' || text.front() == u'\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == u' ' || text.back() == u'\t')) text.remove_suffix(1);
    return text;
}

bool isPlainNameCharacter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
           c == u' ' || c == u'_' || c == u'-' || c == u'.';
}

std::string mebibytes(int64_t bytes) {
    const int64_t mib = 1024 * 1024;
    return bytes % mib == 0 ? std::to_string(bytes / mib) + " MiB"
                            : std::to_string(bytes) + " bytes";
}

std::string duration(std::chrono::milliseconds time) {
    const auto ms = time.count();
    if (ms % 60000 == 0) return std::to_string(ms / 60000) + " minutes";
    if (ms % 1000 == 0) return std::to_string(ms / 1000) + " seconds";
    return std::to_string(ms) + " ms";
}

} // namespace

bool isSafeUpdateFileName(std::u16string_view name) {
    if (name.empty() || name.size() > kMaxFileNameLength || name.front() == u'.') return false;
    return std::all_of(name.begin(), name.end(), isPlainNameCharacter);
}

std::vector<std::u16string> conversionFileNames(const std::string& folder) {
    std::vector<std::u16string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        std::error_code typeError;
        if (!entry.is_regular_file(typeError)) continue;
        std::u16string name = fromUtf8(entry.path().filename().string());
        if (name.size() > 4 && endsWithIgnoreCase(name, u".cnv"))
            names.push_back(name.substr(0, name.size() - 4));
    }
    return names;
}

UpdateDownloader::UpdateDownloader(const DataFolder& folder, std::string url)
    : folder_(folder), ownFetcher_(std::make_unique<CurlFetcher>()), fetcher_(ownFetcher_.get()) {
    urls_.push_back(std::move(url));
}

UpdateDownloader::UpdateDownloader(const DataFolder& folder, std::string url, HttpFetcher& fetcher,
                                   DownloadLimits limits)
    : folder_(folder), fetcher_(&fetcher), limits_(limits) {
    urls_.push_back(std::move(url));
}

void UpdateDownloader::setDataFiles(std::vector<std::u16string> baseNames) {
    dataFiles_ = std::move(baseNames);
    dataFilesGiven_ = true;
}

bool UpdateDownloader::store(const std::string& cacheFile, const std::u16string& baseName) {
    DataFile in;
    if (!in.openRead(cacheFile)) {
        errorText_ = "the downloaded copy " + printableText(cacheFile) + " could not be read (" +
                     in.errorText() + ")";
        return false;
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(in.size()));
    in.read(bytes.data(), in.size());
    // A pending update whose name differs in case alone is replaced.
    const std::string path = folder_.folder() + toUtf8(baseName) + ".upd";
    DataFile out;
    if (!out.openWrite(path, identityOf(resolveFileCase(path))) ||
        out.write(bytes.data(), static_cast<int64_t>(bytes.size())) < 0 || !out.commit()) {
        errorText_ = "the update " + printableText(toUtf8(baseName)) +
                     ".upd could not be stored (" + out.errorText() + ")";
        return false;
    }
    return true;
}

bool UpdateDownloader::run() {
    using Clock = std::chrono::steady_clock;
    downloadedCount_ = 0;
    errorText_.clear();
    const std::vector<std::u16string> dataFiles =
        dataFilesGiven_ ? dataFiles_ : conversionFileNames(folder_.folder());
    const Clock::time_point deadline = Clock::now() + limits_.deadline;
    int64_t bytesLeft = limits_.totalBytes;
    DownloadFolder cache("pqconv-");
    std::set<std::string> fetched;
    std::set<std::u16string> stored;
    size_t files = 0;
    for (size_t i = 0; i < urls_.size(); ++i) {
        const std::string url = urls_[i];
        if (!fetched.insert(url).second) continue; // a list may name itself
        const std::string failed = "could not download " + printableText(url);
        if (!cache.valid()) {
            errorText_ = failed + " (no folder for the downloaded files)";
            return false;
        }
        if (++files > kMaxFiles) {
            errorText_ = failed + " (more than " + std::to_string(kMaxFiles) + " files)";
            return false;
        }
        const std::string overTime =
            failed + " (the whole download took longer than " + duration(limits_.deadline) + ")";
        const std::string overBudget =
            failed + " (the files add up to more than " + mebibytes(limits_.totalBytes) + ")";
        if (Clock::now() >= deadline) {
            errorText_ = overTime;
            return false;
        }
        if (bytesLeft <= 0) {
            errorText_ = overBudget;
            return false;
        }
        const std::string cacheFile = cache.file("download" + std::to_string(files));
        std::string reason;
        if (!fetcher_->fetchWithin(url, cacheFile, {deadline, bytesLeft}, reason)) {
            // The transfer's own clock may end it a moment before the deadline.
            const bool outOfTime = Clock::now() + std::chrono::milliseconds(20) >= deadline;
            errorText_ = outOfTime ? overTime : failed + " (" + printableText(reason) + ")";
            return false; // the cache folder goes with everything in it
        }
        DataFile file;
        if (!file.openRead(cacheFile)) {
            errorText_ = "the downloaded copy " + printableText(cacheFile) +
                         " could not be read (" + file.errorText() + ")";
            return false;
        }
        // A fetcher that cannot bound itself is held to the run's limits here.
        bytesLeft -= file.size();
        if (bytesLeft < 0) {
            errorText_ = overBudget;
            return false;
        }
        if (Clock::now() > deadline) {
            errorText_ = overTime;
            return false;
        }
        if (isReferenceRatesFile(cacheFile)) {
            // The bank's exchange rates become the update of the folder's
            // Currency.cnv; a folder without one takes nothing from them.
            file.close();
            auto match =
                std::find_if(dataFiles.begin(), dataFiles.end(), [](const std::u16string& n) {
                    return equalsIgnoreCase(n, u"Currency");
                });
            if (match == dataFiles.end() || !stored.insert(*match).second) continue;
            const std::string updateFile = cacheFile + ".upd";
            if (!writeReferenceRatesUpdate(cacheFile, updateFile, reason)) {
                errorText_ =
                    "the exchange rates of " + printableText(url) + " could not be read: " + reason;
                return false;
            }
            if (!store(updateFile, *match)) return false;
            ++downloadedCount_;
            continue; // the cache folder goes with both files
        }
        WString line;
        file.readLine(line);
        const std::u16string_view first = line.view();
        if (first.starts_with(u"PQCUPD")) {
            // An update for a file the folder lacks is passed over: a list
            // serves many folders. The run's file, byte and time budgets
            // bound what a list can make it fetch.
            while (file.readLine(line) > 0) {
                if (!startsWithIgnoreCase(line.view(), u"--File Name:")) continue;
                const std::u16string_view name = trimmed(line.view().substr(12));
                // Only the update of a conversion file of the folder, named
                // plainly, is stored, under that file's own name.
                if (!isSafeUpdateFileName(name)) break;
                auto match =
                    std::find_if(dataFiles.begin(), dataFiles.end(), [&](const std::u16string& n) {
                        return equalsIgnoreCase(n, name);
                    });
                if (match == dataFiles.end() || !stored.insert(*match).second) break;
                if (!store(cacheFile, *match)) return false;
                ++downloadedCount_;
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
