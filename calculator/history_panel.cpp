#include "calculator/history_panel.h"

#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTextLayout>
#include <QVBoxLayout>

#include "calculator/number_text.h"
#include "engine/number_parse.h"
#include "uikit/colours.h"
#include "uikit/display_scale.h"
#include "uikit/message_box.h"

namespace pq::calc {

namespace {

constexpr int kFormula = Qt::UserRole;         // the formula as typed
constexpr int kResult = Qt::UserRole + 1;      // the exact result
constexpr int kShownResult = Qt::UserRole + 2; // the result as the display writes it

// Room around an entry's text.
int margin() { return ui::Scaled(3); }

// A result as the display writes it in decimal: 10 digits, grouped.
QString shownResult(const QString& exact) {
    double value = 0;
    if (!parseNumber(exact.toStdU16String(), value)) return exact;
    return QString::fromStdU16String(groupDigits(decimalOutput(value, 10), Base::Dec));
}

// The lines a text breaks into in a width, between words where it can and
// anywhere where it must.
QStringList wrap(const QString& text, const QFont& font, int width) {
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        lines << text.mid(line.textStart(), line.textLength());
    }
    layout.endLayout();
    return lines;
}

// Draws the entries as their layout says.
class EntryDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    static int textWidth(const QStyleOptionViewItem& option) {
        const auto* view = qobject_cast<const QListWidget*>(option.widget);
        const int width = view ? view->viewport()->width() : option.rect.width();
        return std::max(1, width - 2 * margin());
    }

    static HistoryEntryLayout entryLayout(const QStyleOptionViewItem& option,
                                          const QModelIndex& index) {
        return HistoryEntryLayout::make(index.data(kFormula).toString(),
                                        index.data(kShownResult).toString(), option.font,
                                        textWidth(option));
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QSize(textWidth(option), entryLayout(option, index).height);
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& given,
               const QModelIndex& index) const override {
        QStyleOptionViewItem option = given;
        initStyleOption(&option, index);
        option.text.clear();
        const QWidget* widget = option.widget;
        QStyle* style = widget ? widget->style() : nullptr;
        if (style) style->drawControl(QStyle::CE_ItemViewItem, &option, painter, widget);
        const bool selected = option.state & QStyle::State_Selected;
        const QColor ink =
            option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
        const HistoryEntryLayout entry = entryLayout(option, index);
        const QFontMetrics metrics(option.font);
        painter->save();
        painter->setPen(ink);
        painter->setFont(option.font);
        const int left = option.rect.left() + margin();
        int top = option.rect.top() + margin();
        for (const QString& line : entry.formulaLines) {
            painter->drawText(QRect(left, top, textWidth(option), metrics.height()),
                              Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, line);
            top += metrics.lineSpacing();
        }
        QFont bold = option.font;
        bold.setBold(true);
        painter->setFont(bold);
        painter->drawText(entry.resultRect.translated(option.rect.topLeft()),
                          Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, entry.resultLine);
        painter->restore();
    }
};

// A clock face drawn on a 16-unit grid.
QPixmap clockFace(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 16.0, size / 16.0);
    painter.setPen(QPen(ui::ThemeColour(), 1.5));
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRectF(1.75, 1.75, 12.5, 12.5));
    painter.setPen(QPen(Qt::black, 1.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(8, 8), QPointF(8, 4));
    painter.drawLine(QPointF(8, 8), QPointF(11, 9.5));
    return pixmap;
}

bool isTyping(const QKeyEvent* key) {
    return !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) &&
           key->text().size() == 1 && key->text().front().isPrint();
}

} // namespace

