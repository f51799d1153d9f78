#include "document/name_phrase.h"

#include <algorithm>
#include <array>

#include "document/match_key.h"

namespace pq {

namespace {

constexpr std::u16string_view kPer = u"/";
constexpr std::u16string_view kTimes = u"\u00B7";
constexpr std::u16string_view kPrime = u"\u2032";
constexpr std::u16string_view kDoublePrime = u"\u2033";

// Qualifier words and the spelling each stands for; the bit is the place of
// that spelling in kQualifiers.
constexpr std::array<std::u16string_view, 15> kQualifiers = {
    u"us",     u"imperial", u"metric", u"it",    u"thermochemical",
    u"mechanical", u"electrical", u"liquid", u"dry", u"troy",
    u"avoirdupois", u"short", u"long", u"statute", u"survey",
};

struct Synonym {
    std::u16string_view word;
    std::u16string_view meaning;
};
constexpr Synonym kQualifierSynonyms[] = {
    {u"usa", u"us"},         {u"american", u"us"},         {u"uk", u"imperial"},
    {u"imp", u"imperial"},   {u"british", u"imperial"},    {u"brit", u"imperial"},
    {u"international", u"it"}, {u"intl", u"it"},           {u"th", u"thermochemical"},
    {u"thermo", u"thermochemical"}, {u"mech", u"mechanical"}, {u"electric", u"electrical"},
    {u"liq", u"liquid"},     {u"avdp", u"avoirdupois"},
};

// Words whose plural or singular no rule gives.
constexpr Synonym kIrregular[] = {
    {u"feet", u"foot"}, {u"pence", u"penny"}, {u"deg", u"degree"}, {u"degs", u"degree"},
};

// Words that end in "s" in the singular.
constexpr std::u16string_view kSingularInS[] = {u"siemens", u"lens", u"series", u"species"};

// The first parts of the tz database's zone names ("America/New_York").
constexpr std::u16string_view kZoneAreas[] = {u"africa",    u"america", u"antarctica",
                                              u"asia",      u"atlantic", u"australia",
                                              u"europe",    u"indian",  u"pacific", u"etc"};

bool isAsciiLetters(std::u16string_view word) {
    return !word.empty() && std::all_of(word.begin(), word.end(),
                                        [](char16_t c) { return c >= u'a' && c <= u'z'; });
}

bool isVowel(char16_t c) {
    return c == u'a' || c == u'e' || c == u'i' || c == u'o' || c == u'u';
}

void replaceEnd(std::u16string& word, size_t count, std::u16string_view by) {
    word.replace(word.size() - count, count, by);
}

// The singular and one spelling of a word of lower-case letters.
void normaliseWord(std::u16string& word) {
    for (const Synonym& irregular : kIrregular)
        if (word == irregular.word) {
            word = irregular.meaning;
            return;
        }
    // Plurals.
    const size_t n = word.size();
    const bool singularInS = std::find(std::begin(kSingularInS), std::end(kSingularInS), word) !=
                             std::end(kSingularInS);
    if (singularInS) {
    } else if (n >= 5 && word.ends_with(u"ies")) {
        replaceEnd(word, 1, u""); // "centuries" -> "centurie", as "century" below
    } else if (n >= 5 && (word.ends_with(u"ches") || word.ends_with(u"shes") ||
                          word.ends_with(u"sses") || word.ends_with(u"xes") ||
                          word.ends_with(u"zes"))) {
        replaceEnd(word, 2, u"");
    } else if (n >= 3 && word.back() == u's' && !word.ends_with(u"ss") &&
               !word.ends_with(u"us") && !word.ends_with(u"is")) {
        replaceEnd(word, 1, u"");
    }
    // "century" and "centuries" meet at "centurie"; "day" stays.
    if (word.size() >= 4 && word.back() == u'y' && !isVowel(word[word.size() - 2]))
        replaceEnd(word, 1, u"ie");
    // US and British spellings: meter and metre, liter and litre, gram and
    // gramme, deka and deca.
    if (word.ends_with(u"meter") || word.ends_with(u"liter")) replaceEnd(word, 2, u"re");
    if (word.ends_with(u"gramme")) replaceEnd(word, 2, u"");
    if (word.starts_with(u"deka")) word.replace(0, 4, u"deca");
}

int qualifierBit(std::u16string_view word) {
    for (const Synonym& synonym : kQualifierSynonyms)
        if (word == synonym.word) word = synonym.meaning;
    const auto found = std::find(kQualifiers.begin(), kQualifiers.end(), word);
    return found == kQualifiers.end() ? -1 : static_cast<int>(found - kQualifiers.begin());
}

bool isLetter(char16_t c) {
    return letterCase(c) != LetterCase::None || (c >= 0x0370 && c <= 0x052F);
}

// Splits a text into words and signs, before the words are reduced.
class Splitter {
  public:
    explicit Splitter(std::u16string_view text) : text_(text) {}

