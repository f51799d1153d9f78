#include "document/document.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "document/data_file.h"
#include "engine/calendar_date.h"
#include "engine/format_text.h"
#include "engine/text.h"

namespace pq {

namespace {

// The 'now' of a new or updated document.
double currentLocalDay() {
    CalendarDate now;
    now.setNow();
    return now.day;
}

// The header of a file of the current format after its magic number: its
// length, the updated text, title, category and item count. The reason when
// it cannot be read, else null.
const char* readHeader(DataFile& file, WString& updated, WString& title, WString& category,
                       int32_t& count) {
    int32_t length = 0;
    if (!file.readInt32(length) || length != file.size())
        return "its length does not match its size: it was cut short or extended";
    if (!file.readText(updated) || !file.readText(title) || !file.readText(category) ||
        !file.readInt32(count) || count < 0)
        return "its header cannot be read";
    return nullptr;
}

} // namespace

Document::Document() = default;

Document::~Document() = default;

std::u16string_view Document::extension() const {
    switch (typeCode()) {
    case ConversionDocument::kTypeCode: return u".cnv";
    case CalculationDocument::kTypeCode: return u".cal";
    default: return u"";
    }
}

std::u16string Document::fileNameWithExtension() const {
    return std::u16string(name.view()) + std::u16string(extension());
}

std::string Document::filePath(const DataFolder& folder) const {
    return folder.folder() + toUtf8(fileNameWithExtension());
}

void Document::removeItems(size_t first, size_t count) {
    if (first >= items.size()) return;
    count = std::min(count, items.size() - first);
    auto begin = items.begin() + static_cast<std::ptrdiff_t>(first);
    auto end = begin + static_cast<std::ptrdiff_t>(count);
    for (auto it = begin; it != end; ++it)
        if (it->get() == currentItem) currentItem = nullptr;
    items.erase(begin, end);
}

void Document::removeItem(const Item* item) {
    for (size_t i = items.size(); i-- > 0;)
        if (items[i].get() == item) removeItems(i, 1);
}

void Document::clearItems() { removeItems(0, items.size()); }

std::optional<size_t> Document::indexOf(const Item* item) const {
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].get() == item) return i;
    return std::nullopt;
}

void Document::setUpdatedText(std::u16string_view text) {
    if (!text.empty())
        updatedText.assign(text);
    else
        updatedText.assign(displayDate(currentLocalDay(), true));
}

std::u16string Document::itemCountText() {
    if (loaded) itemCount = static_cast<int32_t>(items.size());
    return widen(std::to_string(itemCount)) + u" units";
}

bool Document::load(const DataFolder& folder, bool full, std::u16string_view newName) {
    if (!newName.empty()) name.assign(newName);
    return loadFrom(filePath(folder), full);
}

bool Document::readItems(DataFile& file, int32_t count, bool legacy) {
    droppedUnits_ = 0;
    for (int32_t i = 0; i < count; ++i) {
        int32_t type;
        if (!file.readInt32(type)) {
            errorText_ = "it ends before unit " + std::to_string(i + 1) + " of the " +
                         std::to_string(count) + " its header announces";
            return false;
        }
        std::unique_ptr<Item> item = createItem(type);
        if (!item) {
            errorText_ = "unit " + std::to_string(i + 1) +
                         " is of a kind this version of PqConverter does not know (it may come "
                         "from a newer version)";
            return false;
        }
        // An item whose record cannot be read is dropped; loading goes on.
        if ((legacy ? item->readLegacy(file) : item->read(file)) != 0)
            items.push_back(std::move(item));
        else
            ++droppedUnits_;
    }
    return true;
}

void Document::readFailed(std::string reason) {
    errorText_ = std::move(reason);
    clearItems();
    loaded = false;
    readState_ = ReadState{ReadState::Kind::Failed, 0, 0, false, errorText_};
}

bool Document::loadFrom(const std::string& path, bool full) {
    clearItems();
    errorText_.clear();
    droppedConversions_ = 0;
    conversionCountDamaged_ = false;
    DataFile file;
    if (!file.openRead(path)) {
        readFailed(file.errorText());
        return false;
    }
    int32_t magic = 0;
    const bool magicRead = file.readInt32(magic);
    if (magicRead && static_cast<uint32_t>(magic) == kLegacyMagic) {
        file.close();
        return loadLegacy(path);
    }
    if (!magicRead || static_cast<uint32_t>(magic) != kMagic) {
        readFailed("it is not a data file");
        return false;
    }
    if (const char* failure = readHeader(file, updatedText, title, category, itemCount)) {
        readFailed(failure);
        return false;
    }
    if (full) {
        if (!readItems(file, itemCount, false)) {
            readFailed(errorText_);
            return false;
        }
        readExtra(file);
    }
    file_ = file.identity();
    stamp_ = file.stamp();
    loaded = full;
    modified_ = false;
    if (full) judgeRead(file, path);
    return true;
}

