#include "uikit/hand_over_folder.h"

#include <QDir>
#include <QFile>
#include <QSet>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace pq::ui {

namespace {

QString systemError(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// The folders found unfit in this run: each is reported once and stays
// unused for the rest of the run, even if it is mended meanwhile.
QSet<QString>& refusedFolders() {
    static QSet<QString> folders;
    return folders;
}

QString refuse(const QString& folder, const QString& fault) {
    if (!refusedFolders().contains(folder)) {
        refusedFolders().insert(folder);
        qWarning("PqConverter and PqCalculator cannot hand values to each other in this run: "
                 "the folder \"%s\" %s.",
                 qUtf8Printable(folder), qUtf8Printable(fault));
    }
    return QString();
}

} // namespace

QString UserIdText() { return QString::number(getuid()); }

QString PrivateFolderFault(const QString& path) {
    if (path.isEmpty() || !QDir::isAbsolutePath(path))
        return QStringLiteral("is not an absolute path");
    struct stat info {};
    // No trailing "/": lstat would follow a symbolic link to its target.
    if (lstat(QFile::encodeName(QDir::cleanPath(path)).constData(), &info) != 0)
        return QStringLiteral("cannot be examined (%1)").arg(systemError(errno));
    if (S_ISLNK(info.st_mode)) return QStringLiteral("is a symbolic link");
    if (!S_ISDIR(info.st_mode)) return QStringLiteral("is not a folder");
    if (info.st_uid != getuid()) return QStringLiteral("belongs to another user");
    if ((info.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        return QStringLiteral("can be used by other users");
    if ((info.st_mode & S_IRWXU) != S_IRWXU) return QStringLiteral("cannot be used by its owner");
    return QString();
}

QString HandOverFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const bool own = runtime.isEmpty(); // a folder of our own in the temporary folder
    QString folder = runtime;
    if (own) {
        // QDir::tempPath() is empty when $TMPDIR names no folder.
        QString temp = QDir::cleanPath(QDir::tempPath());
        if (!QDir::isAbsolutePath(temp)) temp = QStringLiteral("/tmp");
        if (!temp.endsWith(u'/')) temp += u'/';
        folder = temp + QStringLiteral("pq-handover-") + UserIdText();
    } else if (QDir::isAbsolutePath(runtime)) {
        folder = QDir::cleanPath(runtime);
    }
    if (refusedFolders().contains(folder)) return QString();
    if (own && mkdir(QFile::encodeName(folder).constData(), S_IRWXU) != 0 && errno != EEXIST)
        return refuse(folder, QStringLiteral("cannot be created (%1)").arg(systemError(errno)));
    const QString fault = PrivateFolderFault(folder);
    return fault.isEmpty() ? folder : refuse(folder, fault);
}

} // namespace pq::ui
