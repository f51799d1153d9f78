#pragma once

#include <functional>

class QWidget;

namespace pq::ui {

// For start-up timing: when the environment variable PQ_EXIT_AFTER_FIRST_PAINT
// is set, the program writes the monotonic clock in nanoseconds
// ("first-paint 123...") to standard output once its first window has been
// painted, and ends at once.
void WatchFirstPaint();

// Calls `work` once, after the window's first frame has been drawn, as soon
// as the event loop has nothing more urgent to do: what the first frame does
// not show need not hold it up. Nothing is called for a window that is
// destroyed before it was painted.
void AfterFirstPaint(QWidget* window, std::function<void()> work);

} // namespace pq::ui
