#include "converter/dialogs/open_file_dialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "converter/dialogs/dialog_texts.h"
#include "document/catalogue.h"
#include "uikit/display_scale.h"
#include "uikit/html_viewer.h"
#include "uikit/message_box.h"

namespace pq::conv {

namespace {

constexpr ui::MenuBarItem kOkCancelBar[] = {{"  OK   ", ui::kOkCommand},
                                            {" Cancel ", ui::kCancelCommand}};
constexpr int kLineRole = Qt::UserRole;

// Lines sorted ascending by their title, without regard to case.
class Line : public QTreeWidgetItem {
  public:
    Line(const QString& title, const QString& count, int tag) : QTreeWidgetItem({title, count}) {
        setData(0, kLineRole, tag);
        setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    }
    bool operator<(const QTreeWidgetItem& other) const override {
        const int folded = text(0).compare(other.text(0), Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : text(0) < other.text(0);
    }
};

} // namespace

OpenFileDialog::OpenFileDialog(QWidget* parent, Catalogue& catalogue, TextReferenceList& references)
    : ui::FullScreenDialog(parent, QStringLiteral("Open File"), kOkCancelBar),
      catalogue_(catalogue), references_(references) {
    auto* form = new QFormLayout;
    categories_ = new QComboBox(this);
    categories_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    categories_->setMinimumContentsLength(10);
    form->addRow(QStringLiteral("Category:"), categories_);
    body()->addLayout(form);

    files_ = new QTreeWidget(this);
    files_->setColumnCount(2);
    files_->setHeaderHidden(true);
    files_->setRootIsDecorated(false);
    files_->setSelectionMode(QAbstractItemView::SingleSelection);
    files_->setSelectionBehavior(QAbstractItemView::SelectRows);
    files_->setAllColumnsShowFocus(true);
    files_->setSortingEnabled(true);
    files_->sortByColumn(0, Qt::AscendingOrder);
    files_->header()->setStretchLastSection(false);
    files_->setColumnWidth(0, ui::Scaled(140));
    files_->setColumnWidth(1, ui::Scaled(76));
    body()->addWidget(files_, 1);

    // "- All -", each category once in catalogue order (the first spelling
    // of those that differ only in case), then the text references.
    categories_->addItem(QStringLiteral("- All -"), int(kAll));
    catalogue.scanFolder();
    const QString first =
        catalogue.size() > 0 ? ToQString(catalogue.at(0).category.view()) : QString();
    for (size_t i = 0; i < catalogue.size(); ++i) {
        const QString category = ToQString(catalogue.at(i).category.view());
        if (category.isEmpty()) continue;
        bool listed = false;
        for (int row = 1; row < categories_->count() && !listed; ++row)
            listed = categories_->itemText(row).compare(category, Qt::CaseInsensitive) == 0;
        if (listed) continue;
        categories_->addItem(category, int(kCategory));
        if (i == 0) categories_->setCurrentIndex(categories_->count() - 1);
    }
    categories_->addItem(QStringLiteral("- Other Text References -"), int(kTextReferences));
    fillFiles(first);

    connect(categories_, &QComboBox::activated, this, [this] { categoryChosen(); });
    connect(files_, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (!files_->selectedItems().isEmpty()) accept();
    });
}

void OpenFileDialog::categoryChosen() {
    switch (categories_->currentData().toInt()) {
    case kAll: fillFiles({}); break;
    case kTextReferences: fillTextReferences(); break;
    default: fillFiles(categories_->currentText()); break;
    }
}

// Only files whose category is the filter, exactly; no filter: every file.
void OpenFileDialog::fillFiles(const QString& filter) {
    files_->clear();
    for (size_t i = 0; i < catalogue_.size(); ++i) {
        Document& document = catalogue_.at(i);
        if (!filter.isEmpty() && ToQString(document.category.view()) != filter) continue;
        files_->addTopLevelItem(new Line(ToQString(document.title.view()),
                                         ToQString(document.itemCountText()), static_cast<int>(i)));
    }
}

void OpenFileDialog::fillTextReferences() {
    files_->clear();
    if (references_.size() == 0) references_.scan(catalogue_.folder());
    for (size_t i = 0; i < references_.size(); ++i)
        files_->addTopLevelItem(
            new Line(ToQString(references_.name(i)), QString(), -1 - static_cast<int>(i)));
}

void OpenFileDialog::showTextReference(size_t index) {
    std::u16string text;
    if (!references_.readText(index, text)) return;
    viewer_ = new ui::HtmlViewer(this, ToQString(references_.name(index)), ToQString(text),
                                 QString::fromStdString(catalogue_.folder()));
    viewer_->setAttribute(Qt::WA_DeleteOnClose);
    viewer_->open();
}

void OpenFileDialog::accept() {
    const QList<QTreeWidgetItem*> chosen = files_->selectedItems();
    if (chosen.isEmpty()) {
        ui::ShowMessage(this, ui::MessageIcon::Error, QStringLiteral("Open File"),
                        QStringLiteral("Choose a file in the list first."));
        return;
    }
    const int tag = chosen.front()->data(0, kLineRole).toInt();
    if (tag < 0) {
        showTextReference(static_cast<size_t>(-1 - tag));
        return;
    }
    if (static_cast<size_t>(tag) >= catalogue_.size()) return;
    chosen_ = tag;
    ui::FullScreenDialog::accept();
}

// The title column takes two thirds of the list less 14·s, the count column
// one third.
void OpenFileDialog::resizeEvent(QResizeEvent* event) {
    ui::FullScreenDialog::resizeEvent(event);
    const int width = files_->width();
    files_->setColumnWidth(0, 2 * width / 3 - ui::Scaled(14));
    files_->setColumnWidth(1, width / 3);
}

} // namespace pq::conv
