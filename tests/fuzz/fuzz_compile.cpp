// Arbitrary text as the text form of a data file: compiling must refuse it
// with a line number or give a document whose own text form compiles to the
// same bytes.

#include <cstddef>
#include <cstdint>
#include <string>

#include "document/data_source.h"
#include "document/document.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pq;
    if (size < 1 || size > 16384) return 0;
    const int type = data[0] % 3; // 0: the text must name its type
    std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    SourceError error;
    auto document = compileDataSource(text, type, error);
    if (!document) {
        if (error.message.empty()) __builtin_trap();
        return 0;
    }
    const std::string folder = fuzz::scratchFolder();
    if (!document->saveTo(folder + "compiled")) return 0; // e.g. a text too long to store
    const std::string written = writeDataSource(*document);
    auto back = compileDataSource(written, document->typeCode(), error);
    if (!back || !back->saveTo(folder + "again")) __builtin_trap();
    if (fuzz::readFile(folder + "compiled") != fuzz::readFile(folder + "again")) __builtin_trap();
    return 0;
}
