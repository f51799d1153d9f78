#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pq {

class DataFolder;

// The euro foreign exchange reference rates of the European Central Bank,
// as its daily XML document publishes them:
//
//     <gesmes:Envelope xmlns:gesmes="..." xmlns="...">
//       <gesmes:subject>Reference rates</gesmes:subject>
//       <gesmes:Sender><gesmes:name>European Central Bank</gesmes:name></gesmes:Sender>
//       <Cube>
//         <Cube time="2026-12-08">
//           <Cube currency="USD" rate="1.0845"/>
//           ...
//
// Each rate says how many units of the currency one euro buys.
struct ReferenceRates {
    std::string date; // "YYYY-MM-DD"
    // Currency code ("USD") and the rate exactly as published ("1.0845").
    std::vector<std::pair<std::string, std::string>> rates;
};

// Larger documents are refused unread: the daily one is under 2 KiB.
constexpr size_t kMaxReferenceRatesBytes = 512 * 1024;

// Whether downloaded bytes are an XML document rather than an update list
// or update file: after an optional byte order mark and white space they
// begin with "<?xml", "<gesmes:Envelope" or "<Envelope".
bool isReferenceRatesDocument(std::string_view bytes);
// The same for the first bytes of a file; false when it cannot be read.
bool isReferenceRatesFile(const std::string& path);

// Reads the document; false with a reason when it is larger than the limit,
// not well-formed, declares a document type or entities, or holds a rate
// that is not a positive decimal number, a malformed currency code (three
// upper-case letters), the same currency twice, or a missing or malformed
// date. A document with several dates gives the rates of the latest.
bool parseReferenceRates(std::string_view xml, ReferenceRates& rates, std::string& error);

// The text of the update file for "Currency.cnv": one line per currency,
// "EUR<TAB>code<TAB>rate", and an "Updated:" stamp that names the bank and
// the date. Currencies the file has no unit for are skipped when it is
// applied, so that a currency the bank adds does not stop the others.
std::string referenceRatesUpdate(const ReferenceRates& rates);

// Reads the downloaded document at path and writes the update of
// "Currency.cnv" it gives to updatePath; false with a reason, and nothing
// written, when the document cannot be used.
bool writeReferenceRatesUpdate(const std::string& path, const std::string& updatePath,
                               std::string& error);

} // namespace pq
