#include "calculator/calculator_settings.h"

#include <QSettings>

namespace pq::calc {

CalculatorSettings CalculatorSettings::read() {
    QSettings settings(QStringLiteral("Quorvane"), QStringLiteral("PqCalculator"));
    settings.beginGroup(QStringLiteral("Settings"));
    CalculatorSettings values;
    bool ok = false;
    const int view = settings.value(QStringLiteral("CurrentView"), 0).toInt(&ok);
    if (ok && view == 1) values.currentView = ViewMode::Scientific;
    const int macro = settings.value(QStringLiteral("CurrentMacro"), -1).toInt(&ok);
    if (ok && macro >= 0) values.currentMacro = macro;
    settings.endGroup();
    values.geometry = settings.value(QStringLiteral("Window/Geometry")).toByteArray();
    return values;
}

void CalculatorSettings::write() const {
    QSettings settings(QStringLiteral("Quorvane"), QStringLiteral("PqCalculator"));
    settings.beginGroup(QStringLiteral("Settings"));
    settings.setValue(QStringLiteral("CurrentView"), static_cast<int>(currentView));
    settings.setValue(QStringLiteral("CurrentMacro"), currentMacro);
    settings.endGroup();
    if (!geometry.isEmpty()) settings.setValue(QStringLiteral("Window/Geometry"), geometry);
    settings.sync();
}

} // namespace pq::calc
