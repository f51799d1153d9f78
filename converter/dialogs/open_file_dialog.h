#pragma once

#include <QPointer>

#include "uikit/dialogs.h"
#include "uikit/html_viewer.h"

class QComboBox;
class QTreeWidget;

namespace pq {
class Catalogue;
class TextReferenceList;
} // namespace pq

namespace pq::conv {

// Picks a file of the catalogue by category: "- All -", the categories of
// the data folder's files, and "- Other Text References -", whose lines open
// the text in the HTML viewer and keep this dialog open. OK on a file line
// closes the dialog with that file chosen.
class OpenFileDialog : public ui::FullScreenDialog {
  public:
    // The tags the category entries carry.
    enum Tag { kAll = 0, kCategory = 1, kTextReferences = -1 };

    OpenFileDialog(QWidget* parent, Catalogue& catalogue, TextReferenceList& references);

    // The chosen catalogue index, -1 before a file was chosen.
    int chosenIndex() const { return chosen_; }
    QComboBox* categoryList() const { return categories_; }
    QTreeWidget* fileList() const { return files_; }
    // The text reference viewer while it is open.
    ui::HtmlViewer* viewer() const { return viewer_.data(); }

    void accept() override;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void categoryChosen();
    void fillFiles(const QString& filter);
    void fillTextReferences();
    void showTextReference(size_t index);

    Catalogue& catalogue_;
    TextReferenceList& references_;
    QComboBox* categories_;
    QTreeWidget* files_;
    int chosen_ = -1;
    QPointer<ui::HtmlViewer> viewer_;
};

} // namespace pq::conv
