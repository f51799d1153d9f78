#include "converter/list/unit_list_view.h"

#include <QKeyEvent>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QWheelEvent>

#include "converter/commands.h"
#include "converter/entry/value_entry_panel.h"
#include "converter/list/format_menu.h"
#include "converter/list/formats_dialog.h"
#include "document/document.h"
#include "uikit/button_focus.h"
#include "uikit/clipboard.h"
#include "uikit/colours.h"
#include "uikit/command_event.h"
#include "uikit/display_scale.h"
#include "uikit/message_box.h"
#include "uikit/scheme_colours.h"
#include "uikit/themed_bitmap.h"
#include "uikit/ui_font.h"

namespace pq::conv {

UnitListView::UnitListView(QWidget* parent, ValueEntryPanel* panel,
                           const ui::ThemedBitmap* background)
    : ui::WindowObject(parent), panel_(panel), background_(background),
      boldFont_(ui::CreateUiFont(14, true)), normalFont_(ui::CreateUiFont(14, false)) {
    setObjectName(QStringLiteral("unitList"));
    setAccessibleName(QStringLiteral("Units"));
    setFocusPolicy(Qt::StrongFocus);
    scrollBar_ = new QScrollBar(Qt::Vertical, this);
    scrollBar_->setObjectName(QStringLiteral("listScrollBar"));
    scrollBar_->setFocusPolicy(Qt::NoFocus);
    connect(scrollBar_, &QScrollBar::valueChanged, this, [this](int value) { scrollTo(value); });
    enableTapAndHold();
    layoutRows();
}

UnitListView::~UnitListView() = default;

void UnitListView::load(Document* document) {
    rows_.clear();
    pressedButton_ = nullptr;
    selected_ = -1;
    firstVisible_ = 0;
    document_ = document;
    const bool wasShown = panel_ && panel_->isShown();
    if (panel_) panel_->attach(nullptr);
    if (document) {
        document->currentItem = nullptr;
        for (const auto& item : document->items)
            if (item->shown)
                rows_.push_back(std::make_unique<UnitRow>(*item, this, normalFont_, boldFont_,
                                                          static_cast<int>(rows_.size())));
    }
    layoutRows();
    update();
    if (wasShown && panel_ && !panel_->isShown()) attachPanel();
    if (!rows_.empty()) {
        select(0);
    } else if (onSelection_) {
        onSelection_();
    }
}

void UnitListView::layoutRows() {
    const int s = ui::DisplayScale();
    const int height = this->height();
    const int barWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent) * s;
    scrollBar_->setGeometry(this->width() - barWidth, 0, barWidth, height);
    rowHeight_ = (height >= 76 * s && !compact_) ? 38 * s : 21 * s;
    width_ = std::max(0, this->width() - barWidth);
    pageRows_ = std::max(1, height / rowHeight_);
    if (firstVisible_ + pageRows_ > rowCount()) firstVisible_ = rowCount() - pageRows_;
    firstVisible_ = std::max(0, firstVisible_);
    placeRows();
    updateScrollBar();
}

// Only the rows in view (the last one perhaps in part) are placed: a file of
// many thousand units scrolls as fast as a short one. A row is placed again
// whenever it comes into view.
void UnitListView::placeRows() {
    const int last = std::min(rowCount() - 1, firstVisible_ + pageRows_);
    for (int i = firstVisible_; i <= last; ++i)
        row(i).layout(QRect(0, (i - firstVisible_) * rowHeight_, width_, rowHeight_));
}

void UnitListView::updateScrollBar() {
    const QSignalBlocker block(scrollBar_);
    const int maximum = std::max(0, rowCount() - pageRows_);
    scrollBar_->setRange(0, maximum);
    scrollBar_->setPageStep(pageRows_);
    scrollBar_->setSingleStep(1);
    scrollBar_->setValue(firstVisible_);
    scrollBar_->setEnabled(maximum > 0);
}

void UnitListView::scrollTo(int position) {
    position = std::max(0, std::min(position, rowCount() - pageRows_));
    if (position == firstVisible_) return;
    firstVisible_ = position;
    placeRows();
    updateScrollBar();
    update();
}

