#include "calculator/kept_modes.h"

#include <QSettings>

namespace pq::calc {

namespace {

const char16_t* const kAngleNames[] = {u"Rad", u"Deg", u"Gra"};

QString angleName(AngleMode mode) {
    return QString::fromUtf16(kAngleNames[static_cast<int>(mode)]);
}

} // namespace

KeptModes KeptModes::read() {
    KeptModes modes;
    QSettings stored(QStringLiteral("Quorvane"), QStringLiteral("PqCalculator"));
    stored.beginGroup(QStringLiteral("Scientific"));
    const QString angle = stored.value(QStringLiteral("AngleMode")).toString();
    for (int k = 0; k < 3; ++k)
        if (angle == angleName(static_cast<AngleMode>(k))) modes.angle = static_cast<AngleMode>(k);
    const QString base = stored.value(QStringLiteral("Base")).toString();
    for (int k = 0; k < 4; ++k)
        if (base == QString::fromStdU16String(std::u16string(baseName(static_cast<Base>(k)))))
            modes.base = static_cast<Base>(k);
    stored.endGroup();
    stored.beginGroup(QStringLiteral("Display"));
    bool ok = false;
    const int digits = stored.value(QStringLiteral("Digits")).toInt(&ok);
    if (ok && digits >= NumberStyle::kMinDigits && digits <= NumberStyle::kMaxDigits)
        modes.style.digits = digits;
    const QString notation = stored.value(QStringLiteral("Notation")).toString();
    for (int k = 0; k < 4; ++k)
        if (notation == QString::fromStdU16String(
                            std::u16string(notationName(static_cast<Notation>(k)))))
            modes.style.notation = static_cast<Notation>(k);
    const int decimals = stored.value(QStringLiteral("Decimals")).toInt(&ok);
    if (ok && decimals >= 0 && decimals <= NumberStyle::kMaxDecimals)
        modes.style.decimals = decimals;
    stored.endGroup();
    modes.historyShown = stored.value(QStringLiteral("History/Shown"), false).toBool();
    modes.historyBelow = stored.value(QStringLiteral("History/Below"), false).toBool();
    const double share = stored.value(QStringLiteral("History/Share")).toDouble(&ok);
    if (ok && share > 0 && share < 1) modes.historyShare = share;
    return modes;
}

void KeptModes::write() const {
    QSettings stored(QStringLiteral("Quorvane"), QStringLiteral("PqCalculator"));
    stored.beginGroup(QStringLiteral("Scientific"));
    stored.setValue(QStringLiteral("AngleMode"), angleName(angle));
    stored.setValue(QStringLiteral("Base"),
                    QString::fromStdU16String(std::u16string(baseName(base))));
    stored.endGroup();
    stored.beginGroup(QStringLiteral("Display"));
    stored.setValue(QStringLiteral("Digits"), style.digits);
    stored.setValue(QStringLiteral("Notation"),
                    QString::fromStdU16String(std::u16string(notationName(style.notation))));
    stored.setValue(QStringLiteral("Decimals"), style.decimals);
    stored.endGroup();
    stored.setValue(QStringLiteral("History/Shown"), historyShown);
    stored.setValue(QStringLiteral("History/Below"), historyBelow);
    stored.setValue(QStringLiteral("History/Share"), historyShare);
    stored.sync();
}

} // namespace pq::calc
