// pqtool convert and pqtool calc: a data file computed from given values.

#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "document/document.h"
#include "document/name_choice.h"
#include "document/unit_index.h"
#include "document/unit_names.h"
#include "engine/expression_engine.h"
#include "engine/text.h"
#include "tools/commands.h"
#include "tools/document_io.h"
#include "tools/folder_units.h"

namespace pq::tool {

namespace {

void printShownItems(const Document& document, bool plain = false) {
    for (const auto& item : document.items) {
        if (!item->shown) continue;
        const std::string value = plain && item->state == ValueState::Valid
                                      ? scriptNumber(item->value)
                                      : toUtf8(item->displayValue());
        std::printf("%s\t%s\n", printable(toUtf8(item->name)).c_str(),
                    printable(value).c_str());
    }
}

} // namespace

int runConvert(std::span<char* const> allArgs) {
    // "--plain" before a FILE: the numbers alone, for scripts.
    std::vector<char*> kept;
    bool plain = false;
    for (char* arg : allArgs) {
        if (std::string_view(arg) == "--plain" && kept.empty())
            plain = true;
        else
            kept.push_back(arg);
    }
    // A first word that names no data file is a value for the folder's units.
    if (kept.empty() || typeCodeForPath(kept[0]) == 0) return runConvertInFolder(allArgs);
    const std::span<char* const> args(kept);
    if (args.size() != 3) return usageError("convert needs FILE UNIT VALUE");
    int status;
    std::unique_ptr<Document> document = loadDocument(args[0], status);
    if (!document) return status;
    // The unit named as the folder form names units: exactly first, then
    // in another case where case tells no units apart, then as a phrase.
    // Phrases, the costly part, are made only when no unit has the name
    // written exactly.
    const std::vector<TypedName> typed{ReadTypedName(fromUtf8(args[1]))};
    std::vector<NameCandidate> candidates;
    std::vector<Item*> items;
    auto gather = [&](const std::vector<TypedName>& phrasesFor) {
        candidates.clear();
        items.clear();
        for (const auto& item : document->items) {
            const auto tier = MatchUnitNames(
                typed.front(), NamesOfUnit(item->name.view(), item->identifier.view(), {},
                                           IsCompoundItem(*item), &phrasesFor));
            if (!tier) continue;
            candidates.push_back({0, item->identifier.view(), item->name.view(), *tier, false,
                                  item->shown != 0});
            items.push_back(item.get());
        }
    };
    gather({});
    if (std::none_of(candidates.begin(), candidates.end(),
                     [](const NameCandidate& c) { return c.tier == MatchTier::Exact; }))
        gather(typed);
    const NameMeaning meaning = ChooseMeaning(candidates);
    if (!meaning.found()) {
        std::fprintf(stderr, "pqtool: %s has no unit with the identifier or name \"%s\"\n",
                     printable(args[0]).c_str(), printable(args[1]).c_str());
        return kExitUsage;
    }
    if (meaning.ambiguous) {
        std::fprintf(stderr, "pqtool: \"%s\" names several units of %s:\n",
                     printable(args[1]).c_str(), printable(args[0]).c_str());
        for (size_t i : meaning.chosen)
            std::fprintf(stderr, "  %s\t%s\n", printable(toUtf8(items[i]->identifier)).c_str(),
                         printable(toUtf8(items[i]->name)).c_str());
        return kExitUsage;
    }
    Item* chosen = items[meaning.chosen.front()];
    ExpressionEngine engine;
    if (!enterValue(*chosen, args[2], engine)) return kExitFailed;
    document->currentItem = chosen;
    document->computeAll(engine);
    printShownItems(*document, plain);
    return status;
}

int runCalc(std::span<char* const> args) {
    if (args.empty()) return usageError("calc needs a FILE");
    if (typeCodeForPath(args[0]) != CalculationDocument::kTypeCode)
        return usageError(std::string(args[0]) + " is not a calculation (.cal) file");
    int status;
    std::unique_ptr<Document> document = loadDocument(args[0], status);
    if (!document) return status;
    ExpressionEngine engine;
    for (std::string_view assignment : args.subspan(1)) {
        size_t eq = assignment.find('=');
        if (eq == std::string_view::npos || eq == 0)
            return usageError("values are given as IDENT=VALUE, not " + std::string(assignment));
        const std::u16string ident = fromUtf8(assignment.substr(0, eq));
        Item* input = nullptr;
        for (const auto& item : document->items)
            if (!input && !item->isOutput() && equalsIgnoreCase(item->identifier, ident))
                input = item.get();
        if (!input) {
            std::fprintf(stderr, "pqtool: %s has no input with the identifier \"%s\"\n",
                         printable(args[0]).c_str(), printable(assignment.substr(0, eq)).c_str());
            return kExitUsage;
        }
        if (!enterValue(*input, std::string(assignment.substr(eq + 1)), engine)) return kExitFailed;
    }
    document->computeAll(engine);
    printShownItems(*document);
    return status;
}

} // namespace pq::tool
