// pqtool find and pqtool convert VALUE FROM [TO]: units found by name in
// every data file of the converter's data folder.

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "document/document.h"
#include "document/unit_index.h"
#include "document/unit_lookup.h"
#include "engine/expression_engine.h"
#include "engine/text.h"
#include "tools/commands.h"
#include "tools/converter_folder.h"
#include "tools/document_io.h"

namespace pq::tool {

namespace {

// How many near matches an unknown name lists.
constexpr size_t kSuggestions = 10;

struct FolderArguments {
    std::string folder;
    std::vector<std::string> words;
};

// "--folder DIR" (or "--folder=DIR") anywhere before "--"; the rest are the
// command's own words. A word such as "-40" is a value, not an option. False
// (after the usage text) for a bad option.
bool parseFolderArguments(std::span<char* const> args, FolderArguments& parsed) {
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
        } else if (options && arg.starts_with("--")) {
            usageError("unknown option: " + std::string(arg));
            return false;
        } else {
            parsed.words.emplace_back(arg);
        }
    }
    if (parsed.folder.empty()) parsed.folder = ConverterDataFolder();
    return true;
}

// The folder's index, or none (after saying why) when the folder holds no
// data files.
bool readFolder(UnitIndex& index) {
    index.refresh();
    if (index.files().empty() && index.unreadable().empty()) {
        std::fprintf(stderr, "pqtool: %s holds no data files\n", printable(index.folder()).c_str());
        return false;
    }
    return true;
}

// One unit a line: identifier, name, file title, file name.
void printUnit(std::FILE* out, const char* indent, std::u16string_view identifier,
               std::u16string_view name, std::u16string_view title, std::u16string_view file) {
    std::fprintf(out, "%s%s\t%s\t%s\t%s\n", indent, printable(toUtf8(identifier)).c_str(),
                 printable(toUtf8(name)).c_str(), printable(toUtf8(title)).c_str(),
                 printable(toUtf8(file)).c_str());
}

void printUnit(std::FILE* out, const char* indent, const UnitMatch& match) {
    printUnit(out, indent, match.unit->identifier, match.unit->name, match.file->title,
              match.file->fileName);
}

