#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace pq::ui {

// The icons of the programs' message boxes.
enum class MessageIcon { Error, Warning, Information, Question };

// One message as the user would see it.
struct MessageRequest {
    MessageIcon icon;
    QString title;
    QString text;
    QStringList choices = {}; // the buttons of AskChoice
};

// Shows a message with an OK button centred over the parent's window (once
// that window is on the screen) and returns at once; the box closes itself.
void ShowMessage(QWidget* parent, MessageIcon icon, const QString& title, const QString& text);

// Asks a question with the question icon and the buttons Yes and No, and
// waits for the answer: true for Yes.
bool AskYesNo(QWidget* parent, const QString& title, const QString& text);

// Asks with buttons named by the caller, and waits for the answer: the
// index of the button chosen. The first button is the default one; Escape
// and the window's close button choose the last. A responder's true chooses
// the first button, false the second.
int AskChoice(QWidget* parent, MessageIcon icon, const QString& title, const QString& text,
              const QStringList& choices);

// Lets a handler take every message and question instead of the screen (the
// answer of a question is its result); an empty handler gives the boxes
// back. Scripted runs and tests answer through it.
using MessageResponder = std::function<bool(const MessageRequest&)>;
void SetMessageResponder(MessageResponder responder);

} // namespace pq::ui
