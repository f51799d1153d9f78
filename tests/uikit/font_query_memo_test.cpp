#include <gtest/gtest.h>

#include <fontconfig/fontconfig.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "uikit/font_pattern_text.h"
#include "uikit/font_query_memo.h"

using namespace pq::ui;
namespace fs = std::filesystem;

namespace {

const FcChar8* U8(const std::string& text) { return reinterpret_cast<const FcChar8*>(text.c_str()); }

// A question as Qt asks it: the fonts to fall back on for a family, or how
// to render a font it opens, by the font's file.
struct Question {
    std::string family;
    std::string file; // none: the family's fallbacks
    double pixels = 0;
};

// fontconfig's answers: the substituted pattern, then the sorted fonts or
// the match.
struct Answer {
    FcBool substituted = FcFalse;
    FcPattern* pattern = nullptr;
    std::vector<FcPattern*> fonts;
    FcPattern* match = nullptr;
    FcResult result = FcResultNoMatch;
};

Answer Ask(const Question& question) {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, U8(question.family));
    if (question.file.empty()) {
        FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
        FcValue generic{};
        generic.type = FcTypeString;
        generic.u.s = reinterpret_cast<const FcChar8*>("sans-serif");
        FcPatternAddWeak(pattern, FC_FAMILY, generic, FcTrue);
    } else {
        FcPatternAddString(pattern, FC_FILE, U8(question.file));
        FcPatternAddInteger(pattern, FC_INDEX, 0);
        FcPatternAddDouble(pattern, FC_PIXEL_SIZE, question.pixels);
    }
    Answer answer;
    answer.substituted = FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    answer.pattern = SnapshotPattern(pattern);
    FcDefaultSubstitute(pattern);
    if (question.file.empty()) {
        // The fonts are the configuration's own, shared: compared by address.
        FcFontSet* fonts = FcFontSort(nullptr, pattern, FcFalse, nullptr, &answer.result);
        for (int i = 0; fonts && i < fonts->nfont; ++i) answer.fonts.push_back(fonts->fonts[i]);
        if (fonts) FcFontSetDestroy(fonts);
    } else {
        answer.match = FcFontMatch(nullptr, pattern, &answer.result);
    }
    FcPatternDestroy(pattern);
    return answer;
}

std::vector<Answer> AskAll(const std::vector<Question>& questions) {
    std::vector<Answer> answers;
    for (const Question& question : questions) answers.push_back(Ask(question));
    return answers;
}

void Free(std::vector<Answer>& answers) {
    for (Answer& answer : answers) {
        FcPatternDestroy(answer.pattern);
        if (answer.match) FcPatternDestroy(answer.match);
    }
    answers.clear();
}

void ExpectSameAnswers(std::vector<Answer> got, std::vector<Answer> expected,
                       const std::string& what) {
    ASSERT_EQ(got.size(), expected.size()) << what;
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].substituted, expected[i].substituted) << what << " " << i;
        EXPECT_TRUE(SamePattern(got[i].pattern, expected[i].pattern)) << what << " " << i;
        EXPECT_EQ(got[i].fonts, expected[i].fonts) << what << " " << i;
        EXPECT_TRUE(SamePattern(got[i].match, expected[i].match)) << what << " " << i;
        EXPECT_EQ(got[i].result, expected[i].result) << what << " " << i;
    }
    Free(got);
    Free(expected);
}

// One start: the memo kept in `file`, its questions answered by a font
// thread, before the first question is asked (`ahead`) or while they are.
// Returns the answers; `wrote` tells whether the memo rewrote the file.
std::vector<Answer> Start(const std::string& file, const std::vector<Question>& questions,
                          bool ahead, bool* wrote) {
    BeginFontQueryMemo(file);
    std::thread font(AnswerRememberedFontQueries);
    if (ahead) font.join();
    std::vector<Answer> answers = AskAll(questions);
    if (!ahead) font.join();
    *wrote = EndFontQueryMemo();
    ReleaseFontQueryMemo();
    return answers;
}

