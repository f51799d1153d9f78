#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/conversion.h"
#include "document/data_file.h"
#include "document/data_folder.h"
#include "document/file_reading.h"
#include "document/item.h"
#include "document/read_state.h"
#include "document/save_result.h"
#include "engine/wstring.h"

namespace pq {

class ExpressionEngine;

// One data file: a conversion file (units and conversions) or a calculation
// file (inputs and formula outputs). A document is either loaded (its items
// are in memory) or known by its header alone (title, category, name,
// updated text, date and item count).
//
// A document knows two facts about its file: whether it changed since it
// was read or last saved (modified), and how the file was found when it was
// read (its ReadState). Only a whole file that may be written is editable,
// and only a modified, editable document is ever written; a file from which
// records had to be dropped is left exactly as it is until the user repairs
// it.
class Document {
  public:
    static constexpr uint32_t kMagic = 0xC040A010;
    static constexpr uint32_t kLegacyMagic = 0xC0215192;

    virtual ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // Reads the items of a file of the current format one after the other,
    // each into the same Item, without building a document: a quick glance
    // over many files. `visit` sees the items a full read keeps, by name,
    // identifier and value text, and returns false to stop. False when the
    // file cannot be read this simply (an older format, a damaged header or
    // item list): reading it whole tells why.
    static bool scanItems(const std::string& path, const std::function<bool(const Item&)>& visit);

    virtual int32_t typeCode() const = 0;
    // Computes every value from the current item's (conversion files) or
    // from the inputs (calculation files).
    virtual void computeAll(ExpressionEngine& engine) = 0;
    // Destroys count items from position first.
    virtual void removeItems(size_t first, size_t count);

    std::u16string_view extension() const;
    std::u16string fileNameWithExtension() const;
    std::string filePath(const DataFolder& folder) const;

    void removeItem(const Item* item);
    void clearItems();
    // A non-empty text becomes the "Updated:" text; without one, the current
    // local date and time.
    void setUpdatedText(std::u16string_view text = {});
    // "%d units", from the live list when loaded, else from the header.
    std::u16string itemCountText();
    std::optional<size_t> indexOf(const Item* item) const;

    // Reads the file (the header alone unless full) and sets the read
    // state; reading never writes. A file in the legacy format is read whole
    // and stays as it is until the document is first saved. Records that
    // cannot be read are dropped and counted (ReadState), and what follows
    // them is found again where the format allows. A failed load leaves the
    // document unloaded.
    bool load(const DataFolder& folder, bool full, std::u16string_view newName = {});
    bool loadFrom(const std::string& path, bool full);
    // Reads the whole file to find units in; the document is read-only.
    bool readWithoutConverting(const std::string& path);
    // Writes the whole document, whatever its state and whatever the file
    // holds now; the old file stays as it was when any step fails. The
    // program's own road is saveChanges.
    bool save(const DataFolder& folder);
    bool saveTo(const std::string& path);
    bool ensureLoaded(const DataFolder& folder);
    // Why the last load or save failed ("not a regular file", "permission
    // denied", "no space left on device", ...); empty after success.
    const std::string& errorText() const { return errorText_; }
    // Drops the items, keeping the header. Never writes: a change that was
    // not saved before is lost.
    void unload();

    // How the file was found when it was last read.
    const ReadState& readState() const { return readState_; }
    // Editing is allowed: the file was read whole and may be written (or
    // the document is new).
    bool editable() const { return readState_.kind == ReadState::Kind::Whole; }
    // Changed since it was read or last saved.
    bool isModified() const { return modified_; }
    void markModified() { modified_ = true; }
    // The bytes the document is saved as: two documents with the same image
    // hold the same data.
    std::vector<uint8_t> image() const;
    // Puts back the data of an earlier image (Undo): the header texts, the
    // items and the conversions become those of the image, and the document
    // is modified; its file, read state and name stay. The items are new, so
    // no item is current. False, with nothing changed, for bytes that are
    // not a whole image of a document of this kind.
    bool restore(const std::vector<uint8_t>& image);

    // The one road by which the program writes a document: a modified,
    // editable, loaded document is saved atomically into its file. Refused
    // without writing: a file or folder the user may not write, a new
    // document whose file name is taken, and (unless replaceChanged) a file
    // that is no longer the version read or saved last, as found
    // immediately before the new content replaces it. The first save of a
    // file in the legacy format first keeps its bytes beside it
    // ("<file>.legacy", ".legacy-2", ... when that exists).
    SaveResult saveChanges(const DataFolder& folder, bool replaceChanged = false);
    // The file on disk is no longer the version read or saved last: its
    // place, size, modification time or bytes differ (a file that is gone
    // counts as unchanged: saving it loses nothing).
    bool changedOnDisk(const DataFolder& folder) const;
    // The file is in the legacy format: its first save converts it.
    bool isLegacy() const { return legacy_; }
    // Reads the file again, dropping every change in memory.
    bool reload(const DataFolder& folder);
    // Keeps what could be read of a damaged file: its bytes are first copied
    // to "<file>.damaged" beside it (".damaged-2", ... when that exists;
    // an earlier backup is never overwritten), then the document becomes
    // editable and is saved. `backup` receives the backup's file name.
    SaveResult repair(const DataFolder& folder, std::string& backup);
    // The number of conversions in memory (0 for a calculation file).
    virtual size_t conversionCount() const { return 0; }

