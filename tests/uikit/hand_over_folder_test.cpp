#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

#include "tests/uikit/hand_over_support.h"
#include "tests/uikit/test_support.h"
#include "uikit/hand_over.h"
#include "uikit/hand_over_folder.h"

using namespace pq::ui;
using pq::test::HandOverTest;
using pq::test::uniqueName;
using pq::test::WarningCatcher;

namespace {

QByteArray encoded(const QString& path) { return QFile::encodeName(path); }

// With the folder refused, nothing is handed over, and one message said why.
void expectHandOverOff(const QString& folder) {
    WarningCatcher warnings;
    EXPECT_EQ(HandOverFolder(), QString()) << folder.toStdString();
    EXPECT_EQ(LocalServerName(Program::Calculator), QString());
    EXPECT_EQ(LocalServerName(Program::Converter), QString());
    HandOverServer server([](const HandOverMessage&) {});
    EXPECT_FALSE(server.listen(uniqueName()));
    EXPECT_FALSE(server.isListening());
    EXPECT_FALSE(SendHandOver(uniqueName(), EncodeValue(1), 100));
    // Starting the other program still works.
    EXPECT_EQ(RaiseOrStart(LocalServerName(Program::Converter), QStringLiteral("/bin/true")),
              OpenResult::Started);
    ASSERT_EQ(WarningCatcher::messages().size(), 1) << folder.toStdString();
    EXPECT_TRUE(WarningCatcher::messages()[0].contains(u'"' + QDir::cleanPath(folder) + u'"'))
        << WarningCatcher::messages()[0].toStdString();
}

} // namespace

TEST_F(HandOverTest, UnfitRuntimeFoldersAreRefused) {
    EXPECT_EQ(HandOverFolder(), runtimePath());
    EXPECT_EQ(PrivateFolderFault(runtimePath()), QString());
    // A trailing "/" does not matter.
    qputenv("XDG_RUNTIME_DIR", encoded(runtimePath() + u'/'));
    EXPECT_EQ(HandOverFolder(), runtimePath());

    const QString base = runtimePath();
    auto folder = [&](const QString& name, mode_t mode) {
        const QString path = base + u'/' + name;
        EXPECT_EQ(mkdir(encoded(path).constData(), 0700), 0);
        EXPECT_EQ(chmod(encoded(path).constData(), mode), 0);
        return path;
    };
    const QString group = folder(QStringLiteral("group"), 0750);
    const QString world = folder(QStringLiteral("world"), 0707);
    const QString sticky = folder(QStringLiteral("sticky"), 01777);
    const QString link = base + QStringLiteral("/link");
    ASSERT_EQ(symlink(encoded(runtimePath()).constData(), encoded(link).constData()), 0);
    const QString file = base + QStringLiteral("/file");
    QFile(file).open(QIODevice::WriteOnly);

    EXPECT_EQ(PrivateFolderFault(group), QStringLiteral("can be used by other users"));
    EXPECT_EQ(PrivateFolderFault(world), QStringLiteral("can be used by other users"));
    EXPECT_EQ(PrivateFolderFault(link), QStringLiteral("is a symbolic link"));
    EXPECT_EQ(PrivateFolderFault(link + u'/'), QStringLiteral("is a symbolic link"));
    EXPECT_EQ(PrivateFolderFault(file), QStringLiteral("is not a folder"));
    EXPECT_EQ(PrivateFolderFault(QStringLiteral("run/user")),
              QStringLiteral("is not an absolute path"));
    EXPECT_TRUE(
        PrivateFolderFault(base + QStringLiteral("/missing")).startsWith("cannot be examined"));

    QStringList refused = {group, world, sticky, link, file, base + QStringLiteral("/missing")};
    if (getuid() == 0) {
        const QString foreign = folder(QStringLiteral("foreign"), 0700);
        ASSERT_EQ(chown(encoded(foreign).constData(), 65534, 65534), 0);
        EXPECT_EQ(PrivateFolderFault(foreign), QStringLiteral("belongs to another user"));
        refused.append(foreign);
    } else {
        EXPECT_EQ(PrivateFolderFault(QStringLiteral("/")),
                  QStringLiteral("belongs to another user"));
    }
    for (const QString& path : refused) {
        qputenv("XDG_RUNTIME_DIR", encoded(path));
        expectHandOverOff(path);
    }

    // A folder once refused stays unused for the run, quietly, even mended.
    ASSERT_EQ(chmod(encoded(group).constData(), 0700), 0);
    qputenv("XDG_RUNTIME_DIR", encoded(group));
    WarningCatcher warnings;
    EXPECT_EQ(HandOverFolder(), QString());
    EXPECT_TRUE(WarningCatcher::messages().isEmpty());
}

TEST_F(HandOverTest, WithoutARuntimeFolderOneIsMadeInTheTemporaryFolder) {
    qunsetenv("XDG_RUNTIME_DIR");
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    qputenv("TMPDIR", encoded(temp.path()));
    const QString own = temp.path() + QStringLiteral("/pq-handover-") + QString::number(getuid());

    EXPECT_EQ(HandOverFolder(), own);
    struct stat info {};
    ASSERT_EQ(lstat(encoded(own).constData(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_mode & 07777, 0700u);
    EXPECT_EQ(info.st_uid, getuid());
    EXPECT_EQ(HandOverFolder(), own); // found again

    std::vector<HandOverMessage> received;
    HandOverServer server([&](const HandOverMessage& m) { received.push_back(m); });
    ASSERT_TRUE(server.listen(LocalServerName(Program::Calculator)));
    ASSERT_TRUE(SendHandOver(LocalServerName(Program::Calculator), EncodeValue(7)));
    ASSERT_TRUE(pq::test::waitFor([&] { return received.size() == 1; }));

    // Somebody else's folder, or a link, in its place is refused.
    QTemporaryDir squatted;
    ASSERT_TRUE(squatted.isValid());
    qputenv("TMPDIR", encoded(squatted.path()));
    const QString place =
        squatted.path() + QStringLiteral("/pq-handover-") + QString::number(getuid());
    ASSERT_EQ(symlink(encoded(temp.path()).constData(), encoded(place).constData()), 0);
    expectHandOverOff(place);

    QTemporaryDir open;
    ASSERT_TRUE(open.isValid());
    qputenv("TMPDIR", encoded(open.path()));
    const QString wide = open.path() + QStringLiteral("/pq-handover-") + QString::number(getuid());
    ASSERT_EQ(mkdir(encoded(wide).constData(), 0700), 0);
    ASSERT_EQ(chmod(encoded(wide).constData(), 0777), 0);
    expectHandOverOff(wide);

    // A temporary folder where nothing can be made.
    qputenv("TMPDIR", "/proc");
    expectHandOverOff(QStringLiteral("/proc/pq-handover-") + QString::number(getuid()));
}
