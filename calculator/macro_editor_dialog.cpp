#include "calculator/macro_editor_dialog.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QVBoxLayout>

#include <algorithm>

#include "engine/builtins.h"
#include "engine/eval_error.h"
#include "engine/expression_engine.h"

namespace pq::calc {

namespace {

constexpr ui::MenuBarItem kEditorBar[] = {{"  OK  ", ui::kOkCommand},
                                          {" Cancel ", ui::kCancelCommand}};

// Long enough for any formula a person types; the engine copes with more.
constexpr int kMaxFieldLength = 100000;

QLineEdit* makeField(QWidget* parent, const std::u16string& text, const QString& name) {
    auto* edit = new QLineEdit(QString::fromStdU16String(text), parent);
    edit->setMaxLength(kMaxFieldLength);
    edit->setAccessibleName(name);
    return edit;
}

} // namespace

MacroEditorDialog::MacroEditorDialog(QWidget* parent, ExpressionEngine& engine,
                                     const UserFunction& function)
    : ui::FullScreenDialog(
          parent, function.isNew ? QStringLiteral("New Function") : QStringLiteral("Edit Function"),
          kEditorBar),
      engine_(engine), function_(function) {
    setWindowTitle(QStringLiteral("Macro Editor"));
    name_ = makeField(this, function.name, QStringLiteral("Name"));
    declaration_ = makeField(this, function.declaration, QStringLiteral("Declaration"));
    formula_ = makeField(this, function.formula, QStringLiteral("Formula"));
    declaration_->setEnabled(function.isNew);

    auto* form = new QFormLayout;
    auto label = [this](const QString& text, QLineEdit* buddy) {
        auto* l = new QLabel(text, this);
        l->setBuddy(buddy);
        return l;
    };
    form->addRow(label(QStringLiteral("&Name:"), name_), name_);
    form->addRow(label(QStringLiteral("&Declaration:"), declaration_), declaration_);
    form->addRow(label(QStringLiteral("&Formula:"), formula_), formula_);
    body()->addLayout(form);
    auto* hint = new QLabel(QStringLiteral("A name such as Category\\Name files the function "
                                           "under Category in the function menu."),
                            this);
    hint->setWordWrap(true);
    body()->addWidget(hint);
    body()->addStretch(1);
    (function.isNew ? declaration_ : formula_)->setFocus();
}

void MacroEditorDialog::fail(const QString& text, QLineEdit* field, int start, int length) {
    auto* box = new QMessageBox(QMessageBox::Critical, QStringLiteral("Function"), text,
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
    field->setFocus();
    // The part at fault stays marked when the message closes.
    if (start >= 0) field->setSelection(start, std::max(length, 1));
}

QString MacroEditorDialog::declarationProblem(const QString& declaration) {
    const QString example =
        QStringLiteral(" Write the function's name followed by its parameters in brackets, such as "
                       "area(r) or hyp(a, b).");
    if (!engine_.checkSyntax(declaration.toStdU16String()))
        return QStringLiteral("The declaration \"%1\" cannot be read.").arg(declaration) + example;
    const QString name = QString::fromStdU16String(CallName(declaration.toStdU16String()));
    if (isBuiltinName(name.toLower().toStdU16String()))
        return QStringLiteral("\"%1\" is a built-in function. Choose another name for yours.")
            .arg(name);
    const int open = static_cast<int>(declaration.indexOf(u'('));
    const QString inside =
        open < 0 ? QString() : declaration.mid(open + 1, declaration.lastIndexOf(u')') - open - 1);
    const int parameters = inside.trimmed().isEmpty() ? 0 : int(inside.count(u',')) + 1;
    if (engine_.isDefined(name.toLower().toStdU16String(), parameters))
        return QStringLiteral("A function \"%1\" with %2 already exists. Choose another name, "
                              "or edit that function in My Functions.")
            .arg(name, parameters == 1 ? QStringLiteral("1 parameter")
                                       : QStringLiteral("%1 parameters").arg(parameters));
    return QStringLiteral("The declaration \"%1\" is not a function name with its parameters.")
               .arg(declaration) +
           example;
}

void MacroEditorDialog::accept() {
    const QString name = name_->text();
    const QString declaration = declaration_->text().trimmed();
    const QString formula = formula_->text();
    if (name.trimmed().isEmpty())
        return fail(QStringLiteral("Type a name for the function, such as "
                                   "Geometry\\Circle Area. It is the function's place in the "
                                   "function menu."),
                    name_);
    if (declaration.isEmpty())
        return fail(QStringLiteral("Type the declaration: the function's name with its "
                                   "parameters in brackets, such as area(r)."),
                    declaration_);
    if (formula.trimmed().isEmpty())
        return fail(QStringLiteral("Type the formula that computes the function from its "
                                   "parameters, such as pi*r^2."),
                    formula_);
    // A formula that cannot be read is refused here, not when it is used.
    if (!engine_.checkSyntax(formula.toStdU16String())) {
        const EvalError& error = engine_.lastError();
        QString text = QStringLiteral("The formula cannot be read: %1")
                           .arg(QString::fromStdU16String(DescribeEvalError(error)));
        if (error.hasPosition())
            text += QStringLiteral(" (at character %1)").arg(error.position + 1);
        text += QStringLiteral(". Correct the marked part of the formula.");
        return fail(text, formula_, error.hasPosition() ? error.position : -1, error.length);
    }
    int parameters = 0;
    if (function_.isNew) {
        if (!engine_.defineFunction(declaration.toStdU16String(), formula.toStdU16String(),
                                    parameters))
            return fail(declarationProblem(declaration), declaration_);
    } else if (!engine_.setFunction(declaration.toStdU16String(), formula.toStdU16String(),
                                    parameters)) {
        return fail(declarationProblem(declaration), formula_);
    }
    function_.name = name.toStdU16String();
    function_.declaration = declaration.toStdU16String();
    function_.formula = formula.toStdU16String();
    function_.paramCount = parameters;
    ui::FullScreenDialog::accept();
}

} // namespace pq::calc
