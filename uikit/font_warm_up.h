#pragma once

namespace pq::ui {

// Reading the system's font configuration is the largest part of a start.
// WarmUpFonts has it read on a thread of its own while the program sets
// itself up; call it first thing in main(). WaitForFonts returns once it is
// read: call it before the first font is used (CreateUiFont does).
void WarmUpFonts();
void WaitForFonts();

} // namespace pq::ui
