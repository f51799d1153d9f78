#pragma once

#include <QString>

class QWidget;

namespace pq::ui {

class HtmlViewer;

// Opens a help document in the HTML viewer at an anchor and returns at
// once; the viewer closes itself with "Done". Links between the help pages
// are followed in place. A missing document is said so in a message box
// titled "Help"; then there is no viewer.
HtmlViewer* ShowHelp(QWidget* parent, const QString& title, const QString& file,
                     const QString& anchor);

} // namespace pq::ui
