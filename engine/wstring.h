#pragma once

#include <cstdint>
#include <string_view>

namespace pq {

// The owned, growable, NUL-terminated UTF-16 text of the engine and the
// document records. The growth rules are fixed so that buffer sizes are
// predictable: a reserve below 64 units allocates 64, and growing an existing
// string allocates exactly what is needed plus 16 units of headroom.
//
// Every operation that may allocate reports failure (out of memory) by
// returning false and leaves the text as it was.
class WString {
  public:
    WString() = default;
    WString(std::u16string_view text);
    WString(const char16_t* text, int32_t count);
    explicit WString(const char* text8);
    static WString withReserve(int32_t units);

    WString(const WString& other);
    WString(WString&& other) noexcept;
    WString& operator=(const WString& other);
    WString& operator=(WString&& other) noexcept;
    WString& operator=(std::u16string_view text) {
        assign(text);
        return *this;
    }
    virtual ~WString();

    bool ensureRoom(int32_t units);
    bool assign(std::u16string_view text);
    bool assign(const char16_t* text, int32_t count);
    bool append(std::u16string_view text);
    bool append(const char16_t* text, int32_t count);
    bool append(char16_t unit) { return append(&unit, 1); }
    bool insertAt(int32_t pos, std::u16string_view text);
    bool replaceRange(int32_t pos, int32_t count, std::u16string_view text);
    int32_t findChar(char16_t c, int32_t from = 0) const;
    void trimRight();
    void trimLeft();
    void truncate(int32_t n);
    bool assign8bit(const unsigned char* bytes, int32_t count);

    int32_t length() const { return length_; }
    int32_t capacity() const { return capacity_; }
    bool empty() const { return length_ == 0; }
    bool hasBuffer() const { return buffer_ != nullptr; }

    // The text; a string without a buffer reads as "".
    const char16_t* c_str() const { return buffer_ ? buffer_ : u""; }
    std::u16string_view view() const { return {c_str(), static_cast<size_t>(length_)}; }
    operator std::u16string_view() const { return view(); }
    char16_t operator[](int32_t i) const { return buffer_[i]; }

    friend bool operator==(const WString& a, const WString& b) { return a.view() == b.view(); }
    friend bool operator==(const WString& a, std::u16string_view b) { return a.view() == b; }

  private:
    bool reallocate(int32_t newCapacity);

    char16_t* buffer_ = nullptr;
    int32_t capacity_ = 0;
    int32_t length_ = 0;
};

} // namespace pq
