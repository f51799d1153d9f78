#include "converter/dialogs/show_hide_dialog.h"

#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include "converter/dialogs/dialog_texts.h"
#include "document/document.h"

namespace pq::conv {

namespace {

constexpr ui::MenuBarItem kOkCancelBar[] = {{"  OK   ", ui::kOkCommand},
                                            {" Cancel ", ui::kCancelCommand}};
constexpr int kPositionRole = Qt::UserRole;

class Line : public QListWidgetItem {
  public:
    Line(const QString& name, size_t position, bool shown) : QListWidgetItem(name) {
        setData(kPositionRole, static_cast<qulonglong>(position));
        setFlags(flags() | Qt::ItemIsUserCheckable);
        setCheckState(shown ? Qt::Checked : Qt::Unchecked);
    }
    bool operator<(const QListWidgetItem& other) const override {
        const int folded = text().compare(other.text(), Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : text() < other.text();
    }
};

} // namespace

ShowHideDialog::ShowHideDialog(QWidget* parent, Document& document)
    : ui::FullScreenDialog(parent,
                           document.typeCode() == CalculationDocument::kTypeCode
                               ? QStringLiteral("Show or Hide Items")
                               : QStringLiteral("Show or Hide Units"),
                           kOkCancelBar),
      document_(document) {
    auto* hint = new QLabel(QStringLiteral("The list shows what is checked. Space checks or "
                                           "unchecks the selected line."),
                            this);
    hint->setWordWrap(true);
    body()->addWidget(hint);
    list_ = new QListWidget(this);
    list_->setAccessibleName(QStringLiteral("Shown"));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSortingEnabled(true);
    for (size_t i = 0; i < document.items.size(); ++i) {
        const Item& item = *document.items[i];
        list_->addItem(new Line(ToQString(item.name.view()), i, item.shown != 0));
    }
    body()->addWidget(list_, 1);
    list_->setCurrentRow(0); // Space checks at once
    list_->setFocus();
}

void ShowHideDialog::accept() {
    for (int row = 0; row < list_->count(); ++row) {
        const QListWidgetItem* line = list_->item(row);
        const auto position = line->data(kPositionRole).toULongLong();
        if (position < document_.items.size())
            document_.items[position]->shown = line->checkState() == Qt::Checked ? 1 : 0;
    }
    ui::FullScreenDialog::accept();
}

} // namespace pq::conv
