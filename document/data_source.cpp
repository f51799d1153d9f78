#include "document/data_source.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <unordered_map>
#include <vector>

#include "document/data_file.h"
#include "document/document.h"
#include "engine/expression_engine.h"
#include "engine/text.h"

namespace pq {

namespace {

// ---------------------------------------------------------------- shared ---

const char* typeName(int32_t typeCode) {
    return typeCode == CalculationDocument::kTypeCode ? "calculations" : "conversions";
}

// How a conversion names its units: by identifier, else by name, else by
// position. The same resolution serves both directions, so that what is
// written is always read back as the same unit. A reference is first
// compared exactly with the identifiers, then with the names, then both
// again without regard to case; the first comparison that matches any unit
// decides, and it resolves only when it matches exactly one. The four
// indexes are built once, so that a file of n units resolves in O(n).
class UnitResolver {
  public:
    explicit UnitResolver(const std::vector<std::unique_ptr<Item>>& items) : items_(items) {
        byId_.reserve(items.size());
        byName_.reserve(items.size());
        for (const auto& item : items) {
            add(byId_, item->identifier.view(), *item);
            add(byName_, item->name.view(), *item);
        }
    }

    const Item* find(std::u16string_view reference) const {
        if (reference.empty()) return nullptr;
        if (const Entry* e = lookup(byId_, reference)) return e->item;
        if (const Entry* e = lookup(byName_, reference)) return e->item;
        // Only a reference written in another case gets this far.
        if (!looseBuilt_) buildLoose();
        lowerAscii(reference, key_);
        if (const Entry* e = lookup(byIdLoose_, key_)) return e->item;
        if (const Entry* e = lookup(byNameLoose_, key_)) return e->item;
        return nullptr;
    }

  private:
    struct Entry {
        const Item* item; // null once a second unit has the same key
    };
    // The keys are views of the units' own texts, or of lowered_, which is
    // filled once and then left alone.
    using Index = std::unordered_map<std::u16string_view, Entry>;

    static void add(Index& index, std::u16string_view key, const Item& item) {
        auto [it, added] = index.try_emplace(key, Entry{&item});
        if (!added) it->second.item = nullptr;
    }

    static const Entry* lookup(const Index& index, std::u16string_view key) {
        auto it = index.find(key);
        return it == index.end() ? nullptr : &it->second;
    }

    void buildLoose() const {
        size_t length = 0;
        for (const auto& item : items_)
            length += item->identifier.view().size() + item->name.view().size();
        lowered_.reserve(length);
        byIdLoose_.reserve(items_.size());
        byNameLoose_.reserve(items_.size());
        for (const auto& item : items_) {
            for (auto [text, index] : {std::pair{item->identifier.view(), &byIdLoose_},
                                       std::pair{item->name.view(), &byNameLoose_}}) {
                const size_t start = lowered_.size();
                for (char16_t c : text) lowered_ += asciiLower(c);
                add(*index, std::u16string_view(lowered_).substr(start), *item);
            }
        }
        looseBuilt_ = true;
    }

    const std::vector<std::unique_ptr<Item>>& items_;
    Index byId_, byName_;
    mutable Index byIdLoose_, byNameLoose_;
    mutable std::u16string lowered_;
    mutable bool looseBuilt_ = false;
    mutable std::u16string key_;
};

// ---------------------------------------------------------------- writer ---

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

// ---------------------------------------------------------------- reader ---

struct Field {
    int line;
    std::string value; // the raw text after "key:", trimmed
};

struct Section {
    std::string kind; // "" for the header, "unit", "input", "output", "conversion"
    int line = 0;
    std::map<std::string, Field> fields;
    std::vector<Field> parts; // "part:" lines, in order
};

class SourceReader {
  public:
    SourceReader(std::string_view source, int typeCode, SourceError& error)
        : source_(source), typeCode_(typeCode), error_(error) {}

    std::unique_ptr<Document> read() {
        if (!split()) return nullptr;
        return build();
    }

  private:
    bool fail(int line, std::string message) {
        error_.line = line;
        error_.message = std::move(message);
        return false;
    }

    static std::string_view trim(std::string_view s) {
        size_t b = s.find_first_not_of(" \t");
        if (b == std::string_view::npos) return {};
        size_t e = s.find_last_not_of(" \t");
        return s.substr(b, e - b + 1);
    }

