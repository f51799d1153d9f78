#include "uikit/font_warm_up.h"

#include <QCoreApplication>

#include <fontconfig/fontconfig.h>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace pq::ui {

namespace {

struct Warmer {
    std::mutex mutex;
    std::condition_variable done;
    bool started = false;
    bool finished = false;
};

// Never destroyed: the thread may still run while the program ends.
Warmer& warmer() {
    static Warmer* const warmer = new Warmer;
    return *warmer;
}

} // namespace

void WarmUpFonts() {
    Warmer& w = warmer();
    const std::lock_guard lock(w.mutex);
    if (w.started) return;
    w.started = true;
    // The application object takes the font database down with it: it waits
    // for the reading to end first.
    qAddPostRoutine(&WaitForFonts);
    std::thread([&w] {
        // The configuration becomes the process's current one, which Qt's
        // font database then finds ready.
        FcInit();
        {
            const std::lock_guard done(w.mutex);
            w.finished = true;
        }
        w.done.notify_all();
    }).detach();
}

void WaitForFonts() {
    Warmer& w = warmer();
    std::unique_lock lock(w.mutex);
    w.done.wait(lock, [&w] { return !w.started || w.finished; });
}

} // namespace pq::ui