bool Document::loadLegacy(const std::string& path) {
    DataFile file;
    int32_t magic;
    int32_t count;
    bool ok = file.openRead(path) && file.readInt32(magic) && file.readText(title) &&
              file.readInt32(count) && count >= 0;
    if (!ok) {
        readFailed(file.isOpen() ? "its header cannot be read" : file.errorText());
        return false;
    }
    if (!readItems(file, count, true)) {
        readFailed(errorText_);
        return false;
    }
    itemCount = count;
    int32_t shownCount = 0;
    ok = file.readInt32(shownCount) && shownCount >= 0;
    for (int32_t i = 0; ok && i < shownCount; ++i) {
        int32_t ignored, position;
        ok = file.readInt32(ignored) && file.readInt32(position) && file.readInt32(ignored);
        // An entry that names no item of the list is passed over.
        if (ok && position >= 0 && static_cast<size_t>(position) < items.size())
            items[static_cast<size_t>(position)]->shown = 1;
    }
    if (!ok) {
        readFailed("its list of shown units cannot be read");
        return false;
    }
    file_ = file.identity();
    stamp_ = file.stamp();
    readLegacyExtra(file);
    // The document stays loaded from here on, whatever was asked.
    loaded = true;
    modified_ = false;
    judgeRead(file, path);
    file.close();
    // A file read whole is converted to the current format at once; one
    // that lost records or may not be written stays as it is.
    if (!lookingOnly_ && editable() && saveTo(path)) stamp_ = written_;
    return true;
}

bool Document::scanItems(const std::string& path, const std::function<bool(const Item&)>& visit) {
    DataFile file;
    int32_t magic = 0;
    if (!file.openRead(path) || !file.readInt32(magic) || static_cast<uint32_t>(magic) != kMagic)
        return false;
    WString updated, title, category;
    int32_t count = 0;
    if (readHeader(file, updated, title, category, count)) return false;
    std::unique_ptr<Item> unit, calc; // read again and again
    for (int32_t i = 0; i < count; ++i) {
        int32_t type = 0;
        if (!file.readInt32(type)) return false;
        std::unique_ptr<Item>& item = type == CalcItem::kTypeCode ? calc : unit;
        if (!item) item = createItem(type);
        if (!item || item->typeCode() != type) return false;
        // A record that cannot be read is dropped, as a full read drops it.
        if (item->read(file) != 0 && !visit(*item)) return true;
    }
    return true;
}

bool Document::readWithoutConverting(const std::string& path) {
    lookingOnly_ = true;
    const bool ok = loadFrom(path, true);
    lookingOnly_ = false;
    return ok;
}

bool Document::save(const DataFolder& folder) {
    if (!saveTo(filePath(folder))) return false;
    stamp_ = written_;
    modified_ = false;
    if (!appliedUpdate_.empty()) {
        // Only the update file that was applied goes, not a newer one
        // stored since.
        struct stat info {};
        if (::lstat(appliedUpdate_.c_str(), &info) == 0 &&
            FileIdentity{info.st_dev, info.st_ino} == appliedUpdateIdentity_)
            ::unlink(appliedUpdate_.c_str());
        appliedUpdate_.clear();
    }
    return true;
}

void Document::keepUntilSaved(const std::string& updatePath, FileIdentity identity) {
    appliedUpdate_ = updatePath;
    appliedUpdateIdentity_ = identity;
}

void Document::writeContent(DataFile& file) const {
    file.writeInt32(static_cast<int32_t>(kMagic));
    file.writeInt32(4); // the length, filled in at the end
    file.writeText(updatedText);
    file.writeText(title);
    file.writeText(category);
    file.writeInt32(static_cast<int32_t>(items.size()));
    for (size_t i = 0; i < items.size(); ++i) {
        Item& item = *items[i];
        item.index = static_cast<int32_t>(i);
        file.writeInt32(item.typeCode());
        item.write(file);
    }
    writeExtra(file);
    const int32_t total = static_cast<int32_t>(file.size());
    uint8_t length[4] = {static_cast<uint8_t>(total), static_cast<uint8_t>(total >> 8),
                         static_cast<uint8_t>(total >> 16), static_cast<uint8_t>(total >> 24)};
    file.writeAt(4, length, 4);
}

bool Document::saveTo(const std::string& path) {
    DataFile file;
    errorText_.clear();
    if (!file.openWrite(path, file_)) {
        errorText_ = file.errorText();
        return false;
    }
    writeContent(file);
    if (!file.commit()) {
        errorText_ = file.errorText();
        if (errorText_.empty()) errorText_ = "the content cannot be stored in a data file";
        return false;
    }
    file_ = file.identity();
    written_ = file.stamp();
    return true;
}

bool Document::ensureLoaded(const DataFolder& folder) {
    if (!loaded) loaded = load(folder, true);
    return loaded;
}

void Document::unload() {
    if (!loaded) return;
    itemCount = static_cast<int32_t>(items.size());
    loaded = false;
    clearItems();
}

int32_t typeCodeForFileName(std::u16string_view fileName) {
    if (fileName.size() <= 4) return 0;
    if (endsWithIgnoreCase(fileName, u".cnv")) return ConversionDocument::kTypeCode;
    if (endsWithIgnoreCase(fileName, u".cal")) return CalculationDocument::kTypeCode;
    return 0;
}

std::unique_ptr<Document> createDocument(int32_t typeCode) {
    switch (typeCode) {
    case ConversionDocument::kTypeCode: return std::make_unique<ConversionDocument>();
    case CalculationDocument::kTypeCode: return std::make_unique<CalculationDocument>();
    default: return nullptr;
    }
}

std::u16string deleteConfirmationText(const Document& document, const Item& item) {
    const std::u16string quoted = u"\"" + std::u16string(item.name.view()) + u"\"";
    if (document.typeCode() == CalculationDocument::kTypeCode)
        return quoted +
               u" may be used to calculate other output values.\nDo you really want to delete?";
    const auto& conversions = static_cast<const ConversionDocument&>(document);
    if (conversions.countConversionsOf(&item) < 2) return u"Do you want to delete " + quoted + u"?";
    return quoted +
           u" has multiple direct conversion formulas attached to it. It may be used as a bridge "
           u"to convert between other units.\nDo you really want to delete?";
}

} // namespace pq
