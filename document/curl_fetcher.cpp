#include <curl/curl.h>

#include <cstdio>
#include <memory>

#include "document/http_fetcher.h"

namespace pq {

namespace {

struct Sink {
    std::FILE* file;
    int64_t written = 0;
    int64_t limit;
    bool tooLarge = false;
};

size_t writeBody(char* data, size_t size, size_t count, void* context) {
    auto* sink = static_cast<Sink*>(context);
    const size_t bytes = size * count;
    if (sink->written + static_cast<int64_t>(bytes) > sink->limit) {
        sink->tooLarge = true;
        return 0; // ends the transfer
    }
    sink->written += static_cast<int64_t>(bytes);
    return std::fwrite(data, 1, bytes, sink->file);
}

void initialiseOnce() {
    static const bool done = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    (void)done;
}

} // namespace

CurlFetcher::CurlFetcher(FetchLimits limits) : limits_(limits) { initialiseOnce(); }

bool CurlFetcher::fetch(const std::string& url, const std::string& path, std::string& error) {
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), curl_easy_cleanup);
    std::unique_ptr<std::FILE, decltype(&std::fclose)> file(std::fopen(path.c_str(), "wb"),
                                                            std::fclose);
    if (!curl || !file) {
        error = "cannot prepare the download";
        return false;
    }
    Sink sink{file.get(), 0, limits_.maxBytes};
    char message[CURL_ERROR_SIZE] = "";
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, limits_.maxRedirects);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, limits_.connectTimeoutSeconds);
    curl_easy_setopt(c, CURLOPT_TIMEOUT, limits_.totalTimeoutSeconds);
    curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits_.maxBytes));
    curl_easy_setopt(c, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, writeBody);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &sink);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, message);
    curl_easy_setopt(c, CURLOPT_USERAGENT, "PqConverter");
    const CURLcode result = curl_easy_perform(c);
    const bool closed = std::fclose(file.release()) == 0;
    if (sink.tooLarge) {
        error = "the file is larger than the limit";
        return false;
    }
    if (result != CURLE_OK) {
        error = message[0] ? message : curl_easy_strerror(result);
        return false;
    }
    if (!closed) {
        error = "cannot write the downloaded file";
        return false;
    }
    return true;
}

} // namespace pq
