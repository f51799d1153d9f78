#include "converter/file_switcher.h"

#include <QMenu>

#include <algorithm>

#include "converter/commands.h"
#include "document/catalogue.h"
#include "uikit/command_event.h"

namespace pq::conv {

std::vector<SwitcherEntry> FileSwitcherEntries(const Catalogue& catalogue,
                                               const Document* current) {
    std::vector<SwitcherEntry> entries;
    const size_t count =
        std::min<size_t>(catalogue.size(), kCmdSwitchFileLast - kCmdSwitchFileFirst + 1);
    for (size_t i = 0; i < count; ++i) {
        const Document& document = catalogue.at(i);
        entries.push_back({QString::fromStdU16String(std::u16string(document.title.view())),
                           kCmdSwitchFileFirst + static_cast<unsigned>(i), &document == current});
    }
    return entries;
}

QMenu* CreateFileSwitcherMenu(QWidget* parent, const Catalogue& catalogue, const Document* current,
                              QObject* target) {
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("fileSwitcher"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    auto add = [&](const QString& text, unsigned command) {
        // A title with "&" shows it as it is.
        QAction* action = menu->addAction(QString(text).replace(u'&', QStringLiteral("&&")));
        QObject::connect(action, &QAction::triggered, menu,
                         [target, command] { ui::PostCommand(target, command); });
        return action;
    };
    for (const SwitcherEntry& entry : FileSwitcherEntries(catalogue, current)) {
        QAction* action = add(entry.title, entry.command);
        action->setCheckable(true);
        action->setChecked(entry.checked);
    }
    menu->addSeparator();
    add(QStringLiteral("More..."), kCmdOpen);
    return menu;
}

} // namespace pq::conv
