#pragma once

namespace pq::ui {

// Makes SIGTERM, SIGINT and SIGHUP (the desktop logging out, Ctrl+C in a
// terminal, `kill`) close the program's windows as the user would, so that
// settings, documents and the other files written at exit are saved, and
// then end the event loop: the program exits with status 0. Call once after
// the QApplication exists. False when the signals could not be taken over
// (they keep their default action then).
bool CloseWindowsOnTermination();

} // namespace pq::ui
