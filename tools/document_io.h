#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace pq {
class Document;
class ExpressionEngine;
class Item;
} // namespace pq

namespace pq::tool {

// The document type a file name asks for: 1 for ".cnv", 2 for ".cal" (any
// case), 0 otherwise.
int typeCodeForPath(const std::string& path);

// Loads a whole data file, or prints why it cannot and returns none with
// the exit status in `status` (2 for a name that is no data file name, 1
// for a file that cannot be read). A file that lost records in the reading
// is loaded with a warning on standard error and the status kExitDamaged,
// for the command to end with once it printed what could be read. The file
// is never written.
std::unique_ptr<Document> loadDocument(const std::string& path, int& status);

// Says on standard error what a data file lost in the reading, when it lost
// records; true then.
bool warnIfDamaged(const std::string& file, const Document& document);

// Reads a value with the item's format; false (after printing Error) when it
// does not evaluate.
bool enterValue(Item& item, const std::string& text, ExpressionEngine& engine);

// Reads a whole regular file of at most 64 MiB; false with the cause.
bool readWholeFile(const std::string& path, std::string& contents, std::string& error);

// Text from a file or a server made safe for a terminal: control
// characters (C0, DEL and C1) and bytes that are no UTF-8 are shown as
// \xNN escapes.
std::string printable(std::string_view text);

} // namespace pq::tool
