#pragma once

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace pq::test {

// A small HTTP/1.0 server on 127.0.0.1 at a free port, serving given paths
// from memory in a thread of its own; stopped when destroyed.
class TestHttpServer {
  public:
    TestHttpServer();
    ~TestHttpServer();
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    std::string url(const std::string& path) const;
    void serve(const std::string& path, const std::string& body);
    void redirect(const std::string& path, const std::string& location);
    // Sends the body one byte at a time with a pause after each.
    void serveSlowly(const std::string& path, const std::string& body,
                     std::chrono::milliseconds pause);
    // How many requests have been answered so far.
    int requests() const { return requests_; }

  private:
    void loop();
    void answer(int connection);

    int listener_ = -1;
    int wake_[2] = {-1, -1};
    int port_ = 0;
    std::mutex mutex_;
    std::map<std::string, std::pair<int, std::string>> routes_; // status, body or location
    std::map<std::string, std::chrono::milliseconds> pauses_;
    std::atomic<int> requests_{0};
    std::thread thread_;
};

// A port that accepts connections and never answers.
class SilentServer {
  public:
    SilentServer();
    ~SilentServer();
    std::string url(const std::string& path) const;

  private:
    int listener_ = -1;
    int port_ = 0;
};

} // namespace pq::test
