#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pq::tool {

// The data folder PqConverter uses, ending in "/": the one its settings name
// (the "Data File Location" of its options), else the one it takes by
// default: its "Conversions/" folder when it runs from a writable folder that
// holds one (a build), else this user's data folder, and before the
// converter first filled that, the shipped files.
std::string ConverterDataFolder();

// The data folder stored in a settings file in the form the converter's
// settings take on this system (an INI file holding the 900-byte record as
// "Options=@ByteArray(...)" in the section "[Settings]"); none when the
// text holds no record of the right size or the record names no folder.
std::optional<std::string> DataFolderFromSettings(std::string_view iniText);

// Where pqtool keeps the index of a data folder's units (unit_lookup_index.h):
// a file of its own in the user's cache folder; empty when there is none.
std::string UnitLookupIndexPath(const std::string& folder);

} // namespace pq::tool