    std::vector<std::unique_ptr<Item>> items;
    Item* currentItem = nullptr;
    WString title;
    WString category;
    WString name;
    bool loaded = true;
    WString updatedText; // empty in a new document until setUpdatedText dates it
    int32_t itemCount = 0;

  protected:
    Document();
    // The data after the items: the conversion list of a conversion file.
    // Readers find the units by their place in the file; a unit that could
    // not be read has none in `units`.
    virtual void writeExtra(DataFile& file) const = 0;
    virtual void readExtra(DataFile& file, const std::vector<Item*>& units) = 0;
    virtual void readLegacyExtra(DataFile& file, const std::vector<Item*>& units) = 0;
    // After damage in the items: the first place at or after `from` from
    // which the data after the items of a file of `unitCount` units reads
    // whole to the end of the file; none when there is none.
    virtual std::optional<int64_t> findExtra(DataFile& file, int64_t from, int32_t unitCount) = 0;
    // Whether the data after the items may begin where the file stands (it
    // stays there).
    virtual bool extraMayBeginHere(DataFile& file) const = 0;

    // What reading a damaged file may still spend on looking for records
    // past the damage, in bytes read: it ends on every file in good time.
    int64_t recoveryBudget_ = 0;

    // An update file applied to the items: deleted once they were saved
    // into the document's own file, so that a failed save loses nothing.
    void keepUntilSaved(const std::string& updatePath, FileIdentity identity);

    // Set by readExtra: how many conversions the file announces (-1: its
    // count is missing or beyond what the file holds), and how many of them
    // could not be kept.
    int conversionsInFile_ = 0;
    int droppedConversions_ = 0;

  private:
    // Reads the items into their places in `units`; false when not one
    // record of a damaged file could be read (errorText_ says why).
    // extraFollows: the file stands at the data after the items.
    bool readItems(DataFile& file, int32_t count, std::vector<Item*>& units, bool& extraFollows);
    bool readLegacyItems(DataFile& file, int32_t count, std::vector<Item*>& units);
    // After a unit could not be read (`starts`: where each unit read so far
    // began, and the one that failed): finds the units after the damage
    // again, and leaves the file at the data after the items when that could
    // be found (extraFollows).
    void recoverItems(DataFile& file, const std::vector<int64_t>& starts, int32_t count,
                      std::vector<Item*>& units, bool& extraFollows);
    // The same once the data after the items is known to begin at `end`.
    void recoverItemsBefore(DataFile& file, const std::vector<int64_t>& starts, int32_t count,
                            int64_t end, std::vector<Item*>& units);
    // One item read at `at` in the strictest way, as the program writes
    // them, ending at or before `end` (when that is not negative); none
    // when there is no such record there.
    std::unique_ptr<Item> readStrictItem(DataFile& file, int64_t at, int64_t end);
    // Reads items from `from` in the strictest way, at most `most` of them,
    // until one does not read; none when not one does.
    std::optional<std::vector<std::unique_ptr<Item>>> readItemRun(DataFile& file, int64_t from,
                                                                  int32_t most);
    // Reads an image into the document; false when it does not read whole.
    bool readImage(const std::vector<uint8_t>& image);
    bool loadLegacy(const std::string& path);
    // Keeps the file's legacy bytes beside it before its first save; false
    // with the outcome in `result` when the save must not go on.
    bool keepLegacyCopy(const std::string& path, bool replaceChanged, SaveResult& result);
    // Writes the document over the file at path when the file there is what
    // `expected` says; the outcome. The document's own file (ownFile) then
    // holds the version saved.
    SaveResult::Outcome commitTo(const std::string& path, const ExpectedOnDisk& expected,
                                 bool ownFile);
    // After the document's own file was written: unmodified, and the update
    // file applied to it is gone.
    void saved();
    void writeContent(DataFile& file) const;
    // After a full read: whole, damaged or read-only.
    void judgeRead(const DataFile& file, const std::string& path);
    void readFailed(std::string reason);

