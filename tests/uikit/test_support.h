#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QObject>

#include <functional>
#include <vector>

#include "uikit/command_event.h"
#include "uikit/display_scale.h"

namespace pq::test {

// Collects the commands posted to it.
class CommandSink : public QObject {
  public:
    struct Received {
        unsigned id;
        int parameter;
        int code;
    };

    bool event(QEvent* event) override {
        if (event->type() != ui::CommandEvent::eventType()) return QObject::event(event);
        const auto* command = static_cast<ui::CommandEvent*>(event);
        received.push_back({command->id(), command->parameter(), command->code()});
        return true;
    }

    std::vector<Received> received;
};

// Delivers the events posted so far.
inline void deliverPosted() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

// Runs the event loop until the condition holds or the time is up.
inline bool waitFor(const std::function<bool()>& condition, int timeoutMs = 3000) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// Sets the display scale for one test and restores it afterwards.
class ScaleGuard {
  public:
    explicit ScaleGuard(int scale) : saved_(ui::DisplayScale()) { ui::SetDisplayScale(scale); }
    ~ScaleGuard() { ui::SetDisplayScale(saved_); }
    ScaleGuard(const ScaleGuard&) = delete;
    ScaleGuard& operator=(const ScaleGuard&) = delete;

  private:
    int saved_;
};

} // namespace pq::test
