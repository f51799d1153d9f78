#include "uikit/message_box.h"

#include <QMessageBox>
#include <QPushButton>

#include <vector>

namespace pq::ui {

namespace {

MessageResponder& responder() {
    static MessageResponder handler;
    return handler;
}

QMessageBox::Icon boxIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Question: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void ShowMessage(QWidget* parent, MessageIcon icon, const QString& title, const QString& text) {
    if (responder()) {
        responder()({icon, title, text});
        return;
    }
    auto* box = new QMessageBox(boxIcon(icon), title, text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

bool AskYesNo(QWidget* parent, const QString& title, const QString& text) {
    if (responder()) return responder()({MessageIcon::Question, title, text});
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

int AskChoice(QWidget* parent, MessageIcon icon, const QString& title, const QString& text,
              const QStringList& choices) {
    if (responder()) return responder()({icon, title, text, choices}) ? 0 : 1;
    QMessageBox box(boxIcon(icon), title, text, QMessageBox::NoButton, parent);
    std::vector<QAbstractButton*> buttons;
    for (const QString& choice : choices)
        buttons.push_back(box.addButton(choice, QMessageBox::AcceptRole));
    if (!buttons.empty()) {
        box.setDefaultButton(static_cast<QPushButton*>(buttons.front()));
        box.setEscapeButton(buttons.back());
    }
    box.exec();
    for (size_t i = 0; i < buttons.size(); ++i)
        if (box.clickedButton() == buttons[i]) return static_cast<int>(i);
    return static_cast<int>(buttons.size()) - 1;
}

void SetMessageResponder(MessageResponder handler) { responder() = std::move(handler); }

} // namespace pq::ui
