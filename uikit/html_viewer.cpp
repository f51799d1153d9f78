#include "uikit/html_viewer.h"

#include <QTextBrowser>
#include <QVBoxLayout>

namespace pq::ui {

namespace {

constexpr MenuBarItem kViewerMenuBar[] = {{"  Done  ", kOkCommand}};

} // namespace

QTextBrowser* CreateHtmlControl(QWidget* parent, const QRect& rect, bool visible) {
    auto* browser = new QTextBrowser(parent);
    browser->setObjectName(QStringLiteral("HTML"));
    browser->setGeometry(rect);
    browser->setOpenLinks(true);
    browser->setOpenExternalLinks(true);
    browser->setLineWrapMode(QTextEdit::WidgetWidth);
    browser->setVisible(visible);
    return browser;
}

HtmlViewer::HtmlViewer(QWidget* parent, const QString& title, const QString& html)
    : FullScreenDialog(parent, title, kViewerMenuBar) {
    browser_ = CreateHtmlControl(this, QRect(), true);
    body()->addWidget(browser_);
    browser_->clear();
    browser_->setHtml(html);
}

void HtmlViewerDialog(QWidget* parent, const QString& title, const QString& html) {
    HtmlViewer viewer(parent, title, html);
    viewer.exec();
}

} // namespace pq::ui
