#include "uikit/dialogs.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>

#include "uikit/colours.h"
#include "uikit/command_event.h"
#include "uikit/display_scale.h"
#include "uikit/scheme_colours.h"
#include "uikit/ui_font.h"

#include <algorithm>

namespace pq::ui {

namespace {

constexpr int kTitleHeight = 24;

QWidget* mainWindowOf(const QDialog& dialog) {
    if (QWidget* parent = dialog.parentWidget()) return parent->window();
    return QApplication::activeWindow();
}

const char kCommandProperty[] = "pqBarCommand";

void giveCommand(QDialog& dialog, int command) {
    if (command == kOkCommand)
        dialog.accept();
    else if (command == kCancelCommand)
        dialog.reject();
    else
        PostCommand(&dialog, static_cast<unsigned>(command));
}

QWidget* barOf(const QDialog& dialog) {
    return dialog.findChild<QWidget*>(QStringLiteral("menuBar"), Qt::FindDirectChildrenOnly);
}

// Enter and Escape reach the dialog when the control with the focus does not
// take them; they act as the bar's OK and Cancel.
class BarKeys : public QObject {
  public:
    explicit BarKeys(QDialog& dialog) : QObject(&dialog), dialog_(dialog) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != &dialog_ || event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier)) return false;
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: TriggerMenuBarItem(dialog_, kOkCommand); return true;
        case Qt::Key_Escape:
            if (!TriggerMenuBarItem(dialog_, kCancelCommand) &&
                !MenuBarButton(dialog_, kCancelCommand))
                TriggerMenuBarItem(dialog_, kOkCommand);
            return true;
        default: return false;
        }
    }

  private:
    QDialog& dialog_;
};

// Places its dialog as it is about to be shown, before the window system
// sees it; a place set here also keeps the dialog's own centring out.
class Placement : public QObject {
  public:
    explicit Placement(QDialog& dialog) : QObject(&dialog), dialog_(dialog) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &dialog_ && event->type() == QEvent::Show &&
            !static_cast<QShowEvent*>(event)->spontaneous())
            place();
        return false;
    }

  private:
    void place() {
        const QWidget* over = mainWindowOf(dialog_);
        if (over == &dialog_ || (over && !over->isVisible())) over = nullptr;
        QScreen* screen = over ? over->screen() : dialog_.screen();
        if (!screen) return;
        const QRect available = screen->availableGeometry();
        // The window system's frame, as the window below has it.
        const QSize frame = over ? over->frameGeometry().size() - over->size() : QSize();
        if (!dialog_.testAttribute(Qt::WA_Resized)) dialog_.adjustSize();
        dialog_.resize(dialog_.size().boundedTo(available.size() - frame));
        QRect outer(QPoint(), dialog_.size() + frame);
        outer.moveCenter(over ? over->frameGeometry().center() : available.center());
        outer.moveLeft(
            std::clamp(outer.left(), available.left(),
                       std::max(available.left(), available.right() + 1 - outer.width())));
        outer.moveTop(
            std::clamp(outer.top(), available.top(),
                       std::max(available.top(), available.bottom() + 1 - outer.height())));
        dialog_.move(outer.topLeft());
    }

    QDialog& dialog_;
};

QWidget* makeBottomBar(QDialog& dialog, std::span<const MenuBarItem> items) {
    auto* bar = new QFrame(&dialog);
    bar->setObjectName(QStringLiteral("menuBar"));
    bar->setFrameShape(QFrame::NoFrame);
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, Scaled(4), 0, 0);
    layout->addStretch(1);
    for (const MenuBarItem& item : items) {
        auto* button = new QPushButton(QString::fromUtf8(item.text), bar);
        button->setAutoDefault(false);
        button->setDefault(item.command == kOkCommand && !item.popup);
        button->setProperty(kCommandProperty, item.popup ? 0 : item.command);
        // A narrow window may squeeze the buttons down to their texts (the
        // style's minimum button width is meant for wide desktop dialogs).
        const int textWidth = button->fontMetrics().horizontalAdvance(button->text()) + Scaled(12) +
                              (item.popup ? Scaled(14) : 0);
        button->setMinimumWidth(std::min(button->sizeHint().width(), textWidth));
        if (item.popup) {
            auto* menu = new QMenu(button);
            for (const MenuBarItem& entry : std::span(item.popup, item.popupCount)) {
                QAction* action = menu->addAction(QString::fromUtf8(entry.text));
                action->setData(entry.command);
                const int command = entry.command;
                QObject::connect(action, &QAction::triggered, &dialog,
                                 [&dialog, command] { giveCommand(dialog, command); });
            }
            button->setMenu(menu);
        } else {
            const int command = item.command;
            QObject::connect(button, &QPushButton::clicked, &dialog,
                             [&dialog, command] { giveCommand(dialog, command); });
        }
        layout->addWidget(button);
    }
    return bar;
}

} // namespace

