#include "uikit/font_pattern_text.h"

#include <charconv>
#include <cstring>
#include <vector>

namespace pq::ui {

namespace {

void appendEscaped(std::string& out, std::string_view text) {
    for (const char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
}

template <class Number> void appendNumber(std::string& out, Number number) {
    char digits[32];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, number);
    if (error == std::errc()) out.append(digits, end);
}

// The letter a value's type is written with; none for a type that has no
// text here.
char typeLetter(FcType type) {
    switch (type) {
    case FcTypeString: return 's';
    case FcTypeInteger: return 'i';
    case FcTypeDouble: return 'd';
    case FcTypeBool: return 'b';
    case FcTypeMatrix: return 'm';
    case FcTypeLangSet: return 'l';
    case FcTypeRange: return 'r';
    default: return '\0';
    }
}

void appendValueText(std::string& out, const FcValue& value) {
    switch (value.type) {
    case FcTypeString:
        appendEscaped(out, reinterpret_cast<const char*>(value.u.s));
        break;
    case FcTypeInteger:
        appendNumber(out, value.u.i);
        break;
    case FcTypeDouble:
        appendNumber(out, value.u.d);
        break;
    case FcTypeBool:
        appendNumber(out, value.u.b);
        break;
    case FcTypeMatrix:
        for (const double d : {value.u.m->xx, value.u.m->xy, value.u.m->yx, value.u.m->yy}) {
            appendNumber(out, d);
            out += ' ';
        }
        out.pop_back();
        break;
    case FcTypeLangSet: {
        FcStrSet* languages = FcLangSetGetLangs(value.u.l);
        FcStrList* list = FcStrListCreate(languages);
        const char* separator = "";
        while (const FcChar8* language = FcStrListNext(list)) {
            out += separator;
            appendEscaped(out, reinterpret_cast<const char*>(language));
            separator = " ";
        }
        FcStrListDone(list);
        FcStrSetDestroy(languages);
        break;
    }
    case FcTypeRange: {
        double begin = 0, end = 0;
        FcRangeGetDouble(value.u.r, &begin, &end);
        appendNumber(out, begin);
        out += ' ';
        appendNumber(out, end);
        break;
    }
    default:
        break;
    }
}

std::string unescaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        switch (text[++i]) {
        case 't': out += '\t'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        default: out += text[i];
        }
    }
    return out;
}

// Numbers apart by single spaces, exactly `count` of them.
template <class Number> bool readNumbers(std::string_view text, Number* numbers, int count) {
    const char* at = text.data();
    const char* const end = text.data() + text.size();
    for (int i = 0; i < count; ++i) {
        if (i > 0 && (at == end || *at++ != ' ')) return false;
        const auto [next, error] = std::from_chars(at, end, numbers[i]);
        if (error != std::errc()) return false;
        at = next;
    }
    return at == end;
}

// Adds one field's value to `pattern`; false when the field is not one.
bool addField(FcPattern* pattern, std::string_view field) {
    const std::size_t space = field.find(' ');
    if (space == 0 || space == std::string_view::npos || field.size() < space + 4 ||
        field[space + 3] != ' ')
        return false;
    const std::string object(field.substr(0, space));
    const char type = field[space + 1];
    const char binding = field[space + 2];
    const std::string_view text = field.substr(space + 4);
    if (binding != 'S' && binding != 'W') return false;

    FcValue value{};
    std::string string;
    FcMatrix matrix{};
    FcLangSet* languages = nullptr;
    FcRange* range = nullptr;
    bool read = false;
    switch (type) {
    case 's':
        string = unescaped(text);
        value.type = FcTypeString;
        value.u.s = reinterpret_cast<const FcChar8*>(string.c_str());
        read = true;
        break;
    case 'i':
        value.type = FcTypeInteger;
        read = readNumbers(text, &value.u.i, 1);
        break;
    case 'd':
        value.type = FcTypeDouble;
        read = readNumbers(text, &value.u.d, 1);
        break;
    case 'b':
        value.type = FcTypeBool;
        read = readNumbers(text, &value.u.b, 1) && value.u.b >= 0 && value.u.b <= FcDontCare;
        break;
    case 'm': {
        double d[4];
        read = readNumbers(text, d, 4);
        matrix = {d[0], d[1], d[2], d[3]};
        value.type = FcTypeMatrix;
        value.u.m = &matrix;
        break;
    }
    case 'l': {
        languages = FcLangSetCreate();
        read = true;
        for (std::size_t at = 0; at < text.size() && read;) {
            std::size_t next = text.find(' ', at);
            if (next == std::string_view::npos) next = text.size();
            const std::string language = unescaped(text.substr(at, next - at));
            read = !language.empty() &&
                   FcLangSetAdd(languages, reinterpret_cast<const FcChar8*>(language.c_str()));
            at = next + 1;
        }
        value.type = FcTypeLangSet;
        value.u.l = languages;
        break;
    }
    case 'r': {
        double d[2];
        read = readNumbers(text, d, 2) && (range = FcRangeCreateDouble(d[0], d[1])) != nullptr;
        value.type = FcTypeRange;
        value.u.r = range;
        break;
    }
    default:
        break;
    }
    // The pattern keeps copies of what it is given.
    const bool added = read && (binding == 'W'
                                    ? FcPatternAddWeak(pattern, object.c_str(), value, FcTrue)
                                    : FcPatternAdd(pattern, object.c_str(), value, FcTrue));
    if (languages) FcLangSetDestroy(languages);
    if (range) FcRangeDestroy(range);
    return added;
}

