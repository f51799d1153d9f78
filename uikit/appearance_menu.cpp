#include "uikit/appearance_menu.h"

#include <QActionGroup>
#include <QMenu>

#include "uikit/appearance.h"

namespace pq::ui {

QMenu* CreateAppearanceMenu(QWidget* parent) {
    auto* menu = new QMenu(QStringLiteral("Appea&rance"), parent);
    menu->setObjectName(QStringLiteral("appearanceMenu"));
    auto* group = new QActionGroup(menu);
    struct Entry {
        const char* text;
        const char* tip;
        AppearanceChoice choice;
    };
    static constexpr Entry kEntries[] = {
        {"&System", "Follow the desktop's light or dark colours", AppearanceChoice::System},
        {"&Light", "Dark text on light backgrounds", AppearanceChoice::Light},
        {"&Dark", "Light text on dark backgrounds", AppearanceChoice::Dark},
    };
    for (const Entry& entry : kEntries) {
        QAction* action = menu->addAction(QString::fromLatin1(entry.text));
        action->setToolTip(QString::fromLatin1(entry.tip));
        action->setCheckable(true);
        action->setData(static_cast<int>(entry.choice));
        group->addAction(action);
        QObject::connect(action, &QAction::triggered, menu,
                         [choice = entry.choice] { SetAppearanceChoice(choice); });
    }
    menu->setToolTipsVisible(true);
    const auto markChoice = [menu] {
        for (QAction* action : menu->actions())
            action->setChecked(action->data().toInt() ==
                               static_cast<int>(CurrentAppearanceChoice()));
    };
    markChoice();
    // The other program may have changed the choice since.
    QObject::connect(menu, &QMenu::aboutToShow, menu, markChoice);
    return menu;
}

} // namespace pq::ui