    std::vector<std::u16string> split() {
        LetterCase previous = LetterCase::None;
        char16_t folded[8];
        for (size_t i = 0; i < text_.size(); ++i) {
            const char16_t c = text_[i];
            const char16_t next = i + 1 < text_.size() ? text_[i + 1] : 0;
            if (c == u'\'' || c == 0x2019) {
                // An apostrophe inside a word ("Nuku'alofa") is left out; else
                // it is a prime, and two are a double prime.
                if (i > 0 && isLetter(text_[i - 1]) && isLetter(next)) continue;
                if (next == c) {
                    sign(kDoublePrime);
                    ++i;
                } else {
                    sign(kPrime);
                }
            } else if (c == u'"') {
                sign(kDoublePrime);
            } else if (c == u'^' && (next == u'2' || next == u'3') && !word_.empty()) {
                word_ += u'^';
                word_ += next;
                endWord();
                ++i;
            } else if (c == 0x00B0) {
                endWord();
                words_.emplace_back(u"degree");
            } else if (c == u'*' || c == 0x00D7) {
                sign(kTimes);
            } else if (const char16_t op = operatorSign(c)) {
                sign(std::u16string_view(&op, 1));
            } else if (const int count = foldCharacter(c, folded); count > 0) {
                const LetterCase current = letterCase(c);
                if (previous == LetterCase::Lower && current == LetterCase::Upper) endWord();
                previous = current;
                word_.append(folded, static_cast<size_t>(count));
                continue;
            } else {
                endWord();
            }
            previous = LetterCase::None;
        }
        endWord();
        return std::move(words_);
    }

  private:
    void sign(std::u16string_view s) {
        endWord();
        words_.emplace_back(s);
    }
    void endWord() {
        if (word_.empty()) return;
        // A 2 or 3 at the end of a word, after a letter, is a power: "km2".
        const size_t n = word_.size();
        if (n >= 2 && (word_[n - 1] == u'2' || word_[n - 1] == u'3') &&
            word_[n - 2] >= u'a' && word_[n - 2] <= u'z')
            word_.insert(n - 1, 1, u'^');
        words_.push_back(std::move(word_));
        word_.clear();
    }

    std::u16string_view text_;
    std::u16string word_;
    std::vector<std::u16string> words_;
};

bool isSign(std::u16string_view word) {
    return word == kPer || word == kTimes || word == kPrime || word == kDoublePrime;
}

} // namespace

int PhraseQualifierBit(std::u16string_view word) { return qualifierBit(word); }

std::vector<PhraseWord> PhraseWords(std::u16string_view text) {
    std::vector<std::u16string> raw = Splitter(text).split();
    // A zone of the tz database by its name: "America/New_York" is "New
    // York", "America/Argentina/Buenos_Aires" is "Buenos Aires".
    if (raw.size() >= 3 && raw[1] == kPer &&
        std::find(std::begin(kZoneAreas), std::end(kZoneAreas), raw[0]) != std::end(kZoneAreas))
        while (raw.size() >= 3 && raw[1] == kPer) raw.erase(raw.begin(), raw.begin() + 2);

    std::vector<PhraseWord> words;
    words.reserve(raw.size());
    char16_t power = 0; // for the next word, after "square" or "cubic"
    for (size_t i = 0; i < raw.size(); ++i) {
        std::u16string& word = raw[i];
        if (isSign(word)) {
            words.push_back({std::move(word), -1});
            continue;
        }
        if (word == u"per") {
            words.push_back({std::u16string(kPer), -1});
            continue;
        }
        const bool hasNext = i + 1 < raw.size() && !isSign(raw[i + 1]);
        if (hasNext && (word == u"square" || word == u"sq")) {
            power = u'2';
            continue;
        }
        if (hasNext && (word == u"cubic" || word == u"cu")) {
            power = u'3';
            continue;
        }
        if ((word == u"squared" || word == u"cubed") && !words.empty() &&
            !isSign(words.back().text) && !words.back().text.ends_with(u'2') &&
            !words.back().text.ends_with(u'3')) {
            words.back().text += word == u"squared" ? u"^2" : u"^3";
            continue;
        }
        // "International Table" is one qualifier.
        if (word == u"table" && !words.empty() && words.back().qualifier == qualifierBit(u"it") &&
            i > 0 && raw[i - 1] == u"international")
            continue;
        std::u16string_view letters = word;
        std::u16string suffix;
        if (const size_t caret = word.find(u'^'); caret != std::u16string::npos) {
            suffix = word.substr(caret);
            letters = std::u16string_view(word).substr(0, caret);
        }
        std::u16string reduced(letters);
        if (isAsciiLetters(reduced)) normaliseWord(reduced);
        const int bit = suffix.empty() && power == 0 ? qualifierBit(reduced) : -1;
        reduced += suffix;
        if (power != 0 && suffix.empty()) {
            reduced += u'^';
            reduced += power;
        }
        power = 0;
        words.push_back({std::move(reduced), bit});
    }
    return words;
}

Phrase MakePhrase(const std::vector<PhraseWord>& words) {
    Phrase phrase;
    const bool allQualifiers = std::all_of(words.begin(), words.end(), [](const PhraseWord& w) {
        return w.qualifier >= 0 || w.text == kPer || w.text == kTimes;
    });
    for (const PhraseWord& word : words) {
        if (word.qualifier >= 0 && !allQualifiers)
            phrase.qualifiers |= 1u << word.qualifier;
        else
            phrase.core += word.text;
    }
    return phrase;
}

TypedPhrase ReadTypedPhrase(std::u16string_view text) {
    TypedPhrase typed;
    typed.words = PhraseWords(text);
    typed.phrase = MakePhrase(typed.words);
    return typed;
}

bool PhraseMatches(const TypedPhrase& typed, const Phrase& unit) {
    if ((typed.phrase.qualifiers & ~unit.qualifiers) != 0) return false;
    if (unit.ownQualifiers.empty()) return typed.phrase.core == unit.core;
    // Without the unit's own qualifiers, wherever they stand.
    std::u16string core;
    const bool allQualifiers = typed.phrase.qualifiers == 0;
    for (const PhraseWord& word : typed.words) {
        if (word.qualifier >= 0 && !allQualifiers) continue;
        if (std::find(unit.ownQualifiers.begin(), unit.ownQualifiers.end(), word.text) !=
            unit.ownQualifiers.end())
            continue;
        core += word.text;
    }
    return core == unit.core;
}

} // namespace pq
