#include "calculator/history.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QSaveFile>
#include <QSet>

#include <charconv>
#include <cmath>

#include "engine/expression_engine.h"

namespace pq::calc {

namespace {

constexpr int kFormatVersion = 1;
constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;
constexpr int kLockWait = 3000; // ms

const QString kFormula = QStringLiteral("formula");
const QString kResult = QStringLiteral("result");
const QString kVersion = QStringLiteral("version");
const QString kEntries = QStringLiteral("entries");

// Reads a history file into entries. A missing file is an empty history;
// anything else that does not read gives false and the reason.
bool readFile(const QString& path, QList<HistoryEntry>& entries, QString& problem) {
    entries.clear();
    QFile file(path);
    if (!file.exists()) return true;
    if (!QFileInfo(path).isFile()) {
        problem = QStringLiteral("it is not a regular file");
        return false;
    }
    if (file.size() > kMaxFileSize) {
        problem = QStringLiteral("it is larger than any history file");
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        problem = file.errorString();
        return false;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (document.isNull()) {
        problem = QStringLiteral("%1 at byte %2").arg(error.errorString()).arg(error.offset);
        return false;
    }
    const QJsonObject root = document.object();
    if (!document.isObject() || !root.value(kEntries).isArray() ||
        !root.value(kVersion).isDouble()) {
        problem = QStringLiteral("it is not a history file");
        return false;
    }
    if (root.value(kVersion).toInt() > kFormatVersion) {
        problem = QStringLiteral("it was written by a newer version of PqCalculator");
        return false;
    }
    const QJsonArray list = root.value(kEntries).toArray();
    for (const QJsonValue& item : list) {
        const QJsonObject entry = item.toObject();
        if (!entry.value(kFormula).isString() || !entry.value(kResult).isString()) {
            problem = QStringLiteral("entry %1 is damaged").arg(entries.size() + 1);
            entries.clear();
            return false;
        }
        entries.append({entry.value(kFormula).toString(), entry.value(kResult).toString()});
    }
    return true;
}

QByteArray encode(const QList<HistoryEntry>& entries) {
    QJsonArray list;
    for (const HistoryEntry& entry : entries)
        list.append(QJsonObject{{kFormula, entry.formula}, {kResult, entry.result}});
    return QJsonDocument(QJsonObject{{kVersion, kFormatVersion}, {kEntries, list}})
        .toJson(QJsonDocument::Indented);
}

void keepNewest(QList<HistoryEntry>& entries) {
    if (entries.size() > History::kMaxEntries)
        entries.erase(entries.begin(), entries.end() - History::kMaxEntries);
}

} // namespace

QString ExactNumberText(double value) {
    // The engine's literals stop at exponent 300; 1e301 itself is the limit.
    if (std::fabs(value) == kMaxValue)
        return value < 0 ? QStringLiteral("-10e300") : QStringLiteral("10e300");
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    QString text = QString::fromLatin1(buffer, static_cast<int>(end - buffer));
    // "1e+20" would read as 1e plus 20, and the exponent needs no zeros.
    const qsizetype e = text.indexOf(u'e');
    if (e >= 0) {
        QString exponent = text.mid(e + 1);
        const bool negative = exponent.startsWith(u'-');
        exponent.remove(0, exponent.startsWith(u'-') || exponent.startsWith(u'+') ? 1 : 0);
        while (exponent.size() > 1 && exponent.startsWith(u'0')) exponent.remove(0, 1);
        text = text.left(e + 1) + (negative ? QStringLiteral("-") : QString()) + exponent;
    }
    return text;
}

History::History(QString path) : path_(std::move(path)) {}

QString History::load() {
    entries_.clear();
    pending_.clear();
    damaged_ = false;
    if (path_.isEmpty()) return QString();
    QString problem;
    if (readFile(path_, entries_, problem)) {
        keepNewest(entries_);
        return QString();
    }
    damaged_ = true;
    return QStringLiteral("The history file \"%1\" could not be read: %2. It is left as it is, "
                          "and the formulas of this run are not saved in it; move it away to "
                          "start a new history.")
        .arg(path_, problem);
}

QString History::append(const HistoryEntry& entry) {
    entries_.append(entry);
    keepNewest(entries_);
    if (path_.isEmpty() || damaged_) return QString();
    pending_.append(entry);
    keepNewest(pending_);
    return write(false);
}

QString History::clear() {
    entries_.clear();
    pending_.clear();
    if (path_.isEmpty() || damaged_) return QString();
    return write(true);
}

QString History::write(bool clearing) {
    QLockFile lock(path_ + QStringLiteral(".lock"));
    if (!lock.tryLock(kLockWait))
        return QStringLiteral("The history could not be saved: its lock file \"%1\" is held "
                              "by another program.")
            .arg(path_ + QStringLiteral(".lock"));
    QList<HistoryEntry> stored;
    QString problem;
    if (!clearing && !readFile(path_, stored, problem)) {
        damaged_ = true;
        return QStringLiteral("The history file \"%1\" could not be read again: %2. It is left "
                              "as it is, and the formulas of this run are not saved in it.")
            .arg(path_, problem);
    }
    stored.append(pending_);
    keepNewest(stored);
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly) || file.write(encode(stored)) < 0 || !file.commit())
        return QStringLiteral("The history could not be saved to \"%1\": %2. The file there is "
                              "unchanged.")
            .arg(path_, file.errorString());
    pending_.clear();
    entries_ = stored; // with what other programs added meanwhile
    return QString();
}

QStringList History::recentFormulas() const {
    QStringList formulas;
    QSet<QString> seen;
    for (qsizetype k = entries_.size(); k-- > 0;) {
        const QString& formula = entries_[k].formula;
        if (!seen.contains(formula)) {
            seen.insert(formula);
            formulas.append(formula);
        }
    }
    return formulas;
}

} // namespace pq::calc
