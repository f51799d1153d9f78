#include "converter/list/format_menu.h"

#include <QMenu>

#include "converter/commands.h"
#include "engine/number_format.h"
#include "uikit/command_event.h"

namespace pq::conv {

namespace {

struct MenuFormat {
    int32_t code;
    unsigned command;
    const char* text;
};

constexpr MenuFormat kMenuFormats[] = {
    {Decimal, kCmdFormatDecimal, "Default (decimal)"},
    {Currency, kCmdFormatCurrency, "Currency"},
    {Hex, kCmdFormatHexadecimal, "Hexadecimal"},
    {Octal, kCmdFormatOctal, "Octal"},
    {Binary, kCmdFormatBinary, "Binary"},
    {Date, kCmdFormatDate, "Date"},
    {DateTime, kCmdFormatDateTime, "Date Time"},
    {Compound, kCmdFormatCompound, "Compound"},
};

} // namespace

std::vector<FormatMenuEntry> FormatMenuEntries(const NumberFormat& format) {
    std::vector<FormatMenuEntry> entries;
    for (const MenuFormat& f : kMenuFormats)
        if (format.allows(f.code))
            entries.push_back(
                {f.code, f.command, QString::fromUtf8(f.text), format.displayFormat == f.code});
    return entries;
}

int32_t FormatForCommand(unsigned command) {
    for (const MenuFormat& f : kMenuFormats)
        if (f.command == command) return f.code;
    return 0;
}

QMenu* CreateFormatMenu(QWidget* parent, const NumberFormat& format, QObject* target, int parameter,
                        const QString& problem) {
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("formatMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->setToolTipsVisible(true);
    auto add = [&](const QString& text, unsigned command) {
        QAction* action = menu->addAction(text);
        QObject::connect(action, &QAction::triggered, menu, [target, command, parameter] {
            ui::PostCommand(target, command, parameter);
        });
        if (!problem.isEmpty()) {
            action->setEnabled(false);
            action->setToolTip(problem);
        }
        return action;
    };
    for (const FormatMenuEntry& entry : FormatMenuEntries(format)) {
        QAction* action = add(entry.text, entry.command);
        action->setCheckable(true);
        action->setChecked(entry.checked);
    }
    menu->addSeparator();
    add(QStringLiteral("Customize..."), kCmdFormatCustomize);
    return menu;
}

} // namespace pq::conv
