#include "calculator/about_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "uikit/display_scale.h"
#include "uikit/resources.h"
#include "uikit/ui_font.h"

namespace pq::calc {

namespace {

constexpr ui::MenuBarItem kAboutMenuBar[] = {{"  OK  ", ui::kOkCommand}};

} // namespace

AboutDialog::AboutDialog(QWidget* parent)
    : ui::FullScreenDialog(parent, QStringLiteral("Quorvane PqCalculator"), kAboutMenuBar) {
    const int s = ui::DisplayScale();
    auto* heading = new QHBoxLayout;
    auto* icon = new QLabel(this);
    icon->setPixmap(ui::LoadIcon(QStringLiteral("calculator")).pixmap(32 * s, 32 * s));
    heading->addWidget(icon);
    auto* name = new QLabel(QStringLiteral("PqCalculator"), this);
    name->setFont(ui::CreateUiFont(16, true));
    heading->addWidget(name, 1);
    body()->addLayout(heading);

    auto* text = new QLabel(
        QStringLiteral("Version 1.0\n\nA desk calculator with a standard keypad view and a "
                       "scientific view for formulas.\n\n\u00A9 Quorvane"),
        this);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    body()->addSpacing(8 * s);
    body()->addWidget(text, 1);
}

} // namespace pq::calc
