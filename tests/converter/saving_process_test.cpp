// What reaches the disk when the converter's process is killed, runs out of
// room, or is simply opened and closed; and that one converter runs per user
// and display, and per data folder. Each case runs real processes, under the user name and
// runtime folder of this test program (see process_test.cpp).
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QSettings>
#include <QtEndian>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

#include "document/document.h"
#include "tests/converter/converter_fixture.h"
#include "tests/uikit/test_support.h"
#include "uikit/hand_over.h"
#include "uikit/single_instance.h"

using namespace pq;
using pq::test::ConverterWorld;

namespace {

const QString kConverter = QStringLiteral(PQ_PROGRAM_DIR "/PqConverter");
const QString kDriver = QStringLiteral(PQ_DRIVER);

// A program this test started; its standard output arrives line by line.
class Started {
  public:
    // `display`: the display the program runs on, when not this test's;
    // its standard error then arrives with its output.
    Started(const QString& program, const QStringList& arguments, long fileSizeLimit = 0,
            const QString& display = QString()) {
        if (fileSizeLimit > 0) {
            process.setChildProcessModifier([fileSizeLimit] {
                // Writes past the limit fail with EFBIG, as on a full disk.
                std::signal(SIGXFSZ, SIG_IGN);
                const rlimit limit{static_cast<rlim_t>(fileSizeLimit),
                                   static_cast<rlim_t>(fileSizeLimit)};
                setrlimit(RLIMIT_FSIZE, &limit);
            });
        }
        // The programs read the settings this test writes.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        QDir settings = QFileInfo(QSettings(conv::ConverterSettings::organisation(),
                                            conv::ConverterSettings::application())
                                      .fileName())
                            .absoluteDir();
        settings.cdUp();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), settings.path());
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), settings.path() + "/cache");
        if (!display.isEmpty()) {
            environment.insert(QStringLiteral("DISPLAY"), display);
            environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
            process.setProcessChannelMode(QProcess::MergedChannels);
        }
        process.setProcessEnvironment(environment);
        process.start(program, arguments);
        process.waitForStarted(10000);
    }
    ~Started() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }

    // Waits for a line of standard output that starts with `prefix`.
    bool waitForLine(const QString& prefix, int timeoutMs = 10000) {
        auto found = [&] {
            for (const QString& line : lines)
                if (line.startsWith(prefix)) return true;
            return false;
        };
        test::waitFor(
            [&] {
                read();
                return found() || process.state() == QProcess::NotRunning;
            },
            timeoutMs);
        return found();
    }
    // The exit status once the program ended by itself; -1 if it did not.
    int exitCode(int timeoutMs = 10000) {
        // It may have ended already, seen while the test waited for another
        // event.
        if (process.state() != QProcess::NotRunning && !process.waitForFinished(timeoutMs))
            return -1;
        if (process.exitStatus() != QProcess::NormalExit) return -1;
        read();
        return process.exitCode();
    }
    void signal(int number) { ::kill(static_cast<pid_t>(process.processId()), number); }

    QProcess process;
    QStringList lines;

  private:
    void read() {
        while (process.canReadLine()) lines << QString::fromUtf8(process.readLine()).trimmed();
        process.waitForReadyRead(20);
    }
};

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int64_t modifiedNs(const QString& path) {
    struct stat info {};
    stat(QFile::encodeName(path).constData(), &info);
    return static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
}

bool hasUnit(const QString& path, const char16_t* name) {
    ConversionDocument document;
    if (!document.loadFrom(path.toStdString(), true)) return false;
    for (const auto& item : document.items)
        if (item->name == name) return true;
    return false;
}

// Whether a program listens on this user's converter name.
bool converterListens() {
    QLocalSocket socket;
    socket.connectToServer(ui::HandOverSocketPath(ui::LocalServerName(ui::Program::Converter)));
    return socket.waitForConnected(200);
}

} // namespace

