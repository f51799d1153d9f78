#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace pq {

class Document;

// The text form of a data file, for people and text editors: one field per
// line ("key: value"), sections for items and conversions, comments on
// lines starting with '#', defaults for omitted fields. Writing a document
// and compiling the text gives back the same document, and so the same
// file bytes.
//
//     type: conversions
//     title: Length
//     category: Distance
//     updated: 1 January 2026
//
//     [unit]
//     id: ft
//     name: Foot
//
//     [unit]
//     id: m
//     name: Metre
//
//     [conversion]
//     from: ft
//     to: m
//     factor: 0.3048
//
// Texts are UTF-8; a value in double quotes keeps leading and trailing
// spaces and may hold the escapes \" \\ \n \r \t and \uXXXX.
std::string writeDataSource(const Document& document);

struct SourceError {
    int line = 0; // 0: the text as a whole
    std::string message;
};

// The document a source describes. typeCode gives the document type when the
// source has no "type:" line (1 conversion, 2 calculation, 0 none known); a
// "type:" line that contradicts it is an error.
std::unique_ptr<Document> compileDataSource(std::string_view source, int typeCode,
                                            SourceError& error);

} // namespace pq
