// The main window from the keyboard: the View and Tools menus, where Tab
// stops, and the values the calculator hands over.
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include "converter/commands.h"
#include "converter/entry/format_tab.h"
#include "converter/entry/value_entry_panel.h"
#include "converter/find/find_box.h"
#include "converter/find/unit_finder.h"
#include "converter/list/format_menu.h"
#include "converter/list/unit_list_view.h"
#include "converter/main_frame.h"
#include "converter/rates_line.h"
#include "document/item.h"
#include "uikit/button_focus.h"
#include "uikit/command_event.h"

namespace pq::conv {

void CPqConvFrame::createViewMenus() {
    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("viewMenu"));
    view->addAction(actions_[kCmdShowUnits]);
    QAction* compact = view->addAction(QStringLiteral("&Compact List"));
    compact->setObjectName(QStringLiteral("compactList"));
    compact->setCheckable(true);
    connect(compact, &QAction::triggered, this,
            [this] { ui::PostCommand(this, kCmdExpandCompact); });
    view->addSeparator();

    // The selected unit's format, as its format button offers it.
    QMenu* format = view->addMenu(QStringLiteral("&Format"));
    format->setObjectName(QStringLiteral("formatOfUnit"));
    // The format its value is typed in, as the tabs of the value strip.
    QMenu* entry = view->addMenu(QStringLiteral("&Entry Format"));
    entry->setObjectName(QStringLiteral("entryFormat"));
    view->addSeparator();
    view->addAction(actions_[kCmdFileSwitcher]);

    connect(view, &QMenu::aboutToShow, this, [this, compact, format, entry] {
        compact->setChecked(settings_.compactList());
        format->clear();
        const int row = list_->selected();
        if (row >= 0)
            FillFormatMenu(format, list_->row(row).item().format, list_, row,
                           list_->changeProblem());
        format->setEnabled(row >= 0);
        entry->clear();
        auto* tabs = new QActionGroup(entry);
        for (int k = 0; k < panel_->tabCount(); ++k) {
            QAction* tab =
                entry->addAction(QStringLiteral("&%1 %2").arg(k + 1).arg(panel_->tab(k).label()));
            tab->setCheckable(true);
            tab->setChecked(k == panel_->currentTab());
            tabs->addAction(tab);
            connect(tab, &QAction::triggered, this, [this, k] { panel_->chooseTab(k); });
        }
        entry->setEnabled(panel_->isShown() && panel_->tabCount() > 1);
    });

    QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    tools->addAction(actions_[kCmdOpenCalculator]);
}

void CPqConvFrame::createFocusStops() {
    fileSwitcherStop_ = new ui::ButtonFocus(client_, QStringLiteral("Switch file"));
    fileSwitcherStop_->setObjectName(QStringLiteral("fileSwitcherStop"));
    showUnitsStop_ = new ui::ButtonFocus(client_, QStringLiteral("Show or hide units"));
    showUnitsStop_->setObjectName(QStringLiteral("showUnitsStop"));
}

void CPqConvFrame::placeFocusStops() {
    if (!fileSwitcherStop_) return;
    fileSwitcherStop_->follow(fileSwitcher_);
    showUnitsStop_->follow(showUnits_);
}

bool CPqConvFrame::focusNextPrevChild(bool next) {
    // As the window reads: the top strip's buttons, the rates line, the
    // list (or the find box over it), then the value strip.
    QList<QWidget*> stops = {fileSwitcherStop_, showUnitsStop_};
    stops += ui::FocusableWidgets(ratesLine_);
    stops += list_;
    if (finder_->isOpen()) stops += ui::FocusableWidgets(finder_->box());
    stops += panel_->keyboardStops();
    return ui::MoveFocus(stops, next);
}

void CPqConvFrame::takeValue(double value) {
    if (!document_ || !list_) return;
    // The value goes to the selected unit, or to the first one it can.
    if (!panel_->isShown()) {
        for (int row = 0; row < list_->rowCount() && !panel_->isShown(); ++row)
            if (!list_->row(row).item().isOutput()) list_->select(row);
    }
    if (!panel_->isShown()) return;
    panel_->takeValue(value);
    panel_->takeFocus();
}

} // namespace pq::conv
