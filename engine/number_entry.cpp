// Reading what is typed or pasted into a value box, and the text Copy gives
// for a shown value.
#include <cmath>

#include "engine/compound_text.h"
#include "engine/date_text.h"
#include "engine/expression_engine.h"
#include "engine/number_format.h"
#include "engine/number_parse.h"
#include "engine/plain_number.h"
#include "engine/shown_text.h"
#include "engine/text.h"
#include "engine/typed_number.h"

namespace pq {

namespace {

bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\u00A0'; }

bool fitsPattern(double value) {
    return value >= -2147483648.0 && value <= 2147483647.0 && value == std::trunc(value);
}

bool isBase(int32_t format) { return format == Hex || format == Octal || format == Binary; }

bool isBaseDigit(char16_t c, int32_t format) {
    if (format == Binary) return c == u'0' || c == u'1';
    if (format == Octal) return c >= u'0' && c <= u'7';
    return isDigit(c) || (c >= u'a' && c <= u'f');
}

} // namespace

bool NumberFormat::readCompoundText(std::u16string_view text, double& value) const {
    size_t begin = 0, end = text.size();
    while (begin < end && isBlank(text[begin])) ++begin;
    while (end > begin && isBlank(text[end - 1])) --end;
    text = text.substr(begin, end - begin);
    bool negative = text.size() > 2 && text.front() == u'(' && text.back() == u')';
    if (negative) {
        text = text.substr(1, text.size() - 2);
    } else if (!text.empty() && (text.front() == u'-' || text.front() == u'\u2212')) {
        negative = true;
        text.remove_prefix(1);
    }
    const int parts = partCount();
    std::array<std::u16string_view, kMaxParts> names;
    for (size_t k = 0; k < static_cast<size_t>(parts); ++k) names[k] = labels[k].view();
    CompoundReading reading;
    if (!readCompoundParts(text, std::span(names).first(static_cast<size_t>(parts)), 0, false,
                           reading))
        return false;
    double total = 0;
    double divisor = 1;
    for (size_t k = 0; k < static_cast<size_t>(parts); ++k) {
        divisor *= fractions[k];
        double number = 0;
        if (!reading.numbers[k].empty() && !readTypedNumber(reading.numbers[k], number))
            return false;
        total += number / divisor;
    }
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
    // A number as people write it: "1-1/2" is one and a half here, not the
    // formula's one half.
    if (readTypedNumber(text, value)) return true;
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
    return plainNumberText(value);
}

} // namespace pq
