#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>

class QLocalServer;

namespace pq::ui {

// The two programs find each other through local servers named after the
// program and the user, so that the programs of two users stay apart.
enum class Program { Converter, Calculator };
QString ProgramName(Program program); // "PqConverter", "PqCalculator"
QString LocalServerName(Program program);

// A hand-over message: a tag and its data. On the wire: the tag and the
// data's length as 32-bit little-endian integers, then the data.
struct HandOverMessage {
    quint32 tag = 0;
    QByteArray data;
};

// Tag 1: a value, one 8-byte little-endian IEEE double.
constexpr quint32 kValueTag = 1;
// Tag 2: bring your window to the front. No data.
constexpr quint32 kRaiseTag = 2;

QByteArray EncodeMessage(quint32 tag, const QByteArray& data = QByteArray());
QByteArray EncodeValue(double value);
// The value of a well-formed value message.
bool DecodeValue(const HandOverMessage& message, double& value);

// Cuts messages out of a byte stream that arrives in pieces.
class HandOverDecoder {
  public:
    static constexpr quint32 kMaxData = 64 * 1024;

    void append(const QByteArray& bytes) { buffer_ += bytes; }
    // The next complete message. False when none is complete, or when the
    // stream announced more data than any message may hold (failed()).
    bool next(HandOverMessage& message);
    bool failed() const { return failed_; }

  private:
    QByteArray buffer_;
    bool failed_ = false;
};

// Receives the messages sent to a local server name.
class HandOverServer : public QObject {
  public:
    using Handler = std::function<void(const HandOverMessage&)>;

    explicit HandOverServer(Handler handler, QObject* parent = nullptr);
    ~HandOverServer() override;

    // Listens on the name; a name left behind by a program that ended is
    // taken over. False when another running program listens on it.
    bool listen(const QString& name);
    bool isListening() const;

  private:
    QLocalServer* server_;
    Handler handler_;
};

// Sends messages to the program listening on the name. False when none
// listens or the bytes could not be handed over within the time.
bool SendHandOver(const QString& serverName, const QByteArray& messages, int timeoutMs = 1000);

// Brings the program listening on the name to the front, or else starts the
// program file without arguments.
enum class OpenResult { Raised, Started, Failed };
OpenResult RaiseOrStart(const QString& serverName, const QString& programPath);

} // namespace pq::ui
