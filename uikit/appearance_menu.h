#pragma once

class QMenu;
class QWidget;

namespace pq::ui {

// The "Appearance" menu of both programs: System, Light and Dark, one of
// them checked. Choosing one keeps it and repaints both programs' windows
// in it at once.
QMenu* CreateAppearanceMenu(QWidget* parent);

} // namespace pq::ui
