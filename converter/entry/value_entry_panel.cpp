#include "converter/entry/value_entry_panel.h"

#include "uikit/display_scale.h"

namespace pq::conv {

// The panel's frame while its editors are being built: it keeps its place
// under the list and stays hidden.
ValueEntryPanel::ValueEntryPanel(ExpressionEngine& engine, QWidget* parent)
    : ui::WindowObject(parent), engine_(engine) {
    showObject(false);
}

ValueEntryPanel::~ValueEntryPanel() = default;

int ValueEntryPanel::panelHeight() { return ui::Scaled(42); }

void ValueEntryPanel::attach(Item* item) {
    item_ = item;
    showObject(false);
}

bool ValueEntryPanel::accept(bool) { return false; }

void ValueEntryPanel::paste() {}

void ValueEntryPanel::takeFocus() {}

} // namespace pq::conv
