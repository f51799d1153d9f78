#pragma once

#include <QString>

#include <vector>

class QMenu;
class QObject;
class QWidget;

namespace pq {
class Catalogue;
class Document;
} // namespace pq

namespace pq::conv {

// One file of the file switcher.
struct SwitcherEntry {
    QString title;
    unsigned command; // kCmdSwitchFileFirst + catalogue position
    bool checked;     // the current document
};

// The first six catalogue entries in catalogue order.
std::vector<SwitcherEntry> FileSwitcherEntries(const Catalogue& catalogue, const Document* current);

// The pop-up: the entries, a separator and "More..." (Open). A choice posts
// its command to the target; the menu deletes itself when closed.
QMenu* CreateFileSwitcherMenu(QWidget* parent, const Catalogue& catalogue, const Document* current,
                              QObject* target);

} // namespace pq::conv
