#include "converter/find/find_box.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include <algorithm>

#include "uikit/display_scale.h"
#include "uikit/scheme_colours.h"
#include "uikit/ui_font.h"

namespace pq::conv {

namespace {

enum Role { kDetailRole = Qt::UserRole + 1 };

// Each unit on two lines: its name, and below it smaller and paler its
// identifier and the title of its file.
class UnitDelegate : public QStyledItemDelegate {
  public:
    explicit UnitDelegate(QObject* parent)
        : QStyledItemDelegate(parent), nameFont_(ui::CreateUiFont(14, false)),
          detailFont_(ui::CreateUiFont(12, false)) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        const int height = QFontMetrics(nameFont_).height() + QFontMetrics(detailFont_).height();
        return {option.rect.width(), height + ui::Scaled(6)};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem background = option;
        initStyleOption(&background, index);
        background.text.clear();
        option.widget->style()->drawControl(QStyle::CE_ItemViewItem, &background, painter,
                                            option.widget);
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette& palette = option.palette;
        const QColor text = palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
        const QColor ground = palette.color(selected ? QPalette::Highlight : QPalette::Base);
        // The detail paler than the name, but still readable.
        const QColor pale = ui::Readable(
            QColor::fromRgbF(0.65f * text.redF() + 0.35f * ground.redF(),
                             0.65f * text.greenF() + 0.35f * ground.greenF(),
                             0.65f * text.blueF() + 0.35f * ground.blueF()),
            ground);
        const QRect area = option.rect.adjusted(ui::Scaled(4), ui::Scaled(3), -ui::Scaled(4), 0);
        const int nameHeight = QFontMetrics(nameFont_).height();
        painter->save();
        painter->setFont(nameFont_);
        painter->setPen(text);
        const QString name = index.data(Qt::DisplayRole).toString();
        painter->drawText(QRect(area.left(), area.top(), area.width(), nameHeight),
                          Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip,
                          QFontMetrics(nameFont_).elidedText(name, Qt::ElideRight, area.width()));
        painter->setFont(detailFont_);
        painter->setPen(pale);
        const QString detail = index.data(kDetailRole).toString();
        painter->drawText(
            QRect(area.left(), area.top() + nameHeight, area.width(),
                  QFontMetrics(detailFont_).height()),
            Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip,
            QFontMetrics(detailFont_).elidedText(detail, Qt::ElideRight, area.width()));
        painter->restore();
    }

  private:
    QFont nameFont_;
    QFont detailFont_;
};

QString detailOf(const UnitReference& unit) {
    QString detail = unit.identifier;
    if (!unit.fileTitle.isEmpty())
        detail += (detail.isEmpty() ? QString() : QStringLiteral("  \u00B7  ")) + unit.fileTitle;
    if (!unit.shown) detail += QStringLiteral("  (hidden)");
    return detail;
}

} // namespace

FindBox::FindBox(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("findBox"));
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);

    line_ = new QLineEdit(this);
    line_->setObjectName(QStringLiteral("findLine"));
    line_->setFont(ui::CreateUiFont(16, false));
    line_->setPlaceholderText(QStringLiteral("Find a unit in every file"));
    line_->setClearButtonEnabled(true);
    line_->setAccessibleName(QStringLiteral("Find unit"));
    line_->installEventFilter(this);

    note_ = new QLabel(this);
    note_->setObjectName(QStringLiteral("findNote"));
    note_->setFont(ui::CreateUiFont(12, false));
    note_->setForegroundRole(QPalette::PlaceholderText);

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("findResults"));
    list_->setAccessibleName(QStringLiteral("Matching units"));
    list_->setItemDelegate(new UnitDelegate(list_));
    list_->setFocusPolicy(Qt::NoFocus); // the keys stay in the line
    list_->setFrameShape(QFrame::NoFrame);
    list_->setUniformItemSizes(true);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);

    auto* layout = new QVBoxLayout(this);
    const int margin = ui::Scaled(3);
    layout->setContentsMargins(margin, margin, margin, margin);
    layout->setSpacing(ui::Scaled(2));
    layout->addWidget(line_);
    layout->addWidget(note_);
    layout->addWidget(list_, 1);

    connect(line_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (onText_) onText_(text);
    });
    connect(line_, &QLineEdit::returnPressed, this, [this] { choose(current()); });
    connect(list_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { choose(list_->row(item)); });
}

void FindBox::setUnits(const QList<UnitReference>& units, const QString& note,
                       const std::optional<AnswerLine>& answer) {
    units_ = units;
    answer_ = answer;
    note_->setText(note);
    note_->setVisible(!note.isEmpty());
    list_->clear();
    if (answer_) {
        auto* item = new QListWidgetItem(answer_->text);
        item->setData(kDetailRole, answer_->detail);
        item->setToolTip(answer_->text + QLatin1Char('\n') + answer_->detail);
        item->setData(Qt::AccessibleTextRole, answer_->text);
        list_->addItem(item);
    }
    for (const UnitReference& unit : units_) {
        auto* item = new QListWidgetItem(unit.name.isEmpty() ? unit.identifier : unit.name);
        item->setData(kDetailRole, detailOf(unit));
        item->setToolTip(unit.name + QLatin1Char('\n') + detailOf(unit));
        list_->addItem(item);
    }
    setCurrent(0);
}

int FindBox::current() const { return list_->currentRow(); }

void FindBox::setCurrent(int row) {
    if (row < 0 || row >= list_->count()) return;
    list_->setCurrentRow(row);
    list_->scrollToItem(list_->item(row));
}

int FindBox::currentUnit() const {
    const int unit = current() - (answer_ ? 1 : 0);
    return unit >= 0 && unit < units_.size() ? unit : -1;
}

void FindBox::setCurrentUnit(int unit) { setCurrent(unit + (answer_ ? 1 : 0)); }

void FindBox::choose(int row) {
    if (answer_ && row == 0) {
        hide();
        if (onAnswer_) onAnswer_();
        return;
    }
    const int index = row - (answer_ ? 1 : 0);
    if (index < 0 || index >= units_.size()) return;
    const UnitReference unit = units_[index];
    hide();
    if (onChosen_) onChosen_(unit);
}

void FindBox::dismiss() {
    hide();
    if (onClosed_) onClosed_();
}

void FindBox::move(int key) {
    const int count = list_->count();
    if (count == 0) return;
    const int page = std::max(1, list_->viewport()->height() /
                                     std::max(1, list_->sizeHintForRow(0)));
    int row = current();
    switch (key) {
    case Qt::Key_Up: row = row <= 0 ? count - 1 : row - 1; break;
    case Qt::Key_Down: row = row + 1 >= count ? 0 : row + 1; break;
    case Qt::Key_PageUp: row = std::max(0, row - page); break;
    default: row = std::min(count - 1, row + page); break;
    }
    setCurrent(row);
}

bool FindBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched != line_ || event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: move(key); return true;
    case Qt::Key_Escape: dismiss(); return true;
    default: return false;
    }
}

} // namespace pq::conv
