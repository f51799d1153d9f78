#pragma once

#include <string>
#include <string_view>

namespace pq::calc {

// The desk calculator behind the standard keypad: four functions, square
// root, percent, one memory and a repeating "=". Its display has twelve
// places: a result is shown rounded to what they hold and to the digits
// chosen (or to fixed decimals), while every value kept for the next step,
// the memory included, is the full result.
class StandardCalculator {
  public:
    // The key characters of the standard keypad, cell by cell, row by row.
    static constexpr std::u16string_view kKeyCharacters = u"xs%</r789*a456-e123+c0.~=";
    // The places of the display; results from 10^12 on are an error.
    static constexpr int kPlaces = 12;

    StandardCalculator();

    // One key character; returns the display text.
    const std::u16string& key(char16_t key);
    // A new value from outside (paste, hand-over, history): leaves an error,
    // shows the value and ends any typing. A text that does not read is 0.
    const std::u16string& setValue(std::u16string_view text);
    const std::u16string& setValue(double value);
    // The significant digits results show (4 to 15) and, from 0 on, the
    // fixed decimals they show instead (-1: none). The display is shown anew.
    void setStyle(int digits, int fixedDecimals);

    bool isError() const { return error_; }
    bool hasMemory() const { return memory_ != 0; }
    const std::u16string& display() const { return display_; }
    // The number the display shows, unrounded: what the next step uses.
    double value() const { return value_; }
    double memory() const { return memory_; }

    // A value as the display writes it: rounded to the places and to
    // `digits` significant digits (or to `fixedDecimals` decimals, when 0 or
    // more), trailing zeros dropped but for fixed decimals. False for values
    // that round to 10^12 or more, or are not finite.
    static bool deskText(double value, int digits, int fixedDecimals, std::u16string& text);

  private:
    void clearAll();
    void compute(char16_t op, double a, double b);
    void show(double value);
    void fail();
    void digit(char16_t d);
    void decimalPoint();
    void back();
    void negate();
    void operation(char16_t op);
    void equal(bool repeat);
    void percent();
    void memoryAdd();
    void showEntry();

    char16_t lastKey_ = 0;
    double repeatOperand_ = 0;
    char16_t repeatOperator_ = 0;
    bool error_ = false;
    char16_t pending_ = 0;
    double accumulator_ = 0;
    std::u16string entry_; // the number being typed; empty when none
    double memory_ = 0;
    double value_ = 0;     // of the display
    bool typed_ = false;   // the display shows the entry, or "0" before it
    std::u16string display_;
    int digits_ = 10;
    int fixedDecimals_ = -1;
};

} // namespace pq::calc
