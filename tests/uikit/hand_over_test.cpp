#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstring>
#include <memory>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "tests/uikit/hand_over_support.h"
#include "tests/uikit/test_support.h"
#include "uikit/hand_over.h"
#include "uikit/single_instance.h"

using namespace pq::ui;
using pq::test::HandOverTest;
using pq::test::uniqueName;

namespace {

// What a program that crashed leaves behind: a socket file nobody listens on.
bool leaveDeadSocket(const QString& path) {
    const QByteArray bytes = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (bytes.size() >= static_cast<qsizetype>(sizeof address.sun_path)) return false;
    std::memcpy(address.sun_path, bytes.constData(), bytes.size());
    const int descriptor = socket(AF_UNIX, SOCK_STREAM, 0);
    if (descriptor < 0) return false;
    const bool bound =
        bind(descriptor, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::listen(descriptor, 1) == 0;
    close(descriptor);
    return bound;
}

} // namespace

TEST(HandOver, MessagesHaveTagLengthAndLittleEndianData) {
    const QByteArray bytes = EncodeValue(255.5);
    EXPECT_EQ(bytes, QByteArray::fromHex("01000000"
                                         "08000000"
                                         "0000000000f06f40"));
    EXPECT_EQ(EncodeMessage(kRaiseTag), QByteArray::fromHex("02000000"
                                                            "00000000"));

    HandOverDecoder decoder;
    const QByteArray stream = bytes + EncodeMessage(kRaiseTag) + EncodeValue(-0.125);
    for (char byte : stream) decoder.append(QByteArray(1, byte)); // arrives in pieces
    HandOverMessage message;
    double value = 0;
    ASSERT_TRUE(decoder.next(message));
    ASSERT_TRUE(DecodeValue(message, value));
    EXPECT_EQ(value, 255.5);
    ASSERT_TRUE(decoder.next(message));
    EXPECT_EQ(message.tag, kRaiseTag);
    EXPECT_FALSE(DecodeValue(message, value));
    ASSERT_TRUE(decoder.next(message));
    ASSERT_TRUE(DecodeValue(message, value));
    EXPECT_EQ(value, -0.125);
    EXPECT_FALSE(decoder.next(message));

    // A value message whose data is not one double is no value.
    EXPECT_FALSE(DecodeValue({kValueTag, QByteArray(4, '\0')}, value));

    // A length beyond any message ends the stream.
    HandOverDecoder hostile;
    hostile.append(QByteArray::fromHex("01000000"
                                       "ffffff7f"));
    EXPECT_FALSE(hostile.next(message));
    EXPECT_TRUE(hostile.failed());
}

TEST_F(HandOverTest, ServerNamesCarryTheNumericUserIdAndTheDisplay) {
    const QString uid = QString::number(getuid());
    const pq::test::EnvironmentGuard display("DISPLAY"), wayland("WAYLAND_DISPLAY");
    qunsetenv("DISPLAY");
    qunsetenv("WAYLAND_DISPLAY");
    // One program per user and display: the display is part of the name.
    const struct {
        const char* wayland;
        const char* x;
        const char* text;
    } displays[] = {
        {"", ":0", "0"},
        {"", ":0.0", "0"},
        {"", ":1.2", "1"},
        {"", "localhost:10.0", "localhost_10"},
        {"wayland-0", ":0", "wayland-0"},
        {"/run/user/1000/wayland-1", "", "_run_user_1000_wayland-1"},
    };
    for (const auto& d : displays) {
        qputenv("WAYLAND_DISPLAY", d.wayland);
        qputenv("DISPLAY", d.x);
        EXPECT_EQ(DisplayNameText(), QString::fromLatin1(d.text)) << d.wayland << d.x;
        EXPECT_EQ(LocalServerName(Program::Converter),
                  QStringLiteral("PqConverter-") + uid + u'-' + QString::fromLatin1(d.text));
    }
    qunsetenv("DISPLAY");
    qunsetenv("WAYLAND_DISPLAY");

    for (const char* user : {"mallory", "", "../../tmp/x", "0"}) {
        qputenv("USER", user);
        EXPECT_EQ(LocalServerName(Program::Converter), QStringLiteral("PqConverter-") + uid);
        EXPECT_EQ(LocalServerName(Program::Calculator), QStringLiteral("PqCalculator-") + uid);
    }
    qunsetenv("USER");
    EXPECT_EQ(LocalServerName(Program::Calculator), QStringLiteral("PqCalculator-") + uid);

    // The socket itself lives in the private folder; a path is taken as given.
    EXPECT_EQ(HandOverSocketPath(QStringLiteral("PqCalculator-") + uid),
              runtimePath() + QStringLiteral("/PqCalculator-") + uid);
    EXPECT_EQ(HandOverSocketPath(QStringLiteral("/run/x")), QStringLiteral("/run/x"));
    for (const char* unusable : {"", ".", ".."})
        EXPECT_EQ(HandOverSocketPath(QString::fromLatin1(unusable)), QString());
    HandOverServer server([](const HandOverMessage&) {});
    ASSERT_TRUE(server.listen(LocalServerName(Program::Calculator)));
    EXPECT_TRUE(QFileInfo::exists(runtimePath() + QStringLiteral("/PqCalculator-") + uid));
    ASSERT_TRUE(SendHandOver(LocalServerName(Program::Calculator), EncodeMessage(kRaiseTag)));
    QTemporaryDir elsewhere;
    ASSERT_TRUE(elsewhere.isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(elsewhere.path()));
    EXPECT_FALSE(SendHandOver(LocalServerName(Program::Calculator), EncodeMessage(kRaiseTag)));
}

TEST_F(HandOverTest, OneClaimPerNameWhileItsHolderLives) {
    const QString name = uniqueName();
    auto first = std::make_unique<InstanceClaim>(name);
    EXPECT_FALSE(first->anotherRuns());
    EXPECT_TRUE(InstanceClaim(name).anotherRuns());
    EXPECT_FALSE(InstanceClaim(uniqueName()).anotherRuns()) << "another name is free";
    EXPECT_FALSE(InstanceClaim(name).raiseOther(100)) << "nobody listens yet";
    first.reset();
    EXPECT_FALSE(InstanceClaim(name).anotherRuns()) << "free once its holder is gone";
    EXPECT_FALSE(InstanceClaim(QString()).anotherRuns()) << "no name claims nothing";
}

TEST(FolderClaimTest, AFolderHeldOnAnotherComputerIsNamedAndNeverTaken) {
    // Another computer holds the folder: it locked the file on the file
    // server and wrote who it is.
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QByteArray path = QFile::encodeName(folder.filePath(QStringLiteral(".PqConverter.lock")));
    const int other = ::open(path.constData(), O_RDWR | O_CREAT, 0600);
    ASSERT_GE(other, 0);
    const QByteArray who = "host=office-pc\nprocess=4711\nuser=1000\ndisplay=0\nserver=x\n";
    ASSERT_EQ(::write(other, who.constData(), static_cast<size_t>(who.size())), who.size());
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    ASSERT_EQ(::fcntl(other, F_OFD_SETLK, &lock), 0);
    {
        const FolderClaim claim(folder.path(), QStringLiteral("PqConverter"), QStringLiteral("me"));
        EXPECT_EQ(claim.state(), FolderClaim::State::Taken);
        EXPECT_FALSE(claim.holderIsHere());
        EXPECT_EQ(claim.holderText(),
                  QStringLiteral("on the computer \"office-pc\" (process 4711)"));
    }
    EXPECT_EQ(QFile(QString::fromUtf8(path)).size(), who.size()) << "the holder's word stays";
    ::close(other); // the other computer is gone: the server lets go of its lock
    const FolderClaim claim(folder.path(), QStringLiteral("PqConverter"), QStringLiteral("me"));
    EXPECT_EQ(claim.state(), FolderClaim::State::Held);
    EXPECT_EQ(claim.holder().host, HostName());
    EXPECT_EQ(claim.holder().process, QCoreApplication::applicationPid());

    // A folder that cannot be written cannot be locked: nothing is kept out.
    const FolderClaim missing(folder.filePath(QStringLiteral("missing")),
                              QStringLiteral("PqConverter"), QString());
    EXPECT_EQ(missing.state(), FolderClaim::State::Unlocked);
    EXPECT_FALSE(missing.problem().isEmpty());
}

TEST_F(HandOverTest, ValuesReachTheListeningProgram) {
    const QString name = uniqueName();
    std::vector<HandOverMessage> received;
    HandOverServer server([&](const HandOverMessage& m) { received.push_back(m); });
    ASSERT_TRUE(server.listen(name));

    // A second program cannot take the name while the first one listens.
    HandOverServer second([](const HandOverMessage&) {});
    EXPECT_FALSE(second.listen(name));

    ASSERT_TRUE(SendHandOver(name, EncodeMessage(kRaiseTag) + EncodeValue(1234.5)));
    ASSERT_TRUE(pq::test::waitFor([&] { return received.size() == 2; }));
    EXPECT_EQ(received[0].tag, kRaiseTag);
    double value = 0;
    ASSERT_TRUE(DecodeValue(received[1], value));
    EXPECT_EQ(value, 1234.5);

    EXPECT_FALSE(SendHandOver(uniqueName(), EncodeValue(1), 200));
}

TEST_F(HandOverTest, TheSocketOfACrashedProgramIsTakenOver) {
    const QString name = LocalServerName(Program::Calculator);
    ASSERT_TRUE(leaveDeadSocket(runtimePath() + u'/' + name));
    EXPECT_FALSE(SendHandOver(name, EncodeValue(1), 200));

    std::vector<HandOverMessage> received;
    HandOverServer server([&](const HandOverMessage& m) { received.push_back(m); });
    ASSERT_TRUE(server.listen(name));
    EXPECT_TRUE(server.isListening());
    ASSERT_TRUE(SendHandOver(name, EncodeValue(42)));
    ASSERT_TRUE(pq::test::waitFor([&] { return received.size() == 1; }));
    double value = 0;
    EXPECT_TRUE(DecodeValue(received[0], value));
    EXPECT_EQ(value, 42);

    // A file left in its place is replaced as well.
    const QString other = uniqueName();
    QFile leftover(runtimePath() + u'/' + other);
    ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
    leftover.close();
    HandOverServer second([](const HandOverMessage&) {});
    EXPECT_TRUE(second.listen(other));
}

TEST_F(HandOverTest, RaiseOrStartPrefersTheRunningProgram) {
    const QString name = uniqueName();
    std::vector<HandOverMessage> received;
    HandOverServer server([&](const HandOverMessage& m) { received.push_back(m); });
    ASSERT_TRUE(server.listen(name));
    EXPECT_EQ(RaiseOrStart(name, QStringLiteral("/nonexistent/PqConverter")), OpenResult::Raised);
    ASSERT_TRUE(pq::test::waitFor([&] { return !received.empty(); }));
    EXPECT_EQ(received[0].tag, kRaiseTag);

    EXPECT_EQ(RaiseOrStart(uniqueName(), QStringLiteral("/nonexistent/PqConverter")),
              OpenResult::Failed);
    EXPECT_EQ(RaiseOrStart(uniqueName(), QDir::tempPath()), OpenResult::Failed);
    EXPECT_EQ(RaiseOrStart(uniqueName(), QStringLiteral("/bin/true")), OpenResult::Started);
}

TEST_F(HandOverTest, RaiseOrStartWaitsForTheStartedProgram) {
    // A program that ends without listening is waited for no longer than the
    // first half second; one that keeps running without listening, up to the
    // longest wait.
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(RaiseOrStart(uniqueName(), QStringLiteral("/bin/true")), OpenResult::Started);
    EXPECT_GE(timer.elapsed(), 450);
    EXPECT_LT(timer.elapsed(), 2000);

    const QString script = runtimePath() + QStringLiteral("/sleeper");
    QFile file(script);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\nexec sleep 6\n");
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    timer.restart();
    EXPECT_EQ(RaiseOrStart(uniqueName(), script), OpenResult::Started);
    EXPECT_GE(timer.elapsed(), 4900);
    EXPECT_LT(timer.elapsed(), 6500);

    // Without a hand-over there is nothing to wait for.
    timer.restart();
    EXPECT_EQ(RaiseOrStart(QString(), QStringLiteral("/bin/true")), OpenResult::Started);
    EXPECT_LT(timer.elapsed(), 400);
}
