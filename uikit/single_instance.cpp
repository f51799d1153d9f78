#include "uikit/single_instance.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "uikit/hand_over.h"

namespace pq::ui {

InstanceClaim::InstanceClaim(const QString& serverName) : serverName_(serverName) {
    const QString socket = HandOverSocketPath(serverName);
    if (socket.isEmpty()) return;
    const QByteArray path = QFile::encodeName(socket + QStringLiteral(".lock"));
    lock_ = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (lock_ < 0) return; // nothing to tell by: this copy runs
    int result;
    do {
        result = ::flock(lock_, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result == 0) return;
    anotherRuns_ = errno == EWOULDBLOCK;
    ::close(lock_);
    lock_ = -1;
}

InstanceClaim::~InstanceClaim() {
    if (lock_ >= 0) ::close(lock_);
}

bool InstanceClaim::raiseOther(int timeoutMs) const {
    QElapsedTimer waited;
    waited.start();
    while (!SendHandOver(serverName_, EncodeMessage(kRaiseTag), 250)) {
        if (waited.elapsed() > timeoutMs) return false;
        QThread::msleep(50);
    }
    return true;
}

} // namespace pq::ui
