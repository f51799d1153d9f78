#include "engine/compound_text.h"

#include <algorithm>
#include <vector>

#include "engine/text.h"
#include "engine/typed_number.h"

namespace pq {

namespace {

constexpr std::u16string_view kPrimes[] = {u"'", u"\u2032"};
constexpr std::u16string_view kDoublePrimes[] = {u"\"", u"\u2033", u"''"};

bool isAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

std::u16string_view trimmed(std::u16string_view text) {
    while (!text.empty() && isTypedBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isTypedBlank(text.back())) text.remove_suffix(1);
    return text;
}

// Every way of writing a part's label.
std::vector<std::u16string_view> spellings(std::u16string_view label) {
    label = trimmed(label);
    std::vector<std::u16string_view> out;
    if (label.empty()) return out;
    out.push_back(label);
    auto in = [&](std::span<const std::u16string_view> group) {
        for (std::u16string_view s : group)
            if (s == label) return true;
        return false;
    };
    if (equalsIgnoreCase(label, u"ft") || in(kPrimes))
        out.insert(out.end(), std::begin(kPrimes), std::end(kPrimes));
    if (equalsIgnoreCase(label, u"in") || in(kDoublePrimes))
        out.insert(out.end(), std::begin(kDoublePrimes), std::end(kDoublePrimes));
    if (label == u"\u00B0") out.push_back(u"deg");
    return out;
}

enum class LabelMatch { None, Whole, Start };

// The label at the start of text that names a part from `from` on: the
// longest spelling, a word spelling not followed by a letter. Start: text
// is only the start of a spelling (while typing).
LabelMatch matchLabel(std::u16string_view text, std::span<const std::u16string_view> labels,
                      int from, int& part, size_t& length) {
    length = 0;
    bool start = false;
    for (int k = from; k < static_cast<int>(labels.size()); ++k) {
        for (std::u16string_view spelling : spellings(labels[static_cast<size_t>(k)])) {
            if (startsWithIgnoreCase(text, spelling)) {
                const bool word = isAsciiLetter(spelling.back());
                if (word && text.size() > spelling.size() && isAsciiLetter(text[spelling.size()]))
                    continue;
                if (spelling.size() > length) {
                    length = spelling.size();
                    part = k;
                }
            } else if (text.size() < spelling.size() && startsWithIgnoreCase(spelling, text)) {
                start = true;
            }
        }
    }
    if (length > 0) return LabelMatch::Whole;
    return start ? LabelMatch::Start : LabelMatch::None;
}

std::u16string singleBlanks(std::u16string_view text) {
    std::u16string out;
    for (char16_t c : text) {
        if (isTypedBlank(c)) {
            if (!out.empty() && out.back() != u' ') out += u' ';
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

bool readCompoundParts(std::u16string_view text, std::span<const std::u16string_view> labels,
                       int first, bool typing, CompoundReading& out) {
    out = CompoundReading();
    const int count = std::min(static_cast<int>(labels.size()), CompoundReading::kMaxParts);
    labels = labels.first(static_cast<size_t>(count));
    const size_t n = text.size();
    int part = first;    // where a number without a label goes
    int pending = -1;    // the part of the last number, while its label may follow
    std::u16string_view number;
    bool blankAfter = false; // blanks follow the pending number
    bool any = false;        // a number was read
    auto place = [&](int k) { out.numbers[static_cast<size_t>(k)] = singleBlanks(number); };
    size_t i = 0;
    while (true) {
        const size_t before = i;
        while (i < n && isTypedBlank(text[i])) ++i;
        if (i > before && before > 0) out.written = true;
        blankAfter = i > before;
        if (i >= n) break;
        if (startsTypedNumber(text[i])) {
            if (pending >= 0) {
                if (!typing && !trimmed(labels[static_cast<size_t>(pending)]).empty())
                    return false; // its label is missing
                place(pending);
                part = pending + 1;
                pending = -1;
            }
            if (part >= count) return false;
            const TypedNumberScan scan = scanTypedNumber(text, i, typing, typing && part + 1 >= count);
            if (scan.end == i) return false;
            number = text.substr(i, scan.end - i);
            for (char16_t c : number)
                if (!isDigit(c) && c != u'.') out.written = true;
            pending = part;
            any = true;
            i = scan.end;
            if (!scan.finished) {
                place(pending);
                out.next = pending;
                out.finished = false;
                return true;
            }
            continue;
        }
        if (pending < 0) return false; // a label needs its number
        int k = 0;
        size_t length = 0;
        switch (matchLabel(text.substr(i), labels, pending, k, length)) {
        case LabelMatch::Whole:
            place(k);
            part = k + 1;
            pending = -1;
            i += length;
            out.written = true;
            break;
        case LabelMatch::Start:
            if (!typing) return false;
            place(pending);
            out.next = pending;
            out.finished = false;
            out.written = true;
            return true;
        case LabelMatch::None: return false;
        }
    }
    if (pending >= 0) {
        if (!typing && !trimmed(labels[static_cast<size_t>(pending)]).empty()) return false;
        place(pending);
        part = blankAfter ? pending + 1 : pending;
    }
    if (!typing && !any) return false;
    out.next = std::min(part, count - 1);
    return true;
}

} // namespace pq
