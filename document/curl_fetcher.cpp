#include <curl/curl.h>
#include <dlfcn.h>

#include <cstdio>
#include <memory>

#include "document/http_fetcher.h"

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
                function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(
                    dlsym(library, name));
                return function != nullptr;
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

} // namespace

CurlFetcher::CurlFetcher(FetchLimits limits) : limits_(limits) {}

bool CurlFetcher::fetch(const std::string& url, const std::string& path, std::string& error) {
    const Curl* curl = Curl::get();
    if (!curl) {
        error = "the download library (libcurl) is not installed";
        return false;
    }
    std::unique_ptr<CURL, decltype(curl->cleanup)> handle(curl->init(), curl->cleanup);
    std::unique_ptr<std::FILE, decltype(&std::fclose)> file(std::fopen(path.c_str(), "wb"),
                                                            std::fclose);
    if (!handle || !file) {
        error = "cannot prepare the download";
        return false;
    }
    Sink sink{file.get(), 0, limits_.maxBytes};
    char message[CURL_ERROR_SIZE] = "";
    CURL* c = handle.get();
    const auto set = curl->setopt;
    set(c, CURLOPT_URL, url.c_str());
    set(c, CURLOPT_PROTOCOLS_STR, "http,https");
    set(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    set(c, CURLOPT_FOLLOWLOCATION, 1L);
    set(c, CURLOPT_MAXREDIRS, limits_.maxRedirects);
    set(c, CURLOPT_CONNECTTIMEOUT, limits_.connectTimeoutSeconds);
    set(c, CURLOPT_TIMEOUT, limits_.totalTimeoutSeconds);
    set(c, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits_.maxBytes));
    set(c, CURLOPT_FAILONERROR, 1L);
    set(c, CURLOPT_NOSIGNAL, 1L);
    set(c, CURLOPT_WRITEFUNCTION, writeBody);
    set(c, CURLOPT_WRITEDATA, &sink);
    set(c, CURLOPT_ERRORBUFFER, message);
    set(c, CURLOPT_USERAGENT, "PqConverter");
    const CURLcode result = curl->perform(c);
    const bool closed = std::fclose(file.release()) == 0;
    if (sink.tooLarge) {
        error = "the file is larger than the limit";
        return false;
    }
    if (result != CURLE_OK) {
        error = message[0] ? message : curl->strerror(result);
        return false;
    }
    if (!closed) {
        error = "cannot write the downloaded file";
        return false;
    }
    return true;
}

} // namespace pq
