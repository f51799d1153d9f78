#pragma once

#include <QString>

namespace pq {
class Document;
}

namespace pq::conv {

// What the window says about the state of the open file.

// The main window's title: the file's title, then " - PqConverter"
// ("Speed - PqConverter"). A file that may not be changed, because it may
// not be written or is damaged, adds "(read-only)" to its title ("Weight
// and Mass (read-only) - PqConverter"); a file that could not be read adds
// "(not readable)". Without a document the title is "PqConverter".
QString WindowTitle(const Document* document);

// Why the editing commands are disabled, the one tooltip they all show
// ("Weight.cnv cannot be changed: the file is marked read-only"); empty
// while the document is editable.
QString EditingProblem(const Document& document);

// What could not be read of a damaged file, told once when it is opened:
// how many units and conversions were dropped, that the file is left as it
// is on disk, and how to keep the rest. Empty for a file that is not
// damaged.
QString DamageReport(const Document& document);

// What the list area shows instead of the units of a file that could not
// be read: its name and the reader's reason. Empty for a file that was read.
QString ReadFailureText(const Document& document);

// The file's name with its extension, as messages name it.
QString FileNameOf(const Document& document);

} // namespace pq::conv
