#include "uikit/display_scale.h"

#include <QFont>
#include <QGuiApplication>
#include <QScreen>
#include <QtGlobal>

namespace pq::ui {

namespace {

int g_scale = 1;
int g_density = 0;

} // namespace

int DisplayScale() { return g_scale; }

void SetDisplayScale(int scale) {
    g_scale = scale == 2 ? 2 : 1;
    // When the larger layout is asked for on a screen that does not make
    // text large by itself, the texts the toolkit draws (menus, tool tips,
    // dialogs) grow with it.
    if (!QGuiApplication::instance()) return;
    static const QFont base = QGuiApplication::font();
    QFont font = base;
    if (g_scale == 2 && ScreenDensity() < 192) {
        if (base.pointSizeF() > 0)
            font.setPointSizeF(base.pointSizeF() * 2);
        else
            font.setPixelSize(base.pixelSize() * 2);
    }
    QGuiApplication::setFont(font);
}

int ChooseDisplayScale(double logicalDotsPerInch, const QByteArray& override, bool* rejected) {
    if (rejected) *rejected = false;
    const QByteArray value = override.trimmed();
    if (value == "1") return 1;
    if (value == "2") return 2;
    if (!value.isEmpty() && rejected) *rejected = true;
    return logicalDotsPerInch >= 192 ? 2 : 1;
}

int ScreenDensity() {
    if (g_density == 0) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        g_density = screen ? qRound(screen->logicalDotsPerInchX()) : 96;
    }
    return g_density;
}

bool IsLandscape() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return false;
    const QSize size = screen->size();
    return size.width() > size.height();
}

void InitDisplayScale() {
    bool rejected = false;
    const QByteArray override = qgetenv("PQ_SCALE");
    SetDisplayScale(ChooseDisplayScale(ScreenDensity(), override, &rejected));
    if (rejected) qWarning("PQ_SCALE must be 1 or 2; ignoring \"%s\"", override.constData());
}

} // namespace pq::ui
