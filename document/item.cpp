#include "document/item.h"

#include "document/data_file.h"

namespace pq {

namespace {

constexpr int32_t kKnownFormats = [] {
    int32_t mask = 0;
    for (int32_t code : kFormatCodes) mask |= code;
    return mask;
}();

} // namespace

std::unique_ptr<Item> createItem(int32_t typeCode) {
    switch (typeCode) {
    case UnitItem::kTypeCode: return std::make_unique<UnitItem>();
    case CalcItem::kTypeCode: return std::make_unique<CalcItem>();
    default: return nullptr;
    }
}

std::u16string Item::displayValue() const {
    switch (state) {
    case ValueState::Valid: return format.formatForDisplay(value);
    case ValueState::Error: return kErrorText;
    default: return {};
    }
}

void Item::copyFrom(const Item& other) {
    name = other.name;
    format = other.format;
    identifier = other.identifier;
    valueText = other.valueText;
    value = other.value;
    state = other.state;
}

void writeFormat(DataFile& file, const NumberFormat& format) {
    file.writeInt32(format.allowedFormats);
    file.writeInt32(format.displayFormat);
    file.writeInt32(format.entryFormat);
    if (format.allows(Compound)) {
        for (size_t i = 0; i < NumberFormat::kMaxParts; ++i) {
            file.writeText(format.labels[i]);
            file.writeDouble(format.fractions[i]);
        }
    }
}

bool readFormat(DataFile& file, NumberFormat& format) {
    if (!file.readInt32(format.allowedFormats) || !file.readInt32(format.displayFormat) ||
        !file.readInt32(format.entryFormat))
        return false;
    if (format.allows(Compound)) {
        for (size_t i = 0; i < NumberFormat::kMaxParts; ++i)
            if (!file.readText(format.labels[i]) || !file.readDouble(format.fractions[i]))
                return false;
    }
    return true;
}

void Item::write(DataFile& file) const {
    file.writeText(name);
    file.writeText(identifier);
    file.writeText(valueText);
    file.writeInt32(shown);
    writeFormat(file, format);
}

int64_t Item::read(DataFile& file) {
    const int64_t start = file.position();
    // A shown word other than 0 and 1, or formats that do not exist, are no
    // item record the program wrote: the bytes are read out of place.
    if (!file.readText(name) || !file.readText(identifier) || !file.readText(valueText) ||
        !file.readInt32(shown) || (shown != 0 && shown != 1))
        return 0;
    readFormat(file, format); // a damaged format keeps the item
    if ((format.allowedFormats & ~kKnownFormats) != 0) return 0;
    return file.position() - start;
}

int64_t Item::readLegacy(DataFile& file) {
    const int64_t start = file.position();
    int32_t flags;
    if (!file.readText(identifier) || !file.readText(name) || !file.readText(valueText) ||
        !file.readInt32(flags))
        return 0;
    // Formats that do not exist are no item record the program wrote, as
    // in the current format.
    if ((flags & ~kKnownFormats) != 0) return 0;
    identifier.trimRight();
    name.trimRight();
    shown = 0; // only the shown list turns items on
    format.setAllowedFormats(flags);
    if (flags & 1) {
        std::array<WString, NumberFormat::kMaxParts> labels;
        std::array<double, NumberFormat::kMaxParts> fractions{};
        bool complete = true;
        for (size_t i = 0; i < NumberFormat::kMaxParts && complete; ++i)
            complete = file.readText(labels[i]) && file.readDouble(fractions[i]);
        if (complete) format.setParts(labels, fractions); // damaged parts keep the item
    }
    return file.position() - start;
}

void CalcItem::write(DataFile& file) const {
    Item::write(file);
    file.writeInt32(role);
}

int64_t CalcItem::read(DataFile& file) {
    const int64_t taken = Item::read(file);
    if (taken == 0 || !file.readInt32(role)) return 0;
    return taken + 4;
}

int64_t CalcItem::readLegacy(DataFile& file) {
    const int64_t taken = Item::readLegacy(file);
    if (taken == 0 || !file.readInt32(role)) return 0;
    const int64_t identifierBytes = file.readText(identifier);
    if (identifierBytes == 0) return 0;
    return taken + 4 + identifierBytes;
}

void CalcItem::copyFrom(const Item& other) {
    Item::copyFrom(other);
    if (other.typeCode() == kTypeCode) role = static_cast<const CalcItem&>(other).role;
}

} // namespace pq
