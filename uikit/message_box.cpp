#include "uikit/message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

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

// Opens a box once the window it belongs to is on the screen: a box opened
// earlier (a message at start-up) would be placed where the window was
// before the window system placed it.
class OpenWhenExposed : public QObject {
  public:
    OpenWhenExposed(QMessageBox* box, QWindow* window) : QObject(box), box_(box) {
        window->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = qobject_cast<QWindow*>(watched);
        if (window && event->type() == QEvent::Expose && window->isExposed()) {
            window->removeEventFilter(this);
            QTimer::singleShot(0, box_, [box = box_] { box->open(); });
            deleteLater();
        }
        return false;
    }

  private:
    QMessageBox* box_;
};

// The window a box belongs over: the parent's window, or when that is
// hidden (a dialog closing), the nearest shown window it belongs to.
QWidget* shownWindow(QWidget* parent) {
    if (!parent) return QApplication::activeWindow();
    if (parent->window()->isVisible()) return parent;
    for (QWidget* window = parent->window(); window;
         window = window->parentWidget() ? window->parentWidget()->window() : nullptr)
        if (window->isVisible()) return window;
    return parent;
}

} // namespace

void ShowMessage(QWidget* parent, MessageIcon icon, const QString& title, const QString& text) {
    if (responder()) {
        responder()({icon, title, text});
        return;
    }
    parent = shownWindow(parent);
    auto* box = new QMessageBox(boxIcon(icon), title, text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QWindow* window =
        parent && parent->window()->isVisible() ? parent->window()->windowHandle() : nullptr;
    if (window && !window->isExposed())
        new OpenWhenExposed(box, window);
    else
        box->open();
}

bool AskYesNo(QWidget* parent, const QString& title, const QString& text) {
    if (responder()) return responder()({MessageIcon::Question, title, text});
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No,
                    shownWindow(parent));
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

int AskChoice(QWidget* parent, MessageIcon icon, const QString& title, const QString& text,
              const QStringList& choices) {
    if (responder()) return responder()({icon, title, text, choices}) ? 0 : 1;
    QMessageBox box(boxIcon(icon), title, text, QMessageBox::NoButton, shownWindow(parent));
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