    std::string errorText_;
    // A reading to find units in, never to edit: the document is read-only
    // without asking the file's rights.
    bool lookingOnly_ = false;
    ReadState readState_;
    bool modified_ = false;
    int droppedUnits_ = 0;
    // The file holds the legacy format; legacyKept_: its bytes were copied
    // beside it already.
    bool legacy_ = false;
    bool legacyKept_ = false;
    // The version of the file read or saved last; none for a new document.
    std::optional<FileVersion> version_;
    // The file the document was read from or last written to: saving under
    // a name that differs from it in case alone writes it back.
    std::optional<FileIdentity> file_;
    std::string appliedUpdate_;
    FileIdentity appliedUpdateIdentity_;
};

class ConversionDocument : public Document {
  public:
    static constexpr int32_t kTypeCode = 1;

    ConversionDocument() = default;
    ~ConversionDocument() override;
    int32_t typeCode() const override { return kTypeCode; }
    void computeAll(ExpressionEngine& engine) override;
    // Removes every conversion touching the items first.
    void removeItems(size_t first, size_t count) override;

    // The first conversion between a and b, in either direction.
    Conversion* findConversion(const Item* a, const Item* b) const;
    int countConversionsOf(const Item* item) const;
    void removeConversion(const Conversion* conversion);
    void removeConversionsOf(const Item* item);
    Conversion& addConversion();
    size_t conversionCount() const override { return conversions.size(); }
    // Applies "<name>.upd" of the data folder, when there is one, to the
    // conversions: every usable line "ID1<TAB>ID2<TAB>expr" makes the
    // conversion ID1 -> ID2 linear with the expression's value as factor.
    // An identifier must name exactly one unit and the two must differ, or
    // the line is skipped. The update file is deleted when the document is
    // next saved into its own file. True when an update file was applied
    // (the document is then modified); nothing is applied to a document
    // that is not editable.
    bool applyPendingUpdate(const DataFolder& folder, ExpressionEngine& engine);
    // Applies the text of an update file (it begins with "PQCUPD") as
    // applyPendingUpdate applies the file; no file is read or deleted.
    bool applyUpdateText(std::string_view update, ExpressionEngine& engine);

    std::vector<std::unique_ptr<Conversion>> conversions;

  protected:
    // The one unit with this identifier (any case); none when no unit or
    // several have it.
    Item* uniqueItemWithIdentifier(std::u16string_view identifier) const;
    // One line of an update file; a "--Updated:" line adds to the stamp.
    void applyUpdateLine(std::u16string_view line, std::u16string& stamp, ExpressionEngine& engine);
    void writeExtra(DataFile& file) const override;
    void readExtra(DataFile& file, const std::vector<Item*>& units) override;
    void readLegacyExtra(DataFile& file, const std::vector<Item*>& units) override {
        readExtra(file, units);
    }
    std::optional<int64_t> findExtra(DataFile& file, int64_t from, int32_t unitCount) override;
    bool extraMayBeginHere(DataFile& file) const override;

  private:
    // Reads conversion records from `from` in the strictest way until
    // exactly the end of the file, at most `most` of them; none when they do
    // not end there. Each must name two of `unitCount` units, unless that is
    // negative; with `units`, the records refer to those units.
    std::optional<std::vector<std::unique_ptr<Conversion>>>
    readConversionRun(DataFile& file, int64_t from, int32_t unitCount,
                      const std::vector<Item*>* units, int64_t most);
};

class CalculationDocument : public Document {
  public:
    static constexpr int32_t kTypeCode = 2;

    int32_t typeCode() const override { return kTypeCode; }
    void computeAll(ExpressionEngine& engine) override;

  protected:
    void writeExtra(DataFile&) const override {}
    void readExtra(DataFile&, const std::vector<Item*>&) override {}
    void readLegacyExtra(DataFile&, const std::vector<Item*>&) override {}
    std::optional<int64_t> findExtra(DataFile& file, int64_t, int32_t) override;
    bool extraMayBeginHere(DataFile& file) const override { return file.position() == file.size(); }
};

// The document type a file name asks for: 1 for ".cnv", 2 for ".cal" (any
// case), 0 for anything else, names of four characters or fewer included.
int32_t typeCodeForFileName(std::u16string_view fileName);

// A new, empty document of a type code (1 conversion, 2 calculation).
std::unique_ptr<Document> createDocument(int32_t typeCode);

// The question the user answers before an item is deleted.
std::u16string deleteConfirmationText(const Document& document, const Item& item);

// What a damaged document lost in the reading, in words: "1 unit and 13
// conversions could not be read", "its list of conversions could not be read
// whole", "it holds bytes that belong to no record". Empty for a document
// that is not damaged.
std::string damageText(const Document& document);
// What the document holds of what its file announces, as a repair would
// keep it: "14 of 15 units and 0 of 14 conversions" ("items" in a
// calculation file).
std::string keptText(const Document& document);

} // namespace pq
