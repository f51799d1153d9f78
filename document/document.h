#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/conversion.h"
#include "document/data_folder.h"
#include "document/file_reading.h"
#include "document/item.h"
#include "document/read_state.h"
#include "document/save_result.h"
#include "engine/wstring.h"

namespace pq {

class DataFile;
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
    // state. A file in the legacy format is read whole and, when nothing was
    // dropped and it may be written, rewritten in the current format at
    // once. A failed load leaves the document unloaded.
    bool load(const DataFolder& folder, bool full, std::u16string_view newName = {});
    bool loadFrom(const std::string& path, bool full);
    // Reads the whole file to find units in, and never writes it: a file in
    // the legacy format is read as it is and stays so, and the document is
    // read-only.
    bool readWithoutConverting(const std::string& path);
    // Writes the whole document, whatever its state; the old file stays as
    // it was when any step fails. The program's own road is saveChanges.
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
    // whose size or modification time changed since it was read or saved.
    SaveResult saveChanges(const DataFolder& folder, bool replaceChanged = false);
    // The file on disk is no longer the version read or saved last (a file
    // that is gone counts as unchanged: saving it loses nothing).
    bool changedOnDisk(const DataFolder& folder) const;
    // Reads the file again, dropping every change in memory.
    bool reload(const DataFolder& folder);
    // Keeps what could be read of a damaged file: its bytes are first copied
    // to "<file>.damaged" beside it (".damaged-2", ... when that exists;
    // an earlier backup is never overwritten), then the document becomes
    // editable and is saved. `backup` receives the backup's file name.
    SaveResult repair(const DataFolder& folder, std::string& backup);

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
    virtual void writeExtra(DataFile& file) const = 0;
    virtual void readExtra(DataFile& file) = 0;
    virtual void readLegacyExtra(DataFile& file) = 0;

    // An update file applied to the items: deleted once they were saved
    // into the document's own file, so that a failed save loses nothing.
    void keepUntilSaved(const std::string& updatePath, FileIdentity identity);

    // Set by readExtra: conversion records that were read but could not be
    // kept, and whether the list's count is beyond what the file holds.
    int droppedConversions_ = 0;
    bool conversionCountDamaged_ = false;

  private:
    bool readItems(DataFile& file, int32_t count, bool legacy);
    // Reads an image into the document; false when it does not read whole.
    bool readImage(const std::vector<uint8_t>& image);
    bool loadLegacy(const std::string& path);
    void writeContent(DataFile& file) const;
    // After a full read: whole, damaged or read-only.
    void judgeRead(const DataFile& file, const std::string& path);
    void readFailed(std::string reason);

    std::string errorText_;
    // A reading to find units in, never to edit: a legacy file stays as it
    // is, and the document is read-only without asking the file's rights.
    bool lookingOnly_ = false;
    ReadState readState_;
    bool modified_ = false;
    int droppedUnits_ = 0;
    // The version of the file read or saved last; none for a new document.
    std::optional<FileStamp> stamp_;
    // The version of the file saveTo wrote last.
    std::optional<FileStamp> written_;
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
    void readExtra(DataFile& file) override;
    void readLegacyExtra(DataFile& file) override { readExtra(file); }
};

class CalculationDocument : public Document {
  public:
    static constexpr int32_t kTypeCode = 2;

    int32_t typeCode() const override { return kTypeCode; }
    void computeAll(ExpressionEngine& engine) override;

  protected:
    void writeExtra(DataFile&) const override {}
    void readExtra(DataFile&) override {}
    void readLegacyExtra(DataFile&) override {}
};

// The document type a file name asks for: 1 for ".cnv", 2 for ".cal" (any
// case), 0 for anything else, names of four characters or fewer included.
int32_t typeCodeForFileName(std::u16string_view fileName);

// A new, empty document of a type code (1 conversion, 2 calculation).
std::unique_ptr<Document> createDocument(int32_t typeCode);

// The question the user answers before an item is deleted.
std::u16string deleteConfirmationText(const Document& document, const Item& item);

} // namespace pq
