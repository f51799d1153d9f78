#pragma once

#include "uikit/dialogs.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace pq::conv {

// "PqConverter Settings": the data folder (typed, or chosen with
// "Browse...") and the download source of the currency updates. OK keeps
// them only when the folder exists and takes new files and the source is an
// http or https address; the new values take effect at the next start.
class OptionsDialog : public ui::FullScreenDialog {
  public:
    OptionsDialog(QWidget* parent, const QString& dataFolder, const QString& updateSource);

    QString dataFolder() const;
    QString updateSource() const;
    QLineEdit* folderBox() const { return folder_; }
    QLineEdit* sourceBox() const { return source_; }
    QPushButton* browseButton() const { return browse_; }
    // "Refresh exchange rates automatically"; it applies at once.
    QCheckBox* refreshBox() const { return refresh_; }
    // "Significant digits shown": 4 to 15; it applies at once.
    QSpinBox* digitsBox() const { return digits_; }

    void accept() override;

  private:
    void browse();

    QLineEdit* folder_;
    QLineEdit* source_;
    QPushButton* browse_;
    QCheckBox* refresh_;
    QSpinBox* digits_;
};

} // namespace pq::conv
