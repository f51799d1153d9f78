// pqtool dump and pqtool compile: data files to their text form and back.

#include <cstdio>
#include <string>

#include "document/data_source.h"
#include "document/document.h"
#include "tools/commands.h"
#include "tools/document_io.h"

namespace pq::tool {

int runDump(std::span<char* const> args) {
    if (args.size() != 1) return usageError("dump needs exactly one FILE");
    int status;
    std::unique_ptr<Document> document = loadDocument(args[0], status);
    if (!document) return status;
    std::string text = writeDataSource(*document);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return status;
}

int runCompile(std::span<char* const> args) {
    if (args.size() != 2) return usageError("compile needs a SOURCE and an OUT file");
    const std::string source = args[0];
    const std::string out = args[1];
    // OUT is written only from a source that was read whole and compiled.
    std::string text;
    std::string reason;
    if (!readWholeFile(source, text, reason)) {
        std::fprintf(stderr, "pqtool: %s: cannot be read: %s\n", printable(source).c_str(),
                     reason.c_str());
        return kExitFailed;
    }
    SourceError error;
    std::unique_ptr<Document> document = compileDataSource(text, typeCodeForPath(out), error);
    if (!document) {
        if (error.line > 0)
            std::fprintf(stderr, "pqtool: %s:%d: %s\n", printable(source).c_str(), error.line,
                         printable(error.message).c_str());
        else
            std::fprintf(stderr, "pqtool: %s: %s\n", printable(source).c_str(),
                         printable(error.message).c_str());
        return kExitFailed;
    }
    if (!document->saveTo(out)) {
        std::fprintf(stderr, "pqtool: %s: cannot be written: %s\n", printable(out).c_str(),
                     document->errorText().c_str());
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace pq::tool
