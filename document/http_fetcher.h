#pragma once

#include <cstdint>
#include <string>

namespace pq {

// How far one download may go.
struct FetchLimits {
    long connectTimeoutSeconds = 10;
    long totalTimeoutSeconds = 60;
    int64_t maxBytes = 8 * 1024 * 1024;
    long maxRedirects = 5;
};

// Fetches a URL into a local file. Implementations are synchronous.
class HttpFetcher {
  public:
    virtual ~HttpFetcher() = default;
    // Writes the body to path; false with a reason on any failure.
    virtual bool fetch(const std::string& url, const std::string& path, std::string& error) = 0;
};

// The fetcher over libcurl: http and https only, bounded by the limits.
class CurlFetcher : public HttpFetcher {
  public:
    explicit CurlFetcher(FetchLimits limits = {});
    bool fetch(const std::string& url, const std::string& path, std::string& error) override;

  private:
    FetchLimits limits_;
};

} // namespace pq