void InitFullScreenDialog(QDialog& dialog, std::span<const MenuBarItem> items) {
    QLayout* layout = dialog.layout();
    if (!layout) layout = new QVBoxLayout(&dialog);
    QMargins margins = layout->contentsMargins();
    margins.setTop(Scaled(kTitleHeight) + Scaled(6));
    layout->setContentsMargins(margins);
    if (!items.empty()) {
        if (auto* box = qobject_cast<QBoxLayout*>(layout))
            box->addWidget(makeBottomBar(dialog, items));
        else
            qWarning("InitFullScreenDialog: the bar needs a box layout");
        dialog.installEventFilter(new BarKeys(dialog));
    }

    // Made for screens 240·s wide, no dialog is narrower.
    dialog.setMinimumWidth(std::max(dialog.minimumWidth(), Scaled(240)));
    CentreOnWindow(dialog);
}

void CentreOnWindow(QDialog& dialog) {
    static const char kPlaced[] = "pqCentredOnWindow";
    if (dialog.property(kPlaced).toBool()) return;
    dialog.setProperty(kPlaced, true);
    dialog.installEventFilter(new Placement(dialog));
}

QAction* MenuBarAction(const QDialog& dialog, int command) {
    const QWidget* bar = barOf(dialog);
    if (!bar) return nullptr;
    for (QMenu* menu : bar->findChildren<QMenu*>())
        for (QAction* action : menu->actions())
            if (action->data().toInt() == command) return action;
    return nullptr;
}

QPushButton* MenuBarButton(const QDialog& dialog, int command) {
    const QWidget* bar = barOf(dialog);
    if (!bar) return nullptr;
    for (QPushButton* button : bar->findChildren<QPushButton*>())
        if (button->property(kCommandProperty).toInt() == command) return button;
    if (const QAction* action = MenuBarAction(dialog, command))
        for (QPushButton* button : bar->findChildren<QPushButton*>())
            if (button->menu() && button->menu()->actions().contains(action)) return button;
    return nullptr;
}

void EnableMenuBarItem(const QDialog& dialog, int command, bool enabled) {
    if (QAction* action = MenuBarAction(dialog, command))
        action->setEnabled(enabled);
    else if (QPushButton* button = MenuBarButton(dialog, command))
        button->setEnabled(enabled);
}

bool TriggerMenuBarItem(QDialog& dialog, int command) {
    if (QAction* action = MenuBarAction(dialog, command)) {
        const QPushButton* holder = MenuBarButton(dialog, command);
        if (!action->isEnabled() || (holder && !holder->isEnabled())) return false;
        action->trigger();
        return true;
    }
    QPushButton* button = MenuBarButton(dialog, command);
    if (!button || !button->isEnabled()) return false;
    button->click();
    return true;
}

void DrawDialogTitle(QPainter& painter, int width, const QString& text, bool withLine) {
    const int s = DisplayScale();
    painter.save();
    painter.setFont(CreateUiFont(18, true));
    // Readable on the dialog's own background, the desktop's one included.
    const auto* widget = dynamic_cast<const QWidget*>(painter.device());
    const QColor ground = widget ? widget->palette().color(QPalette::Window) : Colours().window;
    painter.setPen(Readable(Colours().accent, ground));
    const QRect strip(8 * s, 0, std::max(0, width - 8 * s), kTitleHeight * s);
    painter.drawText(strip, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    if (withLine) painter.fillRect(QRect(0, kTitleHeight * s, width, s), Colours().ink);
    painter.restore();
}

FullScreenDialog::FullScreenDialog(QWidget* parent, const QString& title,
                                   std::span<const MenuBarItem> items)
    : QDialog(parent), title_(title), body_(nullptr) {
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    body_ = new QVBoxLayout;
    layout->addLayout(body_, 1);
    InitFullScreenDialog(*this, items);
}

bool FullScreenDialog::event(QEvent* event) {
    if (event->type() == CommandEvent::eventType()) {
        command(*static_cast<CommandEvent*>(event));
        return true;
    }
    return QDialog::event(event);
}

void FullScreenDialog::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    DrawDialogTitle(painter, width(), title_, true);
}

} // namespace pq::ui
