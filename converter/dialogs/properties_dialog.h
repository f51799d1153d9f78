#pragma once

#include "uikit/dialogs.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace pq {
class Catalogue;
class Document;
} // namespace pq

namespace pq::conv {

// A document's title, category and, for a file that does not exist yet, its
// file name; "Updated:" shows when it was last changed. The title strip reads
// "New File" for a document without a name, else "File Properties". OK writes
// the fields only after every check passed; Cancel writes nothing.
class PropertiesDialog : public ui::FullScreenDialog {
  public:
    PropertiesDialog(QWidget* parent, Document& document, const Catalogue& catalogue);

    QLineEdit* titleBox() const { return title_; }
    QComboBox* categoryList() const { return category_; }
    QLineEdit* fileNameBox() const { return fileName_; }
    QPlainTextEdit* updatedBox() const { return updated_; }

    void accept() override;

  private:
    void refuse(const QString& message, QWidget* field);

    Document& document_;
    const Catalogue& catalogue_;
    QLineEdit* title_;
    QComboBox* category_;
    QLineEdit* fileName_;
    QPlainTextEdit* updated_;
};

} // namespace pq::conv
