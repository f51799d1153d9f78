#include "uikit/hand_over.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <QtEndian>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <memory>

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include "uikit/hand_over_folder.h"
#include "uikit/local_socket.h"

namespace pq::ui {

namespace {

constexpr int kHeaderSize = 8;

constexpr int kPollMs = 25;          // between the questions to a starting program
constexpr int kFirstWaitMs = 500;    // how long a started program is waited for in any case
constexpr int kLongestWaitMs = 5000; // ... and while it still runs

// Connects to this user's server at the path; a server of anybody else is
// left at once, before a byte is sent. The descriptor, or -1.
int connectToOwnServer(const QString& path, int timeoutMs) {
    if (path.isEmpty()) return -1;
    const int descriptor = ConnectLocal(path, timeoutMs);
    if (descriptor < 0 || PeerIsThisUser(descriptor)) return descriptor;
    CloseDescriptor(descriptor);
    return -1;
}

// The device and inode of a file, not following a link; false when it is
// gone.
bool identify(const QString& path, quint64& device, quint64& inode) {
    struct stat status {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0) return false;
    device = status.st_dev;
    inode = status.st_ino;
    return true;
}

bool processRunning(qint64 pid) {
    if (pid <= 0) return false;
    if (kill(static_cast<pid_t>(pid), 0) != 0 && errno != EPERM) return false;
    // A process that ended but was not reaped yet still answers kill().
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return true;
    const QByteArray line = stat.readAll();
    const qsizetype state = line.lastIndexOf(')') + 2; // the name may hold ")"
    return state < 2 || state >= line.size() || (line[state] != 'Z' && line[state] != 'X');
}

// Waits until a started program's server answers (see RaiseOrStart).
void waitForServer(const QString& serverName, qint64 pid) {
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        const QString path = HandOverSocketPath(serverName);
        if (path.isEmpty()) return;
        if (const int probe = connectToOwnServer(path, kPollMs); probe >= 0) {
            CloseDescriptor(probe);
            return;
        }
        const qint64 elapsed = timer.elapsed();
        if (elapsed >= kLongestWaitMs || (elapsed >= kFirstWaitMs && !processRunning(pid))) return;
        QThread::msleep(kPollMs);
    }
}

} // namespace

QString ProgramName(Program program) {
    return program == Program::Converter ? QStringLiteral("PqConverter")
                                         : QStringLiteral("PqCalculator");
}

QString DisplayNameText() {
    QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty()) {
        display = qEnvironmentVariable("DISPLAY");
        // ":0.0" is the display ":0": the screen number goes.
        const qsizetype colon = display.lastIndexOf(u':');
        const qsizetype dot = display.indexOf(u'.', colon + 1);
        if (colon >= 0 && dot > colon) display.truncate(dot);
        if (display.startsWith(u':')) display.remove(0, 1);
    }
    QString text;
    for (const QChar c : display.left(40)) {
        const bool plain = (c.unicode() < 128 && c.isLetterOrNumber()) || c == u'-' || c == u'.';
        text += plain ? c : QChar(u'_');
    }
    return text;
}

QString LocalServerName(Program program) {
    if (HandOverFolder().isEmpty()) return QString();
    const QString display = DisplayNameText();
    return ProgramName(program) + u'-' + UserIdText() +
           (display.isEmpty() ? QString() : u'-' + display);
}

// A bare name lives in this user's private folder, a name with "/" is used
// as given.
QString HandOverSocketPath(const QString& serverName) {
    if (serverName.contains(u'/')) return serverName;
    if (serverName.isEmpty() || serverName == u"." || serverName == u"..") return QString();
    const QString folder = HandOverFolder();
    return folder.isEmpty() ? QString() : folder + u'/' + serverName;
}

QByteArray EncodeMessage(quint32 tag, const QByteArray& data) {
    QByteArray bytes(kHeaderSize, '\0');
    qToLittleEndian<quint32>(tag, bytes.data());
    qToLittleEndian<quint32>(static_cast<quint32>(data.size()), bytes.data() + 4);
    return bytes + data;
}

QByteArray EncodeValue(double value) {
    quint64 bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    QByteArray data(8, '\0');
    qToLittleEndian<quint64>(bits, data.data());
    return EncodeMessage(kValueTag, data);
}

bool DecodeValue(const HandOverMessage& message, double& value) {
    if (message.tag != kValueTag || message.data.size() != 8) return false;
    const quint64 bits = qFromLittleEndian<quint64>(message.data.constData());
    std::memcpy(&value, &bits, sizeof value);
    return true;
}

void ActOnHandOver(const HandOverMessage& message, const std::function<void()>& bringToFront,
                   const std::function<void(double)>& takeValue) {
    double value = 0;
    if (message.tag == kRaiseTag) {
        bringToFront();
    } else if (DecodeValue(message, value)) {
        bringToFront();
        takeValue(value);
    }
}

