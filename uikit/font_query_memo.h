#pragma once

#include <fontconfig/fontconfig.h>

#include <string>

namespace pq::ui {

// A program asks fontconfig the same questions at every start: the rules to
// apply to a font's pattern (FcConfigSubstitute), the fonts to fall back on
// for a family (FcFontSort), the font that matches (FcFontMatch). Each costs
// the GUI thread about a tenth of a millisecond.
//
// The memo keeps the questions of the last start in a file. At the next start
// the font thread asks them again, ahead of the GUI thread, which takes the
// answers instead of asking itself. The answers are always fontconfig's own,
// for the configuration of this start: the file holds questions only, and a
// question is answered from the memo only when it is exactly one asked ahead,
// in values, types and bindings. Anything else goes to fontconfig.

// GUI thread, before the font thread starts: from now until EndFontQueryMemo
// its questions are answered from the memo and kept, to be written to `file`.
void BeginFontQueryMemo(std::string file);

// Font thread, once the configuration is read: reads the file's questions
// and answers them, in the order they were asked. The GUI thread takes each
// answer when it asks, waiting for one the font thread is working on.
void AnswerRememberedFontQueries();

// GUI thread, once the first frame is drawn: answers no more, and writes this
// start's questions to the file when they are not those it held. True when
// it wrote them.
bool EndFontQueryMemo();

// Frees what the memo holds; once no thread uses it.
void ReleaseFontQueryMemo();

// The answer for FcFontMatch's question, taken from the memo when it has it.
bool RememberedMatch(FcConfig* config, FcPattern* pattern, FcResult* result, FcPattern** match);

} // namespace pq::ui
