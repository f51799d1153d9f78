#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

#include "uikit/picture_button.h"

class QMenu;
class QPainter;
class QWidget;

namespace pq {
class Item;
}

namespace pq::conv {

// A text drawn inside the list window, without a window of its own.
class RowLabel {
  public:
    static constexpr int kRightAligned = 32;
    // In the colour of computed values (calculation files' outputs).
    static constexpr int kComputed = 64;

    void create(QWidget* window, const QFont& font, int flags);
    // A text equal to the present one changes nothing.
    void setText(const QString& text);
    void setBox(const QRect& box);
    // Drawn in its colour, made readable on `ground` (what lies beneath).
    void draw(QPainter& painter, const QColor& ground) const;

    const QString& text() const { return text_; }
    const QRect& box() const { return box_; }
    // The part of the box the text covers. Texts are measured when first
    // drawn or asked for after a change, so rows out of view cost nothing.
    const QRect& drawnRect() const;
    // The text colour of the active scheme.
    QColor colour() const;
    // The text as drawn: shortened with "~" until it fits.
    QString shownText() const;

  private:
    void measure() const;
    void changed();

    QString text_;
    QFont font_;
    QRect box_;
    mutable QRect drawnRect_;
    mutable QString shownText_;
    mutable bool measured_ = false;
    int flags_ = 0;
    QWidget* window_ = nullptr;
};

// One row of the unit list: the item's name, its value and the format
// button, in two lines (38·s) or one (21·s).
class UnitRow {
  public:
    // The button posts kCmdFormatButton with `index` to the list window.
    UnitRow(Item& item, QWidget* list, const QFont& nameFont, const QFont& valueFont, int index);
    UnitRow(const UnitRow&) = delete;
    UnitRow& operator=(const UnitRow&) = delete;

    void layout(const QRect& rect);
    void refreshValue();
    void refreshName();
    void refreshIcon();
    // `ground` is the colour beneath the row's texts.
    void draw(QPainter& painter, const QColor& ground) const;

    // The row's context menu: "Copy Value" when there is a value, "Edit" and
    // "Remove from List", posted to the target; with the row's index, the
    // format choices of its format button too, posted to the parent (the
    // list) with the index. While the file may not be changed (`problem`
    // says why), the commands that would change it are disabled with that
    // reason as their tooltip.
    QMenu* createContextMenu(QWidget* parent, QObject* target, int index = -1,
                             const QString& problem = QString()) const;

    Item& item() const { return item_; }
    const QRect& rect() const { return rect_; }
    bool selected() const { return selected_; }
    void setSelected(bool selected) { selected_ = selected; }
    const RowLabel& nameLabel() const { return nameLabel_; }
    const RowLabel& valueLabel() const { return valueLabel_; }
    ui::PictureButton& formatButton() { return formatButton_; }
    const ui::PictureButton& formatButton() const { return formatButton_; }
    // The icon resource of a display format, 0 for none.
    static int formatIconId(int32_t displayFormat);

  private:
    Item& item_;
    bool selected_ = false;
    RowLabel nameLabel_;
    RowLabel valueLabel_;
    ui::PictureButton formatButton_;
    QRect rect_;
};

} // namespace pq::conv