TEST(SavingProcessTest, AChangeAndTheFileInUseAreOnDiskTheMomentTheyAreMade) {
    ConverterWorld world;
    world.seed({"Length.cnv", "Weight.cnv"});
    world.writeSettings({u"Length.cnv", u"Weight.cnv"});
    Started driver(kDriver,
                   {world.root.path(), QStringLiteral("add-unit:Rod"), QStringLiteral("switch:1")});
    ASSERT_TRUE(driver.waitForLine(QStringLiteral("done switch:1")))
        << driver.lines.join('\n').toStdString();
    driver.signal(SIGKILL);
    driver.process.waitForFinished(5000);
    EXPECT_TRUE(hasUnit(world.dataFolder + QStringLiteral("Length.cnv"), u"Rod"));
    // The next start opens the file the killed one worked on last.
    conv::ConverterSettings stored;
    ASSERT_TRUE(stored.fromBytes(ConverterWorld::storedRecord()));
    EXPECT_EQ(stored.recentFiles(), (std::vector<std::u16string>{u"Weight.cnv", u"Length.cnv"}));
}

TEST(SavingProcessTest, AFullDiskKeepsTheOldFileAndSaysSo) {
    ConverterWorld world;
    world.seed({"Length.cnv"});
    world.writeSettings({u"Length.cnv"});
    const QString length = world.dataFolder + QStringLiteral("Length.cnv");
    const QByteArray before = bytesOf(length);
    ASSERT_GT(before.size(), 1200);
    Started driver(kDriver,
                   {world.root.path(), QStringLiteral("add-unit:Rod"), QStringLiteral("quit")},
                   before.size() - 200);
    ASSERT_EQ(driver.exitCode(), 0) << driver.lines.join('\n').toStdString();
    EXPECT_TRUE(driver.lines.contains(QStringLiteral("opened Length.cnv")));
    // Told at the change, and asked at exit (the driver quits without it).
    EXPECT_TRUE(driver.lines.contains(
        QStringLiteral("message Save: Could not save Length.cnv: file too large. |  | Your change "
                       "is kept: PqConverter tries again with your next change, when you switch "
                       "files and when you quit.")))
        << driver.lines.join('\n').toStdString();
    EXPECT_TRUE(driver.lines.contains(
        QStringLiteral("message Save: Could not save Length.cnv: file too large. |  | Try again, "
                       "or quit and lose your change?")));
    EXPECT_EQ(bytesOf(length), before);
    EXPECT_EQ(QDir(world.dataFolder).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("Length.cnv")})
        << "no temporary file is left";
}

TEST(SavingProcessTest, OpeningAndQuittingWritesNoDataFile) {
    ConverterWorld world;
    const QStringList files = {"Weight.cnv", "Length.cnv", "TipCalc.cal"};
    world.seed(files);
    world.writeSettings({u"Weight.cnv", u"Length.cnv", u"TipCalc.cal"});
    // The file opened first is damaged: its last conversion is cut short.
    const QString weight = world.dataFolder + QStringLiteral("Weight.cnv");
    QByteArray damaged = bytesOf(weight);
    damaged.chop(8);
    qToLittleEndian<qint32>(static_cast<qint32>(damaged.size()), damaged.data() + 4);
    QFile file(weight);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(damaged);
    file.close();
    std::map<QString, std::pair<QByteArray, int64_t>> before;
    for (const QString& name : files)
        before[name] = {bytesOf(world.dataFolder + name), modifiedNs(world.dataFolder + name)};

    auto unchanged = [&] {
        for (const QString& name : files) {
            EXPECT_EQ(bytesOf(world.dataFolder + name), before[name].first) << name.toStdString();
            EXPECT_EQ(modifiedNs(world.dataFolder + name), before[name].second)
                << name.toStdString();
        }
    };

    Started converter(kConverter, {});
    ASSERT_TRUE(test::waitFor(converterListens, 10000));
    converter.signal(SIGTERM); // the desktop logging out: the window closes as the user's would
    EXPECT_EQ(converter.exitCode(), 0);
    unchanged();
    conv::ConverterSettings stored;
    ASSERT_TRUE(stored.fromBytes(ConverterWorld::storedRecord()));
    EXPECT_EQ(stored.recentFiles().front(), u"Weight.cnv") << "it worked on these files";
    EXPECT_EQ(stored.dataFolder(), world.dataFolder);

    // The same window, quit with Ctrl+Q: the damage is told, nothing written.
    Started driver(kDriver, {world.root.path(), QStringLiteral("quit")});
    EXPECT_EQ(driver.exitCode(), 0);
    EXPECT_TRUE(driver.lines.contains(QStringLiteral("opened Weight.cnv")));
    EXPECT_TRUE(driver.lines.contains(
        QStringLiteral("message Damaged File: Weight.cnv is damaged: 1 conversion could not be "
                       "read. |  | It is opened read-only and left as it is on disk. File > "
                       "Repair... keeps what could be read, after it copied the file to "
                       "Weight.cnv.damaged.")))
        << driver.lines.join('\n').toStdString();
    unchanged();
}

