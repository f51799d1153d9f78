#include "uikit/html_viewer.h"

#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "uikit/display_scale.h"

namespace pq::ui {

namespace {

constexpr MenuBarItem kViewerMenuBar[] = {{"  Done  ", kOkCommand}};

// Loads what the text refers to from the local disk only.
class LocalBrowser : public QTextBrowser {
  public:
    explicit LocalBrowser(QWidget* parent) : QTextBrowser(parent) {}

    QVariant loadResource(int type, const QUrl& name) override {
        const QString scheme = name.scheme().toLower();
        if (!scheme.isEmpty() && scheme != QStringLiteral("file") &&
            scheme != QStringLiteral("qrc"))
            return {};
        return QTextBrowser::loadResource(type, name);
    }
};

} // namespace

QTextBrowser* CreateHtmlControl(QWidget* parent, const QRect& rect, bool visible) {
    auto* browser = new LocalBrowser(parent);
    browser->setObjectName(QStringLiteral("HTML"));
    browser->setGeometry(rect);
    browser->setOpenLinks(true);
    browser->setOpenExternalLinks(true);
    browser->setLineWrapMode(QTextEdit::WidgetWidth);
    browser->setVisible(visible);
    return browser;
}

HtmlViewer::HtmlViewer(QWidget* parent, const QString& title, const QString& html,
                       const QString& baseFolder)
    : FullScreenDialog(parent, title, kViewerMenuBar) {
    browser_ = CreateHtmlControl(this, QRect(), true);
    body()->addWidget(browser_);
    browser_->clear();
    if (!baseFolder.isEmpty()) browser_->setSearchPaths({baseFolder});
    browser_->setHtml(html);
    // A document reads better in more room than a form needs.
    resize(Scaled(360), Scaled(420));
}

void HtmlViewerDialog(QWidget* parent, const QString& title, const QString& html,
                      const QString& baseFolder) {
    HtmlViewer viewer(parent, title, html, baseFolder);
    viewer.exec();
}

} // namespace pq::ui
