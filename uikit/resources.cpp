#include "uikit/resources.h"

#include <QAction>
#include <QHash>
#include <QResource>
#include <QToolBar>

#include "uikit/appearance.h"
#include "uikit/deferred_icon.h"
#include "uikit/display_scale.h"
#include "uikit/first_paint.h"

static void initKitResources() { Q_INIT_RESOURCE(uikit); }

namespace pq::ui {

namespace {

// The programs' own icons are pictures in their own colours; every other
// icon is drawn for a light background and follows the scheme.
bool isProgramIcon(const QString& name) {
    return name == QLatin1String("128") || name == QLatin1String("calculator") ||
           name == QLatin1String("converter");
}

QIcon loadIcon(const QString& name, bool followsScheme) {
    static QHash<QString, QIcon> cache;
    const QString key = name + (followsScheme ? QStringLiteral("/scheme") : QString());
    auto found = cache.constFind(key);
    if (found != cache.constEnd()) return *found;
    QList<std::pair<int, QString>> files;
    for (int size : {16, 32, 48, 64, 128}) {
        const QString path = QStringLiteral(":/uikit/icons/%1/%2.png").arg(size).arg(name);
        if (QResource(path).isValid()) files.append({size, path});
    }
    // Each size is decoded when first drawn: the icons of menus not yet open
    // cost nothing.
    const QIcon icon = files.isEmpty() ? QIcon() : IconFromFiles(std::move(files), followsScheme);
    cache.insert(key, icon);
    return icon;
}

} // namespace

void InitUiKit() {
    initKitResources();
    DeferStandardIcons();
    InitDisplayScale();
    InitAppearance();
    WatchFirstPaint();
}

QString BitmapResourcePath(int id) { return QStringLiteral(":/uikit/bitmaps/%1.bmp").arg(id); }

QIcon LoadIcon(int id) { return LoadIcon(QString::number(id)); }

QIcon LoadIcon(const QString& name) { return loadIcon(name, !isProgramIcon(name)); }

QIcon LoadToolIcon(const QString& name) { return loadIcon(name, true); }
QIcon LoadToolIcon(int id) { return LoadToolIcon(QString::number(id)); }

int IconSize() { return Scaled(16); }

void DecodeToolBarIcons(const QToolBar* bar) {
    if (!bar) return;
    for (QAction* action : bar->actions()) {
        if (action->isSeparator() || action->icon().isNull()) continue;
        action->icon().pixmap(bar->iconSize(), bar->devicePixelRatio(),
                              action->isEnabled() ? QIcon::Normal : QIcon::Disabled);
    }
}

} // namespace pq::ui
