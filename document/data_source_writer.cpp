// The text form of a data file, written from a document.

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <unordered_map>

#include "document/data_source.h"
#include "document/data_source_units.h"
#include "document/document.h"
#include "engine/text.h"

namespace pq {

namespace {

using source::typeName;
using source::UnitResolver;

bool isUnpairedSurrogate(std::u16string_view text, size_t i) {
    char16_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF)
        return i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF;
    if (c >= 0xDC00 && c <= 0xDFFF) return i == 0 || text[i - 1] < 0xD800 || text[i - 1] > 0xDBFF;
    return false;
}

bool isControl(char16_t c) { return c < 0x20 || c == 0x7F; }

std::string quoted(std::u16string_view text) {
    bool plain = !text.empty() && text.front() != u' ' && text.front() != u'\t' &&
                 text.back() != u' ' && text.back() != u'\t' && text.front() != u'"';
    for (size_t i = 0; plain && i < text.size(); ++i)
        if (isControl(text[i]) || isUnpairedSurrogate(text, i)) plain = false;
    if (text.empty() || plain) return toUtf8(text);

    std::string out = "\"";
    size_t runStart = 0;
    auto flush = [&](size_t end) { out += toUtf8(text.substr(runStart, end - runStart)); };
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        const char* escape = c == u'"'    ? "\\\""
                             : c == u'\\' ? "\\\\"
                             : c == u'\n' ? "\\n"
                             : c == u'\r' ? "\\r"
                             : c == u'\t' ? "\\t"
                                          : nullptr;
        if (!escape && !isControl(c) && !isUnpairedSurrogate(text, i)) continue;
        flush(i);
        if (escape) {
            out += escape;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\u%04X", static_cast<unsigned>(c));
            out += hex;
        }
        runStart = i + 1;
    }
    flush(text.size());
    return out + "\"";
}

std::string number(double value) {
    if (std::isnan(value)) {
        uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        char hex[32];
        std::snprintf(hex, sizeof hex, "bits:%016llX", static_cast<unsigned long long>(bits));
        return hex;
    }
    char buffer[64];
    auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, r.ptr);
}

std::string formatList(int32_t mask) {
    std::string out;
    uint32_t rest = static_cast<uint32_t>(mask);
    for (int32_t code : kFormatCodes) {
        if (!(rest & static_cast<uint32_t>(code))) continue;
        if (!out.empty()) out += ", ";
        out += formatCodeName(code);
        rest &= ~static_cast<uint32_t>(code);
    }
    if (rest != 0 || out.empty()) {
        if (!out.empty()) out += ", ";
        out += std::to_string(static_cast<int32_t>(rest));
    }
    return out;
}

std::string formatCode(int32_t code) {
    const std::string_view name = formatCodeName(code);
    return name.empty() ? std::to_string(code) : std::string(name);
}

class SourceWriter {
  public:
    explicit SourceWriter(const Document& d) : document_(d), resolver_(d.items) {
        positions_.reserve(d.items.size());
        for (size_t i = 0; i < d.items.size(); ++i) positions_.emplace(d.items[i].get(), i);
    }

    std::string write() {
        out_ += "# ";
        out_ +=
            document_.typeCode() == CalculationDocument::kTypeCode ? "Calculation" : "Conversion";
        out_ += " file. Lines starting with '#' are comments; compile with pqtool compile.\n";
        field("type", typeName(document_.typeCode()));
        field("title", quoted(document_.title));
        field("category", quoted(document_.category));
        field("updated", quoted(document_.updatedText));
        for (const auto& item : document_.items) writeItem(*item);
        if (document_.typeCode() == ConversionDocument::kTypeCode)
            for (const auto& c : static_cast<const ConversionDocument&>(document_).conversions)
                writeConversion(*c);
        return out_;
    }

  private:
    void field(const char* key, const std::string& value) {
        out_ += key;
        out_ += ':';
        if (!value.empty()) {
            out_ += ' ';
            out_ += value;
        }
        out_ += '\n';
    }

    void writeItem(const Item& item) {
        const auto* calc =
            item.typeCode() == CalcItem::kTypeCode ? static_cast<const CalcItem*>(&item) : nullptr;
        out_ += calc ? (calc->role == Output ? "\n[output]\n" : "\n[input]\n") : "\n[unit]\n";
        if (!item.identifier.empty()) field("id", quoted(item.identifier));
        field("name", quoted(item.name));
        if (!item.valueText.empty()) field("value", quoted(item.valueText));
        if (item.shown != 1) field("shown", item.shown == 0 ? "no" : std::to_string(item.shown));
        if (calc && calc->role != Input && calc->role != Output)
            field("role", std::to_string(calc->role));
        const NumberFormat& f = item.format;
        if (f.allowedFormats != Decimal) field("formats", formatList(f.allowedFormats));
        const int32_t lowest = static_cast<int32_t>(static_cast<uint32_t>(f.allowedFormats) &
                                                    (0u - static_cast<uint32_t>(f.allowedFormats)));
        if (f.displayFormat != lowest) field("display", formatCode(f.displayFormat));
        if (f.entryFormat != f.displayFormat) field("entry", formatCode(f.entryFormat));
        if (f.allows(Compound)) {
            int last = -1;
            for (int k = 0; k < NumberFormat::kMaxParts; ++k)
                if (!f.labels[k].empty() || f.fractions[k] != (k == 0 ? 1.0 : 0.0) ||
                    std::signbit(f.fractions[k]))
                    last = k;
            for (int k = 0; k <= last; ++k) {
                std::string label = quoted(f.labels[k]);
                field("part", (label.empty() ? "" : label + " ") + "= " + number(f.fractions[k]));
            }
        }
    }

    void reference(const char* key, const Item* unit) {
        if (!unit->identifier.empty() && resolver_.find(unit->identifier) == unit) {
            field(key, quoted(unit->identifier));
        } else if (resolver_.find(unit->name) == unit) {
            field(key, quoted(unit->name));
        } else {
            const size_t position = positions_.at(unit);
            field((std::string(key) + "-position").c_str(), std::to_string(position + 1));
        }
    }

    void writeConversion(const Conversion& c) {
        out_ += "\n[conversion]\n";
        reference("from", c.unit1);
        reference("to", c.unit2);
        if (c.kind != (c.isLinear() ? Conversion::Linear : Conversion::Formula))
            field("kind", std::to_string(c.kind));
        if (c.isLinear()) {
            field("factor", number(c.factor));
            if (c.offset != 0 || std::signbit(c.offset)) field("offset", number(c.offset));
        } else {
            field("forward", quoted(c.forwardFormula));
            field("reverse", quoted(c.reverseFormula));
        }
    }

    const Document& document_;
    UnitResolver resolver_;
    std::unordered_map<const Item*, size_t> positions_;
    std::string out_;
};

} // namespace

std::string writeDataSource(const Document& document) { return SourceWriter(document).write(); }

} // namespace pq
