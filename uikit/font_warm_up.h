#pragma once

namespace pq::ui {

// Reading the desktop's font configuration is the largest part of a start.
// WarmUpFonts, called first thing in main(), has fontconfig read it on a
// thread of its own while the program sets itself up. WaitForFonts returns
// once it is read: CreateUiFont calls it before the first font is made, so
// that the configuration is not read twice.
void WarmUpFonts();
void WaitForFonts();

} // namespace pq::ui
