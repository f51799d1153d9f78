#include "converter/list/format_menu.h"

#include <QActionGroup>
#include <QMenu>

#include <algorithm>

#include "converter/commands.h"
#include "engine/number_format.h"
#include "uikit/command_event.h"

namespace pq::conv {

namespace {

struct MenuFormat {
    int32_t code;
    unsigned command;
    const char* text;
    const char* menuText; // with its mnemonic
};

constexpr MenuFormat kMenuFormats[] = {
    {Decimal, kCmdFormatDecimal, "Default (decimal)", "&Default (decimal)"},
    {Currency, kCmdFormatCurrency, "Currency", "C&urrency"},
    {Hex, kCmdFormatHexadecimal, "Hexadecimal", "&Hexadecimal"},
    {Octal, kCmdFormatOctal, "Octal", "&Octal"},
    {Binary, kCmdFormatBinary, "Binary", "&Binary"},
    {Date, kCmdFormatDate, "Date", "D&ate"},
    {DateTime, kCmdFormatDateTime, "Date Time", "Date &Time"},
    {Compound, kCmdFormatCompound, "Compound", "Co&mpound"},
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
    FillFormatMenu(menu, format, target, parameter, problem);
    return menu;
}

void FillFormatMenu(QMenu* menu, const NumberFormat& format, QObject* target, int parameter,
                    const QString& problem) {
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
    auto* group = new QActionGroup(menu);
    for (const FormatMenuEntry& entry : FormatMenuEntries(format)) {
        const auto* shown = std::find_if(std::begin(kMenuFormats), std::end(kMenuFormats),
                                         [&](const MenuFormat& f) { return f.code == entry.code; });
        QAction* action = add(QString::fromUtf8(shown->menuText), entry.command);
        action->setCheckable(true);
        action->setChecked(entry.checked);
        group->addAction(action);
    }
    menu->addSeparator();
    add(QStringLiteral("Customi&ze..."), kCmdFormatCustomize);
}

} // namespace pq::conv
