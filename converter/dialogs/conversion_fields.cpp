#include "converter/dialogs/conversion_fields.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QVBoxLayout>

#include "uikit/display_scale.h"
#include "uikit/scheme_colours.h"

namespace pq::conv {

namespace {

constexpr int kShownNameLength = 16;

QString shortName(const QString& name) {
    return name.size() > kShownNameLength ? name.left(kShownNameLength - 1) + QChar(0x2026) : name;
}

} // namespace

ConversionFields::ConversionFields(QWidget* parent, const QString& relation)
    : QWidget(parent), relation_(relation) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    standard_ = new QWidget(this);
    auto* grid = new QGridLayout(standard_);
    grid->setContentsMargins(0, 0, 0, 0);
    firstUnit_ = new QLabel(standard_);
    factor_ = new QLineEdit(standard_);
    factor_->setObjectName(QStringLiteral("factor"));
    secondUnit_ = new QLabel(standard_);
    auto* plus = new QLabel(QStringLiteral("+ "), standard_);
    offset_ = new QLineEdit(standard_);
    offset_->setObjectName(QStringLiteral("offset"));
    grid->addWidget(firstUnit_, 0, 0);
    grid->addWidget(factor_, 0, 1);
    grid->addWidget(secondUnit_, 0, 2);
    grid->addWidget(plus, 1, 0, Qt::AlignRight);
    grid->addWidget(offset_, 1, 1);
    grid->setColumnStretch(1, 1);
    layout->addWidget(standard_);

    advanced_ = new QWidget(this);
    auto* formulas = new QGridLayout(advanced_);
    formulas->setContentsMargins(0, 0, 0, 0);
    forward_ = new QLineEdit(advanced_);
    forward_->setObjectName(QStringLiteral("forward"));
    reverse_ = new QLineEdit(advanced_);
    reverse_->setObjectName(QStringLiteral("reverse"));
    formulas->addWidget(new QLabel(QStringLiteral("Forward: "), advanced_), 0, 0);
    formulas->addWidget(forward_, 0, 1);
    formulas->addWidget(new QLabel(QStringLiteral("Reverse:"), advanced_), 1, 0);
    formulas->addWidget(reverse_, 1, 1);
    formulas->setColumnStretch(1, 1);
    layout->addWidget(advanced_);

    setUnitNames({}, {});
    setMode(Mode::None);
}

void ConversionFields::setMode(Mode mode) {
    mode_ = mode;
    standard_->setVisible(mode == Mode::Standard);
    advanced_->setVisible(mode == Mode::Advanced);
}

void ConversionFields::setUnitNames(const QString& first, const QString& second) {
    firstUnit_->setText(QStringLiteral("1 %1 %2").arg(
        first.isEmpty() ? QStringLiteral("(Unit1)") : shortName(first), relation_));
    firstUnit_->setToolTip(first);
    secondUnit_->setText(second.isEmpty() ? QStringLiteral("(Unit 2)") : shortName(second));
    secondUnit_->setToolTip(second);
}

void ConversionFields::markInvalid(QLineEdit* box, bool invalid) {
    if (box->property("invalid").toBool() == invalid) return;
    box->setProperty("invalid", invalid);
    QPalette palette = box->parentWidget()->palette();
    if (invalid) palette.setColor(QPalette::Base, ui::Colours().errorMark);
    box->setPalette(palette);
}

} // namespace pq::conv
