// The text form of a data file, compiled into a document.

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "document/data_file.h"
#include "document/data_source.h"
#include "document/data_source_units.h"
#include "document/document.h"
#include "engine/expression_engine.h"
#include "engine/text.h"

namespace pq {

namespace {

using source::typeName;
using source::UnitResolver;

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

std::unique_ptr<Document> compileDataSource(std::string_view source, int typeCode,
                                            SourceError& error) {
    return SourceReader(source, typeCode, error).read();
}

} // namespace pq