TEST(SavingProcessTest, ASecondConverterBringsTheFirstForwardAndEnds) {
    ConverterWorld world;
    world.seed({"Length.cnv"});
    world.writeSettings({u"Length.cnv"});
    const QString name = ui::LocalServerName(ui::Program::Converter);
    ASSERT_FALSE(name.isEmpty());
    {
        // This test holds the claim: a converter started now asks it to come
        // forward and ends.
        ui::InstanceClaim claim(name);
        ASSERT_FALSE(claim.anotherRuns());
        int raised = 0;
        ui::HandOverServer server(
            [&](const ui::HandOverMessage& message) { raised += message.tag == ui::kRaiseTag; });
        ASSERT_TRUE(server.listen(name));
        Started second(kConverter, {});
        EXPECT_TRUE(test::waitFor([&] { return raised == 1; }, 10000));
        EXPECT_EQ(second.exitCode(), 0);
    }

    // Two real converters: the second ends, the first runs on.
    Started first(kConverter, {});
    ASSERT_TRUE(test::waitFor(converterListens, 10000));
    EXPECT_TRUE(ui::InstanceClaim(name).anotherRuns());
    Started second(kConverter, {});
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.process.state(), QProcess::Running);
    EXPECT_TRUE(converterListens());
    first.signal(SIGTERM);
    EXPECT_EQ(first.exitCode(), 0);
}

TEST(SavingProcessTest, OneConverterWorksOnADataFolderWhateverDisplayItRunsOn) {
    ConverterWorld world;
    world.seed({"Length.cnv"});
    world.writeSettings({u"Length.cnv"});
    const QString lock = world.dataFolder + QStringLiteral(".PqConverter.lock");
    auto holds = [&](const Started& program) {
        return bytesOf(lock).contains(
            QStringLiteral("process=%1\n").arg(program.process.processId()).toUtf8());
    };
    // Two displays of one computer, as two logins or a remote one: the
    // second converter names the first and changes nothing.
    Started first(kConverter, {}, 0, QStringLiteral(":91"));
    ASSERT_TRUE(test::waitFor([&] { return holds(first); }, 10000)) << bytesOf(lock).constData();
    const QByteArray before = bytesOf(world.dataFolder + QStringLiteral("Length.cnv"));
    {
        Started second(kConverter, {}, 0, QStringLiteral(":92.0"));
        ASSERT_TRUE(second.waitForLine(QStringLiteral("PqConverter: Another PqConverter")))
            << second.lines.join('\n').toStdString();
        EXPECT_TRUE(second.lines.contains(
            QStringLiteral("PqConverter: Another PqConverter is working on the data folder %1, on "
                           "this computer (process %2, display :91). Only one PqConverter at a "
                           "time may change the files of a data folder. Close the other one, then "
                           "start PqConverter again.")
                .arg(world.dataFolder)
                .arg(first.process.processId())))
            << second.lines.join('\n').toStdString();
        EXPECT_TRUE(holds(first)); // it waits in its message, and is ended here
    }
    EXPECT_EQ(first.process.state(), QProcess::Running);
    first.signal(SIGTERM);
    EXPECT_EQ(first.exitCode(), 0);
    EXPECT_EQ(bytesOf(world.dataFolder + QStringLiteral("Length.cnv")), before);

    // Once the first is gone, however it ended, the folder is free again.
    Started third(kConverter, {}, 0, QStringLiteral(":92"));
    EXPECT_TRUE(test::waitFor([&] { return holds(third); }, 10000));
    third.signal(SIGKILL);
    third.process.waitForFinished(5000);
    Started fourth(kConverter, {}, 0, QStringLiteral(":91"));
    EXPECT_TRUE(test::waitFor([&] { return holds(fourth); }, 10000)) << "no lock is left behind";
    fourth.signal(SIGTERM);
    EXPECT_EQ(fourth.exitCode(), 0);
}