void UnitListView::repaintRow(int index) {
    if (index >= 0 && index < rowCount()) update(row(index).rect());
}

void UnitListView::select(int index) {
    if (index == selected_) return;
    if (selected_ >= 0 && selected_ < rowCount()) {
        row(selected_).setSelected(false);
        row(selected_).refreshValue();
        repaintRow(selected_);
    }
    if (index >= 0 && index < rowCount()) {
        selected_ = index;
        row(index).setSelected(true);
        row(index).refreshValue();
        repaintRow(index);
    } else {
        selected_ = -1;
    }
    if (selected_ >= 0) {
        if (selected_ < firstVisible_)
            scrollTo(selected_);
        else if (selected_ >= firstVisible_ + pageRows_)
            scrollTo(selected_ - pageRows_ + 1);
    }
    if (document_) document_->currentItem = selected_ >= 0 ? &row(selected_).item() : nullptr;
    attachPanel();
    if (onSelection_) onSelection_();
}

void UnitListView::attachPanel() {
    if (!panel_) return;
    const bool wasShown = panel_->isShown();
    panel_->attach(selected_ >= 0 ? &row(selected_).item() : nullptr);
    const bool shown = panel_->isShown();
    if (shown == wasShown) return;
    QRect area = geometry();
    area.setBottom(shown ? panel_->geometry().top() - 1 : panel_->geometry().bottom());
    setGeometry(area);
    if (!shown) update();
}

void UnitListView::recompute(ExpressionEngine& engine) {
    if (!document_) return;
    document_->computeAll(engine);
    refreshValues();
}

void UnitListView::refreshValues() {
    for (auto& r : rows_) r->refreshValue();
    update();
}

void UnitListView::refreshLayouts() {
    placeRows();
    refreshValues();
}

void UnitListView::copyValue() {
    if (selected_ < 0) return;
    // The row's number without grouping, with every digit the row rounds
    // away; an empty row copies its empty text.
    const Item& item = row(selected_).item();
    const QString text = item.state == ValueState::Valid
                             ? QString::fromStdU16String(item.format.copyText(item.value))
                             : row(selected_).valueLabel().text();
    if (!ui::CopyTextToClipboard(text))
        ui::ShowMessage(this, ui::MessageIcon::Error, QStringLiteral("Copy"),
                        QStringLiteral("The value could not be put on the clipboard. Try "
                                       "again; if it fails again, another program may be "
                                       "holding the clipboard."));
}

void UnitListView::setCompact(bool compact) {
    compact_ = compact;
    layoutRows();
    update();
}

bool UnitListView::key(int key) {
    int step = 0;
    switch (key) {
    case Qt::Key_PageUp: step = -pageRows_; break;
    case Qt::Key_PageDown: step = pageRows_; break;
    case Qt::Key_Up: step = -1; break;
    case Qt::Key_Down: step = 1; break;
    default: return false;
    }
    // The selection wraps around at both ends.
    const int n = rowCount();
    if (n > 0) select(((selected_ + step) % n + n) % n);
    return true;
}

void UnitListView::wheel(int delta) { scrollTo(firstVisible_ - delta / 120); }

int UnitListView::rowAt(QPoint point) const {
    if (!rect().contains(point) || point.x() >= width_ || rowHeight_ <= 0) return -1;
    const int index = firstVisible_ + point.y() / rowHeight_;
    return index < rowCount() ? index : -1;
}

void UnitListView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect area = event->rect();
    ui::PaintAlignedBackground(painter, *this, area, background_);
    const QColor tint = ui::SchemeTint(140);
    const QColor ink = ui::Colours().ink;
    const QColor ground = background_ && !background_->isNull()
                              ? background_->leastContrastWith(ink)
                              : ui::Colours().paper;
    const int last = std::min(rowCount() - 1, firstVisible_ + pageRows_);
    for (int i = firstVisible_; i <= last; ++i) {
        const UnitRow& r = row(i);
        if (!r.rect().intersects(area)) continue;
        if (r.selected())
            painter.fillRect(r.rect(), tint);
        else
            painter.fillRect(QRect(r.rect().left(), r.rect().bottom(), r.rect().width(), 1), tint);
        r.draw(painter, r.selected() ? tint : ground);
        // The keyboard's place: a frame around the selected row.
        if (r.selected() && hasFocus()) ui::DrawFocusFrame(painter, r.rect());
    }
}

