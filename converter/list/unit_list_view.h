#pragma once

#include <QFont>

#include <functional>
#include <memory>
#include <vector>

#include "converter/list/unit_row.h"
#include "uikit/window_object.h"

class QScrollBar;

namespace pq {
class Document;
class ExpressionEngine;
class Item;
} // namespace pq

namespace pq::ui {
class ThemedBitmap;
}

namespace pq::conv {

class ValueEntryPanel;

// The scrolling list of the shown items of the current document, one row
// each, with the selection that the document keeps as its current item and
// that the entry panel below follows.
class UnitListView : public ui::WindowObject {
  public:
    // The background is shared and not owned; none paints white.
    UnitListView(QWidget* parent, ValueEntryPanel* panel, const ui::ThemedBitmap* background);
    ~UnitListView() override;

    // Where the rows' context-menu commands go: the main window.
    void setCommandTarget(QObject* target) { commandTarget_ = target; }
    // Why the file may not be changed, empty while it may: the rows' menus
    // then offer no changes.
    void setChangeProblem(const QString& problem) { changeProblem_ = problem; }
    const QString& changeProblem() const { return changeProblem_; }
    // Called after every change of the selection.
    void setSelectionHandler(std::function<void()> handler) { onSelection_ = std::move(handler); }

    void load(Document* document);
    void select(int index);
    void recompute(ExpressionEngine& engine);
    void refreshValues();
    void refreshLayouts();
    // The selected row's value to the clipboard, in a text every value box
    // reads back as exactly the value; says so when that fails. Nothing
    // without a selection.
    void copyValue();
    void setCompact(bool compact);
    bool compact() const { return compact_; }
    // Page Up, Page Down, Up and Down; true when the key was taken.
    bool key(int key);
    void wheel(int delta);
    void scrollTo(int position);

    Document* document() const { return document_; }
    int rowCount() const { return static_cast<int>(rows_.size()); }
    UnitRow& row(int index) const { return *rows_[static_cast<size_t>(index)]; }
    int selected() const { return selected_; }
    int firstVisible() const { return firstVisible_; }
    int pageRows() const { return pageRows_; }
    int rowHeight() const { return rowHeight_; }
    int rowWidth() const { return width_; }
    QScrollBar* scrollBar() const { return scrollBar_; }
    // The row at a point of the list, -1 for none.
    int rowAt(QPoint point) const;

    // Opens a row's format menu (its format button does so).
    void showFormatMenu(int index);
    // A choice of the format menu: a format command, or Customize.
    void formatChosen(int index, unsigned command);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void penDown(QPoint point) override;
    void penMove(QPoint point) override;
    void penUp(QPoint point) override;
    void tapAndHold(QPoint point) override;
    // The selected row's menu, at the row, the selection kept.
    void keyboardMenu() override;
    void command(const ui::CommandEvent& command) override;

  private:
    void layoutRows();
    void placeRows();
    void updateScrollBar();
    void repaintRow(int index);
    void attachPanel();
    // Tells the command target that an item's format was changed in place.
    void postChange(unsigned command, const Item& item);

    std::vector<std::unique_ptr<UnitRow>> rows_;
    int rowHeight_ = 0;
    int width_ = 0;
    int selected_ = -1;
    int firstVisible_ = 0;
    int pageRows_ = 1;
    bool compact_ = false;
    ui::PushButton* pressedButton_ = nullptr;
    ValueEntryPanel* panel_;
    Document* document_ = nullptr;
    const ui::ThemedBitmap* background_;
    QObject* commandTarget_ = nullptr;
    QString changeProblem_;
    std::function<void()> onSelection_;
    QScrollBar* scrollBar_;
    QFont boldFont_;
    QFont normalFont_;
};

} // namespace pq::conv
