#pragma once

#include <QLineEdit>

class QMenu;

namespace pq::ui {

class TapAndHold;

// A one-line text box with the programs' edit menu: a right click or a press
// held still opens "Cut", "Copy", "Paste", "Select All" (Cut and Copy greyed
// while nothing is selected, Paste while the clipboard holds no text). Wheel
// turns go to the wheel target instead of the box, and the keys that move a
// list (Up, Down, Page Up, Page Down) are left to the box's parents.
class LineEdit : public QLineEdit {
  public:
    explicit LineEdit(QWidget* parent = nullptr);

    // The window that receives the box's wheel events; none keeps them in
    // the usual parent chain.
    void setWheelTarget(QWidget* target) { wheelTarget_ = target; }
    QWidget* wheelTarget() const { return wheelTarget_; }

    // With shortcuts first, a key pressed with Ctrl goes to the window's
    // shortcuts before the box: Ctrl+C then copies what the window copies,
    // not the box's selection. Keys no shortcut takes still reach the box.
    void setShortcutsFirst(bool first) { shortcutsFirst_ = first; }

    // The edit menu as it would open now; the caller owns it.
    QMenu* createEditMenu(QWidget* parent);
    // Opens the edit menu at a point of the box.
    void openEditMenu(QPoint point);

    // Whether a key is left to the parents.
    static bool IsListKey(int key);
    // Hands a wheel turn on to another window, at the same screen point.
    static void ForwardWheel(QWheelEvent* event, QWidget* target);

  protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    TapAndHold* tapAndHold_ = nullptr;
    QWidget* wheelTarget_ = nullptr;
    bool shortcutsFirst_ = false;
};

} // namespace pq::ui
