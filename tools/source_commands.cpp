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
    std::unique_ptr<Document> document = loadDocument(args[0]);
    if (!document) return kExitFailed;
    std::string text = writeDataSource(*document);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return kExitOk;
}

int runCompile(std::span<char* const> args) {
    if (args.size() != 2) return usageError("compile needs a SOURCE and an OUT file");
    const std::string source = args[0];
    const std::string out = args[1];
    std::string text;
    if (!readWholeFile(source, text)) {
        std::fprintf(stderr, "pqtool: %s: cannot be read\n", source.c_str());
        return kExitFailed;
    }
    SourceError error;
    std::unique_ptr<Document> document = compileDataSource(text, typeCodeForPath(out), error);
    if (!document) {
        if (error.line > 0)
            std::fprintf(stderr, "pqtool: %s:%d: %s\n", source.c_str(), error.line,
                         error.message.c_str());
        else
            std::fprintf(stderr, "pqtool: %s: %s\n", source.c_str(), error.message.c_str());
        return kExitFailed;
    }
    if (!document->saveTo(out)) {
        std::fprintf(stderr, "pqtool: %s: cannot be written\n", out.c_str());
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace pq::tool
