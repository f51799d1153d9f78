#include "uikit/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace pq::ui {

bool CopyTextToClipboard(const QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return false;
    clipboard->setText(text.isNull() ? QStringLiteral("") : text);
    return true;
}

QString ClipboardText() {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
    if (!data || !data->hasText()) return QString();
    return data->text();
}

bool ClipboardHasText() {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
    return data && data->hasText();
}

} // namespace pq::ui