HistoryEntryLayout HistoryEntryLayout::make(const QString& formula, const QString& result,
                                            const QFont& font, int width) {
    HistoryEntryLayout entry;
    const QString oneLine = QString(formula).replace(u'\n', u' ');
    entry.formulaLines = wrap(oneLine, font, width);
    // A very long formula keeps its start and end.
    const QFontMetrics metrics(font);
    for (int room = width * kMaxLines; entry.formulaLines.size() > kMaxLines && room > 0;
         room -= metrics.averageCharWidth()) {
        entry.shortened = true;
        entry.formulaLines = wrap(metrics.elidedText(oneLine, Qt::ElideMiddle, room), font, width);
    }
    QFont bold = font;
    bold.setBold(true);
    const QFontMetrics boldMetrics(bold);
    const QString whole = QStringLiteral("= ") + result;
    entry.resultLine = boldMetrics.elidedText(whole, Qt::ElideMiddle, width);
    entry.shortened = entry.shortened || entry.resultLine != whole;
    const int lines = static_cast<int>(entry.formulaLines.size());
    const int top = margin() + lines * metrics.lineSpacing();
    entry.resultRect = QRect(margin(), top, width, boldMetrics.height());
    entry.height = top + boldMetrics.lineSpacing() + margin();
    return entry;
}

QIcon HistoryIcon() {
    QIcon icon;
    icon.addPixmap(clockFace(16));
    icon.addPixmap(clockFace(32));
    return icon;
}

HistoryPanel::HistoryPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("historyPanel"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);

    search_ = new QLineEdit(this);
    search_->setObjectName(QStringLiteral("historySearch"));
    search_->setPlaceholderText(QStringLiteral("Search (Ctrl+H)"));
    search_->setAccessibleName(QStringLiteral("Search the history"));
    search_->setClearButtonEnabled(true);
    search_->installEventFilter(this);
    connect(search_, &QLineEdit::textChanged, this, [this] { filter(); });
    layout->addWidget(search_);

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("historyList"));
    list_->setAccessibleName(QStringLiteral("History"));
    list_->setItemDelegate(new EntryDelegate(list_));
    list_->setUniformItemSizes(false);
    list_->setResizeMode(QListView::Adjust);
    list_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setToolTip(QStringLiteral("Click a formula to use it again, a result to insert it"));
    list_->installEventFilter(this);
    list_->viewport()->installEventFilter(this);
    layout->addWidget(list_, 1);

    clear_ = new QPushButton(QStringLiteral("Clear History..."), this);
    clear_->setObjectName(QStringLiteral("clearHistory"));
    clear_->setAutoDefault(false);
    connect(clear_, &QPushButton::clicked, this, [this] { askToClear(); });
    layout->addWidget(clear_);
    setEntries({});
}

void HistoryPanel::setEntries(const QList<HistoryEntry>& entries) {
    list_->clear();
    for (qsizetype k = entries.size(); k-- > 0;) {
        const HistoryEntry& entry = entries[k];
        auto* item = new QListWidgetItem;
        const QString shown = shownResult(entry.result);
        item->setData(kFormula, entry.formula);
        item->setData(kResult, entry.result);
        item->setData(kShownResult, shown);
        item->setData(Qt::AccessibleTextRole, entry.formula + QStringLiteral(" = ") + shown);
        item->setToolTip(entry.formula + QStringLiteral("\n= ") + entry.result);
        list_->addItem(item);
    }
    clear_->setEnabled(!entries.isEmpty());
    filter();
}

QString HistoryPanel::formulaOf(const QListWidgetItem* item) {
    return item ? item->data(kFormula).toString() : QString();
}

QString HistoryPanel::resultOf(const QListWidgetItem* item) {
    return item ? item->data(kResult).toString() : QString();
}

QString HistoryPanel::shownResultOf(const QListWidgetItem* item) {
    return item ? item->data(kShownResult).toString() : QString();
}

HistoryEntryLayout HistoryPanel::layoutOf(const QListWidgetItem* item) const {
    return HistoryEntryLayout::make(formulaOf(item), shownResultOf(item), list_->font(),
                                    std::max(1, list_->viewport()->width() - 2 * margin()));
}

