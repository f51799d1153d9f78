#pragma once

#include <string>

namespace pq {

// How a document's file was found when it was last read, and so whether the
// program may write it. A new document, which has no file yet, is whole.
struct ReadState {
    enum class Kind {
        Whole,    // read completely, and this user may write it
        Damaged,  // records were dropped while reading: the file is left as it is
        Failed,   // the file could not be read at all (`reason` says why)
        ReadOnly, // read completely, but it may not be written (`reason` says why)
    };

    Kind kind = Kind::Whole;
    // Damaged: the units and conversions that could not be read. A list of
    // conversions whose count is beyond what the file could hold gives -1.
    int droppedUnits = 0;
    int droppedConversions = 0;
    // Damaged: bytes after the last record that belong to none.
    bool strayBytes = false;
    std::string reason;
};

} // namespace pq
