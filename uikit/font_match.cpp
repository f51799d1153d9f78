#include "uikit/font_match.h"

#include <dlfcn.h>

#include <atomic>
#include <cstring>
#include <vector>

#include "uikit/font_query_memo.h"

namespace pq::ui {

namespace {

using MatchFunction = FcPattern* (*)(FcConfig*, FcPattern*, FcResult*);

std::atomic<bool> fileRankedFirst{false};

// The only file a pattern names, if it names exactly one.
const FcChar8* onlyFileOf(FcPattern* pattern) {
    FcChar8* file = nullptr;
    FcChar8* second = nullptr;
    if (FcPatternGetString(pattern, FC_FILE, 0, &file) != FcResultMatch) return nullptr;
    if (FcPatternGetString(pattern, FC_FILE, 1, &second) == FcResultMatch) return nullptr;
    return file;
}

// The fonts of one file, in the order FcFontMatch scores them: the system's
// fonts, then the application's.
std::vector<FcPattern*> fontsOfFile(FcConfig* config, const FcChar8* file) {
    std::vector<FcPattern*> found;
    for (const FcSetName name : {FcSetSystem, FcSetApplication}) {
        const FcFontSet* set = FcConfigGetFonts(config, name);
        if (!set) continue;
        for (int i = 0; i < set->nfont; ++i) {
            FcChar8* candidate = nullptr;
            if (FcPatternGetString(set->fonts[i], FC_FILE, 0, &candidate) == FcResultMatch &&
                std::strcmp(reinterpret_cast<const char*>(candidate),
                            reinterpret_cast<const char*>(file)) == 0)
                found.push_back(set->fonts[i]);
        }
    }
    return found;
}

// A pattern as Qt makes it for a font it opens, after the configuration's
// substitutions, but with the family of another font: the file alone points
// at the right one.
FcPattern* probeFor(FcPattern* font, const FcChar8* otherFamily) {
    FcChar8* file = nullptr;
    int index = 0;
    if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch) return nullptr;
    FcPatternGetInteger(font, FC_INDEX, 0, &index);
    FcPattern* probe = FcPatternCreate();
    FcPatternAddString(probe, FC_FAMILY, otherFamily);
    FcPatternAddString(probe, FC_FILE, file);
    FcPatternAddInteger(probe, FC_INDEX, index);
    FcPatternAddDouble(probe, FC_PIXEL_SIZE, 13);
    FcConfigSubstitute(nullptr, probe, FcMatchPattern);
    FcDefaultSubstitute(probe);
    return probe;
}

} // namespace

FcPattern* MatchAmongAllFonts(FcConfig* config, FcPattern* pattern, FcResult* result) {
    static const auto library = reinterpret_cast<MatchFunction>(dlsym(RTLD_NEXT, "FcFontMatch"));
    if (!library) {
        *result = FcResultNoMatch;
        return nullptr;
    }
    return library(config, pattern, result);
}

FcPattern* MatchAmongFontsOfFile(FcConfig* config, FcPattern* pattern, FcResult* result) {
    const FcChar8* file = onlyFileOf(pattern);
    if (!file) return nullptr;
    std::vector<FcPattern*> fonts = fontsOfFile(config, file);
    if (fonts.empty()) return nullptr;
    const int count = static_cast<int>(fonts.size());
    FcFontSet ofFile{count, count, fonts.data()};
    FcFontSet* sets[] = {&ofFile};
    return FcFontSetMatch(config, sets, 1, pattern, result);
}

bool CheckFileRankedFirst() {
    const FcFontSet* set = FcConfigGetFonts(nullptr, FcSetSystem);
    if (!set || set->nfont < 2) return false;
    // The last font, asked for under the first font's family.
    FcChar8* family = nullptr;
    if (FcPatternGetString(set->fonts[0], FC_FAMILY, 0, &family) != FcResultMatch) return false;
    FcPattern* probe = probeFor(set->fonts[set->nfont - 1], family);
    if (!probe) return false;
    FcResult allResult = FcResultNoMatch;
    FcResult fileResult = FcResultNoMatch;
    FcPattern* all = MatchAmongAllFonts(nullptr, probe, &allResult);
    FcPattern* ofFile = MatchAmongFontsOfFile(nullptr, probe, &fileResult);
    fileRankedFirst = all && ofFile && allResult == fileResult && FcPatternEqual(all, ofFile);
    if (all) FcPatternDestroy(all);
    if (ofFile) FcPatternDestroy(ofFile);
    FcPatternDestroy(probe);
    return fileRankedFirst;
}

} // namespace pq::ui

// Every call of the program and of the libraries it loads comes here first.
extern "C" FcPattern* FcFontMatch(FcConfig* config, FcPattern* pattern, FcResult* result) {
    if (FcPattern* match = nullptr; pq::ui::RememberedMatch(config, pattern, result, &match))
        return match;
    if (pq::ui::fileRankedFirst)
        if (FcPattern* match = pq::ui::MatchAmongFontsOfFile(config, pattern, result)) return match;
    return pq::ui::MatchAmongAllFonts(config, pattern, result);
}
