#pragma once

#include <QString>

namespace pq::ui {

// Puts a text on the system clipboard as plain text, replacing what was
// there; an empty text too. False when the program has no clipboard.
bool CopyTextToClipboard(const QString& text);

// The clipboard's plain text, or a null text when it holds none.
QString ClipboardText();

// Whether the clipboard holds plain text.
bool ClipboardHasText();

} // namespace pq::ui
