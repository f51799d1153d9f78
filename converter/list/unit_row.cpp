#include "converter/list/unit_row.h"

#include <QFontMetrics>
#include <QMenu>
#include <QPainter>
#include <QWidget>

#include "converter/commands.h"
#include "converter/list/format_menu.h"
#include "document/item.h"
#include "engine/format_text.h"
#include "uikit/command_event.h"
#include "uikit/display_scale.h"
#include "uikit/resources.h"
#include "uikit/scheme_colours.h"
#include "uikit/ui_font.h"

namespace pq::conv {

void RowLabel::create(QWidget* window, const QFont& font, int flags) {
    window_ = window;
    font_ = font;
    flags_ = flags;
    text_.clear();
    measured_ = false;
}

void RowLabel::setText(const QString& text) {
    if (text == text_) return;
    text_ = text;
    changed();
}

void RowLabel::setBox(const QRect& box) {
    changed();
    box_ = box;
    changed();
}

// The text never leaves its box: repainting the box covers the old and the
// new text without measuring either.
void RowLabel::changed() {
    measured_ = false;
    if (window_ && !box_.isEmpty()) window_->update(box_);
}

const QRect& RowLabel::drawnRect() const {
    measure();
    return drawnRect_;
}

QString RowLabel::shownText() const {
    measure();
    return shownText_;
}

void RowLabel::measure() const {
    if (measured_) return;
    measured_ = true;
    const QRect measured = ui::MeasureText(font_, text_);
    const int content = text_.isEmpty() ? 0 : measured.width() + ui::Scaled(4);
    const int boxRight = box_.x() + box_.width();
    int left = box_.x();
    int right = left + content;
    if (flags_ & kRightAligned) {
        right = boxRight;
        left = right - content;
    }
    left = std::max(left, box_.x());
    right = std::min(right, boxRight);
    const int top = box_.y();
    const int bottom = std::min(top + measured.height(), box_.y() + box_.height());
    drawnRect_ = QRect(left, top, std::max(0, right - left), std::max(0, bottom - top));
    const int width = drawnRect_.width() - ui::Scaled(4);
    const QFontMetrics metrics(font_);
    shownText_ = text_;
    while (shownText_.size() > 1 && metrics.horizontalAdvance(shownText_) - 3 > width) {
        shownText_.chop(1);
        if (shownText_.size() > 1) shownText_.back() = QLatin1Char('~');
    }
}

QColor RowLabel::colour() const {
    return (flags_ & kComputed) ? ui::Colours().outputInk : ui::Colours().ink;
}

void RowLabel::draw(QPainter& painter, const QColor& ground) const {
    if (text_.isEmpty() || drawnRect().isEmpty()) return;
    const int s = ui::DisplayScale();
    const QRect area = drawnRect_.adjusted(2 * s, 0, -2 * s, 0);
    painter.setFont(font_);
    painter.setPen(ui::Readable(colour(), ground));
    const Qt::Alignment align =
        ((flags_ & kRightAligned) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop;
    painter.drawText(area, static_cast<int>(align | Qt::TextSingleLine), shownText_);
}

UnitRow::UnitRow(Item& item, QWidget* list, const QFont& nameFont, const QFont& valueFont,
                 int index)
    : item_(item) {
    const int ink = item.isOutput() ? RowLabel::kComputed : 0;
    nameLabel_.create(list, nameFont, ink);
    valueLabel_.create(list, valueFont, RowLabel::kRightAligned | ink);
    formatButton_.create(list, kCmdFormatButton, QString(), 0, 0, 0, 0, nameFont,
                         ui::kSunkenWhenPressed, index);
    refreshIcon();
    refreshValue();
}

int UnitRow::formatIconId(int32_t displayFormat) {
    switch (displayFormat) {
    case Decimal: return 158;
    case Currency: return 166;
    case Hex: return 159;
    case Octal: return 160;
    case Binary: return 161;
    case Date: return 156;
    case DateTime: return 157;
    case Compound: return 155;
    default: return 0;
    }
}

void UnitRow::layout(const QRect& r) {
    const int s = ui::DisplayScale();
    rect_ = r;
    const int l = r.x();
    const int t = r.y();
    const int w = r.width();
    if (r.height() != 21 * s) {
        formatButton_.place(l + 4 * s, t + 17 * s, 20 * s, 20 * s);
        nameLabel_.setBox(QRect(l + 4 * s, t + 2 * s, w - 12 * s, 16 * s));
        valueLabel_.setBox(QRect(l + 24 * s, t + 20 * s, w - 30 * s, 16 * s));
    } else {
        formatButton_.place(l + s, t + 1, 20 * s, 20 * s);
        nameLabel_.setBox(QRect(l + 21 * s, t + 3 * s, w - 180 * s, 16 * s));
        valueLabel_.setBox(QRect(l + w - 160 * s, t + 3 * s, 160 * s, 16 * s));
    }
    refreshName();
}

void UnitRow::refreshName() {
    const bool wide = nameLabel_.box().width() >= 121;
    const WString& shortLabel = item_.identifier.empty() ? item_.name : item_.identifier;
    nameLabel_.setText(
        QString::fromStdU16String(std::u16string(wide ? item_.name.view() : shortLabel.view())));
}

void UnitRow::refreshValue() {
    valueLabel_.setText(QString::fromStdU16String(item_.displayValue()));
    refreshIcon();
}

void UnitRow::refreshIcon() {
    const int id = formatIconId(item_.format.displayFormat);
    formatButton_.setIcon(id ? ui::LoadIcon(id) : QIcon());
}

void UnitRow::draw(QPainter& painter, const QColor& ground) const {
    nameLabel_.draw(painter, ground);
    valueLabel_.draw(painter, ground);
    formatButton_.draw(painter);
}

QMenu* UnitRow::createContextMenu(QWidget* parent, QObject* target, int index,
                                  const QString& problem) const {
    auto* menu = new QMenu(parent);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->setToolTipsVisible(true);
    auto add = [&](const QString& text, unsigned id) {
        QAction* action = menu->addAction(text);
        QObject::connect(action, &QAction::triggered, menu,
                         [target, id] { ui::PostCommand(target, id); });
        if (id != kCmdCopy && !problem.isEmpty()) {
            action->setEnabled(false);
            action->setToolTip(problem);
        }
    };
    if (!valueLabel_.text().isEmpty()) {
        add(QStringLiteral("&Copy Value"), kCmdCopy);
        menu->addSeparator();
    }
    add(QStringLiteral("&Edit"), kCmdEditUnit);
    add(QStringLiteral("&Remove from List"), kCmdRemoveFromList);
    // The format button's choices, for the keyboard.
    if (index >= 0) {
        menu->addSeparator();
        FillFormatMenu(menu->addMenu(QStringLiteral("&Format")), item_.format, parent, index,
                       problem);
    }
    return menu;
}

} // namespace pq::conv
