#pragma once

#include <QFrame>
#include <QList>

#include <functional>

#include "converter/find/recent_units.h"

class QLabel;
class QLineEdit;
class QListWidget;

namespace pq::conv {

// The find box that lies over the unit list: a line to type in, a note on
// what the list below shows, and the list of units (name, identifier, the
// file's title). The keys stay in the line: Up, Down, Page Up and Page Down
// choose in the list, Enter takes the chosen unit, Escape closes the box. A
// tap on a unit takes it, too. What the list holds is its owner's business
// (see UnitFinder).
class FindBox : public QFrame {
  public:
    explicit FindBox(QWidget* parent);

    void setUnits(const QList<UnitReference>& units, const QString& note);
    const QList<UnitReference>& units() const { return units_; }
    int current() const;
    void setCurrent(int row);

    QLineEdit* line() const { return line_; }
    QListWidget* list() const { return list_; }
    QLabel* note() const { return note_; }

    // Called with the line's text after every change.
    void setTextHandler(std::function<void(const QString&)> handler) {
        onText_ = std::move(handler);
    }
    // Called when a unit is taken; the box closes first.
    void setChosenHandler(std::function<void(const UnitReference&)> handler) {
        onChosen_ = std::move(handler);
    }
    // Called when the box closes without a choice.
    void setClosedHandler(std::function<void()> handler) { onClosed_ = std::move(handler); }

    void choose(int row);
    void dismiss();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void move(int key);

    QLineEdit* line_;
    QLabel* note_;
    QListWidget* list_;
    QList<UnitReference> units_;
    std::function<void(const QString&)> onText_;
    std::function<void(const UnitReference&)> onChosen_;
    std::function<void()> onClosed_;
};

} // namespace pq::conv
