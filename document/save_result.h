#pragma once

#include <string>

namespace pq {

// What became of one request to write a document into its file.
struct SaveResult {
    enum class Outcome {
        Saved,         // the file now holds the document
        Unchanged,     // nothing to write: the file holds the document already
        Failed,        // the file could not be written (`cause` says why); it is as it was
        ChangedOnDisk, // another program changed the file since it was read: not written
        NotEditable,   // the document is read-only, damaged or unread: never written
    };

    Outcome outcome = Outcome::Unchanged;
    std::string file;  // the file's name with its extension, no folder
    std::string cause; // "no space left on device", "the file is marked read-only", ...

    bool ok() const { return outcome == Outcome::Saved || outcome == Outcome::Unchanged; }
};

} // namespace pq
