#pragma once

#include "converter/dialogs/conversion_fields.h"
#include "uikit/dialogs.h"

class QComboBox;

namespace pq {
class ConversionDocument;
class ExpressionEngine;
class Item;
} // namespace pq

namespace pq::conv {

// "Add Conversion": two units of the document and either a and b of
// "1 unit1 = a unit2 + b" (Standard) or a formula in x for each direction
// (Advanced). OK closes only when the choice can become a new conversion;
// the dialog itself changes nothing.
class AddConversionDialog : public ui::FullScreenDialog {
  public:
    using Mode = ConversionFields::Mode;

    AddConversionDialog(QWidget* parent, ConversionDocument& document, ExpressionEngine& engine,
                        Mode mode);

    Mode mode() const { return fields_->mode(); }
    Item* firstUnit() const;
    Item* secondUnit() const;
    double factor() const { return factor_; }
    double offset() const { return offset_; }
    QString forwardFormula() const;
    QString reverseFormula() const;

    QComboBox* fromList() const { return from_; }
    QComboBox* toList() const { return to_; }
    ConversionFields* fields() const { return fields_; }

    void accept() override;

  private:
    Item* unitAt(const QComboBox* list) const;
    void refreshNames();
    bool readNumber(QLineEdit* box, double& value);
    void refuse(const QString& message, QWidget* field);

    ConversionDocument& document_;
    ExpressionEngine& engine_;
    QComboBox* from_;
    QComboBox* to_;
    ConversionFields* fields_;
    double factor_ = 0;
    double offset_ = 0;
};

} // namespace pq::conv
