#pragma once

#include "uikit/dialogs.h"

namespace pq::calc {

// The About box: "Quorvane PqCalculator" in the title strip, the program's
// icon, name and version.
class AboutDialog : public ui::FullScreenDialog {
  public:
    explicit AboutDialog(QWidget* parent);
};

} // namespace pq::calc
