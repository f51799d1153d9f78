#pragma once

#include <QString>

#include <functional>

#include "uikit/scheme_colours.h"

class QObject;

namespace pq::ui {

// What the user chose under "Appearance": follow the desktop (System, the
// default), or always the light or the dark scheme.
enum class AppearanceChoice { System, Light, Dark };

// The choice's name as it is kept ("System", "Light", "Dark") and back; an
// unknown name reads as System.
QString AppearanceChoiceName(AppearanceChoice choice);
AppearanceChoice AppearanceChoiceFromName(const QString& name);

// Reads the kept choice (one value, "Appearance/Scheme" in the organisation
// settings next to the theme colour), applies it and from then on follows
// the desktop's palette changes. Call once after the QApplication exists and
// before the first window; InitUiKit does.
void InitAppearance();

AppearanceChoice CurrentAppearanceChoice();

// Keeps and applies a choice. Light and Dark give Qt's own widgets the
// scheme's palette; System gives back the desktop's.
void SetAppearanceChoice(AppearanceChoice choice);

// Applies a choice without keeping it (tests, previews).
void ApplyAppearanceChoice(AppearanceChoice choice);

// Calls `refresh` whenever the active scheme changes, as long as `context`
// lives, before the windows are repainted. Controls that keep colours of
// their own (palettes set on widgets, drawn icons) refresh them here; what
// asks for its colours while painting needs nothing.
void WhenSchemeChanges(QObject* context, std::function<void()> refresh);

// Decides the scheme again from the choice and the application palette:
// System is dark when the palette's window colour is dark. Called when the
// palette changes; exposed for the programs' tests.
void UpdateActiveScheme();

} // namespace pq::ui
