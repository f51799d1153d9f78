#include "calculator/standard_calculator.h"

#include <algorithm>
#include <cmath>

#include "engine/digits.h"
#include "engine/number_parse.h"

namespace pq::calc {

namespace {

constexpr int kDigits = 12;

// A text that does not read as a number counts as 0.
double valueOf(std::u16string_view text) {
    double value = 0;
    if (!parseNumber(text, value)) return 0;
    return value;
}

bool isOperator(char16_t c) { return c == u'+' || c == u'-' || c == u'*' || c == u'/'; }

size_t digitCount(const std::u16string& text) {
    return static_cast<size_t>(
        std::count_if(text.begin(), text.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; }));
}

} // namespace

bool formatTwelveDigits(double value, std::u16string& text) {
    if (!std::isfinite(value)) return false;
    const SignificantDigits d = significantDigits(value, kDigits);
    const int p = d.decimalPoint;
    if (p >= kDigits + 1) return false;
    text.clear();
    if (d.negative) text += u'-';
    if (p < 1) {
        text += u"0.";
        text.append(static_cast<size_t>(-p), u'0');
        for (char c : d.digits) text += static_cast<char16_t>(c);
    } else {
        for (int i = 0; i < static_cast<int>(d.digits.size()); ++i) {
            if (i == p) text += u'.';
            text += static_cast<char16_t>(d.digits[static_cast<size_t>(i)]);
        }
    }
    return true;
}

void trimNumber(std::u16string& text) {
    const size_t point = text.find(u'.');
    if (point == std::u16string::npos) return;
    size_t last = std::max(std::min(text.size() - 1, size_t{kDigits - 1}), point);
    while (last > point && text[last] == u'0') --last;
    if (last == point && last > 0) --last;
    text.resize(last + 1);
    // A negative value too small for 12 digits is no value at all.
    if (text == u"-0") text = u"0";
}

StandardCalculator::StandardCalculator() { clearAll(); }

void StandardCalculator::clearAll() {
    display_ = u"0";
    entry_.clear();
    accumulator_ = u"0";
    repeatOperator_ = 0;
    error_ = false;
    pending_ = 0;
}

void StandardCalculator::fail() {
    error_ = true;
    display_ = u"ERROR";
}

void StandardCalculator::compute(char16_t op, std::u16string_view a, std::u16string_view b) {
    const double x = valueOf(a);
    const double y = valueOf(b);
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
    if (!formatTwelveDigits(result, display_)) fail();
}

const std::u16string& StandardCalculator::setValue(std::u16string_view text) {
    if (error_) clearAll();
    compute(u'=', text, u"");
    entry_.clear();
    trimNumber(display_);
    return display_;
}

const std::u16string& StandardCalculator::key(char16_t key) {
    if (error_ && key != u'c') {
        lastKey_ = key;
        return display_;
    }
    switch (key) {
    case u'x': memory_ = u"0"; break;
    case u's':
        compute(u's', display_, u"");
        trimNumber(display_);
        entry_.clear();
        break;
    case u'%': percent(); break;
    case u'<': back(); break;
    case u'/':
    case u'*':
    case u'-':
    case u'+': operation(key); break;
    case u'r': // an empty memory holds 0, and reads as 0
        display_ = memory_;
        entry_.clear();
        break;
    case u'a': memoryAdd(); break;
    case u'e':
        display_ = u"0";
        entry_.clear();
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
    if (digitCount(entry_) < kDigits && !(d == u'0' && entry_.empty())) entry_ += d;
    display_ = entry_.empty() ? u"0" : entry_;
}

void StandardCalculator::decimalPoint() {
    if (entry_.size() < kDigits && entry_.find(u'.') == std::u16string::npos)
        entry_ += entry_.empty() ? u"0." : u".";
    display_ = entry_.empty() ? u"0" : entry_;
}

void StandardCalculator::back() {
    if (!entry_.empty()) {
        entry_.pop_back();
        if (entry_ == u"0" || entry_ == u"-0" || entry_ == u"-") entry_.clear();
    }
    display_ = entry_.empty() ? u"0" : entry_;
}

void StandardCalculator::negate() {
    auto toggle = [](std::u16string& text) {
        if (!text.empty() && text.front() == u'-')
            text.erase(0, 1);
        else
            text.insert(0, 1, u'-');
    };
    if (entry_.empty()) {
        if (display_ != u"0") toggle(display_);
    } else {
        toggle(entry_);
        display_ = entry_;
    }
}

void StandardCalculator::operation(char16_t op) {
    if (pending_ != 0 && !isOperator(lastKey_)) {
        compute(pending_, accumulator_, display_);
        if (error_) return;
    }
    accumulator_ = display_;
    pending_ = op;
    trimNumber(display_);
    entry_.clear();
}

void StandardCalculator::equal(bool repeat) {
    if (pending_ != 0) {
        repeatOperator_ = pending_;
        repeatOperand_ = display_;
        compute(pending_, accumulator_, display_);
        pending_ = 0;
    } else if (repeat && lastKey_ == u'=' && repeatOperator_ != 0) {
        compute(repeatOperator_, display_, repeatOperand_);
    } else {
        repeatOperator_ = 0;
    }
    if (error_) return;
    trimNumber(display_);
    entry_.clear();
}

void StandardCalculator::percent() {
    if (pending_ == u'+' || pending_ == u'-') {
        compute(u'/', display_, u"100");
        if (!error_) compute(u'*', accumulator_, display_);
    } else {
        compute(u'/', display_, u"100");
    }
    if (error_) return;
    compute(pending_, accumulator_, display_);
    pending_ = 0;
    if (error_) return;
    trimNumber(display_);
    entry_.clear();
}

void StandardCalculator::memoryAdd() {
    equal(false);
    if (error_) return;
    std::u16string sum;
    if (!formatTwelveDigits(valueOf(memory_) + valueOf(display_), sum)) {
        fail();
        memory_ = u"0";
        return;
    }
    trimNumber(sum);
    memory_ = sum;
}

} // namespace pq::calc
