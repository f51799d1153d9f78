#pragma once

namespace pq::ui {

// Reading the system's font configuration is the largest part of a start.
// WarmUpFonts has it read on a thread of its own while the program sets
// itself up; call it first thing in main(), once the organisation and
// application names are set: the questions this start asks of fontconfig are
// kept in the application's cache folder, to be answered ahead at the next.
// WaitForFonts returns once it is read: call it before the first font is
// used (CreateUiFont does).
void WarmUpFonts();
void WaitForFonts();

// Starts the reading alone. A program can have it called before main(),
// before the libraries it uses set themselves up, which takes half a
// millisecond: PQ_READ_FONTS_BEFORE_MAIN in its main.cpp does so.
void StartReadingFonts();

} // namespace pq::ui

// The functions of a program's .preinit_array run before those of every
// library: the C library is ready, the C++ and Qt libraries are not yet.
#define PQ_READ_FONTS_BEFORE_MAIN                                                       \
    [[gnu::used, gnu::section(".preinit_array")]] static void (*pqReadFontsEarly)(    \
        int, char**, char**) = [](int, char**, char**) { pq::ui::StartReadingFonts(); }
