#include "document/unit_names.h"

#include <algorithm>

#include "document/match_key.h"
#include "document/symbol_case.h"

namespace pq {

namespace {

bool isSpace(char16_t c) { return c == u' ' || c == u'\t' || c == 0x00A0 || c == 0x202F; }

std::u16string_view trimmed(std::u16string_view text) {
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
    return text;
}

bool hasDigit(std::u16string_view text) {
    return std::any_of(text.begin(), text.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

// The text without a part in parentheses at its end ("Pacific Time (US &
// Canada)" -> "Pacific Time"); the text itself when it has none.
std::u16string_view withoutParentheses(std::u16string_view text) {
    if (text.empty() || text.back() != u')') return text;
    const size_t open = text.rfind(u'(');
    return open == std::u16string_view::npos ? text : trimmed(text.substr(0, open));
}

// The parts of a text between separators outside parentheses.
std::vector<std::u16string_view> splitAt(std::u16string_view text, char16_t separator) {
    std::vector<std::u16string_view> parts;
    int depth = 0;
    size_t begin = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'(') ++depth;
        if (text[i] == u')' && depth > 0) --depth;
        if (text[i] == separator && depth == 0) {
            parts.push_back(trimmed(text.substr(begin, i - begin)));
            begin = i + 1;
        }
    }
    parts.push_back(trimmed(text.substr(begin)));
    return parts;
}

class NamesBuilder {
  public:
    explicit NamesBuilder(const std::vector<TypedName>* only) : only_(only) {}

    size_t add(std::u16string_view text) {
        std::u16string collapsed = CollapseSpaces(text);
        if (collapsed.empty()) return npos;
        for (size_t i = 0; i < names_.forms.size(); ++i)
            if (names_.forms[i].text == collapsed) return i;
        std::u16string folded = FoldLetterCase(collapsed);
        names_.forms.push_back({std::move(collapsed), std::move(folded)});
        return names_.forms.size() - 1;
    }

    // The phrase of a written form, with the qualifiers of its name's tail.
    void addPhrase(size_t form, const Phrase* qualifiers) {
        if (form == npos || !wanted(form)) return;
        Phrase phrase = MakePhrase(PhraseWords(names_.forms[form].text));
        if (qualifiers) {
            phrase.qualifiers |= qualifiers->qualifiers;
            phrase.ownQualifiers = qualifiers->ownQualifiers;
        }
        addPhrase(std::move(phrase), form);
    }

    void addPhrase(Phrase phrase, size_t form) {
        if (phrase.core.empty()) return;
        // The same phrase from another written form is kept: the letter
        // case rule compares with the form.
        for (const UnitNames::PhraseForm& known : names_.phrases)
            if (known.form == form && known.phrase.core == phrase.core &&
                known.phrase.qualifiers == phrase.qualifiers &&
                known.phrase.ownQualifiers == phrase.ownQualifiers)
                return;
        names_.phrases.push_back({std::move(phrase), form});
    }

    // "Kilometre per hour" and "km/h" give "km per hour" and "kilometre per h".
    void addMixedPhrases(size_t head, size_t abbreviation) {
        if (head == npos || abbreviation == npos || !(wanted(head) || wanted(abbreviation)))
            return;
        const auto longParts = partsOf(names_.forms[head].text);
        const auto shortParts = partsOf(names_.forms[abbreviation].text);
        const size_t k = longParts.size();
        if (k < 2 || k > 3 || shortParts.size() != k) return;
        for (unsigned mask = 1; mask + 1 < (1u << k); ++mask) {
            std::vector<PhraseWord> words;
            for (size_t i = 0; i < k; ++i) {
                if (i > 0) words.push_back({u"/", -1});
                const auto& part = (mask >> i) & 1 ? shortParts[i] : longParts[i];
                words.insert(words.end(), part.begin(), part.end());
            }
            addPhrase(MakePhrase(words), head);
        }
    }

    UnitNames take() { return std::move(names_); }

    static constexpr size_t npos = static_cast<size_t>(-1);

  private:
    // Phrases are made only of the forms that may be what was typed.
    bool wanted(size_t form) const {
        return !only_ || MayBeNamedByAny(*only_, names_.forms[form].text);
    }

