#include "uikit/font_warm_up.h"

#include <QCoreApplication>

#include <fontconfig/fontconfig.h>
#include <locale.h>
#include <pthread.h>
#include <sched.h>

#include <condition_variable>
#include <mutex>

namespace pq::ui {

namespace {

struct Reading {
    std::mutex mutex;
    std::condition_variable done;
    bool started = false;
    bool finished = false;
};

// Never destroyed: the thread may still read while the program ends early.
Reading& reading() {
    static Reading* const state = new Reading;
    return *state;
}

void* readConfiguration(void* data) {
    auto& state = *static_cast<Reading*>(data);
    // fontconfig reads the decimal numbers of its files through the C
    // library's locale, which the main thread meanwhile sets for the program:
    // this thread reads in a C locale of its own.
    const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    if (c) uselocale(c);
    FcInit();
    if (c) {
        uselocale(LC_GLOBAL_LOCALE);
        freelocale(c);
    }
    {
        const std::lock_guard lock(state.mutex);
        state.finished = true;
    }
    state.done.notify_all();
    return nullptr;
}

} // namespace

void WarmUpFonts() {
    Reading& state = reading();
    {
        const std::lock_guard lock(state.mutex);
        if (state.started) return;
        pthread_attr_t attributes;
        if (pthread_attr_init(&attributes) != 0) return;
        pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
        // A new thread starts on its maker's processor, where the busy main
        // thread can keep it waiting for milliseconds: it is started on
        // another one, when the program may use one.
        cpu_set_t allowed;
        CPU_ZERO(&allowed);
        const int here = sched_getcpu();
        if (here >= 0 && here < CPU_SETSIZE &&
            sched_getaffinity(0, sizeof allowed, &allowed) == 0 && CPU_ISSET(here, &allowed) &&
            CPU_COUNT(&allowed) > 1) {
            CPU_CLR(here, &allowed);
            pthread_attr_setaffinity_np(&attributes, sizeof allowed, &allowed);
        }
        pthread_t thread;
        state.started = pthread_create(&thread, &attributes, &readConfiguration, &state) == 0;
        pthread_attr_destroy(&attributes);
    }
    // The application object takes the font database down with it: it waits
    // for the reading to end first.
    qAddPostRoutine(&WaitForFonts);
}

void WaitForFonts() {
    Reading& state = reading();
    std::unique_lock lock(state.mutex);
    state.done.wait(lock, [&state] { return !state.started || state.finished; });
}

} // namespace pq::ui
