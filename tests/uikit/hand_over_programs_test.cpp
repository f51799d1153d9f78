#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <csignal>
#include <cstring>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "tests/uikit/hand_over_support.h"
#include "tests/uikit/test_support.h"
#include "uikit/hand_over.h"

// The real calculator program and the hand-over.

using namespace pq::ui;
using pq::test::EnvironmentGuard;
using pq::test::HandOverTest;

namespace {

QString calculatorProgram() { return QStringLiteral(PQ_PROGRAM_DIR "/PqCalculator"); }

// The process listening on a socket, as the kernel knows it; 0 when none.
pid_t listenerOf(const QString& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray bytes = QFile::encodeName(path);
    if (bytes.size() >= static_cast<qsizetype>(sizeof address.sun_path)) return 0;
    std::memcpy(address.sun_path, bytes.constData(), bytes.size());
    const int descriptor = socket(AF_UNIX, SOCK_STREAM, 0);
    ucred peer{};
    socklen_t size = sizeof peer;
    const bool found =
        descriptor >= 0 &&
        connect(descriptor, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
        getsockopt(descriptor, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0;
    if (descriptor >= 0) close(descriptor);
    return found ? peer.pid : 0;
}

// Each program started here keeps its settings in a folder of the test.
class ProgramTest : public HandOverTest {
  protected:
    void SetUp() override {
        HandOverTest::SetUp();
        ASSERT_TRUE(config_.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path()));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(config_.path() + QStringLiteral("/cache")));
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QString cachePath() const { return config_.path() + QStringLiteral("/cache"); }
    void TearDown() override {
        for (pid_t pid : started) kill(pid, SIGKILL);
        // A calculator started but not found in time must not outlive the test.
        if (started.empty() && detached) {
            const QString socket = runtimePath() + u'/' + LocalServerName(Program::Calculator);
            pid_t late = 0;
            pq::test::waitFor([&] { return (late = listenerOf(socket)) != 0; }, 5000);
            if (late != 0) kill(late, SIGKILL);
        }
    }
    // Starts the calculator as the converter does.
    OpenResult raiseOrStartCalculator() {
        detached = true;
        return RaiseOrStart(LocalServerName(Program::Calculator), calculatorProgram());
    }
    std::vector<pid_t> started;
    bool detached = false;

  private:
    EnvironmentGuard configGuard_{"XDG_CONFIG_HOME"};
    EnvironmentGuard cacheGuard_{"XDG_CACHE_HOME"};
    EnvironmentGuard platformGuard_{"QT_QPA_PLATFORM"};
    QTemporaryDir config_;
};

// Runs a small program to its end; its standard output, or a null array.
QByteArray run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished();
        return QByteArray();
    }
    return process.exitCode() == 0 ? process.readAllStandardOutput() : QByteArray();
}

} // namespace

TEST_F(ProgramTest, TheCalculatorStartsWithAnUnfitFolderAndSaysSoOnce) {
    ASSERT_EQ(chmod(QFile::encodeName(runtimePath()).constData(), 0755), 0);
    QProcess calculator;
    calculator.setProgram(calculatorProgram());
    calculator.start();
    ASSERT_TRUE(calculator.waitForStarted());
    started.push_back(static_cast<pid_t>(calculator.processId()));
    QByteArray errors;
    ASSERT_TRUE(pq::test::waitFor(
        [&] {
            errors += calculator.readAllStandardError();
            return errors.contains("cannot hand values");
        },
        20000))
        << "the calculator said nothing";
    // Still running a while later, without a second word.
    EXPECT_FALSE(calculator.waitForFinished(1000));
    EXPECT_EQ(calculator.state(), QProcess::Running);
    errors += calculator.readAllStandardError();
    // Qt has its own words about the folder; ours come once.
    EXPECT_EQ(errors.count("cannot hand values"), 1) << errors.constData();
    EXPECT_FALSE(errors.contains("Another PqCalculator")) << errors.constData();
    EXPECT_TRUE(errors.contains(QFile::encodeName(runtimePath()))) << errors.constData();
    EXPECT_TRUE(errors.contains("can be used by other users")) << errors.constData();
    calculator.kill();
    calculator.waitForFinished();
}

