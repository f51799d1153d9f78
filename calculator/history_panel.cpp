#include "calculator/history_panel.h"

#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "calculator/number_text.h"
#include "engine/number_parse.h"
#include "uikit/colours.h"
#include "uikit/display_scale.h"
#include "uikit/message_box.h"

namespace pq::calc {

namespace {

constexpr int kText = Qt::UserRole; // the formula, or the exact result
constexpr int kFormulaColumn = 0;
constexpr int kResultColumn = 1;

// A result as the display writes it in decimal: 10 digits, grouped.
QString shownResult(const QString& exact) {
    double value = 0;
    if (!parseNumber(exact.toStdU16String(), value)) return exact;
    return QString::fromStdU16String(groupDigits(decimalOutput(value, 10), Base::Dec));
}

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
    search_->setPlaceholderText(QStringLiteral("Search"));
    search_->setAccessibleName(QStringLiteral("Search the history"));
    search_->setClearButtonEnabled(true);
    search_->installEventFilter(this);
    connect(search_, &QLineEdit::textChanged, this, [this] { filter(); });
    layout->addWidget(search_);

    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("historyList"));
    list_->setAccessibleName(QStringLiteral("History"));
    list_->setColumnCount(2);
    list_->setHeaderLabels({QStringLiteral("Formula"), QStringLiteral("Result")});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setSelectionBehavior(QAbstractItemView::SelectItems);
    list_->setToolTip(QStringLiteral("Click a formula to use it again, a result to insert it"));
    list_->header()->setStretchLastSection(false);
    list_->header()->setSectionResizeMode(kFormulaColumn, QHeaderView::Stretch);
    list_->header()->setSectionResizeMode(kResultColumn, QHeaderView::ResizeToContents);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setTextElideMode(Qt::ElideMiddle);
    list_->installEventFilter(this);
    connect(list_, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item, int column) { activate(item, column); });
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
    QList<QTreeWidgetItem*> items;
    items.reserve(entries.size());
    for (qsizetype k = entries.size(); k-- > 0;) {
        const HistoryEntry& entry = entries[k];
        auto* item = new QTreeWidgetItem;
        item->setText(kFormulaColumn, QString(entry.formula).replace(u'\n', u' '));
        item->setData(kFormulaColumn, kText, entry.formula);
        item->setText(kResultColumn, shownResult(entry.result));
        item->setTextAlignment(kResultColumn, Qt::AlignRight | Qt::AlignVCenter);
        item->setData(kResultColumn, kText, entry.result);
        const QString tip = entry.formula + QStringLiteral(" = ") + entry.result;
        item->setToolTip(kFormulaColumn, tip);
        item->setToolTip(kResultColumn, tip);
        items.append(item);
    }
    list_->addTopLevelItems(items);
    clear_->setEnabled(!entries.isEmpty());
    filter();
}

QList<QTreeWidgetItem*> HistoryPanel::shownItems() const {
    QList<QTreeWidgetItem*> shown;
    for (int k = 0; k < list_->topLevelItemCount(); ++k)
        if (!list_->topLevelItem(k)->isHidden()) shown.append(list_->topLevelItem(k));
    return shown;
}

void HistoryPanel::filter() {
    const QString wanted = search_->text().trimmed();
    for (int k = 0; k < list_->topLevelItemCount(); ++k) {
        QTreeWidgetItem* item = list_->topLevelItem(k);
        const bool match = wanted.isEmpty() ||
                           item->text(kFormulaColumn).contains(wanted, Qt::CaseInsensitive) ||
                           item->text(kResultColumn).contains(wanted, Qt::CaseInsensitive) ||
                           item->data(kResultColumn, kText).toString().contains(wanted);
        item->setHidden(!match);
    }
}

void HistoryPanel::activate(QTreeWidgetItem* item, int column) {
    if (!item) return;
    const QString text = item->data(column, kText).toString();
    if (column == kResultColumn) {
        if (onInsert) onInsert(text);
    } else if (onReuse) {
        onReuse(text);
    }
}

void HistoryPanel::askToClear() {
    if (ui::AskYesNo(this, QStringLiteral("Clear History"),
                     QStringLiteral("Do you want to clear the history?")) &&
        onClear)
        onClear();
}

QSize HistoryPanel::sizeHint() const { return QSize(ui::Scaled(190), ui::Scaled(160)); }

bool HistoryPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (watched == search_) {
        const QList<QTreeWidgetItem*> shown = shownItems();
        if ((key->key() == Qt::Key_Down || enter) && !shown.isEmpty()) {
            if (enter) {
                activate(shown.front(), kFormulaColumn);
            } else {
                list_->setFocus();
                list_->setCurrentItem(shown.front(), kFormulaColumn);
            }
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            if (!search_->text().isEmpty())
                search_->clear();
            else if (onLeave)
                onLeave();
            return true;
        }
        return false;
    }
    if (watched != list_) return false;
    if (enter) {
        activate(list_->currentItem(), list_->currentColumn());
        return true;
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
