// Reading what is typed or pasted into a value box, and the text Copy gives
// for a shown value.
#include <cmath>

#include "engine/date_text.h"
#include "engine/expression_engine.h"
#include "engine/number_format.h"
#include "engine/number_parse.h"
#include "engine/shown_text.h"
#include "engine/text.h"

namespace pq {

namespace {

bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\u00A0'; }

void skipBlanks(std::u16string_view text, size_t& i) {
    while (i < text.size() && isBlank(text[i])) ++i;
}

bool fitsPattern(double value) {
    return value >= -2147483648.0 && value <= 2147483647.0 && value == std::trunc(value);
}

bool isBase(int32_t format) { return format == Hex || format == Octal || format == Binary; }

bool isBaseDigit(char16_t c, int32_t format) {
    if (format == Binary) return c == u'0' || c == u'1';
    if (format == Octal) return c >= u'0' && c <= u'7';
    return isDigit(c) || (c >= u'a' && c <= u'f');
}

// A number part of a compound text: digits with a point, and an exponent
// as formatNumber writes one ("1.5e15", "500e-9").
size_t numberEnd(std::u16string_view text, size_t i) {
    while (i < text.size() && (isDigit(text[i]) || text[i] == u'.')) ++i;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        size_t k = i + 1;
        if (k < text.size() && text[k] == u'-') ++k;
        if (k < text.size() && isDigit(text[k])) {
            while (k < text.size() && isDigit(text[k])) ++k;
            return k;
        }
    }
    return i;
}

} // namespace

bool NumberFormat::readCompoundText(std::u16string_view text, double& value) const {
    size_t begin = 0, end = text.size();
    while (begin < end && isBlank(text[begin])) ++begin;
    while (end > begin && isBlank(text[end - 1])) --end;
    text = text.substr(begin, end - begin);
    const bool negative = text.size() > 2 && text.front() == u'(' && text.back() == u')';
    if (negative) text = text.substr(1, text.size() - 2);
    const int parts = partCount();
    double total = 0;
    double divisor = 1;
    size_t i = 0;
    int read = 0;
    for (; read < parts; ++read) {
        skipBlanks(text, i);
        if (i >= text.size()) break;
        const size_t start = i;
        i = numberEnd(text, i);
        double number = 0;
        if (i == start || !parseNumber(text.substr(start, i - start), number)) return false;
        const auto k = static_cast<size_t>(read);
        const std::u16string_view label = labels[k].view();
        if (!label.empty()) {
            skipBlanks(text, i);
            if (!startsWithIgnoreCase(text.substr(i), label)) return false;
            i += label.size();
        } else if (i < text.size() && !isBlank(text[i])) {
            return false;
        }
        divisor *= fractions[k];
        total += number / divisor;
    }
    skipBlanks(text, i);
    if (read == 0 || i != text.size()) return false;
    value = negative ? -total : total;
    return true;
}

std::u16string baseEntryText(std::u16string_view text, int32_t format) {
    std::u16string lowered = lowerAscii(text);
    if (!isBase(format)) return lowered;
    // Digit groups as a row writes them: "0001 2345".
    bool grouped = false, digits = true;
    for (char16_t c : lowered) {
        grouped = grouped || c == u' ';
        digits = digits && (c == u' ' || isBaseDigit(c, format));
    }
    if (grouped && digits) std::erase(lowered, u' ');
    // A literal written with its own notation stays as it is: "0x1F", and
    // "17o" or "0ffh" where the suffix is no digit of the base.
    if (lowered.starts_with(u"0x")) return lowered;
    if (format == Hex && !lowered.empty() && lowered[0] >= u'a' && lowered[0] <= u'f')
        lowered.insert(lowered.begin(), u'0');
    const char16_t last = lowered.empty() ? u'0' : lowered.back();
    if ((last == u'h' || last == u'o' || last == u'b') && !isBaseDigit(last, format))
        return lowered;
    lowered += format == Hex ? u'h' : format == Octal ? u'o' : u'b';
    return lowered;
}

bool NumberFormat::readEntry(std::u16string_view text, ExpressionEngine& engine,
                             double& value) const {
    std::u16string plain;
    if (isBase(entryFormat)) // "Dec: 2.5" is what a base row shows for a fraction
        return parseAndEvaluate(baseEntryText(text, entryFormat), engine, value) ||
               (startsWithIgnoreCase(text, u"dec:") && readShownNumber(text, plain, value));
    // "(12.50)" is a formula too, whose value has the other sign: where a
    // row writes negative amounts so, the row's meaning wins.
    if (allows(Currency) && readBracketedAmount(text, value)) return true;
    if (parseAndEvaluate(joinSpacedExponents(text), engine, value)) return true;
    if (allows(Compound) && readCompoundText(text, value)) return true;
    if (readShownNumber(text, plain, value)) return true;
    return (allows(Date) || allows(DateTime)) && readDateText(text, value);
}

std::u16string NumberFormat::copyText(double value) const {
    switch (displayFormat) {
    case Date:
    case DateTime: return formatForDisplay(value);
    case Hex:
    case Octal:
    case Binary:
        if (fitsPattern(value)) {
            const std::u16string digits = displayBase(value, displayFormat, false);
            if (displayFormat == Hex) return u"0x" + digits;
            return digits + (displayFormat == Octal ? u'o' : u'b');
        }
        break;
    default: break;
    }
    const std::u16string shown = displayDecimal(value, false);
    double back = 0;
    if (parseNumber(shown, back) && back == value) return shown;
    return shortestNumberText(value);
}

} // namespace pq
