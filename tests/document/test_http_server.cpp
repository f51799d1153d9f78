#include "tests/document/test_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace pq::test {

namespace {

int listenOnLoopback(int& port) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0; // the system picks a free port
    socklen_t length = sizeof address;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 16) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return -1;
    port = ntohs(address.sin_port);
    return fd;
}

void sendAll(int fd, const std::string& data) {
    size_t sent = 0;
    while (sent < data.size()) {
        ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return;
        sent += static_cast<size_t>(n);
    }
}

} // namespace

TestHttpServer::TestHttpServer() {
    listener_ = listenOnLoopback(port_);
    if (::pipe(wake_) != 0) wake_[0] = wake_[1] = -1;
    thread_ = std::thread([this] { loop(); });
}

TestHttpServer::~TestHttpServer() {
    if (wake_[1] >= 0) (void)::write(wake_[1], "x", 1);
    if (thread_.joinable()) thread_.join();
    for (int fd : {listener_, wake_[0], wake_[1]})
        if (fd >= 0) ::close(fd);
}

std::string TestHttpServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void TestHttpServer::serve(const std::string& path, const std::string& body) {
    std::lock_guard lock(mutex_);
    routes_[path] = {200, body};
}

void TestHttpServer::serveSlowly(const std::string& path, const std::string& body,
                                 std::chrono::milliseconds pause) {
    std::lock_guard lock(mutex_);
    routes_[path] = {200, body};
    pauses_[path] = pause;
}

void TestHttpServer::redirect(const std::string& path, const std::string& location) {
    std::lock_guard lock(mutex_);
    routes_[path] = {302, location};
}

void TestHttpServer::loop() {
    for (;;) {
        pollfd fds[2] = {{listener_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) continue;
        if (fds[1].revents) return;
        if (fds[0].revents & POLLIN) {
            int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (connection >= 0) {
                answer(connection);
                ::close(connection);
            }
        }
    }
}

void TestHttpServer::answer(int connection) {
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
        pollfd fd{connection, POLLIN, 0};
        if (::poll(&fd, 1, 2000) <= 0) return;
        ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
        if (n <= 0) return;
        request.append(buffer, static_cast<size_t>(n));
    }
    const size_t start = request.find(' ') + 1;
    const std::string path = request.substr(start, request.find(' ', start) - start);
    std::pair<int, std::string> route{404, "not here"};
    std::chrono::milliseconds pause{0};
    {
        std::lock_guard lock(mutex_);
        if (auto it = routes_.find(path); it != routes_.end()) route = it->second;
        if (auto it = pauses_.find(path); it != pauses_.end()) pause = it->second;
    }
    std::string response;
    if (route.first == 302) {
        response =
            "HTTP/1.0 302 Found\r\nLocation: " + route.second + "\r\nContent-Length: 0\r\n\r\n";
    } else {
        response = "HTTP/1.0 " + std::string(route.first == 200 ? "200 OK" : "404 Not Found") +
                   "\r\nContent-Length: " + std::to_string(route.second.size()) + "\r\n\r\n" +
                   route.second;
    }
    ++requests_;
    if (pause.count() == 0) {
        sendAll(connection, response);
        return;
    }
    // A trickle, until the client gives up or the server is stopped.
    const size_t body = response.size() - route.second.size();
    sendAll(connection, response.substr(0, body));
    for (size_t i = body; i < response.size(); ++i) {
        pollfd fds[2] = {{connection, POLLRDHUP, 0}, {wake_[0], POLLIN, 0}};
        if (::poll(fds, 2, static_cast<int>(pause.count())) != 0) return;
        if (::send(connection, response.data() + i, 1, MSG_NOSIGNAL) != 1) return;
    }
}

SilentServer::SilentServer() { listener_ = listenOnLoopback(port_); }

SilentServer::~SilentServer() {
    if (listener_ >= 0) ::close(listener_);
}

std::string SilentServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

} // namespace pq::test
