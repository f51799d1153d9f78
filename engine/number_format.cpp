#include "engine/number_format.h"

#include <charconv>
#include <cmath>

#include "engine/calendar_date.h"
#include "engine/expression_engine.h"
#include "engine/text.h"

namespace pq {

namespace {

int32_t lowestFormat(int32_t mask) {
    const uint32_t bits = static_cast<uint32_t>(mask);
    return static_cast<int32_t>(bits & (0u - bits));
}

} // namespace

std::u16string_view formatCodeLabel(int32_t code) {
    switch (code) {
    case Decimal: return u"Default (floating decimal point)";
    case Hex: return u"Hex";
    case Octal: return u"Oct";
    case Binary: return u"Bin";
    case Compound: return u"Compound number (group of values):";
    case Date: return u"Date";
    case DateTime: return u"Date and Time";
    case Currency: return u"Currency (fixed 2 decimal digits)";
    default: return {};
    }
}

void NumberFormat::copyFrom(const NumberFormat& other) {
    allowedFormats = other.allowedFormats;
    labels = other.labels;
    fractions = other.fractions;
    displayFormat = other.displayFormat;
    entryFormat = other.displayFormat;
}

void NumberFormat::setAllowedFormats(int32_t mask) {
    allowedFormats = mask == 0 ? Decimal : mask;
    if ((allowedFormats & displayFormat) == 0) displayFormat = lowestFormat(allowedFormats);
    if ((allowedFormats & entryFormat) == 0) entryFormat = lowestFormat(allowedFormats);
}

int NumberFormat::partCount() const {
    int n = 0;
    while (n < kMaxParts && fractions[static_cast<size_t>(n)] != 0) ++n;
    return n;
}

int NumberFormat::getLabels(std::array<WString, kMaxParts>& out) const {
    const int n = partCount();
    for (int i = 0; i < kMaxParts; ++i)
        out[static_cast<size_t>(i)] = i < n ? labels[static_cast<size_t>(i)] : WString();
    return n;
}

int NumberFormat::getFractions(std::array<double, kMaxParts>& out) const {
    const int n = partCount();
    for (int i = 0; i < kMaxParts; ++i)
        out[static_cast<size_t>(i)] = i == 0 ? 1 : (i < n ? fractions[static_cast<size_t>(i)] : 0);
    return n;
}

void NumberFormat::setParts(const std::array<WString, kMaxParts>& newLabels,
                            const std::array<double, kMaxParts>& newFractions) {
    labels[0] = newLabels[0];
    fractions[0] = 1;
    size_t i = 1;
    for (; i < kMaxParts && newFractions[i] != 0; ++i) {
        labels[i] = newLabels[i];
        fractions[i] = newFractions[i];
    }
    if (i < kMaxParts) fractions[i] = 0;
}

// Walks the compound parts of a magnitude: every part but the last is cut to
// a whole number, the last is rounded to three decimals. A last part that
// rounds up to a whole unit of the part before carries into it, so that
// 5.9999999 feet shows as 6 ft 0 in, not 5 ft 12 in.
template <typename Emit> void NumberFormat::forEachPart(double magnitude, Emit emit) const {
    double parts[kMaxParts] = {};
    size_t count = 0;
    double remaining = magnitude;
    for (size_t i = 0; i < kMaxParts && fractions[i] != 0; ++i, ++count) {
        const double x = remaining * fractions[i];
        const bool last = i + 1 == kMaxParts || fractions[i + 1] == 0;
        parts[i] = last ? std::floor(x * 1000 + 0.5) / 1000 : std::floor(x);
        remaining = x - parts[i];
    }
    for (size_t i = count; i-- > 1;) {
        if (!(fractions[i] > 0) || parts[i] < fractions[i]) break;
        parts[i] -= fractions[i];
        parts[i - 1] += 1;
    }
    for (size_t i = 0; i < count; ++i) emit(i, parts[i]);
}

std::u16string NumberFormat::displayCompound(double value) const {
    std::u16string text;
    bool shown = false; // a part is not zero
    forEachPart(std::fabs(value), [&](size_t i, double part) {
        shown = shown || part != 0;
        text += formatNumber(part);
        text += u' ';
        if (!labels[i].empty()) {
            text += labels[i].view();
            text += u' ';
        }
    });
    // A value too small for any part to show is no negative amount.
    return value < 0 && shown ? u"(" + text + u")" : text;
}

int NumberFormat::splitCompound(double value, std::array<std::u16string, kMaxParts>& out) const {
    int count = 0;
    for (auto& s : out) s.clear();
    forEachPart(std::fabs(value), [&](size_t i, double part) {
        out[i] = formatNumber(part);
        ++count;
    });
    return count;
}

std::u16string NumberFormat::formatForDisplay(double value) const {
    switch (displayFormat) {
    case Hex:
    case Octal:
    case Binary: return displayBase(value, displayFormat, true);
    case Compound: return displayCompound(value);
    case Date: return displayDate(value, false);
    case DateTime: return displayDate(value, true);
    case Currency: return displayCurrency(value, true);
    default: return displayDecimal(value, true);
    }
}

std::u16string NumberFormat::formatForEntry(double value) const {
    switch (entryFormat) {
    case Hex:
    case Octal:
    case Binary: return displayBase(value, entryFormat, false);
    case Currency: return displayCurrency(value, false);
    default: return entryDecimal(value);
    }
}

// Up to four unsigned numbers (digits with at most one decimal point; any
// other character separates them), combined as a/f0 + b/(f0 f1) + ...
double NumberFormat::compoundValue(std::u16string_view literal) const {
    double numbers[kMaxParts] = {};
    size_t found = 0;
    size_t i = 0;
    while (i < literal.size() && found < kMaxParts) {
        if (!isDigit(literal[i]) && literal[i] != u'.') {
            ++i;
            continue;
        }
        std::string digits;
        bool point = false;
        for (; i < literal.size() && (isDigit(literal[i]) || literal[i] == u'.'); ++i) {
            if (literal[i] == u'.') {
                if (!point) digits += '.';
                point = true;
            } else if (digits.size() < 400) {
                digits += static_cast<char>(literal[i]);
            }
        }
        double v = 0;
        if (digits != ".") std::from_chars(digits.data(), digits.data() + digits.size(), v);
        numbers[found++] = v;
    }
    double value = 0;
    double divisor = 1;
    for (size_t k = 0; k < kMaxParts && fractions[k] > 0; ++k) {
        divisor *= fractions[k];
        value += numbers[k] / divisor;
    }
    return value;
}

std::u16string NumberFormat::expandLiterals(std::u16string_view text) const {
    std::u16string out(text);
    auto replaceLiterals = [&out](char16_t open, char16_t close, auto valueOf) {
        size_t start = 0;
        while ((start = out.find(open, start)) != std::u16string::npos) {
            size_t end = out.find(close, start + 1);
            if (end == std::u16string::npos) break;
            if (end == start + 1) { // nothing between: not a literal
                start = end + 1;
                continue;
            }
            double value = valueOf(std::u16string_view(out).substr(start + 1, end - start - 1));
            // A literal carries every digit, so that a typed "[1 2 3]" of
            // hours, minutes and seconds is exactly 3723 seconds.
            std::u16string number = u"(" + shortestNumberText(value) + u")";
            out.replace(start, end - start + 1, number);
            start += number.size();
        }
    };
    if (allows(Compound))
        replaceLiterals(u'[', u']', [this](std::u16string_view s) { return compoundValue(s); });
    replaceLiterals(u'{', u'}', [](std::u16string_view s) { return CalendarDate(s).day; });
    return out;
}

bool NumberFormat::parseAndEvaluate(std::u16string_view text, ExpressionEngine& engine,
                                    double& value) const {
    return engine.evaluate(expandLiterals(text), value);
}

} // namespace pq
