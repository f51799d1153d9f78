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

bool Document::save(const DataFolder& folder) {
    return commitTo(filePath(folder), {}, true) == SaveResult::Outcome::Saved;
}

void Document::saved() {
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
    return commitTo(path, {}, false) == SaveResult::Outcome::Saved;
}

SaveResult::Outcome Document::commitTo(const std::string& path, const ExpectedOnDisk& expected,
                                       bool ownFile) {
    DataFile file;
    errorText_.clear();
    if (!file.openWrite(path, file_)) {
        errorText_ = file.errorText();
        return SaveResult::Outcome::Failed;
    }
    writeContent(file);
    const bool committed = file.commit(expected);
    // The file holds this content now, even when its folder could not be
    // flushed after it: the next save expects this version.
    if (file.version()) {
        file_ = file.identity();
        if (ownFile) {
            version_ = file.version();
            legacy_ = false;
        }
    }
    if (committed) {
        if (ownFile) saved();
        return SaveResult::Outcome::Saved;
    }
    errorText_ = file.errorText();
    if (errorText_.empty()) errorText_ = "the content cannot be stored in a data file";
    if (file.conflict() && expected.kind == ExpectedOnDisk::Kind::Version)
        return SaveResult::Outcome::ChangedOnDisk;
    return SaveResult::Outcome::Failed;
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

bool Document::restore(const std::vector<uint8_t>& image) {
    // A copy reads it first, so that bytes that do not read whole change
    // nothing here.
    std::unique_ptr<Document> copy = createDocument(typeCode());
    if (!copy || !copy->readImage(image) || !readImage(image)) return false;
    modified_ = true;
    return true;
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
