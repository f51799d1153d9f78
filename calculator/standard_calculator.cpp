#include "calculator/standard_calculator.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

#include "engine/digits.h"
#include "engine/number_parse.h"
#include "engine/plain_number.h"

namespace pq::calc {

namespace {

bool isOperator(char16_t c) { return c == u'+' || c == u'-' || c == u'*' || c == u'/'; }

size_t digitCount(const std::u16string& text) {
    return static_cast<size_t>(
        std::count_if(text.begin(), text.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; }));
}

// A text that does not read as a number counts as 0.
double valueOf(std::u16string_view text) {
    double value = 0;
    if (!parseNumber(text, value)) return 0;
    return value;
}

} // namespace

bool StandardCalculator::deskText(double value, int digits, int fixedDecimals,
                                  std::u16string& text) {
    if (!std::isfinite(value)) return false;
    const double magnitude = std::fabs(value);
    // The integer places the value takes, and so the decimals left of the
    // twelve places ("0." and the point take one each).
    const int whole = magnitude == 0 ? 0 : significantDigits(magnitude, 17).decimalPoint;
    if (whole > kPlaces) return false;
    int decimals = kPlaces - 1 - std::max(whole, 1);
    if (fixedDecimals >= 0)
        decimals = std::min(decimals, fixedDecimals);
    else
        decimals = std::min(decimals, digits - whole); // leading zeros are no digits
    decimals = std::max(decimals, 0);
    std::string shown = pq::fixedDecimals(magnitude, decimals);
    if (shown.find('.') == std::string::npos ? shown.size() > kPlaces
                                             : shown.find('.') > kPlaces)
        return false; // rounded up to 10^12
    if (fixedDecimals < 0 && shown.find('.') != std::string::npos) {
        while (shown.back() == '0') shown.pop_back();
        if (shown.back() == '.') shown.pop_back();
    }
    const bool zero = shown.find_first_not_of("0.") == std::string::npos;
    text.assign(value < 0 && !zero ? u"-" : u"");
    text.append(shown.begin(), shown.end());
    return true;
}

StandardCalculator::StandardCalculator() { clearAll(); }

void StandardCalculator::clearAll() {
    entry_.clear();
    typed_ = false;
    accumulator_ = 0;
    repeatOperator_ = 0;
    error_ = false;
    pending_ = 0;
    show(0);
}

void StandardCalculator::setStyle(int digits, int fixedDecimals) {
    digits_ = std::clamp(digits, 4, 15);
    fixedDecimals_ = fixedDecimals;
    if (!error_ && !typed_) show(value_);
}

void StandardCalculator::fail() {
    error_ = true;
    display_ = u"ERROR";
}

void StandardCalculator::show(double value) {
    typed_ = false;
    if (!deskText(value, digits_, fixedDecimals_, display_)) return fail();
    value_ = value;
}

void StandardCalculator::showEntry() {
    typed_ = true;
    display_ = entry_.empty() ? u"0" : entry_;
    value_ = valueOf(entry_);
}

void StandardCalculator::compute(char16_t op, double x, double y) {
    double result = 0;
    switch (op) {
    case u'+': result = x + y; break;
    case u'-': result = x - y; break;
    case u'*': result = x * y; break;
    case u'/':
        if (y == 0) return fail();
        result = x / y;
        break;
    case u's':
        if (x < 0) return fail();
        result = std::sqrt(x);
        break;
    case u'=': result = x; break;
    default: result = y; break;
    }
    show(result);
}

const std::u16string& StandardCalculator::setValue(std::u16string_view text) {
    return setValue(valueOf(text));
}

const std::u16string& StandardCalculator::setValue(double value) {
    if (error_) clearAll();
    entry_.clear();
    show(value);
    return display_;
}

const std::u16string& StandardCalculator::key(char16_t key) {
    if (error_ && key != u'c') {
        lastKey_ = key;
        return display_;
    }
    switch (key) {
    case u'x': memory_ = 0; break;
    case u's':
        compute(u's', value_, 0);
        entry_.clear();
        break;
    case u'%': percent(); break;
    case u'<': back(); break;
    case u'/':
    case u'*':
    case u'-':
    case u'+': operation(key); break;
    case u'r': // an empty memory holds 0, and reads as 0
        show(memory_);
        entry_.clear();
        break;
    case u'a': memoryAdd(); break;
    case u'e':
        entry_.clear();
        show(0);
        break;
    case u'c': clearAll(); break;
    case u'.': decimalPoint(); break;
    case u'~': negate(); break;
    case u'=': equal(true); break;
    default:
        if (key >= u'0' && key <= u'9') digit(key);
        break;
    }
    lastKey_ = key;
    return display_;
}

void StandardCalculator::digit(char16_t d) {
    if (digitCount(entry_) < kPlaces && !(d == u'0' && entry_.empty())) entry_ += d;
    showEntry();
}

void StandardCalculator::decimalPoint() {
    if (entry_.size() < kPlaces && entry_.find(u'.') == std::u16string::npos)
        entry_ += entry_.empty() ? u"0." : u".";
    showEntry();
}

void StandardCalculator::back() {
    if (!entry_.empty()) {
        entry_.pop_back();
        if (entry_ == u"0" || entry_ == u"-0" || entry_ == u"-") entry_.clear();
    }
    showEntry();
}

void StandardCalculator::negate() {
    if (entry_.empty()) {
        if (value_ != 0) show(-value_);
        return;
    }
    if (entry_.front() == u'-')
        entry_.erase(0, 1);
    else
        entry_.insert(0, 1, u'-');
    showEntry();
}

void StandardCalculator::operation(char16_t op) {
    if (pending_ != 0 && !isOperator(lastKey_)) {
        compute(pending_, accumulator_, value_);
        if (error_) return;
    }
    accumulator_ = value_;
    pending_ = op;
    if (typed_) show(value_); // a typed "2.50" shows as 2.5
    entry_.clear();
}

void StandardCalculator::equal(bool repeat) {
    if (pending_ != 0) {
        repeatOperator_ = pending_;
        repeatOperand_ = value_;
        compute(pending_, accumulator_, value_);
        pending_ = 0;
    } else if (repeat && lastKey_ == u'=' && repeatOperator_ != 0) {
        compute(repeatOperator_, value_, repeatOperand_);
    } else {
        repeatOperator_ = 0;
        if (typed_) show(value_);
    }
    if (error_) return;
    entry_.clear();
}

void StandardCalculator::percent() {
    const double share = value_ / 100;
    if (pending_ == u'+' || pending_ == u'-')
        compute(pending_, accumulator_, accumulator_ * share);
    else
        compute(pending_, accumulator_, share);
    pending_ = 0;
    if (error_) return;
    entry_.clear();
}

void StandardCalculator::memoryAdd() {
    equal(false);
    if (error_) return;
    const double sum = memory_ + value_;
    std::u16string text;
    if (!deskText(sum, digits_, fixedDecimals_, text)) {
        fail();
        memory_ = 0;
        return;
    }
    // A sum that cancels to within the digits a double carries empties the
    // memory (0.1 + 0.2 - 0.3 is not quite 0 in binary).
    const double scale = std::max(std::fabs(memory_), std::fabs(value_));
    memory_ = std::fabs(sum) < scale * 1e-15 ? 0 : sum;
}

} // namespace pq::calc
