#pragma once

#include <QObject>
#include <QRect>
#include <QString>

#include <functional>
#include <memory>
#include <string>

#include "converter/find/conversion_answer.h"
#include "converter/find/recent_units.h"

class QWidget;

namespace pq {
class Document;
class ExpressionEngine;
class Item;
struct IndexedFile;
} // namespace pq

namespace pq::conv {

class FindBox;
class IndexRunner;

// Finding a unit in every data file from the main window: the find box over
// the unit list, the index of the data folder behind it (refreshed in the
// background whenever the box opens), and the units used last, which an
// empty box lists. Matches from the file the window shows come first, as
// the window holds it (changes not yet saved included). A conversion typed
// into the box ("60 mph to km/h") is answered in the first line of the
// list.
class UnitFinder : public QObject {
  public:
    // The box is a child of `parent`, hidden until opened and made when first
    // needed. Conversions typed into it are computed with `engine`.
    UnitFinder(QWidget* parent, ExpressionEngine& engine);
    ~UnitFinder() override;

    // The data folder; its index is built in the background.
    void setFolder(const std::string& folder);
    // Opens the box with a first text (a key typed into the list, or none)
    // for a window that shows `current` (or no file), and gives it the keys.
    void open(const QString& text, const Document* current);
    void close();
    bool isOpen() const;
    // Gives the keys to the open box again.
    void takeFocus();
    // Whether the object is the box or a part of it.
    bool owns(const QObject* object) const;
    void place(const QRect& area);

    // A unit the user typed a value for or chose.
    void noteUsed(const Document& document, const Item& item);

    // Called after the box closed with a choice, or without one.
    void setChosenHandler(std::function<void(const UnitReference&)> handler) {
        onChosen_ = std::move(handler);
    }
    void setClosedHandler(std::function<void()> handler) { onClosed_ = std::move(handler); }
    // Called after the box closed with the answer to a conversion taken.
    void setAnswerHandler(std::function<void(const ConversionAnswer&)> handler) {
        onAnswer_ = std::move(handler);
    }

    // The box, made the first time it opens or is asked for.
    FindBox* box();
    IndexRunner& runner() const { return *runner_; }
    const RecentUnits& recentUnits() const { return recent_; }

  private:
    void search(const QString& text);
    QList<UnitReference> recentUnitsNow() const;

    QWidget* parent_;
    FindBox* box_ = nullptr;
    QRect area_;
    IndexRunner* runner_;
    RecentUnits recent_;
    std::string folder_;
    QString currentFile_;
    std::shared_ptr<const IndexedFile> currentContents_;
    ConversionAnswerer answerer_;
    std::optional<ConversionAnswer> answer_; // the one the list shows
    std::function<void(const UnitReference&)> onChosen_;
    std::function<void()> onClosed_;
    std::function<void(const ConversionAnswer&)> onAnswer_;
};

} // namespace pq::conv
