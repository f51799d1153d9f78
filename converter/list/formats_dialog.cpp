#include "converter/list/formats_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QVBoxLayout>

#include "engine/number_parse.h"
#include "uikit/display_scale.h"
#include "uikit/message_box.h"

namespace pq::conv {

namespace {

constexpr ui::MenuBarItem kFormatsMenuBar[] = {{"  OK  ", ui::kOkCommand},
                                               {"Cancel", ui::kCancelCommand}};

struct FormatBox {
    int32_t code;
    const char* text;
};

// In the order of boxes_.
constexpr FormatBox kFormatBoxes[] = {
    {Decimal, "Default (floating decimal point)"},
    {Currency, "Currency (fixed 2 decimal digits)"},
    {Compound, "Compound number (group of values):"},
    {Hex, "Hex"},
    {Octal, "Oct"},
    {Binary, "Bin"},
    {Date, "Date"},
    {DateTime, "Date and Time"},
};

constexpr double kMaxFraction = 1e20;

// The third label has no limit; the others take at most eight characters.
constexpr int kLabelLimits[NumberFormat::kMaxParts] = {8, 8, 0, 8};

QString numberText(double value) {
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

// A fraction is a plain number, read as formulas read their literals.
bool readFraction(const QLineEdit* box, double& value) {
    const QString text = box->text().trimmed().toLower();
    return parseNumber(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                           static_cast<size_t>(text.size())),
                       value) &&
           value >= 0 && value <= kMaxFraction;
}

} // namespace

FormatsDialog::FormatsDialog(QWidget* parent, NumberFormat& format)
    : ui::FullScreenDialog(parent, QStringLiteral("Formats"), kFormatsMenuBar), format_(format) {
    const int s = ui::DisplayScale();
    for (size_t i = 0; i < boxes_.size(); ++i) {
        boxes_[i] = new QCheckBox(QString::fromUtf8(kFormatBoxes[i].text), this);
        boxes_[i]->setChecked(format.allows(kFormatBoxes[i].code));
    }

    std::array<WString, NumberFormat::kMaxParts> labels;
    std::array<double, NumberFormat::kMaxParts> fractions{1, 0, 0, 0};
    if (format.allows(Compound)) {
        const int parts = format.getLabels(labels);
        format.getFractions(fractions);
        fractions[0] = 1;
        for (int i = parts; i < NumberFormat::kMaxParts; ++i) fractions[static_cast<size_t>(i)] = 0;
    }

    auto* parts = new QGridLayout;
    parts->addWidget(new QLabel(QStringLiteral("Fraction Numbers:"), this), 0, 0, 1, 4);
    parts->addWidget(new QLabel(QStringLiteral("Suffix Labels:"), this), 2, 0, 1, 4);
    for (int i = 0; i < NumberFormat::kMaxParts; ++i) {
        const size_t k = static_cast<size_t>(i);
        fractions_[k] = new QLineEdit(numberText(fractions[k]), this);
        fractions_[k]->setObjectName(QStringLiteral("fraction%1").arg(i + 1));
        labels_[k] =
            new QLineEdit(QString::fromStdU16String(std::u16string(labels[k].view())), this);
        labels_[k]->setObjectName(QStringLiteral("label%1").arg(i + 1));
        // A stored label longer than its limit is shown whole; OK refuses it
        // until it is shortened, so that nothing is cut behind the user's back.
        parts->addWidget(fractions_[k], 1, i);
        parts->addWidget(labels_[k], 3, i);
    }
    fractions_[0]->setReadOnly(true);
    parts->setContentsMargins(16 * s, 0, 0, 0);

    auto* bases = new QHBoxLayout;
    bases->setContentsMargins(16 * s, 0, 0, 0);
    for (size_t i = 3; i < 6; ++i) bases->addWidget(boxes_[i]);
    bases->addStretch(1);
    auto* others = new QHBoxLayout;
    others->setContentsMargins(16 * s, 0, 0, 0);
    others->addWidget(boxes_[6]);
    others->addWidget(boxes_[7]);
    others->addStretch(1);

    body()->addWidget(boxes_[0]);
    body()->addWidget(boxes_[1]);
    body()->addWidget(boxes_[2]);
    body()->addLayout(parts);
    body()->addSpacing(4 * s);
    body()->addWidget(new QLabel(QStringLiteral("Computer bases:"), this));
    body()->addLayout(bases);
    body()->addSpacing(4 * s);
    body()->addWidget(new QLabel(QStringLiteral("Others:"), this));
    body()->addLayout(others);
    body()->addStretch(1);

    connect(boxes_[2], &QCheckBox::clicked, this, [this] {
        enableParts();
        if (boxes_[2]->isChecked()) labels_[0]->setFocus();
    });
    // "Date" and "Date and Time" exclude each other.
    connect(boxes_[6], &QCheckBox::clicked, this, [this](bool on) {
        if (on) boxes_[7]->setChecked(false);
    });
    connect(boxes_[7], &QCheckBox::clicked, this, [this](bool on) {
        if (on) boxes_[6]->setChecked(false);
    });
    enableParts();
}

QCheckBox* FormatsDialog::checkBox(int32_t code) const {
    for (size_t i = 0; i < boxes_.size(); ++i)
        if (kFormatBoxes[i].code == code) return boxes_[i];
    return nullptr;
}

void FormatsDialog::enableParts() {
    const bool on = boxes_[2]->isChecked();
    for (int i = 0; i < NumberFormat::kMaxParts; ++i) {
        fractions_[static_cast<size_t>(i)]->setEnabled(on);
        labels_[static_cast<size_t>(i)]->setEnabled(on);
    }
}

QString FormatsDialog::validate() const {
    for (int i = 1; i < NumberFormat::kMaxParts; ++i) {
        double value = 0;
        if (!readFraction(fractions_[static_cast<size_t>(i)], value))
            return QStringLiteral("Each part's count must be a number from 0 to 1e20, such as 12 "
                                  "for the inches of a foot.");
    }
    for (int i = 0; i < NumberFormat::kMaxParts; ++i) {
        const int limit = kLabelLimits[i];
        if (limit > 0 && labels_[static_cast<size_t>(i)]->text().size() > limit)
            return QStringLiteral("Enter no more than %1 characters for the suffix label \"%2\".")
                .arg(limit)
                .arg(labels_[static_cast<size_t>(i)]->text());
    }
    return QString();
}

void FormatsDialog::accept() {
    if (const QString problem = validate(); !problem.isEmpty()) {
        ui::ShowMessage(this, ui::MessageIcon::Warning, QStringLiteral("Formats"), problem);
        return;
    }
    int32_t mask = 0;
    for (size_t i = 0; i < boxes_.size(); ++i)
        if (boxes_[i]->isChecked()) mask |= kFormatBoxes[i].code;
    format_.setAllowedFormats(mask);
    if (boxes_[2]->isChecked()) {
        std::array<WString, NumberFormat::kMaxParts> labels;
        std::array<double, NumberFormat::kMaxParts> fractions{1, 0, 0, 0};
        for (int i = 0; i < NumberFormat::kMaxParts; ++i) {
            const size_t k = static_cast<size_t>(i);
            labels[k] = labels_[k]->text().toStdU16String();
            if (i > 0) readFraction(fractions_[k], fractions[k]);
        }
        format_.setParts(labels, fractions);
    }
    ui::FullScreenDialog::accept();
}

} // namespace pq::conv
