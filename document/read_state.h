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
    // Damaged: the units (items of a calculation file) and conversions the
    // file announces, and those of them that could not be read (a
    // conversion whose unit could not be read among them). A list of
    // conversions whose count is missing or beyond what the file could hold
    // gives -1 for both conversion counts: how many were lost is not known.
    int unitsInFile = 0;
    int droppedUnits = 0;
    int conversionsInFile = 0;
    int droppedConversions = 0;
    // Damaged: bytes after the last record that belong to none.
    bool strayBytes = false;
    std::string reason;
};

} // namespace pq