    // Cuts the source into sections of fields.
    bool split() {
        sections_.push_back({"", 1, {}, {}});
        std::string_view rest = source_;
        if (rest.starts_with("\xEF\xBB\xBF")) rest.remove_prefix(3);
        int line = 0;
        while (!rest.empty()) {
            ++line;
            size_t end = rest.find('\n');
            std::string_view text = rest.substr(0, end);
            rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
            if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
            text = trim(text);
            if (text.empty() || text.front() == '#') continue;
            if (text.front() == '[') {
                if (text.back() != ']') return fail(line, "a section header must end in ']'");
                std::string kind(trim(text.substr(1, text.size() - 2)));
                if (kind != "unit" && kind != "input" && kind != "output" && kind != "conversion")
                    return fail(line, "unknown section [" + kind +
                                          "] (expected [unit], [input], [output] or [conversion])");
                sections_.push_back({kind, line, {}, {}});
                continue;
            }
            size_t colon = text.find(':');
            if (colon == std::string_view::npos)
                return fail(line, "expected \"key: value\", a [section] or a # comment");
            std::string key(trim(text.substr(0, colon)));
            Field field{line, std::string(trim(text.substr(colon + 1)))};
            Section& section = sections_.back();
            if (key == "part" && section.kind != "" && section.kind != "conversion") {
                if (section.parts.size() == NumberFormat::kMaxParts)
                    return fail(line, "an item has at most four compound parts");
                section.parts.push_back(std::move(field));
                continue;
            }
            if (!allowedKey(section.kind, key))
                return fail(line, "unknown field \"" + key + "\" " +
                                      (section.kind.empty() ? std::string("in the file header")
                                                            : "in [" + section.kind + "]"));
            if (section.fields.contains(key))
                return fail(line, "duplicate field \"" + key + "\" (first given on line " +
                                      std::to_string(section.fields[key].line) + ")");
            section.fields.emplace(key, std::move(field));
        }
        return true;
    }

    static bool allowedKey(const std::string& kind, const std::string& key) {
        static const char* header[] = {"type", "title", "category", "updated"};
        static const char* item[] = {"id",      "name",    "value", "shown",
                                     "formats", "display", "entry", "role"};
        static const char* conversion[] = {"from",        "to",      "from-position",
                                           "to-position", "factor",  "offset",
                                           "forward",     "reverse", "kind"};
        auto in = [&](const auto& list) {
            for (const char* k : list)
                if (key == k) return true;
            return false;
        };
        if (kind.empty()) return in(header);
        if (kind == "conversion") return in(conversion);
        return in(item);
    }

    // A text value: plain, or in double quotes with escapes.
    bool text(const Field& f, std::u16string& out) {
        std::string_view v = f.value;
        if (v.empty() || v.front() != '"') {
            out = fromUtf8(v);
            return true;
        }
        if (v.size() < 2 || v.back() != '"')
            return fail(f.line, "a quoted text must end with '\"'");
        v = v.substr(1, v.size() - 2);
        out.clear();
        size_t runStart = 0;
        for (size_t i = 0; i < v.size(); ++i) {
            if (v[i] == '"') return fail(f.line, "a '\"' inside a quoted text needs a backslash");
            if (v[i] != '\\') continue;
            out += fromUtf8(v.substr(runStart, i - runStart));
            if (++i >= v.size()) return fail(f.line, "a quoted text ends in a lone backslash");
            switch (v[i]) {
            case '"': out += u'"'; break;
            case '\\': out += u'\\'; break;
            case 'n': out += u'\n'; break;
            case 'r': out += u'\r'; break;
            case 't': out += u'\t'; break;
            case 'u': {
                unsigned unit = 0;
                auto r = std::from_chars(v.data() + i + 1, v.data() + std::min(v.size(), i + 5),
                                         unit, 16);
                if (i + 5 > v.size() || r.ptr != v.data() + i + 5)
                    return fail(f.line, "\\u needs four hexadecimal digits");
                out += static_cast<char16_t>(unit);
                i += 4;
                break;
            }
            default: return fail(f.line, std::string("unknown escape \\") + v[i]);
            }
            runStart = i + 1;
        }
        out += fromUtf8(v.substr(runStart));
        if (out.size() > static_cast<size_t>(DataFile::kMaxTextLength))
            return fail(f.line, "a text may hold at most 65535 characters");
        return true;
    }

    bool integer(const Field& f, int32_t& out) {
        const std::string& v = f.value;
        auto r = std::from_chars(v.data(), v.data() + v.size(), out);
        if (v.empty() || r.ec != std::errc() || r.ptr != v.data() + v.size())
            return fail(f.line, "\"" + v + "\" is not a whole number");
        return true;
    }

