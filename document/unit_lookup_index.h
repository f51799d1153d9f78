#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pq {

// What tells one state of a file or folder from another, as the index of a
// folder's units keeps it: a FileStamp (where it lives, its size, its
// modification time) and the time of its last change, which no program can
// put back, in numbers of fixed width for the index's file.
struct ChangeStamp {
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t size = 0;
    int64_t modifiedNs = 0;
    int64_t changedNs = 0;
    bool operator==(const ChangeStamp&) const = default;
};

// The stamp of what a path names (links followed), if it exists.
std::optional<ChangeStamp> changeStampOf(const std::string& path);

// A file of the folder as the index saw it.
struct IndexedDataFile {
    std::string name;        // as the folder spells it
    std::u16string fileName; // the same as text
    ChangeStamp stamp;       // taken before the file was read
};

// A form of a unit's names as a whole (UnitNames::Form), for the index.
struct IndexedForm {
    std::u16string folded;
    std::u16string text;
};

// One unit of one of the files, with its names as a whole.
struct IndexedName {
    uint32_t file = 0;     // into the files
    uint32_t position = 0; // in the file's items
    std::u16string identifier;
    bool usual = false;
    std::vector<IndexedForm> forms;
};

// Everything an index says of a folder, for writing it.
struct UnitLookupContents {
    std::string folder; // ending in "/"
    int32_t typeCode = 0;
    ChangeStamp folderStamp; // taken before the folder was listed
    std::optional<IndexedDataFile> alternativeNames;
    std::vector<IndexedDataFile> files;
    std::vector<IndexedName> units; // in the order of the files and their items
};

// A file that keeps, between runs of a program, which units of a folder's
// data files each name means as a whole (the first two tiers: a name as
// written, and in any letter case), so that a single question need not read
// every data file. It only holds when nothing has changed since it was
// written: the folder (no file added, removed or renamed), each data file
// and the alternative names file, each to its stamp, and the program that
// wrote it. Anything else makes it worthless, never wrong. It can be
// deleted at any time.
class UnitLookupIndex {
  public:
    // The index at `path` when it describes `folder` (ending in "/") and
    // its files of `typeCode` as they are now; none otherwise, or when it
    // cannot be read or is damaged.
    static std::optional<UnitLookupIndex> read(const std::string& path, const std::string& folder,
                                               int32_t typeCode);
    UnitLookupIndex(UnitLookupIndex&& other) noexcept;
    UnitLookupIndex& operator=(UnitLookupIndex&&) = delete;
    ~UnitLookupIndex();

    struct File {
        std::string_view name;        // as the folder spells it
        std::u16string_view fileName; // the same as text
    };
    struct Unit {
        uint32_t file = 0;
        uint32_t position = 0;
        std::u16string_view identifier;
        bool usual = false;
    };
    size_t fileCount() const { return fileCount_; }
    File file(size_t i) const;
    // None for a unit whose record is damaged.
    std::optional<Unit> unit(uint32_t i) const;

    // Calls visit(unit number, form text) for each form of a unit whose
    // folded text is `folded`, by unit number (the order of the files and
    // their items). False when a record it came across is damaged.
    template <typename Visit> bool forEachForm(std::u16string_view folded, Visit visit) const {
        Form form;
        size_t i = firstForm(folded);
        if (i == kDamaged) return false;
        for (; i < formCount_; ++i) {
            if (!formAt(i, form)) return false;
            if (form.folded != folded) break;
            visit(form.unit, form.text);
        }
        return true;
    }

  private:
    UnitLookupIndex() = default;
    static constexpr size_t kDamaged = SIZE_MAX;
    struct Form {
        uint32_t unit = 0;
        std::u16string_view folded, text;
    };
    const char* bytes_ = nullptr; // the file, mapped
    size_t size_ = 0;
    size_t filesAt_ = 0, fileCount_ = 0, unitsAt_ = 0, unitCount_ = 0, formsAt_ = 0,
           formCount_ = 0;

    size_t firstForm(std::u16string_view folded) const;
    bool formAt(size_t i, Form& form) const;
    std::u16string_view text(uint32_t offset, uint32_t length) const;
};

// Writes the index of `contents` to `path` (its folder made when missing),
// replacing the old one at once. Nothing is written while any of the
// stamps changed less than `settleNs` before `startNs` (when the look
// began): a file changed again within the same tick of the file system's
// clock would keep its stamp. False when nothing was written.
bool WriteUnitLookupIndex(const std::string& path, const UnitLookupContents& contents,
                          int64_t startNs, int64_t settleNs);

// The time now, as the file system stamps changes.
int64_t FileClockNow();

} // namespace pq
