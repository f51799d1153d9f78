#pragma once

#include <QList>
#include <QString>

namespace pq {
class Document;
class Item;
} // namespace pq

namespace pq::conv {

// A unit of a data file, as the find box shows it and as the window opens it.
struct UnitReference {
    QString fileName;   // with its extension, no folder
    QString identifier;
    QString name;
    QString fileTitle;
    int position = -1;  // in the file's item list, when known
    bool shown = true;

    static UnitReference of(const Document& document, const Item& item);
    bool sameUnit(const UnitReference& other) const;
};

// The units used last, most recent first: those chosen in the find box and
// those a value was typed for. They are kept between runs in the
// converter's settings, beside (not inside) its fixed settings record.
class RecentUnits {
  public:
    static constexpr int kMaxUnits = 10;

    void load();
    // Moves the unit to the front (or adds it there) and saves the list.
    void note(const UnitReference& unit);
    const QList<UnitReference>& units() const { return units_; }

  private:
    void save() const;

    QList<UnitReference> units_;
};

} // namespace pq::conv
