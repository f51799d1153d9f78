// The two programs start each other as real processes. The test runs under
// a user name and runtime folder of its own, so that it meets no program of
// the person running it.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QUuid>

#include <csignal>
#include <sys/socket.h>
#include <sys/types.h>

#include "calculator/commands.h"
#include "calculator/expression_edit.h"
#include "calculator/main_frame.h"
#include "calculator/scientific_view.h"
#include "calculator/standard_calculator.h"
#include "converter/commands.h"
#include "document/item.h"
#include "tests/converter/converter_fixture.h"
#include "tests/uikit/test_support.h"
#include "uikit/command_event.h"
#include "uikit/hand_over.h"

using namespace pq;

namespace {

// Set before main(), so that every server name of this process and of the
// programs it starts uses it.
struct OwnUser {
    OwnUser() {
        qputenv("USER", ("pqtest" + QUuid::createUuid().toString(QUuid::Id128).left(10)).toUtf8());
        qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", (runtime.path() + QStringLiteral("/config")).toUtf8());
        qputenv("XDG_CACHE_HOME", (runtime.path() + QStringLiteral("/cache")).toUtf8());
    }
    QTemporaryDir runtime;
};
const OwnUser ownUser;

// The process listening on a local server name, 0 when none answers.
pid_t listenerOf(const QString& serverName) {
    QLocalSocket socket;
    socket.connectToServer(ui::HandOverSocketPath(serverName));
    if (!socket.waitForConnected(500)) return 0;
    ucred credentials{};
    socklen_t size = sizeof credentials;
    if (getsockopt(static_cast<int>(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED,
                   &credentials, &size) != 0)
        return 0;
    return credentials.pid;
}

QString executableOf(pid_t pid) {
    return QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).canonicalFilePath();
}

// Ends a program this test started, by its process id.
void end(pid_t pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    pq::test::waitFor([pid] { return !QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid)); },
                      5000);
}

} // namespace

TEST(ProcessTest, OpenCalculatorStartsTheCalculatorAndHandsTheValueOver) {
    const QString server = ui::LocalServerName(ui::Program::Calculator);
    ASSERT_EQ(listenerOf(server), 0);
    pq::test::ConverterWorld world;
    world.seed({"Length.cnv"});
    world.writeSettings({u"Length.cnv"});
    conv::ConverterOptions options = world.options();
    options.calculatorServer = server;
    options.calculatorProgram = QStringLiteral(PQ_PROGRAM_DIR "/PqCalculator");
    conv::CPqConvFrame frame(world.engine, options);
    Item& item = *frame.document()->currentItem;
    item.value = 42.5;
    item.state = ValueState::Valid;

    frame.onCommand(conv::kCmdOpenCalculator);
    pid_t pid = 0;
    ASSERT_TRUE(pq::test::waitFor([&] { return (pid = listenerOf(server)) != 0; }, 10000));
    EXPECT_EQ(executableOf(pid), QFileInfo(options.calculatorProgram).canonicalFilePath());
    // Once it runs, it is brought forward and takes values rather than
    // being started again.
    EXPECT_EQ(ui::RaiseOrStart(server, QStringLiteral("/nonexistent/PqCalculator")),
              ui::OpenResult::Raised);
    EXPECT_TRUE(ui::SendHandOver(server, ui::EncodeValue(item.value)));
    frame.onCommand(conv::kCmdOpenCalculator);
    EXPECT_EQ(listenerOf(server), pid);
    end(pid);
}

TEST(ProcessTest, OpenConverterStartsTheConverter) {
    const QString server = ui::LocalServerName(ui::Program::Converter);
    ASSERT_EQ(listenerOf(server), 0);
    calc::FrameOptions options;
    options.converterServer = server;
    options.converterProgram = QStringLiteral(PQ_PROGRAM_DIR "/PqConverter");
    ExpressionEngine engine;
    calc::CMainFrame calculator(engine, options);
    ui::PostCommand(&calculator, calc::kCmdOpenConverter);
    pq::test::deliverPosted();
    pid_t pid = 0;
    ASSERT_TRUE(pq::test::waitFor([&] { return (pid = listenerOf(server)) != 0; }, 10000));
    EXPECT_EQ(executableOf(pid), QFileInfo(options.converterProgram).canonicalFilePath());
    EXPECT_EQ(ui::RaiseOrStart(server, options.converterProgram), ui::OpenResult::Raised);
    end(pid);
}

// Open Converter starts the converter (cold) or brings it forward (warm),
// and either way the number the calculator shows goes into the converter's
// selected unit, from both views.
TEST(ProcessTest, OpenConverterHandsTheCalculatorsNumberOverColdAndWarm) {
    const QString server = ui::LocalServerName(ui::Program::Converter);
    ASSERT_EQ(listenerOf(server), 0);
    pq::test::ConverterWorld world;
    world.seed({"Length.cnv"});
    // The converter, as the calculator starts it: without arguments. Its
    // window reports each value its selected unit takes.
    const QString output = world.root.filePath(QStringLiteral("converter.out"));
    const QString program = world.root.filePath(QStringLiteral("PqConverter"));
    {
        QFile script(program);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\nexec '%1' '%2' listen report-value > '%3'\n")
                         .arg(QStringLiteral(PQ_DRIVER), world.root.path(), output)
                         .toLocal8Bit());
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    auto reported = [&output] {
        QFile file(output);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    };

    calc::FrameOptions options;
    options.converterServer = server;
    options.converterProgram = program;
    ExpressionEngine engine;
    calc::CMainFrame calculator(engine, options);
    auto command = [&calculator](unsigned id) {
        ui::PostCommand(&calculator, id);
        pq::test::deliverPosted();
    };
    // Cold, from the standard view: 42.5.
    command(calc::kCmdStandardView);
    for (char16_t key : std::u16string_view(u"42.5"))
        command(calc::kCmdStandardKeyFirst +
                static_cast<unsigned>(calc::StandardCalculator::kKeyCharacters.find(key)));
    ASSERT_EQ(calculator.mainDisplay().shownText(), QStringLiteral("42.5"));
    command(calc::kCmdOpenConverter);
    pid_t pid = 0;
    ASSERT_TRUE(pq::test::waitFor([&] { return (pid = listenerOf(server)) != 0; }, 10000));
    EXPECT_TRUE(pq::test::waitFor(
        [&] { return reported().contains(QStringLiteral("value Kilometre (km) 42.5\n")); }, 10000))
        << reported().toStdString();

    // Warm, from the scientific view: 2^10 shown in hexadecimal is 1024.
    command(calc::kCmdScientificView);
    command(calc::kCmdBaseFirst + 1);
    calculator.scientific()->edit()->setText(QStringLiteral("2^10"));
    command(calc::kCmdEvaluate);
    ASSERT_EQ(calculator.mainDisplay().shownText(), QStringLiteral("400h"));
    command(calc::kCmdOpenConverter);
    EXPECT_TRUE(pq::test::waitFor(
        [&] { return reported().contains(QStringLiteral("value Kilometre (km) 1024\n")); }, 10000))
        << reported().toStdString();
    EXPECT_EQ(listenerOf(server), pid) << "brought forward, not started again";
    end(pid);
}
