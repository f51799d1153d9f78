#include "engine/wstring.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <string>

namespace pq {

namespace {

constexpr int32_t kMinimumReserve = 64;
constexpr int32_t kGrowthHeadroom = 16;
constexpr int32_t kMaxUnits = std::numeric_limits<int32_t>::max() - kGrowthHeadroom - 1;

int32_t clampedLength(size_t n) {
    return n > static_cast<size_t>(kMaxUnits) ? -1 : static_cast<int32_t>(n);
}

} // namespace

WString::WString(std::u16string_view text) { assign(text); }

WString::WString(const char16_t* text, int32_t count) { assign(text, count); }

WString::WString(const char* text8) {
    if (text8)
        assign8bit(reinterpret_cast<const unsigned char*>(text8),
                   clampedLength(std::strlen(text8)));
}

WString WString::withReserve(int32_t units) {
    WString s;
    s.reallocate(units < kMinimumReserve ? kMinimumReserve : units + 1);
    return s;
}

WString::WString(const WString& other) {
    if (other.buffer_) assign(other.view());
}

WString::WString(WString&& other) noexcept
    : buffer_(other.buffer_), capacity_(other.capacity_), length_(other.length_) {
    other.buffer_ = nullptr;
    other.capacity_ = other.length_ = 0;
}

WString& WString::operator=(const WString& other) {
    if (this != &other) assign(other.view());
    return *this;
}

WString& WString::operator=(WString&& other) noexcept {
    if (this != &other) {
        delete[] buffer_;
        buffer_ = other.buffer_;
        capacity_ = other.capacity_;
        length_ = other.length_;
        other.buffer_ = nullptr;
        other.capacity_ = other.length_ = 0;
    }
    return *this;
}

WString::~WString() { delete[] buffer_; }

bool WString::reallocate(int32_t newCapacity) {
    char16_t* fresh = new (std::nothrow) char16_t[static_cast<size_t>(newCapacity)];
    if (!fresh) return false;
    if (buffer_) std::memcpy(fresh, buffer_, sizeof(char16_t) * static_cast<size_t>(length_));
    fresh[length_] = 0;
    delete[] buffer_;
    buffer_ = fresh;
    capacity_ = newCapacity;
    return true;
}

bool WString::ensureRoom(int32_t units) {
    if (units < 0 || units > kMaxUnits - length_) return false;
    if (capacity_ >= length_ + units + 1) return true;
    return reallocate(length_ + units + kGrowthHeadroom);
}

bool WString::assign(std::u16string_view text) {
    if (text.empty()) {
        if (buffer_) buffer_[0] = 0;
        length_ = 0;
        return true;
    }
    int32_t count = clampedLength(text.size());
    if (count < 0) return false;
    return assign(text.data(), count);
}

bool WString::assign(const char16_t* text, int32_t count) {
    if (!text || count <= 0) {
        if (buffer_) buffer_[0] = 0;
        length_ = 0;
        return true;
    }
    // The source may lie inside our own buffer; copy before touching it.
    if (buffer_ && text >= buffer_ && text < buffer_ + capacity_) {
        WString copy(text, count);
        if (copy.length_ != count) return false;
        *this = std::move(copy);
        return true;
    }
    if (capacity_ < count + 1) {
        int32_t oldLength = length_;
        length_ = 0;
        if (!ensureRoom(count)) {
            length_ = oldLength;
            return false;
        }
    }
    std::memcpy(buffer_, text, sizeof(char16_t) * static_cast<size_t>(count));
    length_ = count;
    buffer_[length_] = 0;
    return true;
}

bool WString::append(std::u16string_view text) {
    int32_t count = clampedLength(text.size());
    if (count < 0) return false;
    return append(text.data(), count);
}

bool WString::append(const char16_t* text, int32_t count) {
    if (!text || count <= 0) return true;
    return replaceRange(length_, 0, std::u16string_view(text, static_cast<size_t>(count)));
}

bool WString::insertAt(int32_t pos, std::u16string_view text) {
    return replaceRange(std::clamp(pos, 0, length_), 0, text);
}

bool WString::replaceRange(int32_t pos, int32_t count, std::u16string_view text) {
    pos = std::clamp(pos, 0, length_);
    count = std::clamp(count, 0, length_ - pos);
    int32_t added = clampedLength(text.size());
    if (added < 0) return false;
    // Keep a copy when the new text is part of this string: growing or moving
    // the tail would overwrite it.
    std::u16string_view source = text;
    std::u16string own;
    if (buffer_ && !text.empty() && text.data() >= buffer_ && text.data() < buffer_ + capacity_) {
        own.assign(text);
        source = own;
    }
    if (added == 0 && count == 0) return true;
    if (added > count && !ensureRoom(added - count)) return false;
    int32_t tail = length_ - pos - count;
    std::memmove(buffer_ + pos + added, buffer_ + pos + count,
                 sizeof(char16_t) * static_cast<size_t>(tail));
    if (added > 0)
        std::memcpy(buffer_ + pos, source.data(), sizeof(char16_t) * static_cast<size_t>(added));
    length_ = length_ - count + added;
    buffer_[length_] = 0;
    return true;
}

int32_t WString::findChar(char16_t c, int32_t from) const {
    if (from < 0) from = 0;
    for (int32_t i = from; i < length_; ++i)
        if (buffer_[i] == c) return i;
    return -1;
}

void WString::trimRight() {
    while (length_ > 0 && buffer_[length_ - 1] == u' ') --length_;
    if (buffer_) buffer_[length_] = 0;
}

void WString::trimLeft() {
    int32_t n = 0;
    while (n < length_ && buffer_[n] == u' ') ++n;
    if (n > 0) replaceRange(0, n, {});
}

void WString::truncate(int32_t n) {
    if (n >= 0 && n < length_) {
        length_ = n;
        buffer_[length_] = 0;
    }
}

bool WString::assign8bit(const unsigned char* bytes, int32_t count) {
    if (!bytes || count <= 0) return assign(std::u16string_view());
    std::u16string wide(static_cast<size_t>(count), u'\0');
    for (int32_t i = 0; i < count; ++i) wide[static_cast<size_t>(i)] = bytes[i];
    return assign(wide);
}

} // namespace pq
