#include <gtest/gtest.h>

#include <fontconfig/fontconfig.h>

#include <string>

#include "uikit/font_pattern_text.h"

using namespace pq::ui;

namespace {

const FcChar8* U8(const char* text) { return reinterpret_cast<const FcChar8*>(text); }

// Written and read back, the pattern is the same in every value, type and
// binding, and its text does not change.
void ExpectRoundTrip(const FcPattern* pattern, const std::string& what) {
    const std::optional<std::string> text = PatternText(pattern);
    ASSERT_TRUE(text) << what;
    EXPECT_EQ(text->find('\n'), std::string::npos) << what;
    FcPattern* read = PatternFromText(*text);
    ASSERT_TRUE(read) << what << ": " << *text;
    EXPECT_TRUE(SamePattern(read, pattern)) << what << ": " << *text;
    EXPECT_EQ(PatternText(read), text) << what;
    FcPattern* snapshot = SnapshotPattern(pattern);
    EXPECT_TRUE(SamePattern(snapshot, pattern)) << what;
    FcPatternDestroy(snapshot);
    FcPatternDestroy(read);
}

} // namespace

// Every type a pattern can be written with, and the values that trip text up:
// separators and escapes in strings, doubles with no short decimal, weak
// bindings, "don't care" booleans.
TEST(FontPatternText, EveryWritableValueReadsBackTheSame) {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, U8("Tab\tNew\nline\\back slash: \\t"));
    FcValue weak{};
    weak.type = FcTypeString;
    weak.u.s = U8("sans-serif");
    FcPatternAddWeak(pattern, FC_FAMILY, weak, FcTrue);
    FcPatternAddString(pattern, FC_FAMILY, U8(""));
    FcPatternAddInteger(pattern, FC_SLANT, -7);
    FcPatternAddDouble(pattern, FC_PIXEL_SIZE, 0.1);
    FcPatternAddDouble(pattern, FC_SIZE, 1e-300);
    FcPatternAddBool(pattern, FC_ANTIALIAS, FcDontCare);
    FcPatternAddBool(pattern, FC_HINTING, FcFalse);
    const FcMatrix matrix{1, 0.2, -0.3, 4e10};
    FcPatternAddMatrix(pattern, FC_MATRIX, &matrix);
    FcLangSet* languages = FcLangSetCreate();
    FcLangSetAdd(languages, U8("en"));
    FcLangSetAdd(languages, U8("zh-tw"));
    FcLangSetAdd(languages, U8("x-unknown"));
    FcPatternAddLangSet(pattern, FC_LANG, languages);
    FcLangSetDestroy(languages);
    FcLangSet* none = FcLangSetCreate();
    FcPatternAddLangSet(pattern, FC_LANG, none);
    FcLangSetDestroy(none);
    FcRange* range = FcRangeCreateDouble(100, 900.5);
    FcPatternAddRange(pattern, FC_WEIGHT, range);
    FcRangeDestroy(range);
    FcPatternAddString(pattern, "customobject", U8("x"));
    ExpectRoundTrip(pattern, "hand-made");

    FcPattern* empty = FcPatternCreate();
    ExpectRoundTrip(empty, "empty");
    FcPatternDestroy(empty);

    // A character set has no text here: the pattern is not written at all.
    FcCharSet* characters = FcCharSetCreate();
    FcCharSetAddChar(characters, 'a');
    FcPatternAddCharSet(pattern, FC_CHARSET, characters);
    FcCharSetDestroy(characters);
    EXPECT_FALSE(PatternText(pattern));
    FcPatternDestroy(pattern);
}

// The patterns Qt asks about, as fontconfig's substitutions leave them, for
// every installed font: long lists of families, weak and strong, and every
// object the configuration adds.
TEST(FontPatternText, SubstitutedPatternsOfEveryFontReadBackTheSame) {
    ASSERT_TRUE(FcInit());
    const FcFontSet* fonts = FcConfigGetFonts(nullptr, FcSetSystem);
    ASSERT_TRUE(fonts && fonts->nfont > 0);
    for (int i = 0; i < fonts->nfont; ++i) {
        FcChar8* family = nullptr;
        FcChar8* file = nullptr;
        if (FcPatternGetString(fonts->fonts[i], FC_FAMILY, 0, &family) != FcResultMatch ||
            FcPatternGetString(fonts->fonts[i], FC_FILE, 0, &file) != FcResultMatch)
            continue;
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY, family);
        FcPatternAddString(pattern, FC_FILE, file);
        FcPatternAddInteger(pattern, FC_INDEX, 0);
        FcPatternAddDouble(pattern, FC_PIXEL_SIZE, 12.5);
        ExpectRoundTrip(pattern, reinterpret_cast<const char*>(file));
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        ExpectRoundTrip(pattern, reinterpret_cast<const char*>(file));
        FcPatternDestroy(pattern);
    }
}

// Texts that are not patterns read as none, never as part of one.
TEST(FontPatternText, MalformedTextReadsAsNoPattern) {
    for (const char* text :
         {"family", "family sS", "family sSx", " sS x", "family xS x", "family sX x",
          "family iS 1.5", "family iS", "family dS abc", "family dS 1 2", "family bS 3",
          "family bS -1", "matrix mS 1 2 3", "matrix mS 1 2 3 4 5", "weight rS 1",
          "lang lS en  fr", "family sS x\t", "family sS x\t\tslant iS 0"}) {
        FcPattern* pattern = PatternFromText(text);
        EXPECT_EQ(pattern, nullptr) << text;
        if (pattern) FcPatternDestroy(pattern);
    }
}

// Sameness is stricter than fontconfig's equality: the letter case of a
// string, the type of a number and the binding all count.
TEST(FontPatternText, SamenessCountsCaseTypeAndBinding) {
    auto make = [](const char* family, bool weak, bool integerSize) {
        FcPattern* pattern = FcPatternCreate();
        FcValue value{};
        value.type = FcTypeString;
        value.u.s = U8(family);
        weak ? FcPatternAddWeak(pattern, FC_FAMILY, value, FcTrue)
             : FcPatternAdd(pattern, FC_FAMILY, value, FcTrue);
        integerSize ? FcPatternAddInteger(pattern, FC_PIXEL_SIZE, 12)
                    : FcPatternAddDouble(pattern, FC_PIXEL_SIZE, 12);
        return pattern;
    };
    FcPattern* base = make("Sans", false, false);
    for (FcPattern* other :
         {make("sans", false, false), make("Sans", true, false), make("Sans", false, true)}) {
        EXPECT_TRUE(FcPatternEqual(base, other));
        EXPECT_FALSE(SamePattern(base, other));
        // Copied, a pattern takes the other's values as they are.
        FcPattern* copy = make("Serif", true, true);
        FcPatternAddString(copy, FC_STYLE, U8("Bold"));
        ASSERT_TRUE(CanCopyPattern(ValuesOf(other)));
        CopyPattern(copy, ValuesOf(other));
        EXPECT_TRUE(SamePattern(copy, other));
        FcPatternDestroy(copy);
        FcPatternDestroy(other);
    }
    EXPECT_TRUE(SamePattern(base, base));
    FcPatternDestroy(base);
}
