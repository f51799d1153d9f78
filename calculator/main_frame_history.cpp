// The main window's history panel: a dock beside or below the keypads.
#include <QApplication>
#include <QDockWidget>
#include <QEvent>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QResizeEvent>
#include <QTimer>
#include <QToolBar>

#include <cmath>
#include <functional>
#include <utility>

#include "calculator/commands.h"
#include "calculator/expression_edit.h"
#include "calculator/history_panel.h"
#include "calculator/main_frame.h"
#include "calculator/scientific_view.h"
#include "engine/number_parse.h"
#include "engine/plain_number.h"
#include "uikit/command_event.h"
#include "uikit/message_box.h"
#include "uikit/ui_font.h"

namespace pq::calc {

namespace {

// Tells when the user closes a dock with its own close button.
class DockCloseWatcher : public QObject {
  public:
    DockCloseWatcher(QObject* parent, std::function<void()> closed)
        : QObject(parent), closed_(std::move(closed)) {}

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Close) closed_();
        return false;
    }

  private:
    std::function<void()> closed_;
};

} // namespace

void CMainFrame::createHistoryPanel() {
    historyDock_ = new QDockWidget(QStringLiteral("History"), this);
    historyDock_->setObjectName(QStringLiteral("historyDock"));
    // The panel's texts grow with the display scale, as the keypads' do.
    historyDock_->setFont(ui::CreateUiFont(13, false));
    historyDock_->setAllowedAreas(Qt::RightDockWidgetArea | Qt::BottomDockWidgetArea);
    historyDock_->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
    KeptModes& kept = scientific_->keptModes();
    addDockWidget(kept.historyBelow ? Qt::BottomDockWidgetArea : Qt::RightDockWidgetArea,
                  historyDock_);
    // The panel is made when the dock first shows.
    if (kept.historyShown) historyPanel();
    historyDock_->setVisible(kept.historyShown);
    connect(historyDock_, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (visible) historyPanel();
    });
    scientific_->setHistoryListener([this] {
        if (historyPanel_) historyPanel_->setEntries(scientific_->history().entries());
    });

    QAction* toggle = historyDock_->toggleViewAction();
    toggle->setText(QStringLiteral("History &Panel"));
    toggle->setIcon(HistoryIcon());
    toggle->setToolTip(QStringLiteral("History"));
    // Ctrl+H takes the keyboard to the history's search field (showing the
    // panel first) and from the panel back to the formula.
    auto* search = new QAction(QStringLiteral("Search Histor&y"), this);
    search->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    connect(search, &QAction::triggered, this,
            [this] { ui::PostCommand(this, kCmdSearchHistory); });
    actions_[kCmdSearchHistory] = search;
    if (QMenu* tools = menuBar()->actions().value(0) ? menuBar()->actions()[0]->menu() : nullptr) {
        tools->insertAction(actions_[kCmdOpenConverter], toggle);
        tools->insertAction(actions_[kCmdOpenConverter], search);
        tools->insertSeparator(actions_[kCmdOpenConverter]);
    }
    if (auto* bar = findChild<QToolBar*>(QStringLiteral("commands"))) bar->addAction(toggle);

    // Opening the panel widens (or heightens) the window rather than
    // squeezing the keypads; closing it gives that room back. Only what the
    // user does counts: the panel also shows and hides with the window, and
    // a window restored with the panel open has its room already.
    connect(toggle, &QAction::triggered, this, [this](bool shown) { historyToggled(shown); });
    historyDock_->installEventFilter(new DockCloseWatcher(historyDock_, [this] {
        if (isVisible()) historyToggled(false);
    }));
    connect(historyDock_, &QDockWidget::dockLocationChanged, this, [this](Qt::DockWidgetArea area) {
        KeptModes& modes = scientific_->keptModes();
        modes.historyBelow = area == Qt::BottomDockWidgetArea;
        modes.write();
    });
}

void CMainFrame::searchHistory() {
    HistoryPanel* panel = historyPanel();
    if (historyDock_->isVisible() && panel->isAncestorOf(QApplication::focusWidget())) {
        focusHome();
        return;
    }
    if (!historyDock_->isVisible()) historyDock_->toggleViewAction()->trigger();
    panel->searchField()->setFocus(Qt::ShortcutFocusReason);
    panel->searchField()->selectAll();
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (!historyDock_ || !historyDock_->isVisible() || historyDock_->isFloating()) return;
    // The window's layout gave the change to the keypads; the panel takes
    // its share of it, as wide (or tall) a part of the window as before.
    const bool below = dockWidgetArea(historyDock_) == Qt::BottomDockWidgetArea;
    const int before = below ? event->oldSize().height() : event->oldSize().width();
    const int now = below ? height() : width();
    if (before <= 0 || now == before) return;
    const int panel = below ? historyDock_->height() : historyDock_->width();
    resizeDocks({historyDock_}, {static_cast<int>(std::lround(double(panel) * now / before))},
                below ? Qt::Vertical : Qt::Horizontal);
}

void CMainFrame::historyToggled(bool shown) {
    if (shown) historyPanel(); // its size is the room it takes
    KeptModes& modes = scientific_->keptModes();
    modes.historyShown = shown;
    modes.write();
    if (isMaximized() || isFullScreen()) return;
    const bool below = dockWidgetArea(historyDock_) == Qt::BottomDockWidgetArea;
    // Closing gives back the panel's room and the separator beside it.
    const QRect dock = historyDock_->geometry();
    const QRect client = centralWidget()->geometry();
    const QSize room = shown
                           ? historyPanel_->sizeHint()
                           : QSize(dock.right() - client.right(), dock.bottom() - client.bottom());
    const int sign = shown ? 1 : -1;
    const QSize size = below ? QSize(width(), height() + sign * room.height())
                             : QSize(width() + sign * room.width(), height());
    // Once the layout knows whether the panel is there.
    QTimer::singleShot(0, this, [this, size, room, shown, below] {
        layout()->activate(); // the window's smallest size first
        resize(size);
        if (shown)
            resizeDocks({historyDock_}, {below ? room.height() : room.width()},
                        below ? Qt::Vertical : Qt::Horizontal);
    });
}

HistoryPanel* CMainFrame::historyPanel() {
    if (historyPanel_) return historyPanel_;
    historyPanel_ = new HistoryPanel(historyDock_);
    historyDock_->setWidget(historyPanel_);
    historyPanel_->onReuse = [this](const QString& formula) {
        if (view_ == ViewMode::Standard) switchView(ViewMode::Scientific);
        scientific_->reuseFormula(formula);
    };
    historyPanel_->onInsert = [this](const QString& result) {
        // The result kept to the last bit, taken with the 15 digits a
        // double carries safely, as Copy gives it.
        double value = 0;
        if (!parseNumber(result.toStdU16String(), value)) return;
        value = roundedToDigits(value);
        if (view_ == ViewMode::Scientific) {
            scientific_->insertResult(QString::fromStdU16String(plainNumberText(value)));
        } else {
            calculator_.setValue(value);
            showCalculator();
        }
    };
    historyPanel_->onClear = [this] { scientific_->clearHistory(); };
    historyPanel_->onLeave = [this] { focusHome(); };
    historyPanel_->setEntries(scientific_->history().entries());
    return historyPanel_;
}

} // namespace pq::calc
