// pqtool update: downloads update files and applies the pending ones.

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "document/catalogue.h"
#include "document/data_file.h"
#include "document/file_reading.h"
#include "document/update_downloader.h"
#include "engine/expression_engine.h"
#include "engine/text.h"
#include "tools/commands.h"
#include "tools/document_io.h"

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

// Whether the update file that applying reads is a regular file (its name
// may differ in case).
bool isRegularUpdateFile(const std::string& path, std::string& reason) {
    struct stat info {};
    if (::stat(resolveFileCase(path).c_str(), &info) != 0) {
        reason = describeError(errno);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        reason = "not a regular file";
        return false;
    }
    return true;
}

} // namespace

int runUpdate(std::span<char* const> args) {
    if (args.empty() || args.size() > 2) return usageError("update needs FOLDER [URL]");
    if (!std::filesystem::is_directory(args[0]))
        return usageError(printable(args[0]) + " is not a folder");
    ExpressionEngine engine;
    Catalogue catalogue(engine);
    catalogue.setFolder(args[0]);

    bool ok = true;
    if (args.size() == 2) {
        UpdateDownloader downloader(catalogue, args[1]);
        ok = downloader.run();
        if (ok)
            std::printf("Downloaded %d update file%s.\n", downloader.downloadedCount(),
                        downloader.downloadedCount() == 1 ? "" : "s");
        else
            std::fprintf(stderr, "The download failed: %s\n",
                         printable(downloader.errorText()).c_str());
    }

    // Each pending update is applied as when its file is made current, and
    // the file written back; the update file goes once that succeeded.
    for (const std::u16string& base : pendingUpdates(catalogue.folder())) {
        const std::string name = printable(toUtf8(base));
        ConversionDocument document;
        if (!document.load(catalogue, true, base)) {
            std::fprintf(stderr, "pqtool: %s.upd: no conversion file %s.cnv to apply it to (%s)\n",
                         name.c_str(), name.c_str(), document.errorText().c_str());
            continue;
        }
        std::string reason;
        if (!isRegularUpdateFile(catalogue.folder() + toUtf8(base) + ".upd", reason)) {
            std::fprintf(stderr, "pqtool: %s.upd: %s\n", name.c_str(), reason.c_str());
            ok = false;
            continue;
        }
        if (!document.editable()) {
            const ReadState& state = document.readState();
            std::fprintf(stderr, "pqtool: %s.cnv: cannot be written: %s\n", name.c_str(),
                         state.kind == ReadState::Kind::Damaged
                             ? "some of its records could not be read"
                             : printable(state.reason).c_str());
            ok = false;
            continue;
        }
        if (!document.applyPendingUpdate(catalogue, engine)) continue;
        const SaveResult saved = document.saveChanges(catalogue);
        if (!saved.ok()) {
            std::fprintf(stderr, "pqtool: %s.cnv: cannot be written: %s\n", name.c_str(),
                         saved.outcome == SaveResult::Outcome::ChangedOnDisk
                             ? "it was changed by another program while it was updated"
                             : printable(saved.cause).c_str());
            ok = false;
            continue;
        }
        const std::string fileName = toUtf8(document.fileNameWithExtension());
        std::printf("%s\t%s\n", printable(fileName).c_str(),
                    printable(toUtf8(document.updatedText)).c_str());
        if (const auto date = ratesDateOf(document.updatedText.view()))
            std::printf("%s\n", describeRates(fileName, *date).c_str());
    }
    return ok ? kExitOk : kExitFailed;
}

} // namespace pq::tool
