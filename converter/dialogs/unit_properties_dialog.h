#pragma once

#include "uikit/dialogs.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace pq {
class Document;
class Item;
} // namespace pq

namespace pq::conv {

// The name, identifier, value text and (calculation items) role of an item.
// The title strip reads "New Unit" for an item without a name, else "Unit
// Properties". OK writes the fields after the checks; Cancel writes nothing.
// With a document, an identifier another of its items uses is refused.
class UnitPropertiesDialog : public ui::FullScreenDialog {
  public:
    UnitPropertiesDialog(QWidget* parent, Item& item, const Document* document = nullptr);

    QLineEdit* nameBox() const { return name_; }
    QLineEdit* identifierBox() const { return identifier_; }
    QLineEdit* valueBox() const { return value_; }
    QComboBox* typeList() const { return type_; }
    // The value text's label and what it says the text is for.
    QLabel* valueLabel() const { return valueLabel_; }
    QLabel* valueNote() const { return valueNote_; }
    QLabel* typeLabel() const { return typeLabel_; }

    void accept() override;

  private:
    void refuse(const QString& message, QLineEdit* box);
    // Labels the value text for a unit, an input or an output.
    void describeValue();

    Item& item_;
    const Document* document_;
    QLineEdit* name_;
    QLineEdit* identifier_;
    QLineEdit* value_;
    QLabel* valueLabel_;
    QLabel* valueNote_;
    QLabel* typeLabel_;
    QComboBox* type_;
};

} // namespace pq::conv
