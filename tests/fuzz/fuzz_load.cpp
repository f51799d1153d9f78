// Arbitrary bytes as a data file: loading must leave the file as it is, and
// fail cleanly or give a document that saves, loads and saves again to the
// same bytes.

#include <cstddef>
#include <cstdint>

#include "document/data_source.h"
#include "document/document.h"
#include "tests/fuzz/fuzz_support.h"

#ifndef PQ_FUZZ_TYPE
#error "PQ_FUZZ_TYPE selects the document type"
#endif

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pq;
    const std::string folder = fuzz::scratchFolder();
    const std::string input = folder + "input";
    fuzz::writeFile(input, data, size);

    auto header = createDocument(PQ_FUZZ_TYPE);
    header->loadFrom(input, false);
    header->itemCountText();

    auto document = createDocument(PQ_FUZZ_TYPE);
    const bool loaded = document->loadFrom(input, true);
    // Reading never writes.
    if (fuzz::readFile(input) != std::vector<uint8_t>(data, data + size)) __builtin_trap();
    if (!loaded) {
        if (document->loaded || !document->items.empty()) __builtin_trap();
        return 0;
    }
    for (const auto& item : document->items) item->displayValue();
    writeDataSource(*document);
    if (!document->saveTo(folder + "first")) __builtin_trap();
    auto again = createDocument(PQ_FUZZ_TYPE);
    if (!again->loadFrom(folder + "first", true) || !again->saveTo(folder + "second"))
        __builtin_trap();
    if (fuzz::readFile(folder + "first") != fuzz::readFile(folder + "second")) __builtin_trap();
    return 0;
}
