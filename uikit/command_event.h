#pragma once

#include <QEvent>

class QObject;

namespace pq::ui {

// A command travelling to the window that handles it: the command id, a
// notification code (0 for a plain command, 1 for a long press) and a
// parameter. Commands are posted, so they are handled after the event that
// caused them, in the order they were posted.
class CommandEvent : public QEvent {
  public:
    CommandEvent(unsigned id, int parameter = 0, int code = 0);

    static QEvent::Type eventType();

    unsigned id() const { return id_; }
    int parameter() const { return parameter_; }
    int code() const { return code_; }

  private:
    unsigned id_;
    int parameter_;
    int code_;
};

// Notification code of a command posted by a button that was held down.
constexpr int kHoldCode = 1;

// Posts a command to a receiver; nothing happens when there is none.
void PostCommand(QObject* receiver, unsigned id, int parameter = 0, int code = 0);

} // namespace pq::ui
