// Arbitrary bytes as a data folder: records of a name byte, a two-byte
// length and the file's bytes make the folder's files (names from a table,
// some differing only in case, some a FIFO or a folder). Scanning, switching
// documents and reading text references must not crash or hang, and every
// file the catalogue writes back must load again.

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "document/catalogue.h"
#include "engine/expression_engine.h"
#include "engine/text.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

const char* const kNames[] = {"Length.cnv",    "length.CNV", "Tip.cal",   "TIP.cal",
                              "Notes.htm",     "notes.HTM",  "Money.cnv", "Money.upd",
                              "Legacy.cnv",    "a.cal",      ".cnv",      "Plain.txt",
                              "Long name.cnv", "Tip.upd",    "Ref.htm",   "x.cnv"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pq;
    namespace fs = std::filesystem;
    if (size > 65536) return 0;
    static ExpressionEngine engine;
    const std::string folder = fuzz::scratchFolder() + "catalogue/";
    fs::remove_all(folder);
    fs::create_directory(folder);

    std::vector<uint8_t> choices;
    size_t at = 0;
    while (at + 3 <= size) {
        const uint8_t selector = data[at];
        const size_t length = std::min<size_t>(data[at + 1] | data[at + 2] << 8, size - at - 3);
        const std::string path = folder + kNames[selector % std::size(kNames)];
        // A name already taken by another kind of file stays what it was.
        std::error_code taken;
        if (selector >= 0xF0)
            ::mkfifo(path.c_str(), 0600);
        else if (selector >= 0xE0)
            fs::create_directory(path, taken);
        else if (!fs::exists(fs::symlink_status(path, taken)) || fs::is_regular_file(path, taken))
            fuzz::writeFile(path, data + at + 3, length); // never opens a FIFO for writing
        choices.push_back(selector);
        at += 3 + length;
    }

    {
        Catalogue catalogue(engine);
        catalogue.setFolder(folder);
        const std::u16string recent[] = {u"Length.cnv", u"tip.CAL", u"Missing.cnv", u""};
        catalogue.addFiles(recent);
        if (!catalogue.find(u"LENGTH.cnv", true)) catalogue.current(0);
        catalogue.scanFolder();
        for (uint8_t choice : choices) {
            if (catalogue.size() == 0) break;
            Document* d = catalogue.current(choice % catalogue.size());
            if (!d || d != &catalogue.at(0)) __builtin_trap();
            d->itemCountText();
            d->computeAll(engine);
            // Saving a file that was not read whole, or may not be written,
            // never writes it.
            const bool mayWrite = d->editable();
            d->markModified();
            if (d->saveChanges(catalogue).outcome == SaveResult::Outcome::Saved && !mayWrite)
                __builtin_trap();
        }
        for (size_t i = 0; i < catalogue.size(); ++i)
            if (catalogue.indexOf(catalogue.at(i).fileNameWithExtension()) != static_cast<int>(i))
                __builtin_trap();
        TextReferenceList references;
        references.scan(folder);
        std::u16string text;
        for (size_t i = 0; i < references.size(); ++i) references.readText(i, text);
    } // the catalogue writes nothing when it goes

    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(".pqsave-")) __builtin_trap(); // no leftovers
    }
    return 0;
}
