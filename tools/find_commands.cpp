// pqtool find, and what it shares with pqtool convert over the units of the
// converter's data folder.

#include <cstdio>
#include <string>
#include <vector>

#include "document/document.h"
#include "document/unit_index.h"
#include "document/unit_lookup.h"
#include "engine/text.h"
#include "tools/commands.h"
#include "tools/converter_folder.h"
#include "tools/document_io.h"
#include "tools/folder_units.h"

namespace pq::tool {

namespace {

// How many near matches an unknown name lists.
constexpr size_t kSuggestions = 10;

void printFields(std::FILE* out, const char* indent, std::u16string_view identifier,
               std::u16string_view name, std::u16string_view title, std::u16string_view file) {
    std::fprintf(out, "%s%s\t%s\t%s\t%s\n", indent, printable(toUtf8(identifier)).c_str(),
                 printable(toUtf8(name)).c_str(), printable(toUtf8(title)).c_str(),
                 printable(toUtf8(file)).c_str());
}

void printNear(const std::vector<UnitMatch>& near) {
    if (!near.empty()) std::fputs("near matches:\n", stderr);
    for (const UnitMatch& match : near) printUnit(stderr, "  ", match);
}

} // namespace

bool parseFolderArguments(std::span<char* const> args, FolderArguments& parsed,
                          bool plainAllowed) {
    bool options = true;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (options && arg == "--") {
            options = false;
        } else if (options && arg == "--folder") {
            if (i + 1 >= args.size()) {
                usageError("--folder needs a DIR");
                return false;
            }
            parsed.folder = args[++i];
        } else if (options && arg.starts_with("--folder=")) {
            parsed.folder = arg.substr(9);
        } else if (options && plainAllowed && arg == "--plain") {
            parsed.plain = true;
        } else if (options && arg.starts_with("--")) {
            usageError("unknown option: " + std::string(arg));
            return false;
        } else {
            parsed.words.emplace_back(arg);
        }
    }
    if (parsed.folder.empty()) parsed.folder = ConverterDataFolder();
    if (parsed.folder.back() != '/') parsed.folder += '/';
    return true;
}

void printUnit(std::FILE* out, const char* indent, const UnitMatch& match) {
    printFields(out, indent, match.unit->identifier, match.unit->name, match.file->title,
              match.file->fileName);
}

void printUnit(std::FILE* out, const char* indent, const FoundUnit& unit) {
    printFields(out, indent, unit.item().identifier, unit.item().name, unit.document->title,
              unit.fileName);
}

void printUnreadable(const std::vector<std::pair<std::string, std::string>>& unreadable) {
    for (const auto& [name, reason] : unreadable)
        std::fprintf(stderr, "pqtool: %s was left out: %s\n", printable(name).c_str(),
                     reason.c_str());
}

int unknownUnit(const std::string& folder, const std::string& name) {
    std::fprintf(stderr, "pqtool: no unit of %s is called \"%s\"\n", printable(folder).c_str(),
                 printable(name).c_str());
    // What matches the name, or else the longest start of it that matches.
    UnitIndex index(folder);
    index.refresh();
    FindOptions options;
    options.limit = kSuggestions;
    std::u16string text = fromUtf8(name);
    std::vector<UnitMatch> near = index.find(text, options);
    while (near.empty() && text.size() > 2) {
        text.pop_back();
        near = index.find(text, options);
    }
    printNear(near);
    printUnreadable(index.unreadable());
    return kExitUsage;
}

std::string scriptNumber(double value) {
    if (value == 0) return "0"; // and not "-0"
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

int runFind(std::span<char* const> args) {
    FolderArguments arguments;
    if (!parseFolderArguments(args, arguments, false)) return kExitUsage;
    if (arguments.words.empty()) return usageError("find needs a TEXT");
    std::string text;
    for (const std::string& word : arguments.words) text += (text.empty() ? "" : " ") + word;
    UnitIndex index(arguments.folder);
    index.refresh();
    if (index.files().empty() && index.unreadable().empty()) {
        std::fprintf(stderr, "pqtool: %s holds no data files\n",
                     printable(index.folder()).c_str());
        return kExitFailed;
    }
    const std::vector<UnitMatch> matches = index.find(fromUtf8(text));
    // A part of a word alone is a hint, not a unit of that name.
    const bool named = !matches.empty() && matches.front().tier < MatchTier::Substring;
    if (named) {
        for (const UnitMatch& match : matches) printUnit(stdout, "", match);
        return kExitOk;
    }
    std::fprintf(stderr, "pqtool: no unit matches \"%s\"\n", printable(text).c_str());
    printNear(matches);
    printUnreadable(index.unreadable());
    return kExitFailed;
}

} // namespace pq::tool
