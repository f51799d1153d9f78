// The main window's history panel: a dock beside or below the keypads.
#include <QApplication>
#include <QDockWidget>
#include <QEvent>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QResizeEvent>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

#include <algorithm>
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

// Tells when the user closes a dock with its own close button, and when
// the dock changes size.
class DockWatcher : public QObject {
  public:
    DockWatcher(QObject* parent, std::function<void()> closed, std::function<void()> resized)
        : QObject(parent), closed_(std::move(closed)), resized_(std::move(resized)) {}

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Close) closed_();
        if (event->type() == QEvent::Resize) resized_();
        return false;
    }

  private:
    std::function<void()> closed_, resized_;
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
    panelShare_ = kept.historyShare;
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
    historyDock_->installEventFilter(new DockWatcher(
        historyDock_,
        [this] {
            if (isVisible()) historyToggled(false);
        },
        [this] { historyDockResized(); }));
    connect(historyDock_, &QDockWidget::dockLocationChanged, this, [this](Qt::DockWidgetArea area) {
        panelShare_ = 0; // another side: the share is taken again
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

// The panel keeps its part of the window: a wider window widens it, a
// narrower one narrows it. The part is taken from the panel's size when it
// opens and when the user moves the separator, never from the window's
// steps on the way, which a window manager may replay in any order.
void CMainFrame::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    keepPanelShare();
}

void CMainFrame::keepPanelShare() {
    // Also before the window shows: a window restored with the panel open
    // takes its kept share at once.
    if (!historyDock_ || !historyDock_->isVisibleTo(this) || historyDock_->isFloating()) return;
    const bool below = dockWidgetArea(historyDock_) == Qt::BottomDockWidgetArea;
    const int window = below ? height() : width();
    if (panelShare_ > 0)
        resizeDocks({historyDock_}, {static_cast<int>(std::lround(panelShare_ * window))},
                    below ? Qt::Vertical : Qt::Horizontal);
    else
        panelShare_ = double(below ? historyDock_->height() : historyDock_->width()) / window;
    panelShareOf_ = window;
}

void CMainFrame::historyDockResized() {
    if (!historyDock_->isVisible() || historyDock_->isFloating() || panelShare_ <= 0) return;
    const bool below = dockWidgetArea(historyDock_) == Qt::BottomDockWidgetArea;
    const int window = below ? height() : width();
    // Only a dock that changes size in a window that does not: the user
    // moved the separator.
    if (window == panelShareOf_)
        panelShare_ = double(below ? historyDock_->height() : historyDock_->width()) / window;
}

void CMainFrame::historyToggled(bool shown) {
    KeptModes& modes = scientific_->keptModes();
    // Closing the panel through its action also closes the dock: one change.
    if (modes.historyShown == shown) return;
    if (shown) historyPanel(); // its size is the room it takes
    modes.historyShown = shown;
    modes.write();
    if (isMaximized() || isFullScreen() || historyDock_->isFloating()) return;
    const bool below = dockWidgetArea(historyDock_) == Qt::BottomDockWidgetArea;
    const Qt::Orientation orientation = below ? Qt::Vertical : Qt::Horizontal;
    auto along = [below](QSize size) { return below ? size.height() : size.width(); };
    // The panel's whole size (never less than the dock's smallest); a
    // closing panel gives back the size it had, which a hidden dock keeps.
    const int panel =
        along(shown ? historyDock_->sizeHint().expandedTo(historyDock_->minimumSizeHint())
                    : historyDock_->size());
    const int separator = style()->pixelMetric(QStyle::PM_DockWidgetSeparatorExtent, nullptr, this);
    // Once the layout has placed the dock at its smallest, or given its
    // room to the keypads: they keep the size they had.
    QTimer::singleShot(0, this, [this, shown, panel, separator, below, orientation, along] {
        layout()->activate();
        const int change = shown ? panel - along(historyDock_->size()) : -(panel + separator);
        QSize size = below ? QSize(width(), height() + change) : QSize(width() + change, height());
        size = size.expandedTo(minimumSize());
        // A window that opens its panel stays on its screen: it moves left
        // (or up) as far as it must, and grows no larger than the screen.
        if (shown && screen()) {
            const QRect room = screen()->availableGeometry();
            const QSize frame = frameGeometry().size() - this->size();
            size = size.boundedTo(room.size() - frame).expandedTo(minimumSize());
            const QSize outer = size + frame;
            const int left = std::min(x(), room.right() + 1 - outer.width());
            const int top = std::min(y(), room.bottom() + 1 - outer.height());
            const QPoint at(std::max(room.left(), left), std::max(room.top(), top));
            if (at != pos()) move(at);
        }
        if (shown) panelShare_ = double(panel) / (below ? size.height() : size.width());
        resize(size);
        if (shown) {
            resizeDocks({historyDock_}, {panel}, orientation);
            panelShareOf_ = below ? height() : width();
        }
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
