#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/alternative_names.h"
#include "document/folder_listing.h"
#include "document/match_key.h"
#include "document/unit_names.h"

namespace pq {

class Document;
class Item;

// One unit of a conversion file or item of a calculation file, shown or
// hidden, as the index knows it.
struct IndexedUnit {
    std::u16string name;
    std::u16string identifier;
    std::vector<std::u16string> alternatives; // from the alternative names
    int32_t position = 0;                      // in its file's item list
    bool shown = true;
    bool usual = false;    // the usual meaning of the names it shares
    bool compound = false; // shown as a compound of parts ("ft_in")
};

// The keys for finding a unit by the start of a word or a part of a word of
// its identifier, name or alternatives (match_key.h), and its names as a
// whole (unit_names.h), made when a search first needs them: most units
// are ruled out by the starts of their words alone.
struct UnitKeys {
    WordStarts starts; // of the name, identifier and alternatives
    KeyedText identifier;
    KeyedText name;
    std::vector<KeyedText> alternatives;
    struct Names {
        std::once_flag made;
        UnitNames names;
    };
    std::shared_ptr<Names> names = std::make_shared<Names>();
};

struct IndexedUnit;
// A unit's names as a whole; made once, by whichever thread asks first.
const UnitNames& NamesOf(const IndexedUnit& unit, const UnitKeys& keys);

struct IndexedFile {
    std::u16string fileName; // with its extension, no folder
    std::u16string title;
    std::u16string category;
    int32_t typeCode = 0; // 1 conversion file, 2 calculation file
    std::vector<IndexedUnit> units;
    std::vector<UnitKeys> keys; // the units', in the same order
    FileStamp stamp;
};

struct UnitMatch {
    std::shared_ptr<const IndexedFile> file; // keeps the unit alive
    const IndexedUnit* unit = nullptr;
    MatchTier tier = MatchTier::Substring;
    bool inCurrentFile = false;
};

struct FindOptions {
    // The file open in the window: its matches come first among those of
    // the same tier.
    std::u16string_view currentFile;
    // What the window holds of the current file, unsaved changes included;
    // it stands in for what the index read from the file.
    std::shared_ptr<const IndexedFile> currentContents;
    size_t limit = 0; // 0: every match
    // Only units named as a whole (the first three tiers).
    bool exactOnly = false;
};

// Every unit and calculation item of every data file of a folder, with the
// alternative names of the folder's AlternativeNames.txt, for finding units
// by what people type. The matches come best first: by tier (unit_names.h),
// then the usual meaning of a name before the other units it names, shown
// units before hidden ones, the open file's units before the others,
// shorter names before longer ones.
//
// The index only reads files, never writes them. Copies share what they
// read, so a copy can be refreshed on another thread while the original
// answers searches.
class UnitIndex {
  public:
    UnitIndex() = default;
    explicit UnitIndex(std::string folder);

    const std::string& folder() const { return folder_; }
    // Looks at the folder again: reads the data files that are new or
    // changed since the last look (size, times or identity differ), drops
    // those that are gone, and applies the alternative names again when
    // their file changed. True when anything changed.
    bool refresh();
    bool built() const { return built_; }

    std::vector<UnitMatch> find(std::u16string_view text, const FindOptions& options = {}) const;
    // The unit of a file with this identifier (any case).
    std::optional<UnitMatch> unit(std::u16string_view fileName,
                                  std::u16string_view identifier) const;

    const std::vector<std::shared_ptr<const IndexedFile>>& files() const { return files_; }
    // The files that could not be read, with the reason.
    std::vector<std::pair<std::string, std::string>> unreadable() const;

    // What the index would hold for a document in memory (the open file).
    std::shared_ptr<const IndexedFile> entriesOf(const Document& document) const;

  private:
    std::string folder_ = "/";
    bool built_ = false;
    std::vector<std::shared_ptr<const IndexedFile>> files_; // by file name
    std::map<std::string, std::pair<FileStamp, std::string>> unreadable_;
    std::shared_ptr<const AlternativeNames> alternatives_;
    std::optional<FileStamp> alternativesStamp_;
};

// The entries of a document: every item with its alternatives and keys.
std::shared_ptr<IndexedFile> IndexDocument(const Document& document, std::u16string_view fileName,
                                           const AlternativeNames* alternatives);

// Whether an item is shown as a compound of parts (feet and inches).
bool IsCompoundItem(const Item& item);

} // namespace pq
