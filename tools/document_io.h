#pragma once

#include <memory>
#include <string>

namespace pq {
class Document;
}

namespace pq::tool {

// The document type a file name asks for: 1 for ".cnv", 2 for ".cal" (any
// case), 0 otherwise.
int typeCodeForPath(const std::string& path);

// Loads a whole data file, or prints why it cannot and returns none.
std::unique_ptr<Document> loadDocument(const std::string& path);

bool readWholeFile(const std::string& path, std::string& contents);

} // namespace pq::tool
