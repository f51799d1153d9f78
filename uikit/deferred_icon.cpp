#include "uikit/deferred_icon.h"

#include <QApplication>
#include <QFileInfo>
#include <QIconEngine>
#include <QImageReader>
#include <QPaintDevice>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOption>
#include <QWidget>

#include "uikit/appearance.h"
#include "uikit/contrast_style.h"
#include "uikit/scheme_colours.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace pq::ui {

namespace {

class DeferredIconEngine : public QIconEngine {
  public:
    explicit DeferredIconEngine(std::function<QIcon()> make) : make_(std::move(make)) {}

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
    bool isNull() override { return made_ ? icon_.isNull() : false; }
    QString key() const override { return QStringLiteral("PqDeferredIcon"); }
    QIconEngine* clone() const override {
        auto* copy = new DeferredIconEngine(make_);
        copy->icon_ = icon_;
        copy->made_ = made_;
        return copy;
    }

  private:
    const QIcon& icon() {
        if (!made_) {
            icon_ = make_();
            made_ = true;
        }
        return icon_;
    }

    std::function<QIcon()> make_;
    QIcon icon_;
    bool made_ = false;
};

// Icons the windows make as they are built but show only later, if ever:
// the arrow of a menu bar or toolbar too narrow for its items, the buttons of
// a dock, and the clear button of a search box, shown once it holds text.
bool shownLater(QStyle::StandardPixmap which) {
    switch (which) {
    case QStyle::SP_ToolBarHorizontalExtensionButton:
    case QStyle::SP_ToolBarVerticalExtensionButton:
    case QStyle::SP_TitleBarCloseButton:
    case QStyle::SP_TitleBarNormalButton:
    case QStyle::SP_DockWidgetCloseButton:
    case QStyle::SP_LineEditClearButton: return true;
    default: return false;
    }
}

class SizedFilesIconEngine : public QIconEngine {
  public:
    SizedFilesIconEngine(QList<std::pair<int, QString>> files, bool followsScheme)
        : files_(std::move(files)), followsScheme_(followsScheme) {
        std::sort(files_.begin(), files_.end());
        for (Drawn& drawn : drawn_) drawn.read.fill(false, files_.size());
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal scale = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
        serve(rect.size(), scale).paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return serve(size, 1.0).actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return serve(size, 1.0).pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        return serve(size, scale).pixmap(size, scale, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> sizes;
        for (const auto& [side, path] : files_) sizes.append(QSize(side, side));
        return sizes;
    }
    bool isNull() override { return files_.isEmpty(); }
    QString key() const override { return QStringLiteral("PqSizedFilesIcon"); }
    QIconEngine* clone() const override { return new SizedFilesIconEngine(*this); }

  private:
    // The icon, holding at least the file that serves the size: the smallest
    // at least as large, else the largest.
    const QIcon& serve(const QSize& size, qreal scale) {
        const bool dark = followsScheme_ && ActiveScheme() == Scheme::Dark;
        Drawn& drawn = drawn_[dark ? 1 : 0];
        if (files_.isEmpty()) return drawn.icon;
        const int needed =
            static_cast<int>(std::ceil(std::max(size.width(), size.height()) * scale));
        qsizetype chosen = files_.size() - 1;
        for (qsizetype i = 0; i < files_.size(); ++i) {
            if (files_[i].first >= needed) {
                chosen = i;
                break;
            }
        }
        if (!drawn.read[chosen]) {
            drawn.read[chosen] = true;
            const QImage image = ReadImageFile(files_[chosen].second);
            drawn.icon.addPixmap(QPixmap::fromImage(dark ? DarkIconImage(image) : image));
        }
        return drawn.icon;
    }

    // The sizes read so far for one scheme.
    struct Drawn {
        QList<bool> read;
        QIcon icon;
    };

    QList<std::pair<int, QString>> files_; // by size
    bool followsScheme_;
    Drawn drawn_[2]; // light, dark
};

class IconDeferringStyle : public QProxyStyle {
  public:
    using QProxyStyle::QProxyStyle;

    QIcon standardIcon(StandardPixmap which, const QStyleOption* option,
                       const QWidget* widget) const override {
        if (!shownLater(which)) return QProxyStyle::standardIcon(which, option, widget);
        // Made after the call returns: the option is kept as a copy of its
        // common part, and the widget or this style may be gone by then.
        std::optional<QStyleOption> kept;
        if (option) kept = *option;
        return DeferredIcon([which, kept, base = QPointer<QStyle>(baseStyle()),
                             owner = QPointer<QWidget>(const_cast<QWidget*>(widget))] {
            const QStyle* style = base ? base.data() : QApplication::style();
            return style->standardIcon(which, kept ? &*kept : nullptr, owner.data());
        });
    }
};

} // namespace

QIcon DeferredIcon(std::function<QIcon()> make) {
    return QIcon(new DeferredIconEngine(std::move(make)));
}

QIcon IconFromFiles(QList<std::pair<int, QString>> files, bool followsScheme) {
    return QIcon(new SizedFilesIconEngine(std::move(files), followsScheme));
}

QImage ReadImageFile(const QString& path) {
    QImageReader reader(path, QFileInfo(path).suffix().toLatin1());
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

void DeferStandardIcons() {
    // Beneath it, the edges of the controls drawn to stand out (ContrastStyle).
    QApplication::setStyle(
        new IconDeferringStyle(new ContrastStyle(QApplication::style()->name())));
}

} // namespace pq::ui