// Calls `each(object, at)` for every element of `pattern`, `at` pointing at
// it.
template <class Each> void forEachElement(const FcPattern* pattern, Each each) {
    FcPatternIter at;
    FcPatternIterStart(pattern, &at);
    for (int i = FcPatternObjectCount(pattern); i > 0; --i, FcPatternIterNext(pattern, &at))
        each(FcPatternIterGetObject(pattern, &at), at);
}

// Calls `each(object, value, binding)` for every value of `pattern`, in
// order, while it returns true.
template <class Each> void forEachValue(const FcPattern* pattern, Each each) {
    bool going = true;
    forEachElement(pattern, [&](const char* object, FcPatternIter& at) {
        const int count = FcPatternIterValueCount(pattern, &at);
        for (int v = 0; v < count && going; ++v) {
            FcValue value;
            FcValueBinding binding;
            going = FcPatternIterGetValue(pattern, &at, v, &value, &binding) != FcResultMatch ||
                    each(object, value, binding);
        }
    });
}

std::size_t valueCount(const FcPattern* pattern) {
    std::size_t count = 0;
    forEachElement(pattern, [&](const char*, FcPatternIter& at) {
        count += static_cast<std::size_t>(FcPatternIterValueCount(pattern, &at));
    });
    return count;
}

} // namespace

std::optional<std::string> PatternText(const FcPattern* pattern) {
    std::string text;
    bool writable = true;
    forEachValue(pattern, [&](const char* object, const FcValue& value, FcValueBinding binding) {
        if (std::strpbrk(object, " \t\n\r\\") || !*object ||
            (binding != FcValueBindingStrong && binding != FcValueBindingWeak))
            return writable = false;
        const char type = typeLetter(value.type);
        if (!type) return writable = false;
        if (!text.empty()) text += '\t';
        text += object;
        text += ' ';
        text += type;
        text += binding == FcValueBindingWeak ? "W " : "S ";
        appendValueText(text, value);
        return true;
    });
    if (!writable) return std::nullopt;
    return text;
}

FcPattern* PatternFromText(std::string_view text) {
    FcPattern* pattern = FcPatternCreate();
    if (!pattern || text.empty()) return pattern;
    for (std::size_t at = 0; at <= text.size();) {
        std::size_t end = text.find('\t', at);
        if (end == std::string_view::npos) end = text.size();
        if (!addField(pattern, text.substr(at, end - at))) {
            FcPatternDestroy(pattern);
            return nullptr;
        }
        at = end + 1;
    }
    return pattern;
}

PatternValues ValuesOf(const FcPattern* pattern) {
    PatternValues values;
    forEachValue(pattern, [&values](const char* object, const FcValue& value,
                                    FcValueBinding binding) {
        values.push_back({object, value, binding});
        return true;
    });
    return values;
}

bool SamePattern(const FcPattern* pattern, const PatternValues& values) {
    if (valueCount(pattern) != values.size()) return false;
    std::size_t at = 0;
    bool same = true;
    forEachValue(pattern, [&](const char* object, const FcValue& value, FcValueBinding binding) {
        const PatternValue& other = values[at++];
        same = (object == other.object || std::strcmp(object, other.object) == 0) &&
               value.type == other.value.type && binding == other.binding &&
               // fontconfig compares strings ignoring case; a substitution
               // may not.
               (value.type == FcTypeString
                    ? std::strcmp(reinterpret_cast<const char*>(value.u.s),
                                  reinterpret_cast<const char*>(other.value.u.s)) == 0
                    : FcValueEqual(value, other.value));
        return same;
    });
    return same;
}

bool SamePattern(const FcPattern* a, const FcPattern* b) {
    if (a == b) return true;
    return a && b && SamePattern(a, ValuesOf(b));
}

bool CanCopyPattern(const PatternValues& values) {
    for (const PatternValue& value : values)
        if (value.binding != FcValueBindingStrong && value.binding != FcValueBindingWeak)
            return false;
    return true;
}

void CopyPattern(FcPattern* target, const PatternValues& values) {
    std::vector<std::string> objects;
    forEachElement(target, [&objects](const char* object, FcPatternIter&) {
        objects.emplace_back(object);
    });
    for (const std::string& object : objects) FcPatternDel(target, object.c_str());
    // Put in front, last first: adding at the end would walk the element's
    // values every time.
    for (auto value = values.rbegin(); value != values.rend(); ++value) {
        if (value->binding == FcValueBindingWeak)
            FcPatternAddWeak(target, value->object, value->value, FcFalse);
        else
            FcPatternAdd(target, value->object, value->value, FcFalse);
    }
}

FcPattern* SnapshotPattern(const FcPattern* pattern) {
    FcPattern* snapshot = FcPatternCreate();
    if (snapshot) CopyPattern(snapshot, ValuesOf(pattern));
    return snapshot;
}

} // namespace pq::ui
