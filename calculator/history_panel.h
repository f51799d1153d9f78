#pragma once

#include <QList>
#include <QRect>
#include <QStringList>
#include <QWidget>

#include <functional>

#include "calculator/history.h"

class QFont;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace pq::calc {

// How one entry of the history is drawn in a width: the formula on as many
// lines as it needs (up to kMaxLines; a longer one is shortened in its
// middle), then "= result" on a line of its own, shortened in its middle only
// when even that line is too narrow. The item's tooltip holds both whole.
struct HistoryEntryLayout {
    static constexpr int kMaxLines = 4;

    QStringList formulaLines;
    QString resultLine; // "= 0.6427876097"
    bool shortened = false;
    QRect resultRect; // in the entry's own coordinates
    int height = 0;

    static HistoryEntryLayout make(const QString& formula, const QString& result, const QFont& font,
                                   int width);
};

// The history panel: the formulas evaluated with their results, newest
// first, under a search field that keeps the entries holding what is typed.
// A click or Enter on an entry reuses its formula; a click on its result,
// or Shift+Enter, inserts the result; the context menu (the Menu key too)
// offers both. Typing while the list has the focus searches; Escape goes
// back to where typing goes. "Clear History" asks first.
class HistoryPanel : public QWidget {
  public:
    explicit HistoryPanel(QWidget* parent);

    void setEntries(const QList<HistoryEntry>& entries);

    std::function<void(const QString& formula)> onReuse;
    std::function<void(const QString& result)> onInsert;
    std::function<void()> onClear; // after the user said Yes
    std::function<void()> onLeave; // Escape: back to the expression line

    QLineEdit* searchField() const { return search_; }
    QListWidget* list() const { return list_; }
    QPushButton* clearButton() const { return clear_; }
    // The entries shown under the search, top first.
    QList<QListWidgetItem*> shownItems() const;
    // An entry's formula, its exact result and its result as shown.
    static QString formulaOf(const QListWidgetItem* item);
    static QString resultOf(const QListWidgetItem* item);
    static QString shownResultOf(const QListWidgetItem* item);
    // How the entry is drawn in the list's present width.
    HistoryEntryLayout layoutOf(const QListWidgetItem* item) const;

    QSize sizeHint() const override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void filter();
    void reuse(QListWidgetItem* item);
    void insert(QListWidgetItem* item);
    void showMenu(QListWidgetItem* item, QPoint globalPos);
    void askToClear();

    QLineEdit* search_;
    QListWidget* list_;
    QPushButton* clear_;
};

// The history command's icon: a clock face, at 16 and 32 pixels.
QIcon HistoryIcon();

} // namespace pq::calc
