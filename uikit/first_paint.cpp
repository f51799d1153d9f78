#include "uikit/first_paint.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace pq::ui {

namespace {

class FirstPaintWatcher : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            // Queued, so that it runs once the whole frame has been drawn.
            QMetaObject::invokeMethod(
                this,
                [] {
                    const auto now = std::chrono::steady_clock::now().time_since_epoch();
                    std::printf(
                        "first-paint %lld\n",
                        static_cast<long long>(
                            std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
                    std::fflush(stdout);
                    _exit(0);
                },
                Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    bool seen_ = false;
};

} // namespace

void WatchFirstPaint() {
    if (!std::getenv("PQ_EXIT_AFTER_FIRST_PAINT") || !QCoreApplication::instance()) return;
    QCoreApplication::instance()->installEventFilter(
        new FirstPaintWatcher(QCoreApplication::instance()));
}

} // namespace pq::ui
