#pragma once

#include "calculator/user_functions.h"
#include "uikit/dialogs.h"

class QLineEdit;
class QMessageBox;

namespace pq {
class ExpressionEngine;
}

namespace pq::calc {

// "Macro Editor": the name, declaration and formula of one user function.
// OK registers the function with the engine at once (a new one is defined,
// an existing one replaced) and keeps the dialog open with a message when a
// field is empty or the engine refuses the texts.
class MacroEditorDialog : public ui::FullScreenDialog {
  public:
    MacroEditorDialog(QWidget* parent, ExpressionEngine& engine, const UserFunction& function);

    // The record with the texts as accepted.
    const UserFunction& function() const { return function_; }
    QLineEdit* nameEdit() const { return name_; }
    QLineEdit* declarationEdit() const { return declaration_; }
    QLineEdit* formulaEdit() const { return formula_; }

    void accept() override;

  private:
    // Shows why the texts were refused; the field takes the focus, with the
    // part at fault selected when start is 0 or more.
    void fail(const QString& text, QLineEdit* field, int start = -1, int length = 0);
    // Why the engine refused a declaration whose formula reads.
    QString declarationProblem(const QString& declaration);

    ExpressionEngine& engine_;
    UserFunction function_;
    QLineEdit* name_;
    QLineEdit* declaration_;
    QLineEdit* formula_;
};

} // namespace pq::calc
