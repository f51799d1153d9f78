#pragma once

#include <chrono>
#include <cstdint>
#include <limits>
#include <string>

namespace pq {

// How far one download may go.
struct FetchLimits {
    long connectTimeoutSeconds = 10;
    long totalTimeoutSeconds = 60;
    int64_t maxBytes = 8 * 1024 * 1024;
    long maxRedirects = 5;
    // A transfer slower than this many bytes a second for lowSpeedSeconds
    // is given up.
    long lowSpeedBytesPerSecond = 100;
    long lowSpeedSeconds = 20;
};

// What is left of a whole run of downloads for the next one.
struct FetchBudget {
    std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max();
    int64_t maxBytes = std::numeric_limits<int64_t>::max();
};

// Fetches a URL into a local file. Implementations are synchronous.
class HttpFetcher {
  public:
    virtual ~HttpFetcher() = default;
    // Writes the body to path; false with a reason on any failure.
    virtual bool fetch(const std::string& url, const std::string& path, std::string& error) = 0;
    // The same within what is left of a run; a fetcher that cannot bound
    // itself fetches as usual and the caller checks afterwards.
    virtual bool fetchWithin(const std::string& url, const std::string& path,
                             const FetchBudget& budget, std::string& error) {
        (void)budget;
        return fetch(url, path, error);
    }
};

// The fetcher over libcurl: http and https only, bounded by the limits.
class CurlFetcher : public HttpFetcher {
  public:
    explicit CurlFetcher(FetchLimits limits = {});
    bool fetch(const std::string& url, const std::string& path, std::string& error) override;
    bool fetchWithin(const std::string& url, const std::string& path, const FetchBudget& budget,
                     std::string& error) override;

  private:
    FetchLimits limits_;
};

} // namespace pq
