#include "uikit/single_instance.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "uikit/hand_over.h"
#include "uikit/hand_over_folder.h"

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

namespace {

// Takes the lock of a whole file without waiting: 0, or -1 with errno set
// (EAGAIN, EACCES or EWOULDBLOCK while another holds it).
int lockWholeFile(int fd) {
    int result;
#ifdef F_OFD_SETLK
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    do {
        result = ::fcntl(fd, F_OFD_SETLK, &lock);
    } while (result != 0 && errno == EINTR);
    if (result == 0 || errno != EINVAL) return result;
#endif
    do {
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    return result;
}

bool takenByAnother(int error) {
    return error == EAGAIN || error == EACCES || error == EWOULDBLOCK;
}

QByteArray describe(const FolderClaim::Holder& holder) {
    return QStringLiteral("host=%1\nprocess=%2\nuser=%3\ndisplay=%4\nserver=%5\n")
        .arg(holder.host)
        .arg(holder.process)
        .arg(holder.user, holder.display, holder.server)
        .toUtf8();
}

FolderClaim::Holder readHolder(int fd) {
    FolderClaim::Holder holder;
    char buffer[4096];
    const ssize_t n = ::pread(fd, buffer, sizeof buffer, 0);
    if (n <= 0) return holder;
    for (const QString& line : QString::fromUtf8(buffer, n).split(u'\n')) {
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0) continue;
        const QString key = line.left(equals), value = line.mid(equals + 1);
        if (key == u"host")
            holder.host = value;
        else if (key == u"process")
            holder.process = value.toLongLong();
        else if (key == u"user")
            holder.user = value;
        else if (key == u"display")
            holder.display = value;
        else if (key == u"server")
            holder.server = value;
    }
    return holder;
}

} // namespace

QString HostName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return QString();
    return QString::fromLocal8Bit(name);
}

FolderClaim::FolderClaim(const QString& folder, const QString& program, const QString& serverName) {
    QString path = folder;
    if (!path.endsWith(u'/')) path += u'/';
    path += u'.' + program + QStringLiteral(".lock");
    lock_ = ::open(QFile::encodeName(path).constData(),
                   O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0666);
    if (lock_ < 0) {
        problem_ = QString::fromLocal8Bit(std::strerror(errno));
        return;
    }
    if (lockWholeFile(lock_) == 0) {
        state_ = State::Held;
        holder_ = {HostName(), static_cast<qint64>(::getpid()), UserIdText(), DisplayNameText(),
                   serverName};
        const QByteArray text = describe(holder_);
        // The file only tells who holds the lock: a failure here is no failure
        // of the claim.
        if (::ftruncate(lock_, 0) == 0 &&
            ::pwrite(lock_, text.constData(), static_cast<size_t>(text.size()), 0) < 0)
            qWarning("The lock file of %s could not be written.", qPrintable(folder));
        return;
    }
    const int error = errno;
    if (takenByAnother(error)) {
        state_ = State::Taken;
        holder_ = readHolder(lock_);
    } else {
        problem_ = QString::fromLocal8Bit(std::strerror(error));
    }
    ::close(lock_);
    lock_ = -1;
}

FolderClaim::~FolderClaim() {
    if (lock_ >= 0) ::close(lock_); // the system lets go of the lock with it
}

bool FolderClaim::holderIsHere() const {
    return state_ == State::Taken && !holder_.server.isEmpty() && holder_.host == HostName() &&
           holder_.user == UserIdText() && holder_.display == DisplayNameText();
}

QString FolderClaim::holderText() const {
    if (holder_.host.isEmpty()) return QStringLiteral("elsewhere");
    if (holder_.host != HostName())
        return QStringLiteral("on the computer \"%1\" (process %2)")
            .arg(holder_.host)
            .arg(holder_.process);
    QString text = QStringLiteral("on this computer (process %1").arg(holder_.process);
    // An X display is named as people write it (":1"), any other as it is.
    bool number = false;
    holder_.display.toUInt(&number);
    if (!holder_.display.isEmpty())
        text += QStringLiteral(", display %1%2")
                    .arg(number ? QStringLiteral(":") : QString(), holder_.display);
    return text + u')';
}

} // namespace pq::ui
