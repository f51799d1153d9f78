#include "document/rates_fetch.h"

#include <fstream>

#include "document/download_folder.h"
#include "document/http_fetcher.h"
#include "document/printable_text.h"

namespace pq {

namespace {

std::string seconds(std::chrono::milliseconds time) {
    const auto ms = time.count();
    return ms % 1000 == 0 ? std::to_string(ms / 1000) + " seconds" : std::to_string(ms) + " ms";
}

RatesFetch failed(std::string reason) {
    RatesFetch result;
    result.reason = std::move(reason);
    return result;
}

} // namespace

RatesFetch fetchReferenceRates(HttpFetcher& fetcher, const std::string& url,
                               const DownloadLimits& limits) {
    using Clock = std::chrono::steady_clock;
    DownloadFolder folder("pqconv-rates-");
    if (!folder.valid()) return failed("no folder for the downloaded file");
    const Clock::time_point deadline = Clock::now() + limits.deadline;
    const std::string tooLong = "the download took longer than " + seconds(limits.deadline);
    std::string reason;
    if (!fetcher.fetchWithin(url, folder.file("rates"), {deadline, limits.totalBytes}, reason)) {
        // The transfer's own clock may end it a moment before the deadline.
        if (Clock::now() + std::chrono::milliseconds(20) >= deadline) return failed(tooLong);
        return failed(printableText(reason));
    }
    if (Clock::now() > deadline) return failed(tooLong);
    std::ifstream in(folder.file("rates"), std::ios::binary);
    std::string bytes;
    // A fetcher that cannot bound itself is held to the limit here.
    bytes.resize(static_cast<size_t>(limits.totalBytes) + 1);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<size_t>(in.gcount()));
    if (in.bad()) return failed("the downloaded file cannot be read");
    if (static_cast<int64_t>(bytes.size()) > limits.totalBytes)
        return failed("the download source sent more than " + std::to_string(limits.totalBytes) +
                      " bytes");
    if (bytes.starts_with("PQCLST") || bytes.starts_with("PQCUPD")) {
        RatesFetch result;
        result.outcome = RatesFetch::Outcome::Other;
        return result;
    }
    if (!isReferenceRatesDocument(bytes))
        return failed("the download source sent no exchange rates");
    RatesFetch result;
    if (!parseReferenceRates(bytes, result.rates, reason))
        return failed("the exchange rates cannot be read: " + reason);
    result.outcome = RatesFetch::Outcome::Rates;
    return result;
}

} // namespace pq
