#include "uikit/command_event.h"

#include <QCoreApplication>

namespace pq::ui {

CommandEvent::CommandEvent(unsigned id, int parameter, int code)
    : QEvent(eventType()), id_(id), parameter_(parameter), code_(code) {}

QEvent::Type CommandEvent::eventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void PostCommand(QObject* receiver, unsigned id, int parameter, int code) {
    if (!receiver) return;
    QCoreApplication::postEvent(receiver, new CommandEvent(id, parameter, code));
}

} // namespace pq::ui
