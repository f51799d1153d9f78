#pragma once

#include <QBasicTimer>
#include <QFont>
#include <QList>

#include <memory>
#include <vector>

#include "uikit/picture_button.h"
#include "uikit/push_button.h"
#include "uikit/themed_bitmap.h"
#include "uikit/window_object.h"

namespace pq {
class ExpressionEngine;
class Item;
} // namespace pq

namespace pq::ui {
class ButtonFocus;
}

namespace pq::conv {

class FormatTab;
class ValueEditor;

// The strip under the unit list (42·s high) where the value of the selected
// item is typed: one tab per allowed entry format, the editor, the accept and
// default buttons. A value that reads is stored into the item, and then
// "Calculate" (kCmdCalculate) is posted to the panel's parent, the main
// window. The panel is shown and enabled exactly while it is attached to an
// input item.
class ValueEntryPanel : public ui::WindowObject {
  public:
    static constexpr int kTickInterval = 100; // ms
    static constexpr int kTicksToAccept = 4;
    static constexpr int kMaxTabs = 8;
    static constexpr int kReadyIcon = 169;
    static constexpr int kErrorIcon = 149;
    static constexpr int kDefaultIcon = 152;

    ValueEntryPanel(ExpressionEngine& engine, QWidget* parent);
    ~ValueEntryPanel() override;

    // The panel's height for the current display scale.
    static int panelHeight();

    // Attaches the panel to an item; none, or an output of a calculation
    // file, hides and disables it.
    void attach(Item* item);
    Item* item() const { return item_; }

    // Reads the editor; true when a value was stored. Without force, only
    // when something changed since the last accept.
    bool accept(bool force);

    // The main window's Paste: pastes into the editor control that has the
    // keyboard focus; the compound editor takes a pasted value whole.
    void paste();
    // Hands the keyboard focus to the active editor control.
    void takeFocus();
    // Shows the item's value anew (after the digits shown changed), unless
    // the user is typing one.
    void showValueAgain();
    // A value from elsewhere (the calculator): shown and stored as if typed
    // and accepted.
    void takeValue(double value);
    // Where Tab stops in the panel: the tabs (one stop; the arrow keys choose
    // among them), the editor's boxes, the accept and default buttons.
    QList<QWidget*> keyboardStops() const;

    // The band behind the tabs; without one the panel draws its own copy of
    // the themed background bitmap.
    void setBackground(const ui::ThemedBitmap* background);

    // One beat of the 100 ms timer: once typing has paused for four beats,
    // what was typed is accepted.
    void tick();
    // Stops or restarts the timer (tests beat it by hand).
    void setTicking(bool ticking);

    int tabCount() const { return int(tabs_.size()); }
    const FormatTab& tab(int index) const { return *tabs_[index]; }
    int currentTab() const { return currentTab_; }
    // Selects a tab as a tap on it does, but without telling the window
    // that the item's entry format changed.
    void selectTab(int index);
    // A tap on a tab: selects it and tells the window that the item's entry
    // format, which its file keeps, changed.
    void chooseTab(int index);
    int acceptIcon() const { return acceptIcon_; }
    int pendingEdits() const { return pendingEdits_; }
    ValueEditor* editor() const { return editor_; }
    const ui::PictureButton& acceptButton() const { return acceptButton_; }
    const ui::PictureButton& defaultButton() const { return defaultButton_; }

  protected:
    void command(const ui::CommandEvent& event) override;
    void penDown(QPoint point) override;
    void penMove(QPoint point) override;
    void penUp(QPoint point) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    void addTab(int32_t format);
    void clearTabs();
    void setAcceptIcon(int icon);
    void layoutControls();
    // The keyboard stops follow the tabs and buttons.
    void placeFocusStops();
    // The accept button's and Enter's accept: a value that was stored is
    // shown again in the entry format.
    void acceptAndShow();
    void showDefault();
    void changed();

    ExpressionEngine& engine_;
    Item* item_ = nullptr;
    std::vector<std::unique_ptr<FormatTab>> tabs_;
    int currentTab_ = -1;
    ui::PictureButton acceptButton_;
    ui::PictureButton defaultButton_;
    int acceptIcon_ = kReadyIcon;
    ValueEditor* editor_;
    QFont tabFont_;
    QFont editorFont_;
    int pendingEdits_ = 0;
    int ticks_ = 0;
    ui::TapList tapList_;
    ui::ButtonFocus* tabsStop_ = nullptr;
    ui::ButtonFocus* acceptStop_ = nullptr;
    ui::ButtonFocus* defaultStop_ = nullptr;
    QBasicTimer timer_;
    ui::ThemedBitmap ownBackground_;
    const ui::ThemedBitmap* background_ = nullptr;
};

} // namespace pq::conv
