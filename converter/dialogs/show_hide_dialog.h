#pragma once

#include "uikit/dialogs.h"

class QListWidget;

namespace pq {
class Document;
}

namespace pq::conv {

// "Show or Hide Units" ("Items" for a calculation file): every item of the
// document, sorted by name, checked when the unit list shows it. OK sets
// each item's shown flag from its check box.
class ShowHideDialog : public ui::FullScreenDialog {
  public:
    ShowHideDialog(QWidget* parent, Document& document);

    QListWidget* list() const { return list_; }

    void accept() override;

  private:
    Document& document_;
    QListWidget* list_;
};

} // namespace pq::conv
