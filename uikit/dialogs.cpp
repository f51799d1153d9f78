#include "uikit/dialogs.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "uikit/colours.h"
#include "uikit/command_event.h"
#include "uikit/display_scale.h"
#include "uikit/ui_font.h"

namespace pq::ui {

namespace {

constexpr int kTitleHeight = 24;

QWidget* mainWindowOf(const QDialog& dialog) {
    if (QWidget* parent = dialog.parentWidget()) return parent->window();
    return QApplication::activeWindow();
}

QWidget* makeBottomBar(QDialog& dialog, std::span<const MenuBarItem> items) {
    auto* bar = new QFrame(&dialog);
    bar->setObjectName(QStringLiteral("menuBar"));
    bar->setFrameShape(QFrame::NoFrame);
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, Scaled(4), 0, 0);
    layout->addStretch(1);
    bool first = true;
    for (const MenuBarItem& item : items) {
        auto* button = new QPushButton(QString::fromUtf8(item.text), bar);
        button->setAutoDefault(false);
        if (first) button->setDefault(true);
        first = false;
        const int command = item.command;
        QObject::connect(button, &QPushButton::clicked, &dialog, [&dialog, command] {
            if (command == kOkCommand)
                dialog.accept();
            else if (command == kCancelCommand)
                dialog.reject();
            else
                PostCommand(&dialog, static_cast<unsigned>(command));
        });
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
    }

    if (const QWidget* main = mainWindowOf(dialog); main && main != &dialog)
        dialog.setGeometry(main->geometry());
    else
        dialog.resize(Scaled(240), Scaled(294));
}

void DrawDialogTitle(QPainter& painter, int width, const QString& text, bool withLine) {
    const int s = DisplayScale();
    painter.save();
    painter.setFont(CreateUiFont(18, true));
    painter.setPen(ThemeColour());
    const QRect strip(8 * s, 0, std::max(0, width - 8 * s), kTitleHeight * s);
    painter.drawText(strip, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    if (withLine) painter.fillRect(QRect(0, kTitleHeight * s, width, s), Qt::black);
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
