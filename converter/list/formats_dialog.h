#pragma once

#include <array>

#include "engine/number_format.h"
#include "uikit/dialogs.h"

class QCheckBox;
class QLineEdit;

namespace pq::conv {

// The allowed formats of an item and the parts of its compound number
// (fractions and suffix labels). OK writes them back into the format; a
// fraction outside 0 to 1e20 or an over-long label keeps the dialog open.
class FormatsDialog : public ui::FullScreenDialog {
  public:
    FormatsDialog(QWidget* parent, NumberFormat& format);

    // The check box of a format code (Decimal, Currency, ...).
    QCheckBox* checkBox(int32_t code) const;
    QLineEdit* fractionBox(int part) const { return fractions_[static_cast<size_t>(part)]; }
    QLineEdit* labelBox(int part) const { return labels_[static_cast<size_t>(part)]; }

    // Reads and checks the boxes; an empty text when they are fine, else what
    // is wrong.
    QString validate() const;

    void accept() override;

  private:
    void enableParts();

    NumberFormat& format_;
    std::array<QCheckBox*, 8> boxes_{};
    std::array<QLineEdit*, NumberFormat::kMaxParts> fractions_{};
    std::array<QLineEdit*, NumberFormat::kMaxParts> labels_{};
};

} // namespace pq::conv
