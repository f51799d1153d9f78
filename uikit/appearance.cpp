#include "uikit/appearance.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QSettings>
#include <QStyle>
#include <QToolTip>
#include <QWidget>

#include <optional>
#include <utility>
#include <vector>

namespace pq::ui {

namespace {

const QString kChoiceKey = QStringLiteral("Appearance/Scheme");

struct AppearanceState {
    AppearanceChoice choice = AppearanceChoice::System;
    QString kept;                      // the kept value as last read or written
    Scheme scheme = Scheme::Light;
    bool paletteIsOurs = false;        // the application palette is a scheme's
    bool applying = false;             // a palette of ours is being set
    std::optional<QPalette> desktopToolTips;
    std::vector<std::pair<QPointer<QObject>, std::function<void()>>> listeners;
};

AppearanceState& state() {
    static AppearanceState s;
    return s;
}

QSettings organisationSettings() { return QSettings(QStringLiteral("Quorvane")); }

QString readKept() { return organisationSettings().value(kChoiceKey).toString(); }

// Following the desktop, its palette is kept but for the text colours that
// would not read (a dim placeholder, a dark link on a dark base).
void makeDesktopPaletteReadable() {
    const QPalette desktop = QGuiApplication::palette();
    const QPalette readable = ReadablePalette(desktop);
    if (readable == desktop) return;
    state().applying = true;
    QApplication::setPalette(readable);
    state().applying = false;
}

// Watches the application for the desktop's palette changes and for coming
// forward (when the other program may have changed the kept choice).
class ApplicationWatcher : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != qApp) return false;
        if (event->type() == QEvent::ApplicationPaletteChange && !state().applying) {
            if (state().choice == AppearanceChoice::System) makeDesktopPaletteReadable();
            UpdateActiveScheme();
        }
        if (event->type() == QEvent::ApplicationStateChange &&
            QGuiApplication::applicationState() == Qt::ApplicationActive) {
            const QString kept = readKept();
            if (kept != state().kept) {
                state().kept = kept;
                ApplyAppearanceChoice(AppearanceChoiceFromName(kept));
            }
        }
        return false;
    }
};

void applyPalette(AppearanceChoice choice) {
    AppearanceState& s = state();
    s.applying = true;
    if (choice == AppearanceChoice::System) {
        if (s.paletteIsOurs) {
            // A palette without set roles gives back the desktop's.
            QApplication::setPalette(QPalette());
            if (s.desktopToolTips) QToolTip::setPalette(*s.desktopToolTips);
            s.paletteIsOurs = false;
        }
        s.applying = false;
        makeDesktopPaletteReadable();
        s.applying = true;
    } else {
        const Scheme scheme =
            choice == AppearanceChoice::Dark ? Scheme::Dark : Scheme::Light;
        if (!s.paletteIsOurs) s.desktopToolTips = QToolTip::palette();
        const QPalette palette = SchemePalette(scheme, QApplication::style()->standardPalette());
        QApplication::setPalette(palette);
        QToolTip::setPalette(palette);
        s.paletteIsOurs = true;
    }
    s.applying = false;
}

} // namespace

Scheme ActiveScheme() { return state().scheme; }

QString AppearanceChoiceName(AppearanceChoice choice) {
    switch (choice) {
    case AppearanceChoice::Light: return QStringLiteral("Light");
    case AppearanceChoice::Dark: return QStringLiteral("Dark");
    case AppearanceChoice::System: break;
    }
    return QStringLiteral("System");
}

AppearanceChoice AppearanceChoiceFromName(const QString& name) {
    const QString n = name.trimmed();
    if (n.compare(QStringLiteral("Light"), Qt::CaseInsensitive) == 0)
        return AppearanceChoice::Light;
    if (n.compare(QStringLiteral("Dark"), Qt::CaseInsensitive) == 0) return AppearanceChoice::Dark;
    return AppearanceChoice::System;
}

void InitAppearance() {
    static bool watching = false;
    if (!watching) {
        qApp->installEventFilter(new ApplicationWatcher(qApp));
        watching = true;
    }
    QApplication::style(); // the palette is complete once the style exists
    state().kept = readKept();
    ApplyAppearanceChoice(AppearanceChoiceFromName(state().kept));
}

AppearanceChoice CurrentAppearanceChoice() { return state().choice; }

void SetAppearanceChoice(AppearanceChoice choice) {
    state().kept = AppearanceChoiceName(choice);
    organisationSettings().setValue(kChoiceKey, state().kept);
    ApplyAppearanceChoice(choice);
}

void ApplyAppearanceChoice(AppearanceChoice choice) {
    state().choice = choice;
    applyPalette(choice);
    UpdateActiveScheme();
}

void WhenSchemeChanges(QObject* context, std::function<void()> refresh) {
    state().listeners.emplace_back(context, std::move(refresh));
}

void UpdateActiveScheme() {
    AppearanceState& s = state();
    Scheme scheme = Scheme::Light;
    if (s.choice == AppearanceChoice::Dark)
        scheme = Scheme::Dark;
    else if (s.choice == AppearanceChoice::System &&
             QGuiApplication::palette().color(QPalette::Window).lightness() < 128)
        scheme = Scheme::Dark;
    if (scheme == s.scheme) return;
    s.scheme = scheme;
    ResetSchemeColours();
    std::erase_if(s.listeners, [](const auto& listener) { return listener.first.isNull(); });
    // A refresh may add listeners: call those there were.
    const auto listeners = s.listeners;
    for (const auto& [context, refresh] : listeners)
        if (context) refresh();
    for (QWidget* window : QApplication::topLevelWidgets()) window->update();
}

} // namespace pq::ui
