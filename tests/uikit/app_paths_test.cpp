#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

#include "uikit/app_paths.h"

using namespace pq::ui;

namespace {

void WriteFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QByteArray("<missing>");
    return file.readAll();
}

QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

// A shipped folder with three data files, a hidden file and a sub-folder.
struct Folders {
    QTemporaryDir root;
    QString shipped = root.filePath(QStringLiteral("share/Conversions/"));
    QString data = root.filePath(QStringLiteral("home/Conversions/"));

    Folders() {
        WriteFile(shipped + "Currency.cnv", "currency v1");
        WriteFile(shipped + "Length.cnv", "length v1");
        WriteFile(shipped + "TipCalc.cal", "tips v1");
        WriteFile(shipped + ".hidden", "not shipped");
        QDir().mkpath(shipped + "sub");
    }
};

} // namespace

TEST(AppPaths, ShippedFilesBesideTheProgramOrInTheShareFolder) {
    EXPECT_EQ(InstalledShareFolder(QStringLiteral("/usr/bin/")),
              QStringLiteral("/usr/share/pqsuite/"));
    EXPECT_EQ(InstalledShareFolder(QStringLiteral("/opt/pq/bin")),
              QStringLiteral("/opt/pq/share/pqsuite/"));

    QTemporaryDir root;
    const QString build = root.filePath(QStringLiteral("build/bin/"));
    QDir().mkpath(build + "Conversions");
    EXPECT_EQ(FindShippedFolder(build), build);
    EXPECT_FALSE(KeepsFilesPerUser(build)); // the build folder keeps its files

    const QString installed = root.filePath(QStringLiteral("usr/bin/"));
    QDir().mkpath(installed);
    EXPECT_EQ(FindShippedFolder(installed), root.filePath(QStringLiteral("usr/share/pqsuite/")));
    // Installed, even a folder its user could write keeps nothing there.
    EXPECT_TRUE(KeepsFilesPerUser(installed));
    EXPECT_TRUE(KeepsFilesPerUser(root.filePath(QStringLiteral("missing/bin/"))));
}

TEST(AppPaths, FirstStartCopiesEveryShippedFileExactly) {
    Folders f;
    const DataCopyResult result = CopyShippedFiles(f.shipped, f.data);
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    EXPECT_EQ(result.copied, QStringList({"Currency.cnv", "Length.cnv", "TipCalc.cal"}));
    EXPECT_EQ(Entries(f.data),
              QStringList({".shipped", "Currency.cnv", "Length.cnv", "TipCalc.cal"}));
    EXPECT_EQ(ReadFile(f.data + "Currency.cnv"), "currency v1");
    EXPECT_EQ(ReadFile(f.data + "TipCalc.cal"), "tips v1");

    // A second start has nothing to do.
    const DataCopyResult again = CopyShippedFiles(f.shipped, f.data);
    EXPECT_TRUE(again.ok());
    EXPECT_TRUE(again.copied.isEmpty());
}

TEST(AppPaths, UpgradesKeepEditsAndDeletionsAndAddNewFiles) {
    Folders f;
    WriteFile(f.data + "currency.CNV", "edited by the user"); // other case, same file
    ASSERT_TRUE(CopyShippedFiles(f.shipped, f.data).ok());
    EXPECT_EQ(ReadFile(f.data + "currency.CNV"), "edited by the user");
    EXPECT_FALSE(QFile::exists(f.data + "Currency.cnv"));

    WriteFile(f.data + "Length.cnv", "length edited");
    ASSERT_TRUE(QFile::remove(f.data + "TipCalc.cal")); // the user does not want it

    // A later version changes its files and ships a new one.
    WriteFile(f.shipped + "Length.cnv", "length v2");
    WriteFile(f.shipped + "TipCalc.cal", "tips v2");
    WriteFile(f.shipped + "Speed.cnv", "speed v2");
    const DataCopyResult result = CopyShippedFiles(f.shipped, f.data);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.copied, QStringList({"Speed.cnv"}));
    EXPECT_EQ(ReadFile(f.data + "Length.cnv"), "length edited");
    EXPECT_EQ(ReadFile(f.data + "currency.CNV"), "edited by the user");
    EXPECT_FALSE(QFile::exists(f.data + "TipCalc.cal"));
    EXPECT_EQ(ReadFile(f.data + "Speed.cnv"), "speed v2");
}

