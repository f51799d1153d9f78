#include "calculator/macro_editor_dialog.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QVBoxLayout>

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

void MacroEditorDialog::fail(const QString& text, QLineEdit* field) {
    auto* box = new QMessageBox(QMessageBox::Critical, QStringLiteral("Function"), text,
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
    field->setFocus();
}

void MacroEditorDialog::accept() {
    const QString name = name_->text();
    const QString declaration = declaration_->text().trimmed();
    const QString formula = formula_->text();
    if (name.trimmed().isEmpty()) return fail(QStringLiteral("Please enter function name"), name_);
    if (declaration.isEmpty())
        return fail(QStringLiteral("Please enter function declaration"), declaration_);
    if (formula.trimmed().isEmpty())
        return fail(QStringLiteral("Please enter function formula"), formula_);
    int parameters = 0;
    if (function_.isNew) {
        if (!engine_.defineFunction(declaration.toStdU16String(), formula.toStdU16String(),
                                    parameters))
            return fail(QStringLiteral("The function declaration and/or formula has syntax "
                                       "errors or already exist"),
                        declaration_);
    } else if (!engine_.setFunction(declaration.toStdU16String(), formula.toStdU16String(),
                                    parameters)) {
        return fail(QStringLiteral("The function declaration and/or formula has syntax errors"),
                    formula_);
    }
    function_.name = name.toStdU16String();
    function_.declaration = declaration.toStdU16String();
    function_.formula = formula.toStdU16String();
    function_.paramCount = parameters;
    ui::FullScreenDialog::accept();
}

} // namespace pq::calc
