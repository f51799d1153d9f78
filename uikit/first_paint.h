#pragma once

namespace pq::ui {

// When the environment variable PQ_EXIT_AFTER_FIRST_PAINT is set, the
// program writes the monotonic clock in nanoseconds ("first-paint 123...")
// to standard output once its first window has been painted, and ends at
// once. Start-up timing uses it; without the variable nothing happens.
void WatchFirstPaint();

} // namespace pq::ui