bool HandOverDecoder::next(HandOverMessage& message) {
    if (failed_ || buffer_.size() < kHeaderSize) return false;
    const quint32 tag = qFromLittleEndian<quint32>(buffer_.constData());
    const quint32 size = qFromLittleEndian<quint32>(buffer_.constData() + 4);
    if (size > kMaxData) {
        failed_ = true;
        buffer_.clear();
        return false;
    }
    if (buffer_.size() < kHeaderSize + static_cast<qsizetype>(size)) return false;
    message.tag = tag;
    message.data = buffer_.mid(kHeaderSize, size);
    buffer_.remove(0, kHeaderSize + size);
    return true;
}

// One connection to the server: what arrives is cut into messages for the
// handler until the client hangs up or sends what no message can be.
class HandOverServer::Connection : public QObject {
  public:
    Connection(int descriptor, HandOverServer& server)
        : QObject(&server), descriptor_(descriptor), server_(server),
          notifier_(descriptor, QSocketNotifier::Read, this) {
        connect(&notifier_, &QSocketNotifier::activated, this, [this] { readAvailable(); });
    }
    ~Connection() override { CloseDescriptor(descriptor_); }

  private:
    void readAvailable() {
        char buffer[4096];
        bool ended = false;
        while (!ended) {
            const ssize_t count = ::read(descriptor_, buffer, sizeof buffer);
            if (count < 0 && errno == EINTR) continue;
            if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
            ended = count <= 0; // hung up, or the connection failed
            if (ended) break;
            decoder_.append(QByteArray(buffer, count));
            HandOverMessage message;
            while (decoder_.next(message)) server_.handler_(message);
            ended = decoder_.failed();
        }
        if (ended) {
            notifier_.setEnabled(false);
            deleteLater();
        }
    }

    int descriptor_;
    HandOverServer& server_;
    QSocketNotifier notifier_;
    HandOverDecoder decoder_;
};

HandOverServer::HandOverServer(Handler handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)) {}

HandOverServer::~HandOverServer() { close(); }

bool HandOverServer::listen(const QString& name) {
    const QString path = HandOverSocketPath(name);
    if (path.isEmpty() || isListening()) return false;
    // Listening would silently take the name from a running program, so ask
    // first whether one answers; a name that nobody answers is left over.
    if (const int probe = ConnectLocal(path, 200); probe >= 0) {
        CloseDescriptor(probe);
        return false;
    }
    listener_ = ListenLocal(path);
    if (listener_ < 0) return false;
    path_ = path;
    identify(path, device_, inode_);
    notifier_ = new QSocketNotifier(listener_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { accept(); });
    return true;
}

bool HandOverServer::isListening() const { return listener_ >= 0; }

void HandOverServer::accept() {
    for (;;) {
        const int descriptor = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (descriptor < 0) {
            if (errno == EINTR || errno == ECONNABORTED) continue;
            return;
        }
        if (!PeerIsThisUser(descriptor)) {
            CloseDescriptor(descriptor); // another user: not a byte is read
            continue;
        }
        new Connection(descriptor, *this);
    }
}

void HandOverServer::close() {
    if (listener_ < 0) return;
    delete notifier_;
    notifier_ = nullptr;
    CloseDescriptor(listener_);
    listener_ = -1;
    // The name is given up, unless another program's socket took it since.
    quint64 device = 0, inode = 0;
    if (identify(path_, device, inode) && device == device_ && inode == inode_)
        ::unlink(QFile::encodeName(path_).constData());
}

bool SendHandOver(const QString& serverName, const QByteArray& messages, int timeoutMs) {
    const int descriptor = connectToOwnServer(HandOverSocketPath(serverName), timeoutMs);
    if (descriptor < 0) return false;
    const bool sent = WriteAll(descriptor, messages, timeoutMs);
    CloseDescriptor(descriptor);
    return sent;
}

OpenResult RaiseOrStart(const QString& serverName, const QString& programPath) {
    if (!serverName.isEmpty() && SendHandOver(serverName, EncodeMessage(kRaiseTag), 500))
        return OpenResult::Raised;
    const QFileInfo program(programPath);
    qint64 pid = 0;
    if (!program.isFile() || !program.isExecutable() ||
        !QProcess::startDetached(program.absoluteFilePath(), {}, QString(), &pid))
        return OpenResult::Failed;
    if (!serverName.isEmpty()) waitForServer(serverName, pid);
    return OpenResult::Started;
}

bool SendValueAfterOpening(QObject* context, const QString& serverName, OpenResult opened,
                           double value) {
    const QString retryName = QStringLiteral("pq-hand-over-retry");
    delete context->findChild<QTimer*>(retryName, Qt::FindDirectChildrenOnly);
    if (opened == OpenResult::Failed || serverName.isEmpty()) return false;
    const QByteArray message = EncodeValue(value);
    if (SendHandOver(serverName, message, 250)) return true;
    if (opened != OpenResult::Started) return false;
    auto* retry = new QTimer(context);
    retry->setObjectName(retryName);
    auto waited = std::make_shared<QElapsedTimer>();
    waited->start();
    QObject::connect(retry, &QTimer::timeout, retry, [retry, waited, serverName, message] {
        if (!SendHandOver(serverName, message, 100) && waited->elapsed() <= 30000) return;
        retry->stop();
        retry->deleteLater();
    });
    retry->start(100);
    return true;
}

} // namespace pq::ui
