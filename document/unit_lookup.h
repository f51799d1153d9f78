#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "document/document.h"
#include "document/unit_index.h"

namespace pq {

// A unit named as a whole, in the document read to find it.
struct FoundUnit {
    std::shared_ptr<Document> document; // shared by the units found in one file
    std::u16string fileName;            // with its extension, no folder
    size_t fileNumber = 0;              // the same for the units of one file
    size_t position = 0;                // in the document's items
    MatchTier tier = MatchTier::Exact;
    bool usual = false; // the usual meaning of the names it shares

    Item& item() const { return *document->items[position]; }
};

struct FolderLookup {
    // For each name, the units it names, by file name and place in the file.
    std::vector<std::vector<FoundUnit>> found;
    // The data files that could not be read, with the reason.
    std::vector<std::pair<std::string, std::string>> unreadable;
    size_t filesRead = 0;
    bool fromIndex = false; // answered by the index (LookupIndexPlace)
};

// Where LookUpUnits keeps, between runs, which units each name means
// (unit_lookup_index.h).
struct LookupIndexPlace {
    std::string path; // the index file
    // Files changed less than this long before the look may change again
    // within one tick of the file system's clock (two seconds on FAT) and
    // keep their stamps: no index holds them.
    int64_t settleNs = 2'000'000'000;
};

// Looks a few names up once in the data files of a folder, the same files
// the index reads, with the same rules for whole names (the first three
// tiers, unit_names.h): a quicker way than an index for a single question,
// as from the command line. Each
// file's units are glanced at once (Document::scanItems); only a file with a
// unit of one of the names is then read whole and kept. No file is written.
// Only files of `typeCode` are read (0: all).
//
// With `index`, a question whose names all name units as written is
// answered from the index kept there while it still describes the folder,
// reading only the files that hold those units; otherwise the folder is
// looked at as above and the index written anew (for a later question),
// unless a file could not be read.
FolderLookup LookUpUnits(const std::string& folder, const std::vector<std::u16string>& names,
                         int32_t typeCode = 0, const LookupIndexPlace* index = nullptr);

} // namespace pq
