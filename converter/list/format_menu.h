#pragma once

#include <QString>

#include <cstdint>
#include <vector>

class QMenu;
class QObject;
class QWidget;

namespace pq {
class NumberFormat;
}

namespace pq::conv {

// One entry of the format menu: a format the item allows.
struct FormatMenuEntry {
    int32_t code;
    unsigned command;
    QString text;
    bool checked;
};

// The allowed formats in menu order (decimal, currency, hexadecimal, octal,
// binary, date, date time, compound), the display format checked.
std::vector<FormatMenuEntry> FormatMenuEntries(const NumberFormat& format);

// The format a menu command stands for, 0 for none.
int32_t FormatForCommand(unsigned command);

// The pop-up of a row's format button: the entries, a separator and
// "Customize...". A choice posts its command with the parameter to the
// target. The menu deletes itself when closed. While the file may not be
// changed (`problem` says why), every entry is disabled with that reason as
// its tooltip.
QMenu* CreateFormatMenu(QWidget* parent, const NumberFormat& format, QObject* target, int parameter,
                        const QString& problem = QString());
// Adds those entries to a menu.
void FillFormatMenu(QMenu* menu, const NumberFormat& format, QObject* target, int parameter,
                    const QString& problem = QString());

} // namespace pq::conv