std::string Contents(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class FontQueryMemoTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(FcInit());
        const FcFontSet* fonts = FcConfigGetFonts(nullptr, FcSetSystem);
        ASSERT_TRUE(fonts && fonts->nfont > 0);
        // Fallbacks for a family that is missing and for one that is there,
        // fonts opened at several sizes, one of them twice, as a start does.
        questions_.push_back({"No Such Family Anywhere", "", 0});
        for (int i : {0, fonts->nfont / 2, fonts->nfont - 1}) {
            FcChar8* family = nullptr;
            FcChar8* file = nullptr;
            if (FcPatternGetString(fonts->fonts[i], FC_FAMILY, 0, &family) != FcResultMatch ||
                FcPatternGetString(fonts->fonts[i], FC_FILE, 0, &file) != FcResultMatch)
                continue;
            const std::string name = reinterpret_cast<const char*>(family);
            const std::string path = reinterpret_cast<const char*>(file);
            questions_.push_back({name, "", 0});
            questions_.push_back({name, path, 17});
            questions_.push_back({name, path, 12});
            questions_.push_back({name, path, 17});
        }
        file_ = (fs::path(folder_) / "cache" / "font-queries").string();
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::vector<Question> questions_;
    const std::string folder_ =
        (fs::temp_directory_path() / ("pq-font-memo-" + std::to_string(getpid()))).string();
    std::string file_;
};

} // namespace

// A start without a memo writes one; the next takes every answer from it, the
// same as fontconfig's, and leaves the file alone, whether the answers were
// ready before the questions or come while they are asked. Questions that
// differ from those kept, if only in a letter's case or a binding, go to
// fontconfig, and the file is rewritten with them.
TEST_F(FontQueryMemoTest, AnswersAreFontconfigsOwnAndTheFileFollowsTheQuestions) {
    bool wrote = false;
    ExpectSameAnswers(Start(file_, questions_, true, &wrote), AskAll(questions_), "first");
    EXPECT_TRUE(wrote);
    const std::string kept = Contents(file_);
    ASSERT_FALSE(kept.empty());
    // Questions, not answers: a line each, sorts and matches following the
    // substitution before them.
    EXPECT_EQ(std::count(kept.begin(), kept.end(), '\n'), 2 * std::ssize(questions_));
    EXPECT_EQ(kept.find("o0\t=\n") != std::string::npos, true) << kept;

    for (const bool ahead : {true, false}) {
        ExpectSameAnswers(Start(file_, questions_, ahead, &wrote), AskAll(questions_),
                          ahead ? "answered ahead" : "answered meanwhile");
        EXPECT_FALSE(wrote);
        EXPECT_EQ(Contents(file_), kept);
    }

    std::vector<Question> changed = questions_;
    changed.erase(changed.begin() + 2);
    for (char& c : changed[1].family) c = static_cast<char>(std::tolower(c));
    ExpectSameAnswers(Start(file_, changed, true, &wrote), AskAll(changed), "changed");
    EXPECT_TRUE(wrote);
    EXPECT_NE(Contents(file_), kept);
    ExpectSameAnswers(Start(file_, changed, true, &wrote), AskAll(changed), "changed again");
    EXPECT_FALSE(wrote);
}

// What cannot be read is asked again and the file rewritten; a file that
// cannot be written costs nothing but the memo.
TEST_F(FontQueryMemoTest, UnreadableOrUnwritableFilesCostOnlyTheMemo) {
    bool wrote = false;
    ExpectSameAnswers(Start(file_, questions_, true, &wrote), AskAll(questions_), "first");
    const std::string kept = Contents(file_);
    const std::string unreadable[] = {
        "nonsense\n\x01\x02\xff\n",
        "s9\tfamily sS x\no0\t=\nm0\tfamily sS x\ttrailing\nx0\tfamily sS x\n" + kept.substr(0, 40),
        std::string((1 << 20) + 1, 's'),
    };
    for (const std::string& contents : unreadable) {
        std::ofstream(file_, std::ios::binary | std::ios::trunc) << contents;
        ExpectSameAnswers(Start(file_, questions_, true, &wrote), AskAll(questions_), "broken");
        EXPECT_TRUE(wrote);
        EXPECT_EQ(Contents(file_), kept);
    }

    const std::string blocked = (fs::path(folder_) / "file-not-folder").string();
    std::ofstream(blocked) << "x";
    ExpectSameAnswers(Start(blocked + "/font-queries", questions_, false, &wrote),
                      AskAll(questions_), "unwritable");
    EXPECT_FALSE(wrote);
}