TEST(AppPaths, HalfCopiedFolderIsCompletedNeverReplaced) {
    Folders f;
    // An interrupted first start: one file copied, one half-written under
    // its temporary name, no list yet.
    WriteFile(f.data + "Currency.cnv", "currency changed since");
    WriteFile(f.data + ".Length.cnv.part", "len");
    const DataCopyResult result = CopyShippedFiles(f.shipped, f.data);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.copied, QStringList({"Length.cnv", "TipCalc.cal"}));
    EXPECT_EQ(ReadFile(f.data + "Currency.cnv"), "currency changed since");
    EXPECT_EQ(ReadFile(f.data + "Length.cnv"), "length v1");
    EXPECT_EQ(Entries(f.data),
              QStringList({".shipped", "Currency.cnv", "Length.cnv", "TipCalc.cal"}));
}

TEST(AppPaths, UnwritableOrMissingFoldersAreReportedAndLoseNothing) {
    Folders f;
    // A data folder below a plain file cannot be created, whoever runs this.
    WriteFile(f.root.filePath(QStringLiteral("blocked")), "a file");
    const QString blocked = f.root.filePath(QStringLiteral("blocked/Conversions/"));
    const DataCopyResult result = CopyShippedFiles(f.shipped, blocked);
    EXPECT_FALSE(result.ok());
    EXPECT_TRUE(result.error.contains(blocked)) << result.error.toStdString();
    EXPECT_TRUE(result.copied.isEmpty());
    EXPECT_EQ(ReadFile(f.root.filePath(QStringLiteral("blocked"))), "a file");
    EXPECT_EQ(Entries(f.shipped),
              QStringList({".hidden", "Currency.cnv", "Length.cnv", "TipCalc.cal", "sub"}));

    const DataCopyResult missing =
        CopyShippedFiles(f.root.filePath(QStringLiteral("nowhere")), f.data);
    EXPECT_FALSE(missing.ok());
    EXPECT_TRUE(missing.error.contains(QStringLiteral("nowhere")));
}

TEST(AppPaths, FullDiskStopsTheCopyAndTheNextStartCompletesIt) {
    Folders f;
    WriteFile(f.shipped + "Length.cnv", QByteArray(200 * 1024, 'L')); // too big for the "disk"
    WriteFile(f.data + "Currency.cnv", "mine");

    // The process may write no file beyond 100 KB: writes fail as on a full
    // disk, with an error instead of the signal.
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit limited = saved;
    limited.rlim_cur = 100 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const DataCopyResult full = CopyShippedFiles(f.shipped, f.data);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(full.ok());
    EXPECT_TRUE(full.error.contains(QStringLiteral("Length.cnv"))) << full.error.toStdString();
    EXPECT_TRUE(full.copied.isEmpty()); // files go in name order; Length.cnv failed
    EXPECT_EQ(ReadFile(f.data + "Currency.cnv"), "mine");
    EXPECT_EQ(Entries(f.data), QStringList({".shipped", "Currency.cnv"})); // no half file

    const DataCopyResult next = CopyShippedFiles(f.shipped, f.data);
    ASSERT_TRUE(next.ok()) << next.error.toStdString();
    EXPECT_EQ(next.copied, QStringList({"Length.cnv", "TipCalc.cal"}));
    EXPECT_EQ(ReadFile(f.data + "Length.cnv").size(), 200 * 1024);
    EXPECT_EQ(ReadFile(f.data + "Currency.cnv"), "mine");
}
