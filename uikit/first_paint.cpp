#include "uikit/first_paint.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>
#include <QPointer>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace pq::ui {

namespace {

// For start-up timing: once the first frame is drawn, writes the clock and
// ends the program.
class FirstPaintWatcher : public QObject {
  public:
    explicit FirstPaintWatcher(QObject* parent) : QObject(parent) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            QCoreApplication::instance()->removeEventFilter(this);
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
};

// Waits for the first paint of a window or of any of its parts, then posts
// itself the work at low priority, behind what the paint left to do.
class FirstPaintHook : public QObject {
  public:
    // Not a child of the window: the work may close it.
    FirstPaintHook(QWidget* window, std::function<void()> work)
        : window_(window), work_(std::move(work)) {
        connect(window, &QObject::destroyed, this, &QObject::deleteLater);
        QCoreApplication::instance()->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !posted_ && isPartOfWindow(watched)) {
            posted_ = true;
            QCoreApplication::instance()->removeEventFilter(this);
            QCoreApplication::postEvent(this, new QEvent(kWorkEvent), Qt::LowEventPriority);
        }
        return QObject::eventFilter(watched, event);
    }

    bool event(QEvent* event) override {
        if (event->type() != kWorkEvent) return QObject::event(event);
        deleteLater();
        if (window_) work_();
        return true;
    }

  private:
    static inline const QEvent::Type kWorkEvent =
        static_cast<QEvent::Type>(QEvent::registerEventType());

    bool isPartOfWindow(QObject* watched) const {
        auto* widget = qobject_cast<QWidget*>(watched);
        return widget && window_ && (widget == window_ || window_->isAncestorOf(widget));
    }

    QPointer<QWidget> window_;
    std::function<void()> work_;
    bool posted_ = false;
};

} // namespace

void AfterFirstPaint(QWidget* window, std::function<void()> work) {
    if (window && QCoreApplication::instance()) new FirstPaintHook(window, std::move(work));
}

void WatchFirstPaint() {
    if (!QCoreApplication::instance() || !std::getenv("PQ_EXIT_AFTER_FIRST_PAINT")) return;
    QCoreApplication::instance()->installEventFilter(
        new FirstPaintWatcher(QCoreApplication::instance()));
}

} // namespace pq::ui