    // A number ("0.3048", "1e-9", "inf"), "bits:" and sixteen hexadecimal
    // digits, or any formula the engine evaluates ("1/3", "12*0.0254").
    bool real(const Field& f, double& out) {
        const std::string& v = f.value;
        auto r = std::from_chars(v.data(), v.data() + v.size(), out);
        if (!v.empty() && r.ec == std::errc() && r.ptr == v.data() + v.size()) return true;
        if (v.starts_with("bits:")) {
            uint64_t bits = 0;
            auto r = std::from_chars(v.data() + 5, v.data() + v.size(), bits, 16);
            if (v.size() != 21 || r.ec != std::errc() || r.ptr != v.data() + v.size())
                return fail(f.line, "\"bits:\" needs sixteen hexadecimal digits");
            std::memcpy(&out, &bits, sizeof out);
            return true;
        }
        if (!engine_.evaluate(fromUtf8(v), out))
            return fail(f.line, "\"" + v + "\" is not a number or a formula that evaluates");
        return true;
    }

    bool formatValue(const Field& f, int32_t& out, bool list) {
        out = 0;
        std::string_view rest = f.value;
        while (true) {
            size_t comma = list ? rest.find(',') : std::string_view::npos;
            std::string word(trim(rest.substr(0, comma)));
            if (const int32_t code = formatCodeNamed(word)) {
                out |= code;
            } else {
                int32_t raw;
                auto r = std::from_chars(word.data(), word.data() + word.size(), raw);
                if (word.empty() || r.ec != std::errc() || r.ptr != word.data() + word.size())
                    return fail(f.line, "unknown format \"" + word +
                                            "\" (decimal, hex, octal, binary, compound, date, "
                                            "datetime, currency, or a number)");
                out |= raw;
            }
            if (comma == std::string_view::npos) break;
            rest = rest.substr(comma + 1);
        }
        return true;
    }

    const Field* get(const Section& s, const char* key) {
        auto it = s.fields.find(key);
        return it == s.fields.end() ? nullptr : &it->second;
    }

    bool textField(const Section& s, const char* key, WString& out) {
        const Field* f = get(s, key);
        if (!f) return true;
        std::u16string value;
        if (!text(*f, value)) return false;
        out.assign(value);
        return true;
    }

    std::unique_ptr<Document> build() {
        const Section& header = sections_.front();
        int type = typeCode_;
        if (const Field* f = get(header, "type")) {
            int declared = f->value == "conversions"    ? ConversionDocument::kTypeCode
                           : f->value == "calculations" ? CalculationDocument::kTypeCode
                                                        : 0;
            if (declared == 0)
                return fail(f->line, "type must be \"conversions\" or \"calculations\""), nullptr;
            if (type != 0 && type != declared)
                return fail(f->line, std::string("the source describes ") + typeName(declared) +
                                         " but the file name asks for " + typeName(type)),
                       nullptr;
            type = declared;
        }
        if (type == 0)
            return fail(1, "say \"type: conversions\" or \"type: calculations\", or name a "
                           ".cnv or .cal file"),
                   nullptr;
        std::unique_ptr<Document> document = createDocument(type);
        document->updatedText.assign(u"");
        if (!textField(header, "title", document->title) ||
            !textField(header, "category", document->category) ||
            !textField(header, "updated", document->updatedText))
            return nullptr;

        for (size_t i = 1; i < sections_.size(); ++i)
            if (sections_[i].kind != "conversion" && !buildItem(sections_[i], *document))
                return nullptr;
        for (size_t i = 1; i < sections_.size(); ++i) {
            if (sections_[i].kind != "conversion") continue;
            if (type != ConversionDocument::kTypeCode)
                return fail(sections_[i].line, "a calculation file has no conversions"), nullptr;
            if (!buildConversion(sections_[i], static_cast<ConversionDocument&>(*document)))
                return nullptr;
        }
        document->itemCount = static_cast<int32_t>(document->items.size());
        return document;
    }

