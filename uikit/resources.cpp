#include "uikit/resources.h"

#include <QFile>
#include <QHash>
#include <QIconEngine>
#include <QPainter>

#include "uikit/appearance.h"
#include "uikit/display_scale.h"
#include "uikit/first_paint.h"

static void initKitResources() { Q_INIT_RESOURCE(uikit); }

namespace pq::ui {

namespace {

// An icon whose images are decoded only when it is first drawn or asked
// about, so that the icons of menus and buttons not yet shown cost nothing
// at start-up. Drawn for a light background, it shows a rendering with light
// strokes in the dark scheme (made when first needed), unless it is a
// picture in its own colours (the programs' icons).
class ResourceIconEngine : public QIconEngine {
  public:
    ResourceIconEngine(QList<QPair<QString, int>> files, bool followsScheme)
        : files_(std::move(files)), followsScheme_(followsScheme) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        return icon().pixmap(size, scale, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return icon().availableSizes(mode, state);
    }
    bool isNull() override { return files_.isEmpty(); }
    QString key() const override { return QStringLiteral("PqResourceIcon"); }
    QIconEngine* clone() const override {
        return new ResourceIconEngine(files_, followsScheme_);
    }

  private:
    const QIcon& icon() {
        if (followsScheme_ && ActiveScheme() == Scheme::Dark) {
            if (dark_.isNull())
                for (const auto& [path, size] : files_)
                    dark_.addPixmap(QPixmap::fromImage(DarkIconImage(QImage(path))));
            return dark_;
        }
        if (!loaded_) {
            for (const auto& [path, size] : files_) icon_.addFile(path, QSize(size, size));
            loaded_ = true;
        }
        return icon_;
    }

    QList<QPair<QString, int>> files_;
    bool followsScheme_;
    QIcon icon_;
    QIcon dark_;
    bool loaded_ = false;
};

bool isProgramIcon(const QString& name) {
    return name == QLatin1String("128") || name == QLatin1String("calculator") ||
           name == QLatin1String("converter");
}

} // namespace

void InitUiKit() {
    initKitResources();
    InitDisplayScale();
    InitAppearance();
    WatchFirstPaint();
}

QString BitmapResourcePath(int id) { return QStringLiteral(":/uikit/bitmaps/%1.bmp").arg(id); }

QIcon LoadIcon(int id) { return LoadIcon(QString::number(id)); }

QIcon LoadIcon(const QString& name) {
    static QHash<QString, QIcon> cache;
    auto found = cache.constFind(name);
    if (found != cache.constEnd()) return *found;
    QList<QPair<QString, int>> files;
    for (int size : {16, 32, 48, 64, 128}) {
        const QString path = QStringLiteral(":/uikit/icons/%1/%2.png").arg(size).arg(name);
        if (QFile::exists(path)) files.append({path, size});
    }
    const QIcon icon = files.isEmpty()
                           ? QIcon()
                           : QIcon(new ResourceIconEngine(std::move(files), !isProgramIcon(name)));
    cache.insert(name, icon);
    return icon;
}

int IconSize() { return Scaled(16); }

} // namespace pq::ui
