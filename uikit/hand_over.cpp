#include "uikit/hand_over.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QThread>
#include <QtEndian>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <memory>

#include <sys/socket.h>
#include <unistd.h>

#include "uikit/hand_over_folder.h"

namespace pq::ui {

namespace {

constexpr int kHeaderSize = 8;

constexpr int kPollMs = 25;          // between the questions to a starting program
constexpr int kFirstWaitMs = 500;    // how long a started program is waited for in any case
constexpr int kLongestWaitMs = 5000; // ... and while it still runs

// Whether the process at the other end of a connected local socket runs as
// this user, as the kernel recorded it when the connection was made.
bool peerIsThisUser(qintptr descriptor) {
    if (descriptor < 0) return false;
    ucred peer{};
    socklen_t size = sizeof peer;
    if (getsockopt(static_cast<int>(descriptor), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 ||
        size != sizeof peer)
        return false;
    return peer.uid == getuid();
}

// Connects to this user's server on the name; a server of anybody else is
// left at once, before a byte is sent.
bool connectToOwnServer(QLocalSocket& socket, const QString& path, int timeoutMs) {
    if (path.isEmpty()) return false;
    socket.connectToServer(path);
    if (!socket.waitForConnected(timeoutMs)) return false;
    if (peerIsThisUser(socket.socketDescriptor())) return true;
    socket.abort();
    return false;
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
        QLocalSocket probe;
        if (connectToOwnServer(probe, path, kPollMs)) return;
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

HandOverServer::HandOverServer(Handler handler, QObject* parent)
    : QObject(parent), server_(new QLocalServer(this)), handler_(std::move(handler)) {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            if (!peerIsThisUser(socket->socketDescriptor())) {
                socket->abort(); // another user: not a byte is read
                socket->deleteLater();
                continue;
            }
            auto decoder = std::make_shared<HandOverDecoder>();
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket, decoder] {
                decoder->append(socket->readAll());
                HandOverMessage message;
                while (decoder->next(message)) handler_(message);
                if (decoder->failed()) socket->abort();
            });
        }
    });
}

HandOverServer::~HandOverServer() = default;

bool HandOverServer::listen(const QString& name) {
    const QString path = HandOverSocketPath(name);
    if (path.isEmpty()) return false;
    // Listening would silently take the name from a running program, so ask
    // first whether one answers; a name that nobody answers is left over.
    QLocalSocket probe;
    probe.connectToServer(path);
    if (probe.waitForConnected(200)) return false;
    QLocalServer::removeServer(path);
    return server_->listen(path);
}

bool HandOverServer::isListening() const { return server_->isListening(); }

bool SendHandOver(const QString& serverName, const QByteArray& messages, int timeoutMs) {
    QLocalSocket socket;
    if (!connectToOwnServer(socket, HandOverSocketPath(serverName), timeoutMs)) return false;
    socket.write(messages);
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(timeoutMs)) return false;
    socket.disconnectFromServer();
    return true;
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

} // namespace pq::ui
