#include "calculator/about_dialog.h"

namespace pq::calc {

namespace {

ui::AboutText aboutText() {
    return {QStringLiteral("Quorvane PqCalculator"), QStringLiteral("PqCalculator"),
            QStringLiteral("calculator"), ui::VersionText(),
            QStringLiteral("A desk calculator with a standard keypad view and a scientific view "
                           "for formulas.\n\n\u00A9 Quorvane")};
}

} // namespace

AboutDialog::AboutDialog(QWidget* parent) : ui::AboutBox(parent, aboutText()) {}

} // namespace pq::calc
