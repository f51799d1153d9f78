#include "uikit/resources.h"

#include <QFile>
#include <QHash>

#include "uikit/display_scale.h"

static void initKitResources() { Q_INIT_RESOURCE(uikit); }

namespace pq::ui {

void InitUiKit() {
    initKitResources();
    InitDisplayScale();
}

QString BitmapResourcePath(int id) { return QStringLiteral(":/uikit/bitmaps/%1.bmp").arg(id); }

QIcon LoadIcon(int id) { return LoadIcon(QString::number(id)); }

QIcon LoadIcon(const QString& name) {
    static QHash<QString, QIcon> cache;
    auto found = cache.constFind(name);
    if (found != cache.constEnd()) return *found;
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128}) {
        const QString path = QStringLiteral(":/uikit/icons/%1/%2.png").arg(size).arg(name);
        if (QFile::exists(path)) icon.addFile(path, QSize(size, size));
    }
    cache.insert(name, icon);
    return icon;
}

int IconSize() { return Scaled(16); }

} // namespace pq::ui