void UnitListView::focusInEvent(QFocusEvent* event) {
    repaintRow(selected_);
    ui::WindowObject::focusInEvent(event);
}

void UnitListView::focusOutEvent(QFocusEvent* event) {
    repaintRow(selected_);
    ui::WindowObject::focusOutEvent(event);
}

void UnitListView::resizeEvent(QResizeEvent*) { layoutRows(); }

void UnitListView::wheelEvent(QWheelEvent* event) {
    wheel(event->angleDelta().y());
    event->accept();
}

void UnitListView::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::NoModifier && key(event->key())) return event->accept();
    ui::WindowObject::keyPressEvent(event);
}

void UnitListView::penDown(QPoint point) {
    if (pressedButton_) {
        if (pressedButton_->press(point)) return;
        pressedButton_ = nullptr;
    }
    const int end = std::min(rowCount(), firstVisible_ + pageRows_);
    for (int i = firstVisible_; i < end; ++i) {
        ui::PushButton& button = row(i).formatButton();
        if (button.contains(point) && button.press(point)) {
            pressedButton_ = &button;
            return;
        }
    }
    const int index = rowAt(point);
    if (index >= 0) select(index);
}

void UnitListView::penMove(QPoint point) {
    if (pressedButton_ && !pressedButton_->move(point)) pressedButton_ = nullptr;
}

void UnitListView::penUp(QPoint point) {
    if (pressedButton_ && !pressedButton_->release(point)) pressedButton_ = nullptr;
}

void UnitListView::tapAndHold(QPoint point) {
    const int index = rowAt(point);
    if (index < 0) return;
    select(index);
    QMenu* menu = row(index).createContextMenu(this, commandTarget_, index, changeProblem_);
    menu->popup(mapToGlobal(point));
}

void UnitListView::keyboardMenu() {
    if (selected_ < 0) return;
    if (selected_ < firstVisible_ || selected_ >= firstVisible_ + pageRows_) scrollTo(selected_);
    const QRect rect = row(selected_).rect();
    QMenu* menu = row(selected_).createContextMenu(this, commandTarget_, selected_);
    menu->popup(mapToGlobal(QPoint(rect.left() + rect.width() / 4, rect.bottom())));
}

void UnitListView::command(const ui::CommandEvent& command) {
    if (command.id() == kCmdFormatButton)
        showFormatMenu(command.parameter());
    else
        formatChosen(command.parameter(), command.id());
}

void UnitListView::showFormatMenu(int index) {
    if (index < 0 || index >= rowCount()) return;
    const ui::PictureButton& button = row(index).formatButton();
    QMenu* menu = CreateFormatMenu(this, row(index).item().format, this, index, changeProblem_);
    menu->popup(mapToGlobal(QPoint(button.rect().left(), button.rect().bottom() + 1)));
}

void UnitListView::formatChosen(int index, unsigned command) {
    if (index < 0 || index >= rowCount() || !changeProblem_.isEmpty()) return;
    UnitRow& r = row(index);
    NumberFormat& format = r.item().format;
    if (command == kCmdFormatCustomize) {
        FormatsDialog dialog(window(), format);
        if (dialog.exec() != QDialog::Accepted) return;
        r.refreshValue();
        repaintRow(index);
        if (index == selected_ && panel_) panel_->attach(&r.item());
        postChange(kCmdFormatsCustomized, r.item());
        return;
    }
    const int32_t code = FormatForCommand(command);
    if (code == 0 || !format.allows(code) || format.displayFormat == code) return;
    format.displayFormat = code;
    r.refreshValue();
    repaintRow(index);
    postChange(kCmdFormatChosen, r.item());
}

void UnitListView::postChange(unsigned command, const Item& item) {
    const std::optional<size_t> position = document_ ? document_->indexOf(&item) : std::nullopt;
    if (commandTarget_ && position)
        ui::PostCommand(commandTarget_, command, static_cast<int>(*position));
}

} // namespace pq::conv
