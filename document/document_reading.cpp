// Reading a document from its file, in the current or the legacy format,
// and finding again what follows a record that cannot be read. Reading never
// writes.
#include <algorithm>
#include <unordered_map>

#include "document/data_file.h"
#include "document/document.h"

namespace pq {

namespace {

// Looking for records past damage reads at most this many bytes in all (and
// four for every place tried), so that reading ends in good time on any file.
constexpr int64_t kRecoveryBudget = int64_t{1} << 28;

// The smallest item record: a type code, three empty texts, the shown word
// and a format of three words.
constexpr int64_t kSmallestItem = 4 + 3 * 4 + 4 + 12;
// The same in the legacy format: a type code, three empty texts and the flags.
constexpr int64_t kSmallestLegacyItem = 4 + 3 * 4 + 4;

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

std::string counted(int32_t n) { return std::to_string(n); }

} // namespace

void Document::readFailed(std::string reason) {
    errorText_ = std::move(reason);
    clearItems();
    loaded = false;
    legacy_ = false;
    readState_ = ReadState{};
    readState_.kind = ReadState::Kind::Failed;
    readState_.reason = errorText_;
}

bool Document::loadFrom(const std::string& path, bool full) {
    clearItems();
    errorText_.clear();
    droppedUnits_ = 0;
    droppedConversions_ = 0;
    conversionsInFile_ = 0;
    legacyKept_ = false;
    recoveryBudget_ = kRecoveryBudget;
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
    if (full && itemCount > (file.size() - file.position()) / kSmallestItem) {
        readFailed("its header announces more units than the file can hold");
        return false;
    }
    if (full) {
        std::vector<Item*> units;
        bool extraFollows = true;
        if (!readItems(file, itemCount, units, extraFollows)) {
            readFailed(errorText_);
            return false;
        }
        if (extraFollows) {
            readExtra(file, units);
        } else if (typeCode() == ConversionDocument::kTypeCode) {
            conversionsInFile_ = droppedConversions_ = -1; // where the list was is not known
        }
    }
    file_ = file.identity();
    version_ = file.version();
    legacy_ = false;
    loaded = full;
    modified_ = false;
    if (full) judgeRead(file, path);
    return true;
}

bool Document::readItems(DataFile& file, int32_t count, std::vector<Item*>& units,
                         bool& extraFollows) {
    units.assign(static_cast<size_t>(count), nullptr);
    extraFollows = true;
    std::vector<int64_t> starts; // where each unit read began
    for (int32_t i = 0; i < count; ++i) {
        starts.push_back(file.position());
        int32_t type = 0;
        std::unique_ptr<Item> item;
        if (!file.readInt32(type)) {
            errorText_ = "it ends before unit " + counted(i + 1) + " of the " + counted(count) +
                         " its header announces";
        } else if (!(item = createItem(type))) {
            errorText_ =
                "unit " + counted(i + 1) +
                " is of a kind this version of PqConverter does not know (it may come from a newer "
                "version)";
        } else if (item->read(file) == 0) {
            errorText_ = "unit " + counted(i + 1) + " cannot be read";
        } else {
            units[static_cast<size_t>(i)] = item.get();
            items.push_back(std::move(item));
            continue;
        }
        recoverItems(file, starts, count, units, extraFollows);
        droppedUnits_ = count - static_cast<int32_t>(items.size());
        // A file of which not one unit could be read holds nothing to keep.
        return !items.empty();
    }
    return true;
}

void Document::recoverItems(DataFile& file, const std::vector<int64_t>& starts, int32_t count,
                            std::vector<Item*>& units, bool& extraFollows) {
    // A unit misread (a text whose length was spoilt, say) may have run into
    // the units after it: the data after the items is looked for from within
    // the last unit read.
    const int64_t failedAt = starts.back();
    const int64_t from = starts.size() >= 2 ? starts[starts.size() - 2] + 4 : failedAt;
    if (const std::optional<int64_t> extra = findExtra(file, from, count)) {
        recoverItemsBefore(file, starts, count, *extra, units);
        file.seek(*extra);
        return;
    }
    // Without it, the units after the one that failed are found again where
    // all of them but that one read and the data after them may begin.
    const int32_t left = count - static_cast<int32_t>(starts.size());
    std::optional<std::vector<std::unique_ptr<Item>>> run;
    int64_t runEnd = 0;
    for (int64_t at = failedAt + 1; left > 0 && at < file.size() && recoveryBudget_ > 0; ++at) {
        auto found = readItemRun(file, at, left);
        if (!found || static_cast<int32_t>(found->size()) != left || !extraMayBeginHere(file))
            continue;
        run = std::move(found);
        runEnd = file.position();
        break;
    }
    extraFollows = run.has_value();
    if (!run) return;
    size_t place = static_cast<size_t>(count) - run->size();
    for (auto& found : *run) {
        units[place++] = found.get();
        items.push_back(std::move(found));
    }
    file.seek(runEnd);
}

void Document::recoverItemsBefore(DataFile& file, const std::vector<int64_t>& starts, int32_t count,
                                  int64_t end, std::vector<Item*>& units) {
    // chains[at]: how many units read one after the other from `at` to
    // exactly `end`, for every place from which they do.
    const int64_t first = starts.front();
    std::unordered_map<int64_t, int32_t> chains{{end, 0}};
    for (int64_t at = end - 1; at >= first && recoveryBudget_ > 0; --at) {
        if (!readStrictItem(file, at, end)) continue;
        if (const auto next = chains.find(file.position()); next != chains.end())
            chains[at] = next->second + 1;
    }
    // Keep the first `kept` units read, then the longest run that begins
    // after them: the choice that keeps the most units. A run longer than
    // the units the header leaves for it is no run of this file.
    const int32_t read = static_cast<int32_t>(starts.size()) - 1;
    int32_t bestKept = read, bestRun = 0;
    int64_t bestAt = end;
    for (int32_t kept = read; kept >= 0 && kept >= read - 16; --kept) {
        for (const auto& [at, run] : chains) {
            if (at < starts[static_cast<size_t>(kept)] || run <= 0 || run > count - kept ||
                kept + run < bestKept + bestRun ||
                (kept + run == bestKept + bestRun && (kept < bestKept || at >= bestAt)))
                continue;
            bestKept = kept;
            bestRun = run;
            bestAt = at;
        }
    }
    while (static_cast<int32_t>(items.size()) > bestKept) {
        units[items.size() - 1] = nullptr;
        items.pop_back();
    }
    size_t place = static_cast<size_t>(count - bestRun);
    for (int64_t at = bestAt; at < end; at = file.position()) {
        std::unique_ptr<Item> item = readStrictItem(file, at, end);
        if (!item) break; // cannot be: the run was read before
        units[place++] = item.get();
        items.push_back(std::move(item));
    }
}

std::unique_ptr<Item> Document::readStrictItem(DataFile& file, int64_t at, int64_t end) {
    int32_t type = 0;
    recoveryBudget_ -= 4;
    if (!file.seek(at) || !file.readInt32(type) || type != typeCode()) return nullptr;
    std::unique_ptr<Item> item = createItem(type);
    const bool read = item->read(file) != 0 && (end < 0 || file.position() <= end);
    recoveryBudget_ -= file.position() - at;
    return read ? std::move(item) : nullptr;
}

std::optional<std::vector<std::unique_ptr<Item>>>
Document::readItemRun(DataFile& file, int64_t from, int32_t most) {
    std::vector<std::unique_ptr<Item>> run;
    for (int64_t at = from; static_cast<int32_t>(run.size()) < most; at = file.position()) {
        std::unique_ptr<Item> item = readStrictItem(file, at, -1);
        if (!item) {
            file.seek(at); // the run ends before what could not be read
            break;
        }
        run.push_back(std::move(item));
    }
    if (run.empty()) return std::nullopt;
    return run;
}

std::optional<int64_t> CalculationDocument::findExtra(DataFile& file, int64_t, int32_t) {
    return file.size(); // nothing follows the items
}

bool Document::readLegacyItems(DataFile& file, int32_t count, std::vector<Item*>& units) {
    units.assign(static_cast<size_t>(count), nullptr);
    for (int32_t i = 0; i < count; ++i) {
        int32_t type;
        if (!file.readInt32(type)) {
            errorText_ = "it ends before unit " + counted(i + 1) + " of the " + counted(count) +
                         " its header announces";
            return false;
        }
        std::unique_ptr<Item> item = createItem(type);
        if (!item) {
            errorText_ =
                "unit " + counted(i + 1) +
                " is of a kind this version of PqConverter does not know (it may come from a newer "
                "version)";
            return false;
        }
        // An item whose record cannot be read is dropped; loading goes on.
        if (item->readLegacy(file) != 0) {
            units[static_cast<size_t>(i)] = item.get();
            items.push_back(std::move(item));
        } else {
            ++droppedUnits_;
        }
    }
    return true;
}

bool Document::loadLegacy(const std::string& path) {
    DataFile file;
    int32_t magic;
    int32_t count;
    bool ok = file.openRead(path) && file.readInt32(magic) && file.readText(title) &&
              file.readInt32(count) && count >= 0 &&
              count <= (file.size() - file.position()) / kSmallestLegacyItem;
    if (!ok) {
        readFailed(file.isOpen() ? "its header cannot be read" : file.errorText());
        return false;
    }
    std::vector<Item*> units;
    if (!readLegacyItems(file, count, units)) {
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
        if (ok && position >= 0 && position < count && units[static_cast<size_t>(position)])
            units[static_cast<size_t>(position)]->shown = 1;
    }
    if (!ok) {
        readFailed("its list of shown units cannot be read");
        return false;
    }
    readLegacyExtra(file, units);
    file_ = file.identity();
    version_ = file.version();
    // The file stays in its format until the document is first saved; it
    // is read whole, whatever was asked, and stays loaded.
    legacy_ = true;
    loaded = true;
    modified_ = false;
    judgeRead(file, path);
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
        // A record that cannot be read: reading the file whole finds what
        // follows it.
        if (item->read(file) == 0) return false;
        if (!visit(*item)) return true;
    }
    return true;
}

bool Document::readWithoutConverting(const std::string& path) {
    lookingOnly_ = true;
    const bool ok = loadFrom(path, true);
    lookingOnly_ = false;
    return ok;
}

bool Document::readImage(const std::vector<uint8_t>& image) {
    DataFile file;
    file.openBytes(image);
    int32_t magic = 0;
    WString updated, header, group;
    int32_t count = 0;
    if (!file.readInt32(magic) || static_cast<uint32_t>(magic) != kMagic ||
        readHeader(file, updated, header, group, count))
        return false;
    currentItem = nullptr;
    clearItems();
    droppedUnits_ = 0;
    droppedConversions_ = 0;
    conversionsInFile_ = 0;
    recoveryBudget_ = 0; // an image reads whole, or not at all
    std::vector<Item*> units;
    bool extraFollows = true;
    if (!readItems(file, count, units, extraFollows) || !extraFollows) return false;
    readExtra(file, units);
    if (droppedUnits_ > 0 || droppedConversions_ != 0 || file.position() != file.size())
        return false;
    updatedText = updated;
    title = header;
    category = group;
    itemCount = count;
    return true;
}

} // namespace pq