QList<QListWidgetItem*> HistoryPanel::shownItems() const {
    QList<QListWidgetItem*> shown;
    for (int k = 0; k < list_->count(); ++k)
        if (!list_->item(k)->isHidden()) shown.append(list_->item(k));
    return shown;
}

void HistoryPanel::filter() {
    const QString wanted = search_->text().trimmed();
    for (int k = 0; k < list_->count(); ++k) {
        QListWidgetItem* item = list_->item(k);
        const bool match = wanted.isEmpty() ||
                           formulaOf(item).contains(wanted, Qt::CaseInsensitive) ||
                           shownResultOf(item).contains(wanted, Qt::CaseInsensitive) ||
                           resultOf(item).contains(wanted);
        item->setHidden(!match);
    }
}

void HistoryPanel::reuse(QListWidgetItem* item) {
    if (item && onReuse) onReuse(formulaOf(item));
}

void HistoryPanel::insert(QListWidgetItem* item) {
    if (item && onInsert) onInsert(resultOf(item));
}

void HistoryPanel::showMenu(QListWidgetItem* item, QPoint globalPos) {
    if (!item) return;
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(QStringLiteral("Use the &Formula"), this, [this, item] { reuse(item); });
    menu->addAction(QStringLiteral("Insert the &Result"), this, [this, item] { insert(item); });
    menu->popup(globalPos);
}

void HistoryPanel::askToClear() {
    if (ui::AskYesNo(this, QStringLiteral("Clear History"),
                     QStringLiteral("Clear the whole history? Its formulas and results are "
                                    "removed for good.")) &&
        onClear)
        onClear();
}

QSize HistoryPanel::sizeHint() const { return QSize(ui::Scaled(190), ui::Scaled(160)); }

bool HistoryPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_->viewport() && event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint point = mouse->position().toPoint();
        QListWidgetItem* item = list_->itemAt(point);
        if (!item || mouse->button() != Qt::LeftButton) return false;
        const QRect rect = list_->visualItemRect(item);
        if (layoutOf(item).resultRect.translated(rect.topLeft()).contains(point))
            insert(item);
        else
            reuse(item);
        return false;
    }
    if (event->type() == QEvent::ContextMenu &&
        (watched == list_ || watched == list_->viewport())) {
        auto* menu = static_cast<QContextMenuEvent*>(event);
        QListWidgetItem* item = menu->reason() == QContextMenuEvent::Keyboard
                                    ? list_->currentItem()
                                    : list_->itemAt(menu->pos());
        const QPoint at = menu->reason() == QContextMenuEvent::Keyboard && item
                              ? list_->viewport()->mapToGlobal(list_->visualItemRect(item).center())
                              : menu->globalPos();
        showMenu(item, at);
        return true;
    }
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (watched == search_) {
        const QList<QListWidgetItem*> shown = shownItems();
        if ((key->key() == Qt::Key_Down || enter) && !shown.isEmpty()) {
            if (enter) {
                reuse(shown.front());
            } else {
                list_->setFocus();
                list_->setCurrentItem(shown.front());
            }
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            if (onLeave) onLeave();
            return true;
        }
        return false;
    }
    if (watched != list_) return false;
    if (enter) {
        if (key->modifiers() & Qt::ShiftModifier)
            insert(list_->currentItem());
        else
            reuse(list_->currentItem());
        return true;
    }
    if (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier) {
        QContextMenuEvent request(QContextMenuEvent::Keyboard, QPoint(), QPoint());
        return eventFilter(list_, &request);
    }
    if (key->key() == Qt::Key_Escape) {
        if (onLeave) onLeave();
        return true;
    }
    if (key->key() == Qt::Key_Backspace || isTyping(key)) {
        // Typing in the list searches.
        search_->setFocus();
        if (key->key() == Qt::Key_Backspace)
            search_->backspace();
        else
            search_->insert(key->text());
        return true;
    }
    return false;
}

} // namespace pq::calc
