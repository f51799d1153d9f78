#pragma once

#include <QRect>
#include <QString>

#include "uikit/dialogs.h"

class QTextBrowser;

namespace pq::ui {

// A control that shows an HTML text, wrapped to its width. Links and
// pictures of the local disk load in place (relative ones from the control's
// search paths); nothing is fetched from the web: a link to the web opens in
// the web browser when the user follows it.
QTextBrowser* CreateHtmlControl(QWidget* parent, const QRect& rect, bool visible);

// The "Html Viewer" dialog: the title strip, the HTML text below it and a
// bar with "  Done  ". Relative links and pictures of the text are looked up
// in baseFolder when one is given.
class HtmlViewer : public FullScreenDialog {
  public:
    HtmlViewer(QWidget* parent, const QString& title, const QString& html,
               const QString& baseFolder = {});
    QTextBrowser* browser() const { return browser_; }

  private:
    QTextBrowser* browser_;
};

// Shows the dialog and returns when the user closes it.
void HtmlViewerDialog(QWidget* parent, const QString& title, const QString& html,
                      const QString& baseFolder = {});

} // namespace pq::ui
