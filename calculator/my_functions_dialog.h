#pragma once

#include "calculator/user_functions.h"
#include "uikit/dialogs.h"

class QListWidget;
class QPushButton;

namespace pq {
class ExpressionEngine;
}

namespace pq::calc {

class MacroEditorDialog;

// "My Functions": the sorted list of the user functions' names with Add,
// Edit, Delete and Done. Changes reach the list and the engine at once;
// the caller saves the file when the dialog ends with Done (accepted).
class MyFunctionsDialog : public ui::FullScreenDialog {
  public:
    enum Command : unsigned { kCmdAdd = 1019, kCmdEdit = 1024, kCmdDelete = 1016 };

    MyFunctionsDialog(QWidget* parent, ExpressionEngine& engine, UserFunctionList& functions);

    QListWidget* list() const { return list_; }
    // The editor open over the dialog, if any.
    MacroEditorDialog* editor() const { return editor_; }
    // A list of functions was changed in the dialog.
    bool changed() const { return changed_; }

  protected:
    void command(const ui::CommandEvent& command) override;

  private:
    void fill();
    void updateButtons();
    void add();
    void edit();
    void remove();
    int selectedIndex() const;
    void selectIndex(int index);
    QPushButton* barButton(const QString& text) const;

    ExpressionEngine& engine_;
    UserFunctionList& functions_;
    QListWidget* list_;
    MacroEditorDialog* editor_ = nullptr;
    bool changed_ = false;
};

} // namespace pq::calc
