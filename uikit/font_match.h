#pragma once

#include <fontconfig/fontconfig.h>

namespace pq::ui {

// Qt asks fontconfig, for every font it opens, how that font is to be
// rendered: it matches a pattern naming the font's file, and fontconfig
// scores every installed font against it. fontconfig ranks the file above
// every other property, so only the fonts of that file can win; this program
// scores just those, once CheckFileRankedFirst has seen fontconfig agree.

// The best font for a pattern naming exactly one file, scored among the
// fonts of that file, prepared for rendering as FcFontMatch prepares it; null
// when the pattern names no file or a file no font of the configuration has.
FcPattern* MatchAmongFontsOfFile(FcConfig* config, FcPattern* pattern, FcResult* result);

// fontconfig's own FcFontMatch, scoring every font.
FcPattern* MatchAmongAllFonts(FcConfig* config, FcPattern* pattern, FcResult* result);

// Compares the two on a pattern whose family names another font than its
// file, and lets FcFontMatch score among the fonts of the file from then on
// if they agree, as they do with fontconfig 2.14. Call once the
// configuration is read, off the GUI thread: it costs one full match.
bool CheckFileRankedFirst();

} // namespace pq::ui
