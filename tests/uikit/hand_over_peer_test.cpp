#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/uikit/hand_over_support.h"
#include "tests/uikit/test_support.h"
#include "uikit/hand_over.h"

// Programs of another user, played by a child process that changed its user
// id: neither end talks to them.

using namespace pq::ui;
using pq::test::HandOverTest;

namespace {

constexpr uid_t kOtherUser = 65534;

// Exit codes of the child.
constexpr int kNothingReceived = 0;
constexpr int kSomethingReceived = 1;
constexpr int kStillConnected = 2;
constexpr int kSetUpFailed = 3;

sockaddr_un addressOf(const QString& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray bytes = QFile::encodeName(path);
    std::memcpy(address.sun_path, bytes.constData(),
                std::min<size_t>(bytes.size(), sizeof address.sun_path - 1));
    return address;
}

// Only calls that are safe after fork() in a threaded program.
bool becomeOtherUser() { return setgid(kOtherUser) == 0 && setuid(kOtherUser) == 0; }

// Waits for readable data or the end of the stream, up to the time.
bool readable(int descriptor, int timeoutMs) {
    pollfd wanted{descriptor, POLLIN, 0};
    return poll(&wanted, 1, timeoutMs) == 1;
}

// Runs the event loop until the child ends; its exit code, or -1.
int waitForChild(pid_t child) {
    int status = 0;
    const bool ended =
        pq::test::waitFor([&] { return waitpid(child, &status, WNOHANG) == child; }, 5000);
    if (!ended) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class PeerTest : public HandOverTest {
  protected:
    void SetUp() override {
        if (getuid() != 0) GTEST_SKIP() << "changing to another user needs root";
        HandOverTest::SetUp();
        // A folder the other user can reach as well.
        ASSERT_TRUE(shared_.isValid());
        ASSERT_EQ(chmod(QFile::encodeName(shared_.path()).constData(), 0777), 0);
    }
    QString sharedPath(const char* name) const { return shared_.path() + u'/' + name; }

  private:
    QTemporaryDir shared_;
};

} // namespace

TEST_F(PeerTest, TheClientSendsNothingToAnotherUsersServer) {
    const QString path = sharedPath("server");
    const sockaddr_un address = addressOf(path);
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(ready[0]);
        if (!becomeOtherUser()) _exit(kSetUpFailed);
        const int server = socket(AF_UNIX, SOCK_STREAM, 0);
        if (server < 0 ||
            bind(server, reinterpret_cast<const sockaddr*>(&address), sizeof address) ||
            ::listen(server, 4) || chmod(address.sun_path, 0777))
            _exit(kSetUpFailed);
        (void)!write(ready[1], "r", 1);
        // Every connection the parent makes must close without a byte.
        int code = kNothingReceived;
        for (int connection = 0; connection < 2; ++connection) {
            if (!readable(server, 4000)) _exit(kSetUpFailed);
            const int peer = accept(server, nullptr, nullptr);
            if (peer < 0) _exit(kSetUpFailed);
            char byte = 0;
            if (!readable(peer, 3000)) _exit(kStillConnected);
            if (read(peer, &byte, 1) > 0) code = kSomethingReceived;
            close(peer);
        }
        _exit(code);
    }
    close(ready[1]);
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1) << "the other user's server did not start";
    close(ready[0]);

    EXPECT_FALSE(SendHandOver(path, EncodeValue(1234.5)));
    EXPECT_EQ(RaiseOrStart(path, QStringLiteral("/nonexistent/PqCalculator")), OpenResult::Failed);
    EXPECT_EQ(waitForChild(child), kNothingReceived);
}

TEST_F(PeerTest, TheServerDropsAnotherUsersConnections) {
    const QString path = sharedPath("server");
    std::vector<HandOverMessage> received;
    HandOverServer server([&](const HandOverMessage& m) { received.push_back(m); });
    ASSERT_TRUE(server.listen(path));
    // Open the socket file to everybody, so that only the credentials stand
    // between the other user and the server.
    ASSERT_EQ(chmod(QFile::encodeName(path).constData(), 0777), 0);

    const QByteArray message = EncodeValue(666);
    const sockaddr_un address = addressOf(path);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (!becomeOtherUser()) _exit(kSetUpFailed);
        const int client = socket(AF_UNIX, SOCK_STREAM, 0);
        if (client < 0 ||
            connect(client, reinterpret_cast<const sockaddr*>(&address), sizeof address))
            _exit(kSetUpFailed);
        (void)!write(client, message.constData(), message.size());
        // The server hangs up without answering.
        char byte = 0;
        if (!readable(client, 4000)) _exit(kStillConnected);
        _exit(read(client, &byte, 1) > 0 ? kSomethingReceived : kNothingReceived);
    }
    EXPECT_EQ(waitForChild(child), kNothingReceived);
    pq::test::deliverPosted();
    EXPECT_TRUE(received.empty());

    // This user's values still arrive.
    ASSERT_TRUE(SendHandOver(path, EncodeValue(1)));
    ASSERT_TRUE(pq::test::waitFor([&] { return received.size() == 1; }));
}