    static std::vector<std::vector<PhraseWord>> partsOf(std::u16string_view text) {
        std::vector<std::vector<PhraseWord>> parts(1);
        for (PhraseWord& word : PhraseWords(text)) {
            if (word.text == u"/")
                parts.emplace_back();
            else
                parts.back().push_back(std::move(word));
        }
        return parts;
    }

    UnitNames names_;
    const std::vector<TypedName>* only_;
};

bool onlyQualifiers(std::u16string_view text) {
    const std::vector<PhraseWord> words = PhraseWords(text);
    return std::all_of(words.begin(), words.end(),
                       [](const PhraseWord& word) { return word.qualifier >= 0; });
}

} // namespace

std::u16string CollapseSpaces(std::u16string_view text) {
    text = trimmed(text);
    std::u16string result;
    result.reserve(text.size());
    bool space = false;
    for (char16_t c : text) {
        if (isSpace(c)) {
            space = true;
            continue;
        }
        if (space) result += u' ';
        space = false;
        // Signs Unicode has twice are written one way: the Greek mu as the
        // micro sign, the ohm, kelvin and angstrom signs as their letters.
        switch (c) {
        case 0x03BC: c = 0x00B5; break;
        case 0x2126: c = 0x03A9; break;
        case 0x212A: c = u'K'; break;
        case 0x212B: c = 0x00C5; break;
        default: break;
        }
        result += c;
    }
    return result;
}

std::u16string FoldLetterCase(std::u16string_view text) {
    std::u16string result(text);
    for (char16_t& c : result) {
        if ((c >= u'A' && c <= u'Z') || (c >= 0x00C0 && c <= 0x00DE && c != 0x00D7) ||
            (c >= 0x0391 && c <= 0x03AB && c != 0x03A2) || (c >= 0x0410 && c <= 0x042F))
            c = static_cast<char16_t>(c + 0x20);
        else if (c >= 0x0100 && c <= 0x017F && (c & 1) == 0 && c != 0x0130 && c != 0x0138)
            c = static_cast<char16_t>(c + 1);
        else if (c >= 0x0400 && c <= 0x040F)
            c = static_cast<char16_t>(c + 0x50);
    }
    return result;
}

UnitNames NamesOfUnit(std::u16string_view name, std::u16string_view identifier,
                      const std::vector<std::u16string>& alternatives, bool compound,
                      const std::vector<TypedName>* only) {
    NamesBuilder builder(only);
    constexpr size_t npos = NamesBuilder::npos;
    const size_t identifierForm = builder.add(identifier);
    builder.add(name);

    name = trimmed(name);
    const std::u16string_view bare = withoutParentheses(name);
    std::vector<std::u16string_view> abbreviations;
    if (bare.size() < name.size()) {
        const size_t open = name.rfind(u'(');
        abbreviations = splitAt(name.substr(open + 1, name.size() - open - 2), u',');
    }
    const size_t bareForm = builder.add(bare);

    // The head, and what the parts after its commas add.
    const std::vector<std::u16string_view> parts =
        compound ? std::vector<std::u16string_view>{bare} : splitAt(bare, u',');
    Phrase tail; // the qualifiers of a single tail
    const bool qualifyingTail = parts.size() == 2 && !hasDigit(parts[1]) &&
                                parts[1].find(u'/') == std::u16string_view::npos;
    if (qualifyingTail) {
        for (const PhraseWord& word : PhraseWords(parts[1])) {
            if (word.qualifier >= 0)
                tail.qualifiers |= 1u << word.qualifier;
            else
                tail.ownQualifiers.push_back(word.text);
        }
    }
    const Phrase* qualifiers = qualifyingTail ? &tail : nullptr;
    builder.addPhrase(bareForm, nullptr);
    size_t headForm = npos;
    for (size_t i = 0; i < parts.size(); ++i) {
        const std::u16string_view part = parts[i];
        if (i > 0 && (hasDigit(part) || onlyQualifiers(part))) continue;
        const size_t form = builder.add(part);
        builder.addPhrase(form, i == 0 ? qualifiers : nullptr);
        // "India (Kolkata, Mumbai, New Delhi)": India, and each of the others.
        const std::u16string_view shorter = withoutParentheses(part);
        if (shorter.size() < part.size()) {
            builder.addPhrase(builder.add(shorter), nullptr);
            const size_t open = part.rfind(u'(');
            for (std::u16string_view inner :
                 splitAt(part.substr(open + 1, part.size() - open - 2), u','))
                if (!inner.empty() && !hasDigit(inner) && !onlyQualifiers(inner))
                    builder.addPhrase(builder.add(inner), nullptr);
        }
        if (i == 0) headForm = form;
    }
    for (std::u16string_view abbreviation : abbreviations) {
        const size_t form = builder.add(abbreviation);
        builder.addPhrase(form, qualifiers);
        builder.addMixedPhrases(headForm, form);
    }
    builder.addPhrase(identifierForm, qualifiers);
    for (const std::u16string& alternative : alternatives)
        builder.addPhrase(builder.add(alternative), nullptr);
    return builder.take();
}

TypedName ReadTypedName(std::u16string_view text) {
    TypedName typed;
    typed.text = CollapseSpaces(text);
    typed.folded = FoldLetterCase(typed.text);
    typed.readsAsSymbols = ReadsAsSymbols(typed.text);
    typed.phrase = ReadTypedPhrase(typed.text);
    if (const size_t split = ProductSplit(typed.text))
        typed.product = ReadTypedPhrase(typed.text.substr(0, split) + u"\u00B7" +
                                        typed.text.substr(split));
    // A core that begins with "per" (written as the word) is not ruled on.
    const std::u16string& core = typed.phrase.phrase.core;
    if (!core.empty() && core[0] != u'/' && core[0] != 0x00B7) {
        typed.start[0] = core[0];
        typed.start[1] = core.size() > 1 && core[1] != u'^' ? core[1] : 0;
        typed.oneCharacter = core.size() == 1;
    }
    return typed;
}

namespace {

// The sign a character is as a word of a phrase (name_phrase.cpp).
char16_t signOf(char16_t c) {
    switch (c) {
    case u'"': return 0x2033;
    case u'\'':
    case 0x2019: return 0x2032; // an apostrophe between letters is none, but may be
    case u'*':
    case 0x00D7: return 0x00B7;
    default: return operatorSign(c);
    }
}

// Calls visit(first, second) with the first two characters of each word of
// a text (second 0 for a word of one character) until it returns true. The
// words begin where the phrases' words do (name_phrase.cpp), or more often.
template <class Visit>
bool anyWordStart(std::u16string_view text, const Visit& visit) {
    char16_t first[2] = {0, 0};
    int have = -1; // characters of the current word's start taken; -1 between words
    char16_t folded[8];
    LetterCase previous = LetterCase::None;
    for (size_t i = 0; i <= text.size(); ++i) {
        const char16_t c = i < text.size() ? text[i] : 0;
        int count = 0;
        bool sign = false;
        LetterCase current = LetterCase::None;
        if (c < 0x80) {
            // ASCII at once: letters and digits, the signs "/" and '"'.
            if (c >= u'a' && c <= u'z') {
                folded[0] = c;
                count = 1;
                current = LetterCase::Lower;
            } else if ((c >= u'0' && c <= u'9') || c == u'$') {
                folded[0] = c;
                count = 1;
            } else if (c >= u'A' && c <= u'Z') {
                folded[0] = static_cast<char16_t>(c + 32);
                count = 1;
                current = LetterCase::Upper;
            } else if (c == u'%') {
                count = foldCharacter(c, folded);
            } else {
                sign = c == u'/' || c == u'"' || c == u'\'' || c == u'*';
            }
        } else if (c == 0x00B0 || c == 0x00D7 || c == 0x2019 || operatorSign(c) != 0) {
            sign = true;
        } else {
            count = foldCharacter(c, folded);
            if (count > 0) current = letterCase(c);
        }
        const bool camel = previous == LetterCase::Lower && current == LetterCase::Upper;
        previous = current;
        if (count == 0 || sign || camel) {
            // The word before ends here.
            if (have == 1 && visit(first[0], char16_t(0))) return true;
            have = -1;
            if (sign) {
                // A sign is a word of its own; the degree sign is "degree".
                if (c == 0x00B0 ? visit(u'd', u'e') : visit(signOf(c), char16_t(0))) return true;
                // Two apostrophes are a double prime.
                if ((c == u'\'' || c == 0x2019) && visit(char16_t(0x2033), char16_t(0)))
                    return true;
                continue;
            }
            if (count == 0) continue;
        }
        for (int k = 0; k < count; ++k) {
            if (have < 0) {
                first[0] = folded[k];
                have = 1;
            } else if (have == 1) {
                first[1] = folded[k];
                have = 2;
                if (visit(first[0], first[1])) return true;
            }
        }
    }
    return false;
}

// Whether a word that begins with these characters may begin the typed
// name's phrase. A word of one character may run on into the next ("k W"
// is "kW").
bool startsAlike(const TypedName& typed, char16_t first, char16_t second) {
    if (first != typed.start[0]) return false;
    if (typed.oneCharacter) return second == 0;
    if (second == 0 || typed.start[1] == 0 || second == typed.start[1]) return true;
    // "feet" is "foot".
    return first == u'f' && second == u'e' && typed.start[1] == u'o';
}

uint64_t firstBit(char16_t first) { return uint64_t{1} << (first % 64); }
uint64_t pairBit(char16_t first, char16_t second) {
    return uint64_t{1} << ((first * 31u + second) % 64);
}

} // namespace

void WordStarts::add(std::u16string_view text) {
    anyWordStart(text, [this](char16_t a, char16_t b) {
        first |= firstBit(a);
        pairs |= pairBit(a, b);
        return false;
    });
}

bool MayBeNamed(const TypedName& typed, const WordStarts& starts) {
    const char16_t a = typed.start[0];
    const char16_t b = typed.start[1];
    if (a == 0) return true;
    if (!(starts.first & firstBit(a))) return false;
    if (typed.oneCharacter) return starts.pairs & pairBit(a, 0);
    if (b == 0) return true;
    uint64_t bits = pairBit(a, b) | pairBit(a, 0);
    if (a == u'f' && b == u'o') bits |= pairBit(u'f', u'e'); // "feet" is "foot"
    return starts.pairs & bits;
}

bool MayBeNamed(const TypedName& typed, std::u16string_view text) {
    if (typed.start[0] == 0) return true;
    return anyWordStart(text, [&](char16_t first, char16_t second) {
        return startsAlike(typed, first, second);
    });
}

bool MayBeNamedByAny(const std::vector<TypedName>& typed, std::u16string_view text) {
    for (const TypedName& name : typed)
        if (name.start[0] == 0) return true;
    return anyWordStart(text, [&](char16_t first, char16_t second) {
        for (const TypedName& name : typed)
            if (startsAlike(name, first, second)) return true;
        return false;
    });
}

bool MayBeWrittenIn(const TypedName& typed, std::u16string_view name) {
    return !typed.folded.empty() && MayBeWrittenInFolded(typed, FoldLetterCase(CollapseSpaces(name)));
}

bool MayBeWrittenInFolded(const TypedName& typed, std::u16string_view text) {
    const std::u16string_view wanted = typed.folded;
    if (wanted.empty()) return false;
    // The forms of a name are its pieces between the commas and
    // parentheses, blanks around them aside.
    auto bounds = [&text](size_t at, int step) {
        for (; at < text.size() && text[at] == u' '; at += static_cast<size_t>(step)) {
        }
        return at >= text.size() || text[at] == u',' || text[at] == u'(' || text[at] == u')';
    };
    for (size_t at = text.find(wanted); at != std::u16string::npos;
         at = text.find(wanted, at + 1))
        if ((at == 0 || bounds(at - 1, -1)) && bounds(at + wanted.size(), 1)) return true;
    return false;
}

std::optional<MatchTier> MatchUnitNames(const TypedName& typed, const UnitNames& names) {
    if (typed.text.empty()) return std::nullopt;
    for (const UnitNames::Form& form : names.forms)
        if (form.text == typed.text) return MatchTier::Exact;
    for (const UnitNames::Form& form : names.forms)
        if (form.folded == typed.folded &&
            CaseAllows(typed.text, typed.readsAsSymbols, form.text))
            return MatchTier::CaseFolded;
    if (typed.phrase.phrase.core.empty()) return std::nullopt;
    for (const UnitNames::PhraseForm& form : names.phrases) {
        if ((PhraseMatches(typed.phrase, form.phrase) ||
             (typed.product && PhraseMatches(*typed.product, form.phrase))) &&
            CaseAllows(typed.text, typed.readsAsSymbols, names.forms[form.form].text))
            return MatchTier::Folded;
    }
    return std::nullopt;
}

} // namespace pq
