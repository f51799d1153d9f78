#pragma once

#include <QDialog>
#include <QString>

#include <span>

class QAction;
class QPainter;
class QPushButton;
class QVBoxLayout;

namespace pq::ui {

class CommandEvent;

// One item of a dialog's bottom bar: its text and the command it gives.
// An item with a pop-up (popup and popupCount set) opens the pop-up's items
// instead and gives no command of its own.
struct MenuBarItem {
    const char* text; // UTF-8
    int command;
    const MenuBarItem* popup = nullptr;
    int popupCount = 0;
};

// Commands that close a dialog.
constexpr int kOkCommand = 1;
constexpr int kCancelCommand = 2;

// Makes a dialog open at its own size centred on the program's main window
// (CentreOnWindow), leaves the title strip
// (24·s high) free above the dialog's own layout and adds a bottom bar with
// one button per item. Command 1 accepts the dialog, 2 rejects it; any other
// command is posted to the dialog as a CommandEvent. Enter gives the bar's
// command 1 and Escape its command 2 (or 1 when the bar has no 2), as long as
// those items are enabled. No items: no bar. Call it after the dialog's own
// layout, a box layout or none, is built.
void InitFullScreenDialog(QDialog& dialog, std::span<const MenuBarItem> items);

// Each time the dialog (or message box) is shown: at its own size (its size
// hint, unless its code gave it a size), no larger than the screen, centred
// on the window of its parent (or on the active window, or the screen), and
// moved as little as needed to lie wholly on the screen.
void CentreOnWindow(QDialog& dialog);

// The button of a bar item, or the button whose pop-up holds the command;
// none when the dialog's bar has no such item.
QPushButton* MenuBarButton(const QDialog& dialog, int command);
// The entry of a pop-up item; none when no pop-up of the bar holds it.
QAction* MenuBarAction(const QDialog& dialog, int command);
// Enables or disables a bar item (a button or a pop-up entry).
void EnableMenuBarItem(const QDialog& dialog, int command, bool enabled);
// Gives a bar item's command as a tap on it would, when it is enabled;
// false when there is no such enabled item.
bool TriggerMenuBarItem(QDialog& dialog, int command);

// The title strip: the text in the bold 18 font in the theme colour, from
// 8·s to the right edge and vertically centred in the top 24·s; with the
// line, a black line below it across the width.
void DrawDialogTitle(QPainter& painter, int width, const QString& text, bool withLine);

// A dialog with a title strip and a bottom bar: the base of the programs'
// full-screen dialogs. Commands other than OK and Cancel arrive in
// `command`.
class FullScreenDialog : public QDialog {
  public:
    FullScreenDialog(QWidget* parent, const QString& title, std::span<const MenuBarItem> items);

    const QString& title() const { return title_; }
    // Where the dialog's content goes, between the title and the bar.
    QVBoxLayout* body() const { return body_; }

  protected:
    virtual void command(const CommandEvent&) {}
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    QString title_;
    QVBoxLayout* body_;
};

} // namespace pq::ui