void printUnit(std::FILE* out, const char* indent, const FoundUnit& unit) {
    printUnit(out, indent, unit.item().identifier, unit.item().name, unit.document->title,
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
    if (!near.empty()) std::fputs("near matches:\n", stderr);
    for (const UnitMatch& match : near) printUnit(stderr, "  ", match);
    printUnreadable(index.unreadable());
    return kExitUsage;
}

int ambiguous(const std::string& text, const std::vector<FoundUnit>& units) {
    std::fprintf(stderr, "pqtool: \"%s\" names several units:\n", printable(text).c_str());
    for (const FoundUnit& unit : units) printUnit(stderr, "  ", unit);
    return kExitUsage;
}

// The one unit of a file that a name stands for: a single candidate, or the
// one whose identifier is the name as written.
const FoundUnit* chooseIn(const std::vector<const FoundUnit*>& candidates,
                          std::u16string_view text) {
    if (candidates.size() == 1) return candidates.front();
    const FoundUnit* chosen = nullptr;
    for (const FoundUnit* candidate : candidates) {
        if (candidate->item().identifier != text) continue;
        if (chosen) return nullptr;
        chosen = candidate;
    }
    return chosen;
}

// A value entered for a unit and every other unit of its file computed from
// it; false (after printing Error) when the value cannot be read.
bool computeFrom(const FoundUnit& from, const std::string& value, ExpressionEngine& engine) {
    Item& item = from.item();
    if (!enterValue(item, value, engine)) return false;
    from.document->currentItem = &item;
    from.document->computeAll(engine);
    return true;
}

// Without TO: every shown unit of FROM's file, as `convert FILE UNIT VALUE`.
int convertToAll(const std::string& value, const std::string& fromText,
                 const std::vector<FoundUnit>& from) {
    std::vector<const FoundUnit*> all;
    for (const FoundUnit& unit : from) all.push_back(&unit);
    const FoundUnit* chosen = chooseIn(all, fromUtf8(fromText));
    if (!chosen) return ambiguous(fromText, from);
    ExpressionEngine engine;
    if (!computeFrom(*chosen, value, engine)) return kExitFailed;
    for (const auto& item : chosen->document->items)
        if (item->shown)
            std::printf("%s\t%s\n", printable(toUtf8(item->name)).c_str(),
                        printable(toUtf8(item->displayValue())).c_str());
    return warnIfDamaged(toUtf8(chosen->fileName), *chosen->document) ? kExitDamaged : kExitOk;
}

int convertInFolder(const FolderArguments& arguments) {
    const std::string& value = arguments.words[0];
    const std::string& fromText = arguments.words[1];
    const bool toGiven = arguments.words.size() == 3;
    const std::string toText = toGiven ? arguments.words[2] : std::string();
    std::vector<std::u16string> names{fromUtf8(fromText)};
    if (toGiven) names.push_back(fromUtf8(toText));
    FolderLookup lookup = LookUpUnits(arguments.folder, names, ConversionDocument::kTypeCode);
    std::string folder = arguments.folder;
    if (folder.empty() || folder.back() != '/') folder += '/';
    if (lookup.filesRead == 0 && lookup.unreadable.empty()) {
        std::fprintf(stderr, "pqtool: %s holds no data files\n", printable(folder).c_str());
        return kExitFailed;
    }
    const std::vector<FoundUnit>& from = lookup.found[0];
    if (from.empty()) return unknownUnit(folder, fromText);
    if (!toGiven) return convertToAll(value, fromText, from);
    const std::vector<FoundUnit>& to = lookup.found[1];
    if (to.empty()) return unknownUnit(folder, toText);

    // The files that hold both, each with its candidates for FROM and TO.
    struct Pair {
        std::vector<const FoundUnit*> from, to;
    };
    std::map<const Document*, Pair> files;
    for (const FoundUnit& unit : from) files[unit.document.get()].from.push_back(&unit);
    for (const FoundUnit& unit : to) files[unit.document.get()].to.push_back(&unit);
    std::erase_if(files, [](const auto& entry) {
        return entry.second.from.empty() || entry.second.to.empty();
    });
    if (files.empty()) {
        std::fprintf(stderr, "pqtool: no data file holds both \"%s\" and \"%s\":\n",
                     printable(fromText).c_str(), printable(toText).c_str());
        for (const FoundUnit& unit : from) printUnit(stderr, "  ", unit);
        for (const FoundUnit& unit : to) printUnit(stderr, "  ", unit);
        return kExitUsage;
    }

    struct Answer {
        const FoundUnit* from;
        const FoundUnit* to;
        std::u16string text;
    };
    std::vector<Answer> answers;
    for (const auto& [document, pair] : files) {
        const FoundUnit* source = chooseIn(pair.from, fromUtf8(fromText));
        const FoundUnit* target = chooseIn(pair.to, fromUtf8(toText));
        if (!source) return ambiguous(fromText, from);
        if (!target) return ambiguous(toText, to);
        answers.push_back({source, target, {}});
    }
    ExpressionEngine engine;
    for (Answer& answer : answers) {
        if (!computeFrom(*answer.from, value, engine)) return kExitFailed;
        answer.text = answer.to->item().displayValue();
    }
    bool agree = true;
    for (const Answer& answer : answers) agree = agree && answer.text == answers.front().text;
    if (!agree) {
        std::fprintf(stderr,
                     "pqtool: the files holding \"%s\" and \"%s\" give different answers:\n",
                     printable(fromText).c_str(), printable(toText).c_str());
        for (const Answer& answer : answers) {
            std::fprintf(stderr, "  %s\t", printable(toUtf8(answer.text)).c_str());
            printUnit(stderr, "", *answer.to);
        }
        return kExitUsage;
    }
    const std::u16string& text = answers.front().text;
    bool damaged = false;
    for (const Answer& answer : answers)
        damaged = warnIfDamaged(toUtf8(answer.to->fileName), *answer.to->document) || damaged;
    if (text.empty()) {
        std::fprintf(stderr, "pqtool: no conversions in %s lead from \"%s\" to \"%s\"\n",
                     printable(toUtf8(answers.front().to->fileName)).c_str(),
                     printable(fromText).c_str(), printable(toText).c_str());
        return damaged ? kExitDamaged : kExitFailed;
    }
    std::printf("%s\n", printable(toUtf8(text)).c_str());
    return text == u"Error" ? kExitFailed : damaged ? kExitDamaged : kExitOk;
}

} // namespace

int runConvertInFolder(std::span<char* const> args) {
    FolderArguments arguments;
    if (!parseFolderArguments(args, arguments)) return kExitUsage;
    if (arguments.words.size() < 2 || arguments.words.size() > 3)
        return usageError("convert needs VALUE FROM [TO], or FILE UNIT VALUE");
    return convertInFolder(arguments);
}

int runFind(std::span<char* const> args) {
    FolderArguments arguments;
    if (!parseFolderArguments(args, arguments)) return kExitUsage;
    if (arguments.words.empty()) return usageError("find needs a TEXT");
    std::string text;
    for (const std::string& word : arguments.words) text += (text.empty() ? "" : " ") + word;
    UnitIndex index(arguments.folder);
    if (!readFolder(index)) return kExitFailed;
    const std::vector<UnitMatch> matches = index.find(fromUtf8(text));
    for (const UnitMatch& match : matches) printUnit(stdout, "", match);
    if (!matches.empty()) return kExitOk;
    std::fprintf(stderr, "pqtool: no unit matches \"%s\"\n", printable(text).c_str());
    printUnreadable(index.unreadable());
    return kExitFailed;
}

} // namespace pq::tool