    bool buildItem(const Section& s, Document& document) {
        std::unique_ptr<Item> item =
            createItem(s.kind == "unit" ? UnitItem::kTypeCode : CalcItem::kTypeCode);
        if (auto* calc = dynamic_cast<CalcItem*>(item.get())) {
            calc->role = s.kind == "output" ? Output : Input;
            if (const Field* f = get(s, "role"); f && !integer(*f, calc->role)) return false;
        } else if (const Field* f = get(s, "role")) {
            return fail(f->line, "a [unit] has no role; use [input] or [output]");
        }
        if (!textField(s, "id", item->identifier) || !textField(s, "name", item->name) ||
            !textField(s, "value", item->valueText))
            return false;
        if (const Field* f = get(s, "shown")) {
            if (f->value == "yes")
                item->shown = 1;
            else if (f->value == "no")
                item->shown = 0;
            else if (!integer(*f, item->shown))
                return false;
        }
        NumberFormat& format = item->format;
        const Field* formats = get(s, "formats");
        const Field* display = get(s, "display");
        const Field* entry = get(s, "entry");
        if (display && !formatValue(*display, format.displayFormat, false)) return false;
        if (entry && !formatValue(*entry, format.entryFormat, false)) return false;
        if (formats) {
            if (!formatValue(*formats, format.allowedFormats, true)) return false;
        } else {
            format.allowedFormats = Decimal;
            if (display) format.allowedFormats = format.displayFormat;
            if (entry) format.allowedFormats |= format.entryFormat;
        }
        const uint32_t mask = static_cast<uint32_t>(format.allowedFormats);
        if (!display) format.displayFormat = static_cast<int32_t>(mask & (0u - mask));
        if (!entry) format.entryFormat = format.displayFormat;
        if (!s.parts.empty() && !format.allows(Compound))
            return fail(s.parts.front().line, "compound parts need \"compound\" among the formats");
        for (size_t k = 0; k < s.parts.size(); ++k) {
            const Field& part = s.parts[k];
            size_t eq = part.value.rfind('=');
            if (eq == std::string::npos)
                return fail(part.line, "a part is written \"label = fraction\"");
            Field label{part.line, std::string(trim(std::string_view(part.value).substr(0, eq)))};
            Field fraction{part.line,
                           std::string(trim(std::string_view(part.value).substr(eq + 1)))};
            std::u16string labelText;
            if (!text(label, labelText) || !real(fraction, format.fractions[k])) return false;
            format.labels[k].assign(labelText);
        }
        document.items.push_back(std::move(item));
        return true;
    }

    bool unitReference(const Section& s, const char* key, const Document& document, Item*& out) {
        const std::string positionKey = std::string(key) + "-position";
        const Field* byText = get(s, key);
        const Field* byPosition = get(s, positionKey.c_str());
        if (byText && byPosition)
            return fail(byPosition->line, "give either \"" + std::string(key) + "\" or \"" +
                                              positionKey + "\", not both");
        if (byPosition) {
            int32_t n;
            if (!integer(*byPosition, n)) return false;
            if (n < 1 || static_cast<size_t>(n) > document.items.size())
                return fail(byPosition->line, "there is no item number " + std::to_string(n));
            out = document.items[static_cast<size_t>(n - 1)].get();
            return true;
        }
        if (!byText) return fail(s.line, "a conversion needs \"" + std::string(key) + ":\"");
        std::u16string reference;
        if (!text(*byText, reference)) return false;
        if (!resolver_) resolver_.emplace(document.items); // every item is read by now
        out = const_cast<Item*>(resolver_->find(reference));
        if (!out)
            return fail(byText->line, "no unit has the identifier or name \"" + byText->value +
                                          "\" (or more than one has)");
        return true;
    }

    bool buildConversion(const Section& s, ConversionDocument& document) {
        Conversion& c = document.addConversion();
        if (!unitReference(s, "from", document, c.unit1) ||
            !unitReference(s, "to", document, c.unit2))
            return false;
        const Field* factor = get(s, "factor");
        const Field* offset = get(s, "offset");
        const Field* forward = get(s, "forward");
        const Field* reverse = get(s, "reverse");
        const bool formula = forward || reverse;
        if (formula && (factor || offset))
            return fail((factor ? factor : offset)->line,
                        "a conversion is linear (factor, offset) or a formula pair (forward, "
                        "reverse), not both");
        c.kind = formula ? Conversion::Formula : Conversion::Linear;
        if (const Field* kind = get(s, "kind")) {
            if (!integer(*kind, c.kind)) return false;
            if (c.isLinear() == formula)
                return fail(kind->line, "this kind does not match the fields of the conversion");
        }
        if (factor && !real(*factor, c.factor)) return false;
        if (offset && !real(*offset, c.offset)) return false;
        if (forward && !textField(s, "forward", c.forwardFormula)) return false;
        if (reverse && !textField(s, "reverse", c.reverseFormula)) return false;
        return true;
    }

    std::string_view source_;
    int typeCode_;
    SourceError& error_;
    std::vector<Section> sections_;
    std::optional<UnitResolver> resolver_;
    ExpressionEngine engine_;
};

} // namespace

std::string writeDataSource(const Document& document) { return SourceWriter(document).write(); }

std::unique_ptr<Document> compileDataSource(std::string_view source, int typeCode,
                                            SourceError& error) {
    return SourceReader(source, typeCode, error).read();
}

} // namespace pq
