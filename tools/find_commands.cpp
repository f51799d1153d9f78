// pqtool find and pqtool convert VALUE FROM [TO]: units found by name in
// every data file of the converter's data folder.

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "document/document.h"
#include "document/unit_index.h"
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

// The folder's index, or none (after saying why) when the folder cannot be
// listed.
bool readFolder(UnitIndex& index) {
    index.refresh();
    if (index.files().empty() && index.unreadable().empty()) {
        std::fprintf(stderr, "pqtool: %s holds no data files\n", printable(index.folder()).c_str());
        return false;
    }
    return true;
}

void printUnit(std::FILE* out, const char* indent, const UnitMatch& match) {
    std::fprintf(out, "%s%s\t%s\t%s\t%s\n", indent, printable(toUtf8(match.unit->identifier)).c_str(),
                 printable(toUtf8(match.unit->name)).c_str(),
                 printable(toUtf8(match.file->title)).c_str(),
                 printable(toUtf8(match.file->fileName)).c_str());
}

void printUnreadable(const UnitIndex& index) {
    for (const auto& [name, reason] : index.unreadable())
        std::fprintf(stderr, "pqtool: %s was left out: %s\n", printable(name).c_str(),
                     reason.c_str());
}

// The units of conversion files a name stands for exactly.
std::vector<UnitMatch> unitsNamed(const UnitIndex& index, std::u16string_view name) {
    FindOptions options;
    options.exactOnly = true;
    std::vector<UnitMatch> units;
    for (UnitMatch& match : index.find(name, options))
        if (match.file->typeCode == ConversionDocument::kTypeCode) units.push_back(std::move(match));
    return units;
}

int unknownUnit(const UnitIndex& index, const std::string& name) {
    std::fprintf(stderr, "pqtool: no unit of %s is called \"%s\"\n",
                 printable(index.folder()).c_str(), printable(name).c_str());
    FindOptions options;
    options.limit = kSuggestions;
    // What matches the name, or else the longest start of it that matches.
    UnitIndex keyed(index.folder()); // finds the starts and parts of names, too
    keyed.refresh();
    std::u16string text = fromUtf8(name);
    std::vector<UnitMatch> near = keyed.find(text, options);
    while (near.empty() && text.size() > 2) {
        text.pop_back();
        near = keyed.find(text, options);
    }
    if (!near.empty()) std::fputs("near matches:\n", stderr);
    for (const UnitMatch& match : near) printUnit(stderr, "  ", match);
    printUnreadable(index);
    return kExitUsage;
}

int ambiguous(const std::string& text, const std::vector<UnitMatch>& units) {
    std::fprintf(stderr, "pqtool: \"%s\" names several units:\n", printable(text).c_str());
    for (const UnitMatch& match : units) printUnit(stderr, "  ", match);
    return kExitUsage;
}

// The one unit of a file that a name stands for: a single candidate, or the
// one whose identifier is the name as written.
const UnitMatch* chooseIn(const std::vector<const UnitMatch*>& candidates,
                          std::u16string_view text) {
    if (candidates.size() == 1) return candidates.front();
    const UnitMatch* chosen = nullptr;
    for (const UnitMatch* candidate : candidates) {
        if (candidate->unit->identifier != text) continue;
        if (chosen) return nullptr;
        chosen = candidate;
    }
    return chosen;
}

// A unit's file read again whole, with a value entered for the unit and
// every other unit computed from it; none (after saying why) on failure.
std::unique_ptr<Document> computeFrom(const UnitIndex& index, const UnitMatch& from,
                                      const std::string& value, ExpressionEngine& engine,
                                      int& status) {
    const std::string path = index.folder() + toUtf8(from.file->fileName);
    std::unique_ptr<Document> document = createDocument(from.file->typeCode);
    const auto position = static_cast<size_t>(from.unit->position);
    if (!document->readWithoutConverting(path) || position >= document->items.size() ||
        document->items[position]->identifier != from.unit->identifier) {
        std::fprintf(stderr, "pqtool: %s: cannot be read again: %s\n", printable(path).c_str(),
                     document->errorText().empty() ? "it changed"
                                                   : document->errorText().c_str());
        status = kExitFailed;
        return nullptr;
    }
    Item& item = *document->items[position];
    double number;
    if (!item.format.parseAndEvaluate(fromUtf8(value), engine, number)) {
        std::puts("Error");
        status = kExitFailed;
        return nullptr;
    }
    item.value = number;
    item.state = ValueState::Valid;
    document->currentItem = &item;
    document->computeAll(engine);
    status = kExitOk;
    return document;
}

