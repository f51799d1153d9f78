#include "uikit/font_warm_up.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <fontconfig/fontconfig.h>
#include <pthread.h>
#include <sched.h>

#include <condition_variable>
#include <mutex>

#include "uikit/font_match.h"
#include "uikit/font_query_memo.h"

namespace pq::ui {

namespace {

struct Warmer {
    std::mutex mutex;
    std::condition_variable changed;
    bool started = false;  // the thread runs
    bool read = false;     // the configuration is read
    bool begun = false;    // main() is under way: the memo may be read
    bool finished = false; // and the thread is done with all of it
};

// Never destroyed: the thread may still run while the program ends.
Warmer& warmer() {
    static Warmer* const warmer = new Warmer;
    return *warmer;
}

void mark(Warmer& w, bool Warmer::*what) {
    {
        const std::lock_guard lock(w.mutex);
        w.*what = true;
    }
    w.changed.notify_all();
}

// Reads the configuration, which becomes the process's current one: Qt's
// font database then finds it ready. Then, while the window is built,
// answers the questions the last start asked of fontconfig
// (uikit/font_query_memo.h), and sees whether fonts can be matched by their
// file alone (uikit/font_match.h).
void* readFontConfiguration(void* data) {
    Warmer& w = *static_cast<Warmer*>(data);
    FcInit();
    mark(w, &Warmer::read);
    {
        // Started before main(), the thread keeps to fontconfig until the
        // C++ and Qt libraries have set themselves up.
        std::unique_lock lock(w.mutex);
        w.changed.wait(lock, [&w] { return w.begun; });
    }
    AnswerRememberedFontQueries();
    CheckFileRankedFirst();
    mark(w, &Warmer::finished);
    return nullptr;
}

// A new thread starts on the processor of the thread that made it, and a
// busy main thread can keep it waiting there for milliseconds, until the
// scheduler moves one of them (1.5 to 3 ms on a two-processor machine, most
// of the reading's head start). It is started on another processor instead,
// when the program may use one.
bool startElsewhere(void* (*work)(void*), void* data) {
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) return false;
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    const int here = sched_getcpu();
    if (here >= 0 && here < CPU_SETSIZE && sched_getaffinity(0, sizeof allowed, &allowed) == 0 &&
        CPU_ISSET(here, &allowed) && CPU_COUNT(&allowed) > 1) {
        CPU_CLR(here, &allowed);
        pthread_attr_setaffinity_np(&attributes, sizeof allowed, &allowed);
    }
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    pthread_t thread;
    const bool started = pthread_create(&thread, &attributes, work, data) == 0;
    pthread_attr_destroy(&attributes);
    return started;
}

} // namespace

void StartReadingFonts() {
    Warmer& w = warmer();
    const std::lock_guard lock(w.mutex);
    if (!w.started) w.started = startElsewhere(&readFontConfiguration, &w);
}

void WarmUpFonts() {
    Warmer& w = warmer();
    {
        const std::lock_guard lock(w.mutex);
        if (w.begun) return;
    }
    // The application object takes the font database down with it: it waits
    // for the thread to end first.
    qAddPostRoutine([] {
        Warmer& w = warmer();
        std::unique_lock lock(w.mutex);
        w.changed.wait(lock, [&w] { return !w.started || w.finished; });
        ReleaseFontQueryMemo();
    });
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (!cache.isEmpty())
        BeginFontQueryMemo(
            QFile::encodeName(QDir(cache).filePath(QStringLiteral("font-queries"))).toStdString());
    StartReadingFonts();
    const std::lock_guard lock(w.mutex);
    if (!w.started) {
        ReleaseFontQueryMemo();
        FcInit(); // no thread to be had: read here and now
        w.read = w.finished = true;
    }
    w.begun = true;
    w.changed.notify_all();
}

void WaitForFonts() {
    Warmer& w = warmer();
    std::unique_lock lock(w.mutex);
    w.changed.wait(lock, [&w] { return !w.started || w.read; });
}

} // namespace pq::ui
