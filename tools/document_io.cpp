#include "tools/document_io.h"

#include <cstdio>

#include "document/document.h"
#include "document/file_reading.h"
#include "document/printable_text.h"
#include "engine/expression_engine.h"
#include "engine/text.h"
#include "tools/commands.h"

namespace pq::tool {

int typeCodeForPath(const std::string& path) { return typeCodeForFileName(fromUtf8(path)); }

std::unique_ptr<Document> loadDocument(const std::string& path, int& status) {
    std::unique_ptr<Document> document = createDocument(typeCodeForPath(path));
    if (!document) {
        std::fprintf(stderr, "pqtool: %s: a data file name ends in .cnv or .cal\n",
                     printable(path).c_str());
        status = kExitUsage;
        return nullptr;
    }
    if (!document->loadFrom(path, true)) {
        std::fprintf(stderr, "pqtool: %s: cannot be read as a %s file: %s\n",
                     printable(path).c_str(),
                     typeCodeForPath(path) == 1 ? "conversion" : "calculation",
                     document->errorText().c_str());
        status = kExitFailed;
        return nullptr;
    }
    status = warnIfDamaged(path, *document) ? kExitDamaged : kExitOk;
    return document;
}

bool warnIfDamaged(const std::string& file, const Document& document) {
    if (document.readState().kind != ReadState::Kind::Damaged) return false;
    std::fprintf(stderr, "pqtool: warning: %s is damaged: %s. What could be read is shown: %s.\n",
                 printable(file).c_str(), damageText(document).c_str(), keptText(document).c_str());
    return true;
}

bool readWholeFile(const std::string& path, std::string& contents, std::string& error) {
    return readRegularFile(path, contents, error);
}

std::string printable(std::string_view text) { return printableText(text); }

bool enterValue(Item& item, const std::string& text, ExpressionEngine& engine) {
    double value;
    if (!item.format.parseAndEvaluate(fromUtf8(text), engine, value)) {
        std::puts("Error");
        return false;
    }
    item.value = value;
    item.state = ValueState::Valid;
    return true;
}

} // namespace pq::tool
