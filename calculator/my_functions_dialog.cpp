#include "calculator/my_functions_dialog.h"

#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "calculator/macro_editor_dialog.h"
#include "engine/expression_engine.h"
#include "uikit/command_event.h"

namespace pq::calc {

namespace {

constexpr ui::MenuBarItem kFunctionsBar[] = {{" Add ", MyFunctionsDialog::kCmdAdd},
                                             {" Edit ", MyFunctionsDialog::kCmdEdit},
                                             {" Delete ", MyFunctionsDialog::kCmdDelete},
                                             {" Done ", ui::kOkCommand}};

} // namespace

MyFunctionsDialog::MyFunctionsDialog(QWidget* parent, ExpressionEngine& engine,
                                     UserFunctionList& functions)
    : ui::FullScreenDialog(parent, QStringLiteral("My Functions"), kFunctionsBar), engine_(engine),
      functions_(functions) {
    setWindowTitle(QStringLiteral("My Functions"));
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("functions"));
    list_->setAccessibleName(QStringLiteral("My functions"));
    list_->setSortingEnabled(true);
    body()->addWidget(list_, 1);
    connect(list_, &QListWidget::itemSelectionChanged, this, [this] { updateButtons(); });
    connect(list_, &QListWidget::itemActivated, this, [this] { edit(); });
    fill();
    updateButtons();
}

QPushButton* MyFunctionsDialog::barButton(const QString& text) const {
    for (QPushButton* button : findChildren<QPushButton*>())
        if (button->text() == text) return button;
    return nullptr;
}

void MyFunctionsDialog::fill() {
    list_->clear();
    for (size_t i = 0; i < functions_.size(); ++i) {
        auto* item = new QListWidgetItem(QString::fromStdU16String(functions_[i].name));
        item->setData(Qt::UserRole, static_cast<int>(i));
        list_->addItem(item);
    }
}

void MyFunctionsDialog::updateButtons() {
    const bool selected = selectedIndex() >= 0;
    if (QPushButton* button = barButton(QStringLiteral(" Edit "))) button->setEnabled(selected);
    if (QPushButton* button = barButton(QStringLiteral(" Delete "))) button->setEnabled(selected);
}

int MyFunctionsDialog::selectedIndex() const {
    const auto items = list_->selectedItems();
    if (items.isEmpty()) return -1;
    const int index = items.front()->data(Qt::UserRole).toInt();
    return index >= 0 && static_cast<size_t>(index) < functions_.size() ? index : -1;
}

void MyFunctionsDialog::selectIndex(int index) {
    for (int row = 0; row < list_->count(); ++row) {
        QListWidgetItem* item = list_->item(row);
        if (item->data(Qt::UserRole).toInt() == index) {
            list_->setCurrentItem(item);
            item->setSelected(true);
            return;
        }
    }
}

void MyFunctionsDialog::command(const ui::CommandEvent& command) {
    if (editor_) return;
    switch (command.id()) {
    case kCmdAdd: add(); break;
    case kCmdEdit: edit(); break;
    case kCmdDelete: remove(); break;
    default: break;
    }
}

void MyFunctionsDialog::add() {
    UserFunction fresh;
    fresh.declaration = u"MyFunction(x)";
    fresh.formula = u"x * 2";
    fresh.name = u"My Category\\My Function Name";
    fresh.isNew = true;
    editor_ = new MacroEditorDialog(this, engine_, fresh);
    editor_->setAttribute(Qt::WA_DeleteOnClose);
    connect(editor_, &QDialog::finished, this, [this](int result) {
        if (result == QDialog::Accepted) {
            UserFunction function = editor_->function();
            function.isNew = false;
            functions_.push_back(std::move(function));
            changed_ = true;
            fill();
            selectIndex(static_cast<int>(functions_.size()) - 1);
        }
        editor_ = nullptr;
    });
    editor_->open();
}

void MyFunctionsDialog::edit() {
    const int index = selectedIndex();
    if (index < 0 || editor_) return;
    editor_ = new MacroEditorDialog(this, engine_, functions_[static_cast<size_t>(index)]);
    editor_->setAttribute(Qt::WA_DeleteOnClose);
    connect(editor_, &QDialog::finished, this, [this, index](int result) {
        if (result == QDialog::Accepted && static_cast<size_t>(index) < functions_.size()) {
            functions_[static_cast<size_t>(index)] = editor_->function();
            changed_ = true;
            fill();
            selectIndex(index);
        }
        editor_ = nullptr;
    });
    editor_->open();
}

void MyFunctionsDialog::remove() {
    const int index = selectedIndex();
    if (index < 0) return;
    auto* box = new QMessageBox(
        QMessageBox::Question, QStringLiteral("Delete"),
        QStringLiteral("Delete the function %1? Formulas that call it fail from then on.")
            .arg(QString::fromStdU16String(functions_[static_cast<size_t>(index)].declaration)),
        QMessageBox::Yes | QMessageBox::No, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QMessageBox::finished, this, [this, box, index](int) {
        if (box->result() != QMessageBox::Yes &&
            box->standardButton(box->clickedButton()) != QMessageBox::Yes)
            return;
        if (static_cast<size_t>(index) >= functions_.size()) return;
        engine_.removeDefinition(functions_[static_cast<size_t>(index)].declaration);
        functions_.erase(functions_.begin() + index);
        changed_ = true;
        fill(); // every item refers to its own record again
        updateButtons();
    });
    box->open();
}

} // namespace pq::calc
