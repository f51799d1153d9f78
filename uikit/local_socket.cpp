#include "uikit/local_socket.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace pq::ui {

namespace {

constexpr int kBacklog = 50;
constexpr int kRetryMs = 10; // between attempts on a server whose queue is full

bool addressOf(const QByteArray& path, sockaddr_un& address) {
    address = sockaddr_un{};
    address.sun_family = AF_UNIX;
    if (path.isEmpty() || path.size() >= static_cast<qsizetype>(sizeof address.sun_path))
        return false;
    std::memcpy(address.sun_path, path.constData(), static_cast<size_t>(path.size()));
    return true;
}

const sockaddr* generic(const sockaddr_un& address) {
    return reinterpret_cast<const sockaddr*>(&address);
}

int newSocket() { return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0); }

// Waits until the descriptor is ready for the events or the time is up.
bool waitReady(int descriptor, short events, const QDeadlineTimer& deadline) {
    for (;;) {
        pollfd entry{descriptor, events, 0};
        const int result = ::poll(&entry, 1, static_cast<int>(deadline.remainingTime()));
        if (result > 0)
            return (entry.revents & (POLLERR | POLLNVAL)) == 0 || (entry.revents & events);
        if (result == 0 || errno != EINTR) return false;
    }
}

} // namespace

void CloseDescriptor(int descriptor) {
    if (descriptor >= 0) ::close(descriptor);
}

int ConnectLocal(const QString& path, int timeoutMs) {
    sockaddr_un address;
    if (!addressOf(QFile::encodeName(path), address)) return -1;
    const int descriptor = newSocket();
    if (descriptor < 0) return -1;
    const QDeadlineTimer deadline(std::max(0, timeoutMs));
    for (;;) {
        if (::connect(descriptor, generic(address), sizeof address) == 0) return descriptor;
        if (errno == EINTR) continue;
        if (errno == EINPROGRESS) {
            int error = 0;
            socklen_t size = sizeof error;
            if (waitReady(descriptor, POLLOUT, deadline) &&
                ::getsockopt(descriptor, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0)
                return descriptor;
            break;
        }
        // A server whose queue of connections is full: it may take ours soon.
        if (errno != EAGAIN || deadline.hasExpired()) break;
        QThread::msleep(static_cast<unsigned long>(
            std::min<qint64>(kRetryMs, std::max<qint64>(1, deadline.remainingTime()))));
    }
    CloseDescriptor(descriptor);
    return -1;
}

bool PeerIsThisUser(int descriptor) {
    if (descriptor < 0) return false;
    ucred peer{};
    socklen_t size = sizeof peer;
    if (::getsockopt(descriptor, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 || size != sizeof peer)
        return false;
    return peer.uid == ::getuid();
}

bool WriteAll(int descriptor, const QByteArray& bytes, int timeoutMs) {
    const QDeadlineTimer deadline(std::max(0, timeoutMs));
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t result = ::send(descriptor, bytes.constData() + written,
                                      static_cast<size_t>(bytes.size() - written), MSG_NOSIGNAL);
        if (result > 0) {
            written += result;
        } else if (result < 0 && errno == EINTR) {
            continue;
        } else if (result < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!waitReady(descriptor, POLLOUT, deadline)) return false;
        } else {
            return false;
        }
    }
    return true;
}

int ListenLocal(const QString& path) {
    const QByteArray target = QFile::encodeName(path);
    sockaddr_un named;
    if (!addressOf(target, named)) return -1;
    // The socket is made in a new folder of its own beside the name, given
    // its access there, and then takes the name in one step, replacing a
    // file a program that ended left behind.
    const qsizetype slash = target.lastIndexOf('/');
    QByteArray folder = (slash < 0 ? QByteArray(".") : target.left(slash)) + "/.pq-XXXXXX";
    sockaddr_un address;
    if (!::mkdtemp(folder.data())) return -1;
    if (!addressOf(folder + "/s", address)) {
        ::rmdir(folder.constData());
        return -1;
    }
    const int descriptor = newSocket();
    bool done = descriptor >= 0 && ::bind(descriptor, generic(address), sizeof address) == 0 &&
                ::chmod(address.sun_path, S_IRWXU) == 0 && ::listen(descriptor, kBacklog) == 0 &&
                ::rename(address.sun_path, target.constData()) == 0;
    if (!done) ::unlink(address.sun_path);
    ::rmdir(folder.constData());
    if (done) return descriptor;
    CloseDescriptor(descriptor);
    return -1;
}

} // namespace pq::ui
