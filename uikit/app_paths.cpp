#include "uikit/app_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <QStandardPaths>

#ifndef PQ_SHARE_FROM_PROGRAM
#define PQ_SHARE_FROM_PROGRAM "../share/pqsuite/"
#endif

namespace pq::ui {

namespace {

const QString kDataFolderName = QStringLiteral("Conversions/");

QString WithSlash(const QString& folder) {
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/'))) return folder;
    return folder + QLatin1Char('/');
}

QSet<QString> ReadShippedList(const QString& path) {
    QSet<QString> names;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return names;
    // The list is small; anything beyond a sane size is not ours.
    const QByteArray bytes = file.read(1024 * 1024);
    for (const QByteArray& line : bytes.split('\n')) {
        const QString name = QString::fromUtf8(line).trimmed();
        if (!name.isEmpty()) names.insert(name);
    }
    return names;
}

void WriteShippedList(const QString& path, const QSet<QString>& names) {
    QStringList sorted(names.begin(), names.end());
    sorted.sort();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) return;
    file.write(sorted.join(QLatin1Char('\n')).toUtf8() + '\n');
    // A list that cannot be written only means that a shipped file the user
    // deleted may come back; the data files themselves are unaffected.
    file.commit();
}

// Copies one file under a temporary name, then gives it its real name. False
// with `error` set when the copy failed; the temporary file is gone then.
bool CopyOneFile(const QFileInfo& source, const QString& target, QString& error) {
    const QString temporary = QFileInfo(target).path() + QStringLiteral("/.") + source.fileName() +
                              QStringLiteral(".part");
    QFile::remove(temporary); // left behind by an interrupted start

    QFile in(source.filePath());
    if (!in.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("The shipped file \"%1\" could not be read: %2.")
                    .arg(source.filePath(), in.errorString());
        return false;
    }
    QFile out(temporary);
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        error = QStringLiteral("The file \"%1\" could not be written: %2.")
                    .arg(target, out.errorString());
        return false;
    }
    bool written = true;
    while (written && !in.atEnd()) {
        const QByteArray chunk = in.read(64 * 1024);
        if (chunk.isEmpty() && in.error() != QFileDevice::NoError) {
            error = QStringLiteral("The shipped file \"%1\" could not be read: %2.")
                        .arg(source.filePath(), in.errorString());
            written = false;
        } else if (out.write(chunk) != chunk.size()) {
            error = QStringLiteral("The file \"%1\" could not be written: %2.")
                        .arg(target, out.errorString());
            written = false;
        }
    }
    if (written && (!out.flush() || out.error() != QFileDevice::NoError)) {
        error = QStringLiteral("The file \"%1\" could not be written: %2.")
                    .arg(target, out.errorString());
        written = false;
    }
    out.close();
    if (written && out.error() != QFileDevice::NoError) {
        error = QStringLiteral("The file \"%1\" could not be written: %2.")
                    .arg(target, out.errorString());
        written = false;
    }
    if (!written) {
        QFile::remove(temporary);
        return false;
    }
    // rename() never replaces an existing file, so a file that appeared in
    // the meantime is kept as it is.
    if (!QFile::rename(temporary, target)) {
        QFile::remove(temporary);
        if (!QFileInfo::exists(target)) {
            error = QStringLiteral("The file \"%1\" could not be written.").arg(target);
            return false;
        }
    }
    return true;
}

} // namespace

QString ProgramFolder() {
    static const QString folder = [] {
        const QString path = QCoreApplication::applicationDirPath();
        return path.isEmpty() ? QStringLiteral("/") : WithSlash(path);
    }();
    return folder;
}

QString InstalledShareFolder(const QString& programFolder) {
    return WithSlash(
        QDir::cleanPath(WithSlash(programFolder) + QStringLiteral(PQ_SHARE_FROM_PROGRAM)));
}

QString FindShippedFolder(const QString& programFolder) {
    const QString beside = WithSlash(programFolder);
    if (QFileInfo(beside + kDataFolderName).isDir()) return beside;
    return InstalledShareFolder(programFolder);
}

QString ShippedFolder() { return FindShippedFolder(ProgramFolder()); }

bool KeepsFilesPerUser(const QString& programFolder) {
    const QString folder = WithSlash(programFolder);
    if (!QFileInfo(folder + kDataFolderName).isDir()) return true;
    return !QFileInfo(folder).isWritable();
}

QString UserFolder() {
    if (!KeepsFilesPerUser(ProgramFolder())) return ProgramFolder();
    const QString perUser = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return perUser.isEmpty() ? ProgramFolder() : WithSlash(perUser);
}

QString DefaultDataFolder() { return UserFolder() + kDataFolderName; }

QString UserFilePath(const QString& name) {
    const QString folder = UserFolder();
    QDir().mkpath(folder);
    return folder + name;
}

DataCopyResult CopyShippedFiles(const QString& shippedFolder, const QString& dataFolder) {
    DataCopyResult result;
    const QString target = WithSlash(dataFolder);
    const QDir shipped(shippedFolder);
    if (!shipped.exists()) {
        result.error =
            QStringLiteral("The shipped data files were not found in \"%1\".").arg(shippedFolder);
        return result;
    }
    if (!QDir().mkpath(target) || !QFileInfo(target).isDir()) {
        result.error = QStringLiteral("The data folder \"%1\" could not be created.").arg(target);
        return result;
    }

    // Names are compared without regard to case, as the programs do.
    QSet<QString> present;
    for (const QString& name : QDir(target).entryList(QDir::AllEntries | QDir::Hidden |
                                                      QDir::System | QDir::NoDotAndDotDot))
        present.insert(name.toLower());
    const QString listPath = target + QLatin1String(kShippedListName);
    QSet<QString> copiedBefore = ReadShippedList(listPath);
    QSet<QString> copiedBeforeLower;
    for (const QString& name : copiedBefore) copiedBeforeLower.insert(name.toLower());
    const int listedBefore = copiedBefore.size();

    for (const QFileInfo& file : shipped.entryInfoList(QDir::Files, QDir::Name)) {
        const QString name = file.fileName();
        const QString lower = name.toLower();
        if (copiedBeforeLower.contains(lower)) continue;
        if (!present.contains(lower)) {
            if (!CopyOneFile(file, target + name, result.error)) break;
            result.copied.append(name);
        }
        copiedBefore.insert(name);
        copiedBeforeLower.insert(lower);
    }
    if (copiedBefore.size() != listedBefore) WriteShippedList(listPath, copiedBefore);
    return result;
}

QString PrepareDefaultDataFolder() {
    if (!KeepsFilesPerUser(ProgramFolder())) return QString();
    const DataCopyResult result =
        CopyShippedFiles(ShippedFolder() + kDataFolderName, DefaultDataFolder());
    if (result.ok()) return QString();
    return result.error +
           QStringLiteral(" The data files already there are kept; the missing ones are copied at "
                          "the next start.");
}

} // namespace pq::ui
