#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>

class QSocketNotifier;

namespace pq::ui {

// The two programs find each other through local servers named after the
// program, the user's numeric id and the display ("PqCalculator-1000-0" on
// the X display ":0"; "PqCalculator-1000" without a display), whatever the
// environment says the user is called.
//
// A name without "/" is a socket in this user's private folder
// (HandOverFolder(), checked before every use); a name with "/" is a socket
// path the caller chose, used as given. Either way both ends check the peer:
// a server drops every connection from another user, and a client sends
// nothing to a server of another user.
enum class Program { Converter, Calculator };
QString ProgramName(Program program); // "PqConverter", "PqCalculator"
// Empty when the private folder cannot be used: values are not handed over
// in this run, and one message on standard error said why.
QString LocalServerName(Program program);
// The display the programs show their windows on, as a part of a name:
// $WAYLAND_DISPLAY, else $DISPLAY without its screen number and leading
// ":" (":0.0" gives "0"), any character but letters, digits, "-" and "."
// made "_"; empty without a display.
QString DisplayNameText();
// Where the socket of a server name lies; empty when the name cannot be used.
QString HandOverSocketPath(const QString& serverName);

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
// What a window does with a message it receives: it comes to the front for
// a raise, and for a well-formed value also takes the value. Other messages
// change nothing.
void ActOnHandOver(const HandOverMessage& message, const std::function<void()>& bringToFront,
                   const std::function<void(double)>& takeValue);

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

    // Listens on the name; a name left behind by a program of this user that
    // ended is taken over. False when another running program listens on it,
    // the name is empty, or its folder fails the check.
    bool listen(const QString& name);
    bool isListening() const;

  private:
    class Connection;
    void accept();
    // Stops listening and gives up the name.
    void close();

    Handler handler_;
    int listener_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    QString path_;
    // The socket file as made, so that one put in its place later stays.
    quint64 device_ = 0;
    quint64 inode_ = 0;
};

// Sends messages to this user's program listening on the name. False when
// none listens, the server belongs to another user (nothing is sent), or the
// bytes could not be handed over within the time.
bool SendHandOver(const QString& serverName, const QByteArray& messages, int timeoutMs = 1000);

// Brings the program listening on the name to the front, or else starts the
// program file without arguments. After starting it, waits until the started
// program's server answers, so that a message sent right afterwards reaches
// the new program: it asks about every 25 ms, for up to 500 ms in any case
// and then for as long as the started process still runs, up to 5 s in all.
// Started does not promise an answer: a program that answered in none of
// that time was still started. With an empty name (no hand-over in this run)
// the program is only started, without waiting.
enum class OpenResult { Raised, Started, Failed };
OpenResult RaiseOrStart(const QString& serverName, const QString& programPath);

// Hands a value to the program RaiseOrStart just opened. A program just
// started may still be making its window: it is asked again, while the
// caller's event loop goes on, for up to 30 s (or until the next value from
// the same context replaces this one). False when a running program did
// not take it.
bool SendValueAfterOpening(QObject* context, const QString& serverName, OpenResult opened,
                           double value);

} // namespace pq::ui
