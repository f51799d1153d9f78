#pragma once

#include "uikit/window_object.h"

namespace pq {
class ExpressionEngine;
class Item;
} // namespace pq

namespace pq::conv {

// The strip under the unit list (42·s high) where the value of the selected
// item is typed: one tab per allowed entry format, the editor, the accept and
// default buttons. A value that reads is stored into the item, and then
// "Calculate" (kCmdCalculate) is posted to the panel's parent, the main
// window. The panel is shown and enabled exactly while it is attached to an
// input item.
class ValueEntryPanel : public ui::WindowObject {
  public:
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
    // keyboard focus.
    void paste();
    // Hands the keyboard focus to the active editor control.
    void takeFocus();

  private:
    ExpressionEngine& engine_;
    Item* item_ = nullptr;
};

} // namespace pq::conv
