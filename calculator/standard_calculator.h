#pragma once

#include <string>
#include <string_view>

namespace pq::calc {

// The desk calculator behind the standard keypad: four functions, square
// root, percent, one memory and a repeating "=". Every number is kept as a
// decimal text of at most 12 significant digits; arithmetic happens in
// double precision inside one operation only.
class StandardCalculator {
  public:
    // The key characters of the standard keypad, cell by cell, row by row.
    static constexpr std::u16string_view kKeyCharacters = u"xs%</r789*a456-e123+c0.~=";

    StandardCalculator();

    // One key character; returns the display text.
    const std::u16string& key(char16_t key);
    // A new value from outside (paste, hand-over): leaves an error, shows the
    // value as a 12-digit text and ends any typing.
    const std::u16string& setValue(std::u16string_view text);

    bool isError() const { return error_; }
    bool hasMemory() const { return memory_ != u"0"; }
    const std::u16string& display() const { return display_; }
    const std::u16string& memory() const { return memory_; }

  private:
    void clearAll();
    void compute(char16_t op, std::u16string_view a, std::u16string_view b);
    void fail();
    void digit(char16_t d);
    void decimalPoint();
    void back();
    void negate();
    void operation(char16_t op);
    void equal(bool repeat);
    void percent();
    void memoryAdd();

    char16_t lastKey_ = 0;
    std::u16string repeatOperand_;
    char16_t repeatOperator_ = 0;
    bool error_ = false;
    char16_t pending_ = 0;
    std::u16string accumulator_;
    std::u16string entry_;
    std::u16string memory_ = u"0";
    std::u16string display_;
};

// A value as the calculator writes it: 12 significant digits, "0." and
// zeros before small values, a leading "-" for negative ones (trailing zeros
// stay until trimNumber). False for values of 10^12 or more, or not finite.
bool formatTwelveDigits(double value, std::u16string& text);

// Drops the zeros that end the fraction of a text with a ".", then a final
// "."; only the first 12 characters count, so such a text shows at most 12.
void trimNumber(std::u16string& text);

} // namespace pq::calc
