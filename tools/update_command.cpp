// pqtool update: downloads update files and applies the pending ones.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "document/catalogue.h"
#include "document/update_downloader.h"
#include "engine/expression_engine.h"
#include "engine/text.h"
#include "tools/commands.h"

namespace pq::tool {

namespace {

// The base names of the folder's ".upd" files, sorted.
std::vector<std::u16string> pendingUpdates(const std::string& folder) {
    std::vector<std::u16string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        std::u16string name = fromUtf8(entry.path().filename().string());
        if (name.size() > 4 && endsWithIgnoreCase(name, u".upd"))
            names.push_back(name.substr(0, name.size() - 4));
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

int runUpdate(std::span<char* const> args) {
    if (args.empty() || args.size() > 2) return usageError("update needs FOLDER [URL]");
    if (!std::filesystem::is_directory(args[0]))
        return usageError(std::string(args[0]) + " is not a folder");
    ExpressionEngine engine;
    Catalogue catalogue(engine);
    catalogue.setFolder(args[0]);

    bool downloaded = true;
    if (args.size() == 2) {
        UpdateDownloader downloader(catalogue, args[1]);
        downloaded = downloader.run();
        if (downloaded)
            std::printf("Updated conversion data files have been successfully downloaded (%d).\n",
                        downloader.downloadedCount());
        else
            std::printf("PqConverter could NOT complete downloading due to a system error: %s\n",
                        downloader.errorText().c_str());
    }

    // Each pending update is applied as when its file is made current, and
    // the file written back.
    for (const std::u16string& base : pendingUpdates(catalogue.folder())) {
        ConversionDocument document;
        if (!document.load(catalogue, true, base)) {
            std::fprintf(stderr, "pqtool: %s.upd: no conversion file %s.cnv to apply it to\n",
                         toUtf8(base).c_str(), toUtf8(base).c_str());
            continue;
        }
        if (!document.applyPendingUpdate(catalogue, engine)) continue;
        if (!document.save(catalogue)) {
            std::fprintf(stderr, "pqtool: %s: cannot be written\n",
                         toUtf8(document.fileNameWithExtension()).c_str());
            return kExitFailed;
        }
        std::printf("%s\t%s\n", toUtf8(document.fileNameWithExtension()).c_str(),
                    toUtf8(document.updatedText).c_str());
    }
    return downloaded ? kExitOk : kExitFailed;
}

} // namespace pq::tool
