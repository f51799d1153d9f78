#include <curl/curl.h>
#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "document/http_fetcher.h"
#include "document/loaded_library.h"

namespace pq {

namespace {

// libcurl and the many libraries behind it are loaded only when a download
// runs, so that starting a program that never downloads stays fast.
struct Curl {
    decltype(&curl_global_init) globalInit = nullptr;
    decltype(&curl_easy_init) init = nullptr;
    decltype(&curl_easy_setopt) setopt = nullptr;
    decltype(&curl_easy_perform) perform = nullptr;
    decltype(&curl_easy_cleanup) cleanup = nullptr;
    decltype(&curl_easy_strerror) strerror = nullptr;

    static const Curl* get() {
        static const Curl* loaded = []() -> const Curl* {
            void* library = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
            if (!library) return nullptr;
            static Curl curl;
            auto bind = [library](auto& function, const char* name) {
                return BindSymbol(library, function, name);
            };
            if (!bind(curl.globalInit, "curl_global_init") || !bind(curl.init, "curl_easy_init") ||
                !bind(curl.setopt, "curl_easy_setopt") ||
                !bind(curl.perform, "curl_easy_perform") ||
                !bind(curl.cleanup, "curl_easy_cleanup") ||
                !bind(curl.strerror, "curl_easy_strerror") ||
                curl.globalInit(CURL_GLOBAL_DEFAULT) != CURLE_OK)
                return nullptr;
            return &curl;
        }();
        return loaded;
    }
};

struct Sink {
    std::FILE* file;
    int64_t written = 0;
    int64_t limit;
    bool tooLarge = false;
    bool writeFailed = false;
};

size_t writeBody(char* data, size_t size, size_t count, void* context) {
    auto* sink = static_cast<Sink*>(context);
    const size_t bytes = size * count;
    if (sink->written + static_cast<int64_t>(bytes) > sink->limit) {
        sink->tooLarge = true;
        return 0; // ends the transfer
    }
    sink->written += static_cast<int64_t>(bytes);
    const size_t done = std::fwrite(data, 1, bytes, sink->file);
    if (done != bytes) sink->writeFailed = true;
    return done;
}

// Why a download failed, in words a user can act on; libcurl's own text
// where it says more than a user could do anything with.
std::string plainReason(CURLcode result, const std::string& detail) {
    switch (result) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        return "the server's name could not be looked up; is the computer connected to the "
               "internet?";
    case CURLE_COULDNT_CONNECT:
        return "the server could not be reached; is the computer connected to the internet?";
    case CURLE_OPERATION_TIMEDOUT:
        return "the server did not answer in time; try again later";
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
        return "no secure connection to the server could be made (" + detail + ")";
    case CURLE_TOO_MANY_REDIRECTS:
        return "the server passed the download on too many times";
    case CURLE_UNSUPPORTED_PROTOCOL:
        return "only addresses beginning with http:// or https:// can be downloaded";
    case CURLE_HTTP_RETURNED_ERROR: {
        // "The requested URL returned error: 404"
        const size_t colon = detail.rfind(": ");
        const int status = colon == std::string::npos ? 0 : std::atoi(detail.c_str() + colon + 2);
        const std::string code = " (error " + std::to_string(status) + ")";
        if (status == 404 || status == 410) return "the server has no such file" + code;
        if (status >= 500 && status <= 599)
            return "the server could not answer" + code + "; try again later";
        if (status >= 400 && status <= 499) return "the server refused the download" + code;
        return detail;
    }
    default: return detail;
    }
}

} // namespace

CurlFetcher::CurlFetcher(FetchLimits limits) : limits_(limits) {}

bool CurlFetcher::fetch(const std::string& url, const std::string& path, std::string& error) {
    return fetchWithin(url, path, FetchBudget{}, error);
}

bool CurlFetcher::fetchWithin(const std::string& url, const std::string& path,
                              const FetchBudget& budget, std::string& error) {
    using namespace std::chrono;
    const Curl* curl = Curl::get();
    if (!curl) {
        error = "the download library (libcurl) is not installed";
        return false;
    }
    // The file's own limits, tightened to what is left of the run.
    const auto now = steady_clock::now();
    int64_t timeoutMs = limits_.totalTimeoutSeconds * 1000;
    if (budget.deadline != steady_clock::time_point::max())
        timeoutMs = std::min<int64_t>(timeoutMs,
                                      duration_cast<milliseconds>(budget.deadline - now).count());
    const int64_t maxBytes = std::min(limits_.maxBytes, budget.maxBytes);
    if (timeoutMs <= 0) {
        error = "no time left for the download";
        return false;
    }
    std::unique_ptr<CURL, decltype(curl->cleanup)> handle(curl->init(), curl->cleanup);
    std::unique_ptr<std::FILE, decltype(&std::fclose)> file(std::fopen(path.c_str(), "wb"),
                                                            std::fclose);
    if (!handle || !file) {
        error = "cannot prepare the download";
        return false;
    }
    Sink sink{file.get(), 0, maxBytes};
    char message[CURL_ERROR_SIZE] = "";
    CURL* c = handle.get();
    const auto set = curl->setopt;
    const CURLcode options[] = {
        set(c, CURLOPT_URL, url.c_str()),
        set(c, CURLOPT_PROTOCOLS_STR, "http,https"),
        set(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https"),
        set(c, CURLOPT_FOLLOWLOCATION, 1L),
        set(c, CURLOPT_MAXREDIRS, limits_.maxRedirects),
        set(c, CURLOPT_CONNECTTIMEOUT, limits_.connectTimeoutSeconds),
        set(c, CURLOPT_TIMEOUT_MS, static_cast<long>(timeoutMs)),
        set(c, CURLOPT_LOW_SPEED_LIMIT, limits_.lowSpeedBytesPerSecond),
        set(c, CURLOPT_LOW_SPEED_TIME, limits_.lowSpeedSeconds),
        set(c, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(maxBytes)),
        set(c, CURLOPT_FAILONERROR, 1L),
        set(c, CURLOPT_NOSIGNAL, 1L),
        set(c, CURLOPT_WRITEFUNCTION, writeBody),
        set(c, CURLOPT_WRITEDATA, &sink),
        set(c, CURLOPT_ERRORBUFFER, message),
        set(c, CURLOPT_USERAGENT, "PqConverter"),
    };
    for (CURLcode result : options) {
        if (result != CURLE_OK) {
            // A download without all of its bounds does not start.
            error = std::string("cannot set up the download: ") + curl->strerror(result);
            return false;
        }
    }
    const CURLcode result = curl->perform(c);
    const bool written = !sink.writeFailed && std::fflush(file.get()) == 0;
    const bool closed = std::fclose(file.release()) == 0;
    if (sink.tooLarge || result == CURLE_FILESIZE_EXCEEDED) {
        error = maxBytes < limits_.maxBytes ? "larger than the " + std::to_string(maxBytes) +
                                                  " bytes left for this download"
                                            : "the file is larger than the limit";
        return false;
    }
    if (sink.writeFailed || !written || !closed) {
        error = "cannot write the downloaded file";
        return false;
    }
    if (result != CURLE_OK) {
        error = plainReason(result, message[0] ? message : curl->strerror(result));
        return false;
    }
    return true;
}

} // namespace pq
