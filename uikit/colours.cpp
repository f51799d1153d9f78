#include "uikit/colours.h"

#include <QSettings>

#include "uikit/scheme_colours.h"

#include <algorithm>

namespace pq::ui {

namespace {

QColor g_theme; // invalid until read

int tintComponent(int factor, int component) {
    return 255 - ((255 - component) * (255 - factor)) / 256;
}

} // namespace

QColor ThemeColour() {
    if (!g_theme.isValid()) {
        g_theme = QColor(64, 64, 192);
        const QSettings settings(QStringLiteral("Quorvane"));
        const QString name = settings.value(QStringLiteral("Appearance/ThemeColour")).toString();
        const QColor chosen = QColor::fromString(name.trimmed());
        if (chosen.isValid()) g_theme = QColor(chosen.red(), chosen.green(), chosen.blue());
    }
    return g_theme;
}

void ResetThemeColour() {
    g_theme = QColor();
    ResetSchemeColours();
}

QColor TintColour(int factor, const QColor& colour) {
    factor = std::clamp(factor, 0, 255);
    return QColor(tintComponent(factor, colour.red()), tintComponent(factor, colour.green()),
                  tintComponent(factor, colour.blue()));
}

} // namespace pq::ui
