#pragma once

// What pqtool find and pqtool convert share for the units of a data folder.

#include <cstdio>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace pq {
struct FoundUnit;
struct UnitMatch;
} // namespace pq

namespace pq::tool {

struct FolderArguments {
    std::string folder; // PqConverter's data folder unless --folder names one
    std::vector<std::string> words;
    bool plain = false; // --plain
};

// "--folder DIR" (or "--folder=DIR") and, with `plainAllowed`, "--plain",
// anywhere before "--"; the rest are the command's own words. A word such
// as "-40" is a value, not an option. False (after the usage text) for a
// bad option.
bool parseFolderArguments(std::span<char* const> args, FolderArguments& parsed,
                          bool plainAllowed);

// One unit a line: identifier, name, file title, file name, tab-separated.
void printUnit(std::FILE* out, const char* indent, const UnitMatch& match);
void printUnit(std::FILE* out, const char* indent, const FoundUnit& unit);
void printUnreadable(const std::vector<std::pair<std::string, std::string>>& unreadable);

// Says that no unit of the folder has the name, lists what matches it
// nearly, and returns the usage status.
int unknownUnit(const std::string& folder, const std::string& name);

// A number for scripts: at most 15 significant digits, no grouping, in a
// form C and Python read ("96.56064", "9.4607304725808e+15").
std::string scriptNumber(double value);

} // namespace pq::tool
