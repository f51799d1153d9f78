#include "uikit/font_query_memo.h"

#include <dlfcn.h>

#include <atomic>
#include <charconv>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>
#include <vector>

#include "uikit/font_match.h"
#include "uikit/font_pattern_text.h"

namespace pq::ui {

namespace {

FcBool LibrarySubstitute(FcConfig* config, FcPattern* pattern, FcMatchKind kind) {
    using Function = FcBool (*)(FcConfig*, FcPattern*, FcMatchKind);
    static const auto library = reinterpret_cast<Function>(dlsym(RTLD_NEXT, "FcConfigSubstitute"));
    return library ? library(config, pattern, kind) : FcFalse;
}

FcFontSet* LibrarySort(FcConfig* config, FcPattern* pattern, FcBool trim, FcCharSet** coverage,
                       FcResult* result) {
    using Function = FcFontSet* (*)(FcConfig*, FcPattern*, FcBool, FcCharSet**, FcResult*);
    static const auto library = reinterpret_cast<Function>(dlsym(RTLD_NEXT, "FcFontSort"));
    if (library) return library(config, pattern, trim, coverage, result);
    if (result) *result = FcResultNoMatch;
    return nullptr;
}

// A question, by the letter that starts its line in the file, then its
// option: the kind of substitution, or whether a sort trims.
enum class Ask : char { Substitute = 's', Sort = 'o', Match = 'm' };

enum class State {
    Waiting,   // for the font thread
    Answering, // the font thread is at it
    Answered,  // by the font thread
    Taken,     // by the GUI thread, answered or not
};

struct Entry {
    Ask ask = Ask::Match;
    int option = 0;
    // Known from the file, or else once the substitution it follows is
    // answered: a sort or match asks about that answer with the defaults
    // filled in (FcDefaultSubstitute), and the file says so in one sign.
    FcPattern* question = nullptr;
    PatternValues questionValues;
    int follows = -1;
    State state = State::Waiting;
    bool usable = false;           // the answer can be handed over as it is
    FcPattern* pattern = nullptr;  // the substituted pattern, or the match
    PatternValues substitution;    // the substituted pattern's values
    FcFontSet* fonts = nullptr;    // a sort's fonts
    FcResult result = FcResultNoMatch;
    FcBool substituted = FcFalse;
};

// A question the GUI thread asked: the entry it matched, or else a copy, and
// for a substitution the answer fontconfig gave it.
struct Asked {
    int entry = -1;
    Ask ask = Ask::Match;
    int option = 0;
    FcPattern* copy = nullptr;
    FcPattern* answer = nullptr;
};

// The pattern field of a question that follows a substitution's answer.
constexpr std::string_view kFollows = "=";

constexpr std::size_t kMostQuestions = 64;
constexpr std::uintmax_t kLargestFile = 1 << 20;

struct Memo {
    std::mutex mutex;
    std::condition_variable changed;
    std::string file;
    std::thread::id asker;
    std::atomic<bool> open{false};
    bool loaded = false; // the entries are read: none are added after
    std::vector<Entry> entries;
    std::vector<Asked> asked;
    bool lastKept = false; // the last question asked is the last in `asked`
};

// Never destroyed: the font thread may still use it while the program ends.
Memo& memo() {
    static Memo* const memo = new Memo;
    return *memo;
}

bool validOption(Ask ask, int option) {
    switch (ask) {
    case Ask::Substitute:
        return option == FcMatchPattern || option == FcMatchFont || option == FcMatchScan;
    case Ask::Sort:
        return option == FcFalse || option == FcTrue;
    case Ask::Match:
        return option == 0;
    }
    return false;
}

// The questions of a file: lines "<letter><option><tab><pattern>". Lines
// that are not questions are passed over.
std::vector<Entry> readQuestions(const std::string& file) {
    std::vector<Entry> entries;
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error || size > kLargestFile) return entries;
    std::ifstream in(file, std::ios::binary);
    std::string line;
    while (entries.size() < kMostQuestions && std::getline(in, line)) {
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos || tab < 2) continue;
        Entry entry;
        entry.ask = static_cast<Ask>(line[0]);
        const char* const end = line.data() + tab;
        const auto [read, failed] = std::from_chars(line.data() + 1, end, entry.option);
        if (failed != std::errc() || read != end || !validOption(entry.ask, entry.option))
            continue;
        const std::string_view pattern = std::string_view(line).substr(tab + 1);
        if (pattern == kFollows) {
            if (entry.ask == Ask::Substitute || entries.empty() ||
                entries.back().ask != Ask::Substitute)
                continue;
            entry.follows = static_cast<int>(entries.size()) - 1;
        } else if ((entry.question = PatternFromText(pattern))) {
            entry.questionValues = ValuesOf(entry.question);
        } else {
            continue;
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

// A substitution's answer with the defaults filled in, as asked next.
FcPattern* withDefaults(const PatternValues& substituted) {
    FcPattern* pattern = FcPatternCreate();
    CopyPattern(pattern, substituted);
    FcDefaultSubstitute(pattern);
    return pattern;
}

// Writes by way of a new file, so that the old one stays whole until the new
// one is.
bool writeQuestions(const std::string& file, const std::string& text) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::create_directories(fs::path(file).parent_path(), error);
    const std::string part = file + ".part";
    {
        std::ofstream out(part, std::ios::binary | std::ios::trunc);
        out << text;
        out.flush();
        if (!out) {
            fs::remove(part, error);
            return false;
        }
    }
    fs::rename(part, file, error);
    if (!error) return true;
    fs::remove(part, error);
    return false;
}

void answer(Entry& entry) {
    switch (entry.ask) {
    case Ask::Substitute: {
        entry.pattern = FcPatternCreate();
        CopyPattern(entry.pattern, entry.questionValues);
        entry.substituted =
            LibrarySubstitute(nullptr, entry.pattern, static_cast<FcMatchKind>(entry.option));
        // The answer is copied into the asker's pattern.
        entry.substitution = ValuesOf(entry.pattern);
        entry.usable = CanCopyPattern(entry.substitution);
        break;
    }
    case Ask::Sort:
        entry.fonts = LibrarySort(nullptr, entry.question, entry.option, nullptr, &entry.result);
        entry.usable = true;
        break;
    case Ask::Match:
        entry.pattern = MatchAmongAllFonts(nullptr, entry.question, &entry.result);
        entry.usable = true;
        break;
    }
}

bool isAsker(const Memo& m) {
    return m.open.load(std::memory_order_acquire) && std::this_thread::get_id() == m.asker;
}

// The entry holding the answer to the GUI thread's question, handed over;
// null when the question is to go to fontconfig. Keeps the question for the
// file either way.
Entry* take(Ask ask, int option, FcConfig* config, FcPattern* question) {
    Memo& m = memo();
    if (config || !isAsker(m)) return nullptr;
    std::unique_lock lock(m.mutex);
    m.changed.wait(lock, [&m] { return m.loaded; });
    int found = -1;
    for (std::size_t i = 0; i < m.entries.size() && found < 0; ++i) {
        const Entry& entry = m.entries[i];
        if (entry.state != State::Taken && entry.ask == ask && entry.option == option &&
            entry.question && SamePattern(question, entry.questionValues))
            found = static_cast<int>(i);
    }
    m.lastKept = m.asked.size() < kMostQuestions;
    if (m.lastKept)
        m.asked.push_back(found >= 0 ? Asked{found, ask, option}
                                     : Asked{-1, ask, option, SnapshotPattern(question)});
    if (found < 0) return nullptr;
    Entry& entry = m.entries[found];
    const bool ahead = entry.state != State::Waiting;
    m.changed.wait(lock, [&entry] { return entry.state != State::Answering; });
    entry.state = State::Taken;
    return ahead && entry.usable ? &entry : nullptr;
}

// Keeps the answer fontconfig gave the GUI thread's last question, a
// substitution the memo did not answer: the question after it may follow it.
void keepAnswer(const FcPattern* substituted) {
    Memo& m = memo();
    if (!isAsker(m)) return;
    const std::lock_guard lock(m.mutex);
    if (m.lastKept && m.asked.back().ask == Ask::Substitute && !m.asked.back().answer)
        m.asked.back().answer = SnapshotPattern(substituted);
}

// The pattern field that asks `asked` in the file.
std::optional<std::string> questionText(const Memo& m, std::size_t i) {
    const Asked& asked = m.asked[i];
    const FcPattern* question = asked.copy ? asked.copy : m.entries[asked.entry].question;
    if (asked.ask != Ask::Substitute && i > 0 && m.asked[i - 1].ask == Ask::Substitute) {
        const Asked& before = m.asked[i - 1];
        const FcPattern* answer = before.answer       ? before.answer
                                  : before.entry >= 0 ? m.entries[before.entry].pattern
                                                      : nullptr;
        if (answer) {
            FcPattern* followed = withDefaults(ValuesOf(answer));
            const bool follows = SamePattern(followed, question);
            FcPatternDestroy(followed);
            if (follows) return std::string(kFollows);
        }
    }
    return PatternText(question);
}

FcFontSet* shared(const FcFontSet* fonts) {
    if (!fonts) return nullptr;
    FcFontSet* copy = FcFontSetCreate();
    for (int i = 0; i < fonts->nfont; ++i) {
        FcPatternReference(fonts->fonts[i]);
        FcFontSetAdd(copy, fonts->fonts[i]);
    }
    return copy;
}

} // namespace

void BeginFontQueryMemo(std::string file) {
    Memo& m = memo();
    if (file.empty()) return;
    const std::lock_guard lock(m.mutex);
    m.file = std::move(file);
    m.asker = std::this_thread::get_id();
    m.loaded = false;
    m.open.store(true, std::memory_order_release);
}

void AnswerRememberedFontQueries() {
    Memo& m = memo();
    std::vector<Entry> entries;
    if (m.open.load(std::memory_order_acquire)) entries = readQuestions(m.file);
    std::size_t count = 0;
    {
        const std::lock_guard lock(m.mutex);
        m.entries = std::move(entries);
        m.loaded = true;
        count = m.entries.size();
    }
    m.changed.notify_all();
    for (std::size_t i = 0; i < count; ++i) {
        {
            const std::lock_guard lock(m.mutex);
            if (!m.open.load(std::memory_order_relaxed)) break;
            if (m.entries[i].state != State::Waiting || !m.entries[i].question) continue;
            m.entries[i].state = State::Answering;
        }
        Entry& entry = m.entries[i]; // the font thread's alone while it answers
        answer(entry);
        const bool followed = i + 1 < count && m.entries[i + 1].follows == static_cast<int>(i);
        FcPattern* next = followed && entry.usable ? withDefaults(entry.substitution) : nullptr;
        PatternValues nextValues = next ? ValuesOf(next) : PatternValues();
        {
            const std::lock_guard lock(m.mutex);
            entry.state = State::Answered;
            if (next) {
                m.entries[i + 1].question = next;
                m.entries[i + 1].questionValues = std::move(nextValues);
            }
        }
        m.changed.notify_all();
    }
}

bool EndFontQueryMemo() {
    Memo& m = memo();
    if (!m.open.load(std::memory_order_acquire) || std::this_thread::get_id() != m.asker)
        return false;
    std::string text;
    bool same = true;
    {
        const std::lock_guard lock(m.mutex);
        m.open.store(false, std::memory_order_relaxed);
        same = m.asked.size() == m.entries.size();
        for (std::size_t i = 0; i < m.asked.size() && same; ++i)
            same = m.asked[i].entry == static_cast<int>(i);
        for (std::size_t i = 0; i < m.asked.size() && !same; ++i) {
            const Asked& asked = m.asked[i];
            const std::optional<std::string> pattern = questionText(m, i);
            if (!pattern) continue;
            text += static_cast<char>(asked.ask);
            text += std::to_string(asked.option);
            text += '\t';
            text += *pattern;
            text += '\n';
        }
        for (Asked& asked : m.asked) {
            if (asked.copy) FcPatternDestroy(asked.copy);
            if (asked.answer) FcPatternDestroy(asked.answer);
        }
        m.asked.clear();
    }
    m.changed.notify_all();
    return !same && writeQuestions(m.file, text);
}

void ReleaseFontQueryMemo() {
    Memo& m = memo();
    const std::lock_guard lock(m.mutex);
    m.open.store(false, std::memory_order_relaxed);
    m.loaded = true;
    for (Entry& entry : m.entries) {
        if (entry.question) FcPatternDestroy(entry.question);
        if (entry.pattern) FcPatternDestroy(entry.pattern);
        if (entry.fonts) FcFontSetDestroy(entry.fonts);
    }
    m.entries.clear();
    for (Asked& asked : m.asked) {
        if (asked.copy) FcPatternDestroy(asked.copy);
        if (asked.answer) FcPatternDestroy(asked.answer);
    }
    m.asked.clear();
}

bool RememberedMatch(FcConfig* config, FcPattern* pattern, FcResult* result, FcPattern** match) {
    Entry* entry = take(Ask::Match, 0, config, pattern);
    if (!entry) return false;
    *result = entry->result;
    *match = entry->pattern;
    entry->pattern = nullptr; // the caller's now
    return true;
}

} // namespace pq::ui

// Every call of the program and of the libraries it loads comes here first.
extern "C" FcBool FcConfigSubstitute(FcConfig* config, FcPattern* pattern, FcMatchKind kind) {
    using namespace pq::ui;
    if (Entry* entry = take(Ask::Substitute, kind, config, pattern)) {
        CopyPattern(pattern, entry->substitution);
        return entry->substituted;
    }
    const FcBool substituted = LibrarySubstitute(config, pattern, kind);
    if (!config) keepAnswer(pattern);
    return substituted;
}

extern "C" FcFontSet* FcFontSort(FcConfig* config, FcPattern* pattern, FcBool trim,
                                 FcCharSet** coverage, FcResult* result) {
    using namespace pq::ui;
    if (!coverage && result)
        if (Entry* entry = take(Ask::Sort, trim, config, pattern)) {
            *result = entry->result;
            return shared(entry->fonts);
        }
    return LibrarySort(config, pattern, trim, coverage, result);
}
