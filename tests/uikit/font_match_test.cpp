#include <gtest/gtest.h>

#include <fontconfig/fontconfig.h>

#include <string>

#include "uikit/font_match.h"

using namespace pq::ui;

namespace {

// A pattern as Qt makes one for a font it opens: a family, the font's file
// and index, a size, and the configuration's substitutions.
FcPattern* OpeningPattern(const FcChar8* family, const FcChar8* file, int index, double pixels) {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, family);
    if (file) FcPatternAddString(pattern, FC_FILE, file);
    FcPatternAddInteger(pattern, FC_INDEX, index);
    FcPatternAddDouble(pattern, FC_PIXEL_SIZE, pixels);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    return pattern;
}

std::string FileOf(FcPattern* font) {
    FcChar8* file = nullptr;
    return FcPatternGetString(font, FC_FILE, 0, &file) == FcResultMatch
               ? reinterpret_cast<const char*>(file)
               : std::string();
}

} // namespace

// Every installed font, asked for under its own family and under another's,
// at two sizes: the fonts of its file alone give the match all fonts give,
// and the match FcFontMatch gives once the check has passed.
TEST(FontMatch, FontsOfTheFileGiveTheMatchOfAllFonts) {
    ASSERT_TRUE(FcInit());
    const FcFontSet* fonts = FcConfigGetFonts(nullptr, FcSetSystem);
    ASSERT_TRUE(fonts && fonts->nfont > 1) << "the test needs two installed fonts";
    EXPECT_TRUE(CheckFileRankedFirst()) << "this fontconfig does not rank the file first";
    int compared = 0;
    for (int i = 0; i < fonts->nfont; ++i) {
        FcPattern* font = fonts->fonts[i];
        FcChar8* file = nullptr;
        int index = 0;
        if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch) continue;
        FcPatternGetInteger(font, FC_INDEX, 0, &index);
        for (FcPattern* familyFrom : {font, fonts->fonts[(i + 1) % fonts->nfont]}) {
            FcChar8* family = nullptr;
            if (FcPatternGetString(familyFrom, FC_FAMILY, 0, &family) != FcResultMatch) continue;
            for (double pixels : {11.0, 17.0}) {
                FcPattern* pattern = OpeningPattern(family, file, index, pixels);
                FcResult allResult = FcResultNoMatch, fileResult = FcResultNoMatch,
                         usedResult = FcResultNoMatch;
                FcPattern* all = MatchAmongAllFonts(nullptr, pattern, &allResult);
                FcPattern* ofFile = MatchAmongFontsOfFile(nullptr, pattern, &fileResult);
                FcPattern* used = FcFontMatch(nullptr, pattern, &usedResult);
                ASSERT_TRUE(all && ofFile && used) << file;
                EXPECT_EQ(FileOf(ofFile), reinterpret_cast<const char*>(file));
                EXPECT_TRUE(FcPatternEqual(all, ofFile)) << file << " as " << family;
                EXPECT_TRUE(FcPatternEqual(all, used)) << file << " as " << family;
                EXPECT_EQ(allResult, fileResult);
                EXPECT_EQ(allResult, usedResult);
                FcPatternDestroy(all);
                FcPatternDestroy(ofFile);
                FcPatternDestroy(used);
                FcPatternDestroy(pattern);
                ++compared;
            }
        }
    }
    EXPECT_GT(compared, 0);
}

// Patterns naming no file, or a file no font has, are left to fontconfig.
TEST(FontMatch, WithoutAKnownFileAllFontsAreScored) {
    ASSERT_TRUE(FcInit());
    const auto* family = reinterpret_cast<const FcChar8*>("sans-serif");
    const auto* missing = reinterpret_cast<const FcChar8*>("/nonexistent/font.ttf");
    for (const FcChar8* file : {static_cast<const FcChar8*>(nullptr), missing}) {
        FcPattern* pattern = OpeningPattern(family, file, 0, 13);
        FcResult result = FcResultNoMatch;
        EXPECT_EQ(MatchAmongFontsOfFile(nullptr, pattern, &result), nullptr);
        FcPattern* used = FcFontMatch(nullptr, pattern, &result);
        FcPattern* all = MatchAmongAllFonts(nullptr, pattern, &result);
        ASSERT_TRUE(used && all);
        EXPECT_TRUE(FcPatternEqual(used, all));
        FcPatternDestroy(used);
        FcPatternDestroy(all);
        FcPatternDestroy(pattern);
    }
}
