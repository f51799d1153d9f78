#pragma once

#include <QList>
#include <QWidget>

#include <functional>

#include "calculator/history.h"

class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace pq::calc {

// The history panel: the formulas evaluated with their results, newest
// first, under a search field that keeps the entries holding what is typed.
// A click or Enter on a formula reuses it, on a result inserts it; typing
// while the list has the focus searches. "Clear History" asks first.
class HistoryPanel : public QWidget {
  public:
    explicit HistoryPanel(QWidget* parent);

    void setEntries(const QList<HistoryEntry>& entries);

    std::function<void(const QString& formula)> onReuse;
    std::function<void(const QString& result)> onInsert;
    std::function<void()> onClear; // after the user said Yes
    std::function<void()> onLeave; // Escape: back to the expression line

    QLineEdit* searchField() const { return search_; }
    QTreeWidget* list() const { return list_; }
    QPushButton* clearButton() const { return clear_; }
    // The entries shown under the search, top first.
    QList<QTreeWidgetItem*> shownItems() const;

    QSize sizeHint() const override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void filter();
    void activate(QTreeWidgetItem* item, int column);
    void askToClear();

    QLineEdit* search_;
    QTreeWidget* list_;
    QPushButton* clear_;
};

// The history command's icon: a clock face, at 16 and 32 pixels.
QIcon HistoryIcon();

} // namespace pq::calc
