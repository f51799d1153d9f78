#include "uikit/about_box.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "uikit/display_scale.h"
#include "uikit/resources.h"
#include "uikit/ui_font.h"

namespace pq::ui {

namespace {

constexpr MenuBarItem kAboutMenuBar[] = {{"  OK  ", kOkCommand}};

} // namespace

AboutBox::AboutBox(QWidget* parent, const AboutText& text)
    : FullScreenDialog(parent, text.title, kAboutMenuBar), text_(text) {
    const int s = DisplayScale();
    auto* heading = new QHBoxLayout;
    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("icon"));
    icon->setPixmap(LoadIcon(text.iconName).pixmap(32 * s, 32 * s));
    heading->addWidget(icon);
    auto* name = new QLabel(text.programName, this);
    name->setObjectName(QStringLiteral("name"));
    name->setFont(CreateUiFont(16, true));
    heading->addWidget(name, 1);
    body()->addLayout(heading);

    auto* version = new QLabel(text.version, this);
    version->setObjectName(QStringLiteral("version"));
    body()->addSpacing(8 * s);
    body()->addWidget(version);

    auto* description = new QLabel(text.description, this);
    description->setObjectName(QStringLiteral("description"));
    description->setWordWrap(true);
    description->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    body()->addSpacing(8 * s);
    body()->addWidget(description, 1);
}

QString VersionText() { return QStringLiteral("Version " PQ_VERSION); }

void ShowAboutBox(QWidget* parent, const AboutText& text) {
    auto* dialog = new AboutBox(parent, text);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

} // namespace pq::ui
