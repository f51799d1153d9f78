#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/conversion.h"
#include "document/data_folder.h"
#include "document/file_reading.h"
#include "document/item.h"
#include "engine/wstring.h"

namespace pq {

class DataFile;
class ExpressionEngine;

// One data file: a conversion file (units and conversions) or a calculation
// file (inputs and formula outputs). A document is either loaded (its items
// are in memory) or known by its header alone (title, category, name,
// updated text, date and item count).
class Document {
  public:
    static constexpr uint32_t kMagic = 0xC040A010;
    static constexpr uint32_t kLegacyMagic = 0xC0215192;

    virtual ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

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

    // Reads the file (the header alone unless full); a file in the legacy
    // format is read whole and rewritten in the current format at once. A
    // failed load leaves the document unloaded, so it is never saved over
    // its file.
    bool load(const DataFolder& folder, bool full, std::u16string_view newName = {});
    bool loadFrom(const std::string& path, bool full);
    // Reads the whole file and never writes it: a file in the legacy format
    // is read as it is and stays so.
    bool readWithoutConverting(const std::string& path);
    // Writes the whole document; the old file stays as it was when any step
    // fails.
    bool save(const DataFolder& folder);
    bool saveTo(const std::string& path);
    bool ensureLoaded(const DataFolder& folder);
    // Why the last load or save failed ("not a regular file", "permission
    // denied", "no space left on device", ...); empty after success.
    const std::string& errorText() const { return errorText_; }
    // Saves (with a folder) and drops the items, keeping the header.
    void unload(const DataFolder* folder);

    std::vector<std::unique_ptr<Item>> items;
    Item* currentItem = nullptr;
    WString title;
    WString category;
    WString name;
    bool loaded = true;
    WString updatedText;
    double fileDate = 0;
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

  private:
    bool readItems(DataFile& file, int32_t count, bool legacy);
    bool loadLegacy(const std::string& path);

    std::string errorText_;
    bool convertLegacy_ = true;
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
    // next saved into its own file. True when an update file was applied.
    bool applyPendingUpdate(const DataFolder& folder, ExpressionEngine& engine);

    std::vector<std::unique_ptr<Conversion>> conversions;

  protected:
    // The one unit with this identifier (any case); none when no unit or
    // several have it.
    Item* uniqueItemWithIdentifier(std::u16string_view identifier) const;
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
