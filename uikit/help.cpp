#include "uikit/help.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>

#include "uikit/html_viewer.h"
#include "uikit/message_box.h"

namespace pq::ui {

HtmlViewer* ShowHelp(QWidget* parent, const QString& title, const QString& file,
                     const QString& anchor) {
    const QFileInfo info(file);
    if (!info.isFile() || !info.isReadable()) {
        ShowMessage(
            parent, MessageIcon::Error, QStringLiteral("Help"),
            QStringLiteral("The help could not be shown: \"%1\" is missing or cannot be read. "
                           "Install the programs again to bring it back.")
                .arg(info.absoluteFilePath()));
        return nullptr;
    }
    auto* viewer = new HtmlViewer(parent, title, QString());
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    QUrl url = QUrl::fromLocalFile(info.absoluteFilePath());
    if (!anchor.isEmpty()) url.setFragment(anchor);
    viewer->browser()->setSource(url);
    viewer->open();
    return viewer;
}

} // namespace pq::ui
