#include "tools/document_io.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#include "document/document.h"
#include "engine/text.h"

namespace pq::tool {

int typeCodeForPath(const std::string& path) { return typeCodeForFileName(fromUtf8(path)); }

std::unique_ptr<Document> loadDocument(const std::string& path) {
    std::unique_ptr<Document> document = createDocument(typeCodeForPath(path));
    if (!document) {
        std::fprintf(stderr, "pqtool: %s: a data file name ends in .cnv or .cal\n", path.c_str());
        return nullptr;
    }
    if (!document->loadFrom(path, true)) {
        std::fprintf(stderr, "pqtool: %s: cannot be read as a %s file (missing, or damaged)\n",
                     path.c_str(), typeCodeForPath(path) == 1 ? "conversion" : "calculation");
        return nullptr;
    }
    return document;
}

bool readWholeFile(const std::string& path, std::string& contents) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    contents = buffer.str();
    return !in.bad();
}

} // namespace pq::tool
