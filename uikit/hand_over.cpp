#include "uikit/hand_over.h"

#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QtEndian>

#include <cstring>
#include <memory>

#include <unistd.h>

namespace pq::ui {

namespace {

constexpr int kHeaderSize = 8;

QString userTag() {
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty()) user = qEnvironmentVariable("LOGNAME");
    if (user.isEmpty()) user = QString::number(getuid());
    QString tag;
    for (QChar c : user)
        tag += (c.isLetterOrNumber() && c.unicode() < 128) || c == u'_' || c == u'.' ? c : u'_';
    return tag;
}

} // namespace

QString ProgramName(Program program) {
    return program == Program::Converter ? QStringLiteral("PqConverter")
                                         : QStringLiteral("PqCalculator");
}

QString LocalServerName(Program program) { return ProgramName(program) + u'-' + userTag(); }

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
    // Listening would silently take the name from a running program, so ask
    // first whether one answers; a name that nobody answers is left over.
    QLocalSocket probe;
    probe.connectToServer(name);
    if (probe.waitForConnected(200)) return false;
    QLocalServer::removeServer(name);
    return server_->listen(name);
}

bool HandOverServer::isListening() const { return server_->isListening(); }

bool SendHandOver(const QString& serverName, const QByteArray& messages, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(timeoutMs)) return false;
    socket.write(messages);
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(timeoutMs)) return false;
    socket.disconnectFromServer();
    return true;
}

OpenResult RaiseOrStart(const QString& serverName, const QString& programPath) {
    if (SendHandOver(serverName, EncodeMessage(kRaiseTag), 500)) return OpenResult::Raised;
    const QFileInfo program(programPath);
    if (program.isFile() && program.isExecutable() &&
        QProcess::startDetached(program.absoluteFilePath(), {}))
        return OpenResult::Started;
    return OpenResult::Failed;
}

} // namespace pq::ui
