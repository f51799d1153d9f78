#include "converter/dialogs/messages.h"

#include <QAbstractButton>
#include <QMessageBox>

namespace pq::conv {

void ShowErrorMessage(QWidget* parent, const QString& title, const QString& text) {
    auto* box = new QMessageBox(QMessageBox::Critical, title, text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void AskYesNo(QWidget* parent, const QString& title, const QString& text,
              std::function<void()> onYes) {
    auto* box = new QMessageBox(QMessageBox::Question, title, text,
                                QMessageBox::Yes | QMessageBox::No, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setDefaultButton(QMessageBox::No);
    QObject::connect(box, &QMessageBox::buttonClicked, box,
                     [box, onYes = std::move(onYes)](QAbstractButton* button) {
                         if (box->standardButton(button) == QMessageBox::Yes && onYes) onYes();
                     });
    box->open();
}

} // namespace pq::conv