// Without TO: every shown unit of FROM's file, as `convert FILE UNIT VALUE`.
int convertToAll(const UnitIndex& index, const std::string& value, const std::string& fromText,
                 const std::vector<UnitMatch>& from) {
    std::vector<const UnitMatch*> all;
    for (const UnitMatch& match : from) all.push_back(&match);
    const UnitMatch* chosen = chooseIn(all, fromUtf8(fromText));
    if (!chosen) return ambiguous(fromText, from);
    ExpressionEngine engine;
    int status;
    const std::unique_ptr<Document> document = computeFrom(index, *chosen, value, engine, status);
    if (!document) return status;
    for (const auto& item : document->items)
        if (item->shown)
            std::printf("%s\t%s\n", printable(toUtf8(item->name)).c_str(),
                        printable(toUtf8(item->displayValue())).c_str());
    return kExitOk;
}

int convertInFolder(const FolderArguments& arguments) {
    const std::string& value = arguments.words[0];
    const std::string& fromText = arguments.words[1];
    UnitIndex index(arguments.folder, UnitIndex::Use::LookingUp);
    if (!readFolder(index)) return kExitFailed;
    const std::vector<UnitMatch> from = unitsNamed(index, fromUtf8(fromText));
    if (from.empty()) return unknownUnit(index, fromText);
    if (arguments.words.size() == 2) return convertToAll(index, value, fromText, from);

    const std::string& toText = arguments.words[2];
    const std::vector<UnitMatch> to = unitsNamed(index, fromUtf8(toText));
    if (to.empty()) return unknownUnit(index, toText);

    // The files that hold both, each with its candidates for FROM and TO.
    struct Pair {
        std::vector<const UnitMatch*> from, to;
    };
    std::map<const IndexedFile*, Pair> files;
    for (const UnitMatch& match : from) files[match.file.get()].from.push_back(&match);
    for (const UnitMatch& match : to) files[match.file.get()].to.push_back(&match);
    std::erase_if(files, [](const auto& entry) {
        return entry.second.from.empty() || entry.second.to.empty();
    });
    if (files.empty()) {
        std::fprintf(stderr, "pqtool: no data file holds both \"%s\" and \"%s\":\n",
                     printable(fromText).c_str(), printable(toText).c_str());
        for (const UnitMatch& match : from) printUnit(stderr, "  ", match);
        for (const UnitMatch& match : to) printUnit(stderr, "  ", match);
        return kExitUsage;
    }

    struct Answer {
        const UnitMatch* from;
        const UnitMatch* to;
        std::u16string text;
    };
    std::vector<Answer> answers;
    for (const auto& [file, pair] : files) {
        const UnitMatch* source = chooseIn(pair.from, fromUtf8(fromText));
        const UnitMatch* target = chooseIn(pair.to, fromUtf8(toText));
        if (!source) return ambiguous(fromText, from);
        if (!target) return ambiguous(toText, to);
        answers.push_back({source, target, {}});
    }
    ExpressionEngine engine;
    for (Answer& answer : answers) {
        int status;
        const std::unique_ptr<Document> document =
            computeFrom(index, *answer.from, value, engine, status);
        if (!document) return status;
        answer.text = document->items[static_cast<size_t>(answer.to->unit->position)]->displayValue();
    }
    bool agree = true;
    for (const Answer& answer : answers) agree = agree && answer.text == answers.front().text;
    if (!agree) {
        std::fprintf(stderr, "pqtool: the files holding \"%s\" and \"%s\" give different answers:\n",
                     printable(fromText).c_str(), printable(toText).c_str());
        for (const Answer& answer : answers) {
            std::fprintf(stderr, "  %s\t", printable(toUtf8(answer.text)).c_str());
            printUnit(stderr, "", *answer.to);
        }
        return kExitUsage;
    }
    const std::u16string& text = answers.front().text;
    std::printf("%s\n", printable(toUtf8(text)).c_str());
    return text == u"Error" ? kExitFailed : kExitOk;
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
    printUnreadable(index);
    return kExitFailed;
}

} // namespace pq::tool
