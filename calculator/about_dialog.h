#pragma once

#include "uikit/about_box.h"

namespace pq::calc {

// The About box: "Quorvane PqCalculator" in the title strip, the program's
// icon, name and version.
class AboutDialog : public ui::AboutBox {
  public:
    explicit AboutDialog(QWidget* parent);
};

} // namespace pq::calc
