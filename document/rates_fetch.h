#pragma once

#include <string>

#include "document/reference_rates.h"
#include "document/update_downloader.h"

namespace pq {

class HttpFetcher;

// What one look at the download source found.
struct RatesFetch {
    enum class Outcome {
        Rates,  // the bank's daily document, read: `rates`
        Other,  // an update list or update file: a source for the Download command alone
        Failed, // nothing usable: `reason` says why
    };
    Outcome outcome = Outcome::Failed;
    ReferenceRates rates;
    std::string reason;
};

// Limits for one look: the daily document is small, and a look that takes
// long is given up.
inline constexpr DownloadLimits kRatesFetchLimits{std::chrono::minutes(1),
                                                  static_cast<int64_t>(kMaxReferenceRatesBytes)};

// Fetches the one document at url, within the limits, into a private
// temporary folder that goes afterwards, and reads the bank's rates from it
// when it is the bank's document (known by its content, as the Download
// command knows it). Writes nothing else. Safe to run on any thread.
RatesFetch fetchReferenceRates(HttpFetcher& fetcher, const std::string& url,
                               const DownloadLimits& limits = kRatesFetchLimits);

} // namespace pq
