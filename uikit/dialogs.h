#pragma once

#include <QDialog>
#include <QString>

#include <span>

class QPainter;
class QVBoxLayout;

namespace pq::ui {

class CommandEvent;

// One item of a dialog's bottom bar: its text and the command it gives.
struct MenuBarItem {
    const char* text; // UTF-8
    int command;
};

// Commands that close a dialog.
constexpr int kOkCommand = 1;
constexpr int kCancelCommand = 2;

// Makes a dialog cover the program's main window, leaves the title strip
// (24·s high) free above the dialog's own layout and adds a bottom bar with
// one button per item. Command 1 accepts the dialog, 2 rejects it; any other
// command is posted to the dialog as a CommandEvent. No items: no bar. Call
// it after the dialog's own layout, a box layout or none, is built.
void InitFullScreenDialog(QDialog& dialog, std::span<const MenuBarItem> items);

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