TEST_F(ProgramTest, AStartedCalculatorTakesTheValueSentRightAfter) {
    const QString name = LocalServerName(Program::Calculator);
    ASSERT_FALSE(name.isEmpty());
    ASSERT_EQ(raiseOrStartCalculator(), OpenResult::Started);
    // Waited for: it listens as soon as RaiseOrStart returns.
    const pid_t pid = listenerOf(runtimePath() + u'/' + name);
    ASSERT_NE(pid, 0) << "the calculator was not waited for";
    started.push_back(pid);
    EXPECT_TRUE(SendHandOver(name, EncodeValue(1234.5)));

    // A second request raises the running calculator instead of starting
    // another one.
    EXPECT_EQ(raiseOrStartCalculator(), OpenResult::Raised);
    EXPECT_EQ(listenerOf(runtimePath() + u'/' + name), pid);
}

// On a real X display, what the calculator shows is read back through its
// Copy command and the clipboard.
TEST_F(ProgramTest, TheValueHandedOverShowsInTheCalculator) {
    const QString server = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    const QString xclip = QStandardPaths::findExecutable(QStringLiteral("xclip"));
    if (server.isEmpty() || xdotool.isEmpty() || xclip.isEmpty())
        GTEST_SKIP() << "needs Xvfb, xdotool and xclip";
    QProcess display;
    display.start(server,
                  {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                   QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
                   QStringLiteral("640x480x24")});
    QByteArray number;
    ASSERT_TRUE(pq::test::waitFor(
        [&] {
            number += display.readAllStandardOutput();
            return number.contains('\n');
        },
        10000))
        << "no X display";
    EnvironmentGuard displayGuard("DISPLAY");
    qputenv("DISPLAY", ':' + number.trimmed());
    qputenv("QT_QPA_PLATFORM", "xcb");

    const QString name = LocalServerName(Program::Calculator);
    ASSERT_EQ(raiseOrStartCalculator(), OpenResult::Started);
    const pid_t pid = listenerOf(runtimePath() + u'/' + name);
    ASSERT_NE(pid, 0);
    started.push_back(pid);
    ASSERT_TRUE(SendHandOver(name, EncodeValue(2468.25)));

    // The value brings the window forward with the focus, so the keys reach it.
    QByteArray shown;
    pq::test::waitFor(
        [&] {
            run(xdotool, {QStringLiteral("key"), QStringLiteral("ctrl+c")});
            shown = run(xclip, {QStringLiteral("-o"), QStringLiteral("-selection"),
                                QStringLiteral("clipboard")});
            return shown == "2468.25";
        },
        15000);
    EXPECT_EQ(shown, "2468.25");

    kill(pid, SIGKILL);
    display.kill();
    display.waitForFinished();
}

// A start leaves the cache folder alone: nothing is written there, and a
// file an earlier version kept there is neither read nor changed.
TEST_F(ProgramTest, TheCalculatorStartsWithoutWritingItsCacheFolder) {
    const QString folder = cachePath() + QStringLiteral("/Quorvane/PqCalculator");
    auto paintOnce = [] {
        QProcess calculator;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("PQ_EXIT_AFTER_FIRST_PAINT"), QStringLiteral("1"));
        calculator.setProcessEnvironment(environment);
        calculator.start(calculatorProgram(), {});
        const bool ended = calculator.waitForFinished(20000);
        if (!ended) calculator.kill();
        return ended && calculator.exitCode() == 0 &&
               calculator.readAllStandardOutput().startsWith("first-paint ");
    };
    ASSERT_TRUE(paintOnce());
    EXPECT_FALSE(QFileInfo::exists(folder));

    ASSERT_TRUE(QDir().mkpath(folder));
    const QString old = folder + QStringLiteral("/font-queries");
    const QByteArray broken("\x01\x02 not questions\n");
    {
        QFile out(old);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(broken);
    }
    ASSERT_TRUE(paintOnce());
    QFile in(old);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    EXPECT_EQ(in.readAll(), broken);
    EXPECT_EQ(QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(), 1);
}
