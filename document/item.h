#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/number_format.h"
#include "engine/wstring.h"

namespace pq {

class DataFile;

// The state of an item's value. During the chain search Error also marks an
// item that is being solved.
enum class ValueState : int32_t { Empty = 0, Valid = 1, Error = 2 };

enum ItemRole : int32_t { Input = 0, Output = 1 };

// A unit of a conversion file or an input or output of a calculation file.
class Item {
  public:
    virtual ~Item() = default;
    Item(const Item&) = delete;
    Item& operator=(const Item&) = delete;

    virtual bool isOutput() const { return false; }
    virtual int32_t typeCode() const = 0;
    // The file records; read and readLegacy return the bytes taken, or 0
    // when the record cannot be read (the item is then dropped).
    virtual void write(DataFile& file) const;
    virtual int64_t read(DataFile& file);
    virtual int64_t readLegacy(DataFile& file);
    // Copies name, format, identifier, value text, value and state.
    virtual void copyFrom(const Item& other);

    // What the unit list shows: nothing while Empty, the formatted value
    // when Valid, "Error" after a failed computation.
    std::u16string displayValue() const;

    int32_t index = 0; // position in the document, set before each save
    WString name;
    NumberFormat format;
    int32_t shown = 1;
    WString identifier;
    double value = 0;
    ValueState state = ValueState::Empty;
    WString valueText;

  protected:
    Item() = default;
};

class UnitItem : public Item {
  public:
    static constexpr int32_t kTypeCode = 1;
    int32_t typeCode() const override { return kTypeCode; }
};

class CalcItem : public Item {
  public:
    static constexpr int32_t kTypeCode = 2;
    int32_t typeCode() const override { return kTypeCode; }
    bool isOutput() const override { return role == Output; }
    void write(DataFile& file) const override;
    int64_t read(DataFile& file) override;
    int64_t readLegacy(DataFile& file) override;
    void copyFrom(const Item& other) override;

    int32_t role = Input;
};

// A new item of a type code (1 unit, 2 calculation item); none for others.
std::unique_ptr<Item> createItem(int32_t typeCode);

// The record of a number format: three words, and the four compound parts
// when compound is allowed. readFormat returns false when a part of it
// cannot be read.
void writeFormat(DataFile& file, const NumberFormat& format);
bool readFormat(DataFile& file, NumberFormat& format);

} // namespace pq
