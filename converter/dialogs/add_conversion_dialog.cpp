#include "converter/dialogs/add_conversion_dialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

#include "converter/dialogs/dialog_checks.h"
#include "converter/dialogs/dialog_texts.h"
#include "document/document.h"
#include "engine/expression_engine.h"
#include "engine/format_text.h"
#include "uikit/display_scale.h"
#include "uikit/message_box.h"

namespace pq::conv {

namespace {

constexpr ui::MenuBarItem kOkCancelBar[] = {{"  OK   ", ui::kOkCommand},
                                            {" Cancel ", ui::kCancelCommand}};
const QString kTitle = QStringLiteral("Add Conversion");

QString listName(const Item& item) {
    return ToQString(item.name.empty() ? item.identifier.view() : item.name.view());
}

} // namespace

AddConversionDialog::AddConversionDialog(QWidget* parent, ConversionDocument& document,
                                         ExpressionEngine& engine, Mode mode)
    : ui::FullScreenDialog(parent, kTitle, kOkCancelBar), document_(document), engine_(engine) {
    auto* form = new QFormLayout;
    from_ = new QComboBox(this);
    to_ = new QComboBox(this);
    // Every unit by name, sorted; each entry carries the unit's position.
    std::vector<size_t> order(document.items.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return listName(*document.items[a])
                   .compare(listName(*document.items[b]), Qt::CaseInsensitive) < 0;
    });
    for (QComboBox* list : {from_, to_}) {
        for (size_t i : order)
            list->addItem(listName(*document.items[i]), static_cast<qulonglong>(i));
        list->setCurrentIndex(-1);
        list->setPlaceholderText(QStringLiteral("(choose a unit)"));
        list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        list->setMinimumContentsLength(8);
        connect(list, &QComboBox::currentIndexChanged, this, [this] { refreshNames(); });
    }
    form->addRow(QStringLiteral("From:"), from_);
    form->addRow(QStringLiteral("To:"), to_);
    body()->addLayout(form);
    body()->addSpacing(ui::Scaled(6));
    body()->addWidget(new QLabel(QStringLiteral("Conversion Formula:"), this));
    fields_ = new ConversionFields(this, QStringLiteral("="));
    fields_->factorBox()->setText(ToQString(formatNumber(factor_)));
    fields_->offsetBox()->setText(ToQString(formatNumber(offset_)));
    fields_->setMode(mode);
    body()->addWidget(fields_);
    body()->addStretch(1);
    (mode == Mode::Advanced ? fields_->forwardBox() : fields_->factorBox())->setFocus();
}

Item* AddConversionDialog::unitAt(const QComboBox* list) const {
    if (list->currentIndex() < 0) return nullptr;
    const auto position = list->currentData().toULongLong();
    return position < document_.items.size() ? document_.items[position].get() : nullptr;
}

Item* AddConversionDialog::firstUnit() const { return unitAt(from_); }
Item* AddConversionDialog::secondUnit() const { return unitAt(to_); }
QString AddConversionDialog::forwardFormula() const { return fields_->forwardBox()->text(); }
QString AddConversionDialog::reverseFormula() const { return fields_->reverseBox()->text(); }

void AddConversionDialog::refreshNames() {
    const Item* first = firstUnit();
    const Item* second = secondUnit();
    fields_->setUnitNames(first ? ToQString(DisplayName(*first)) : QString(),
                          second ? ToQString(DisplayName(*second)) : QString());
}

bool AddConversionDialog::readNumber(QLineEdit* box, double& value) {
    double read = 0;
    if (!engine_.evaluate(ToText(box->text()), read)) {
        refuse(
            QStringLiteral("Type a number, or a formula that gives one, such as 0.3048 or 1/12."),
            box);
        return false;
    }
    value = read;
    return true;
}

void AddConversionDialog::refuse(const QString& message, QWidget* field) {
    if (field) field->setFocus();
    ui::ShowMessage(this, ui::MessageIcon::Error, kTitle, message);
}

void AddConversionDialog::accept() {
    // The numbers are read first, as a and b (a formula such as 1/3 serves);
    // then the units; then the formulas.
    if (mode() == Mode::Standard) {
        double factor = 0, offset = 0;
        if (!readNumber(fields_->factorBox(), factor) || !readNumber(fields_->offsetBox(), offset))
            return;
        factor_ = factor;
        offset_ = offset;
    }
    const Item* first = firstUnit();
    const Item* second = secondUnit();
    if (const QString problem = CheckNewConversion(document_, first, second); !problem.isEmpty()) {
        refuse(problem, !first ? from_ : to_);
        return;
    }
    if (mode() == Mode::Advanced) {
        if (QString problem = CheckFormula(forwardFormula(), QStringLiteral("forward"), &engine_);
            !problem.isEmpty()) {
            refuse(problem, fields_->forwardBox());
            return;
        }
        if (QString problem = CheckFormula(reverseFormula(), QStringLiteral("reverse"), &engine_);
            !problem.isEmpty()) {
            refuse(problem, fields_->reverseBox());
            return;
        }
    }
    ui::FullScreenDialog::accept();
}

} // namespace pq::conv
