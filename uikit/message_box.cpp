#include "uikit/message_box.h"

#include <QMessageBox>

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

void SetMessageResponder(MessageResponder handler) { responder() = std::move(handler); }

} // namespace pq::ui
