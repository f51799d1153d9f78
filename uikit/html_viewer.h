#pragma once

#include <QRect>
#include <QString>

#include "uikit/dialogs.h"

class QTextBrowser;

namespace pq::ui {

// A control that shows an HTML text, wrapped to its width; links within the
// text are followed in place, links to the web open in the web browser.
QTextBrowser* CreateHtmlControl(QWidget* parent, const QRect& rect, bool visible);

// The "Html Viewer" dialog: the title strip, the HTML text below it and a
// bar with "  Done  ".
class HtmlViewer : public FullScreenDialog {
  public:
    HtmlViewer(QWidget* parent, const QString& title, const QString& html);
    QTextBrowser* browser() const { return browser_; }

  private:
    QTextBrowser* browser_;
};

// Shows the dialog and returns when the user closes it.
void HtmlViewerDialog(QWidget* parent, const QString& title, const QString& html);

} // namespace pq::ui
