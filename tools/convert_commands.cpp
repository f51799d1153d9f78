// pqtool convert and pqtool calc: a data file computed from given values.

#include <cstdio>
#include <string>

#include "document/document.h"
#include "engine/expression_engine.h"
#include "engine/text.h"
#include "tools/commands.h"
#include "tools/document_io.h"

namespace pq::tool {

namespace {

void printShownItems(const Document& document) {
    for (const auto& item : document.items) {
        if (!item->shown) continue;
        std::printf("%s\t%s\n", printable(toUtf8(item->name)).c_str(),
                    printable(toUtf8(item->displayValue())).c_str());
    }
}

} // namespace

int runConvert(std::span<char* const> args) {
    // A first word that names no data file is a value for the folder's units.
    if (args.empty() || typeCodeForPath(args[0]) == 0) return runConvertInFolder(args);
    if (args.size() != 3) return usageError("convert needs FILE UNIT VALUE");
    int status;
    std::unique_ptr<Document> document = loadDocument(args[0], status);
    if (!document) return status;
    const std::u16string unit = fromUtf8(args[1]);
    Item* chosen = nullptr;
    for (const auto& item : document->items)
        if (!chosen && equalsIgnoreCase(item->identifier, unit)) chosen = item.get();
    for (const auto& item : document->items)
        if (!chosen && equalsIgnoreCase(item->name, unit)) chosen = item.get();
    if (!chosen) {
        std::fprintf(stderr, "pqtool: %s has no unit with the identifier or name \"%s\"\n",
                     printable(args[0]).c_str(), printable(args[1]).c_str());
        return kExitUsage;
    }
    ExpressionEngine engine;
    if (!enterValue(*chosen, args[2], engine)) return kExitFailed;
    document->currentItem = chosen;
    document->computeAll(engine);
    printShownItems(*document);
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
