#pragma once

#include <QFrame>
#include <QList>

#include <functional>
#include <optional>

#include "converter/find/recent_units.h"

class QLabel;
class QLineEdit;
class QListWidget;

namespace pq::conv {

// A line of the list that is no unit: the answer to a conversion typed
// into the box ("60 mph = 96.56064 km/h", and the file's title).
struct AnswerLine {
    QString text;
    QString detail;
};

// The find box that lies over the unit list: a line to type in, a note on
// what the list below shows, and the list: an answer first when there is
// one, then the units (name, identifier, the file's title). The keys stay
// in the line: Up, Down, Page Up and Page Down choose in the list, Enter
// takes the chosen line, Escape closes the box. A tap on a line takes it,
// too. What the list holds is its owner's business (see UnitFinder).
class FindBox : public QFrame {
  public:
    explicit FindBox(QWidget* parent);

    void setUnits(const QList<UnitReference>& units, const QString& note,
                  const std::optional<AnswerLine>& answer = std::nullopt);
    const QList<UnitReference>& units() const { return units_; }
    bool hasAnswer() const { return answer_.has_value(); }
    // The chosen line of the list (the answer is line 0).
    int current() const;
    void setCurrent(int row);
    // The chosen unit, or -1 (none, or the answer chosen).
    int currentUnit() const;
    void setCurrentUnit(int unit);

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
    // Called when the answer is taken; the box closes first.
    void setAnswerHandler(std::function<void()> handler) { onAnswer_ = std::move(handler); }
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
    std::optional<AnswerLine> answer_;
    std::function<void(const QString&)> onText_;
    std::function<void()> onAnswer_;
    std::function<void(const UnitReference&)> onChosen_;
    std::function<void()> onClosed_;
};

} // namespace pq::conv
