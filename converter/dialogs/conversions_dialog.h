#pragma once

#include <QPointer>

#include <functional>

#include "converter/dialogs/add_conversion_dialog.h"
#include "converter/dialogs/conversion_fields.h"
#include "uikit/dialogs.h"

class QLineEdit;
class QListWidget;
class QListWidgetItem;

namespace pq {
class Conversion;
class ConversionDocument;
class ExpressionEngine;
} // namespace pq

namespace pq::conv {

// "Unit Conversions": the document's conversions in a sorted list; the
// selected one is edited in place (a text is stored when its box loses the
// focus), " Add " opens the Add Conversion dialog in Standard or Advanced
// mode, " Delete " removes the selected conversion after asking, " Done "
// stores the box being edited and closes.
class ConversionsDialog : public ui::FullScreenDialog {
  public:
    ConversionsDialog(QWidget* parent, ConversionDocument& document, ExpressionEngine& engine);
    ~ConversionsDialog() override;

    QListWidget* list() const { return list_; }
    ConversionFields* fields() const { return fields_; }
    Conversion* selectedConversion() const { return selected_; }
    // The Add Conversion dialog while it is open.
    AddConversionDialog* addDialog() const { return add_.data(); }

    void accept() override;
    void reject() override;
    // Called after every change to the document: a number or formula stored
    // from its box, a conversion added or deleted. It is given the change's
    // name ("Edit Conversion 'km <=> Mile'").
    using ChangeHandler = std::function<void(const QString& change)>;
    void setChangeHandler(ChangeHandler handler) { changed_ = std::move(handler); }

  protected:
    void command(const ui::CommandEvent& event) override;

  private:
    QListWidgetItem* addEntry(Conversion& conversion);
    void selectionChanged();
    void showConversion(const Conversion* conversion);
    void storeBox(QLineEdit* box);
    void storeEditedBoxes();
    void askToDelete();
    void openAddDialog(ConversionFields::Mode mode);
    void addConversion(const AddConversionDialog& dialog);
    void tellChange(const char* what, const Conversion& conversion);

    ConversionDocument& document_;
    ExpressionEngine& engine_;
    QListWidget* list_;
    ConversionFields* fields_;
    Conversion* selected_ = nullptr;
    QPointer<AddConversionDialog> add_;
    ChangeHandler changed_;
};

} // namespace pq::conv
