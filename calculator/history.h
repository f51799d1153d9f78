#pragma once

#include <QList>
#include <QString>

namespace pq::calc {

// One evaluated formula and its result, the result as the shortest decimal
// text that reads back as the same number ("0.1", "1e-7", "-2.5").
struct HistoryEntry {
    QString formula;
    QString result;
};

// The text of a value that the engine reads back as exactly that value.
QString ExactNumberText(double value);

// The formulas evaluated and their results, kept between runs in a file (a
// JSON document) and bounded to the newest kMaxEntries. Every change is
// written at once: under a lock file, the file is read again and this run's
// new entries are added to what it holds, so that two programs writing the
// history lose none of each other's entries; it is then replaced as a whole
// (written under a temporary name and renamed). A file that cannot be read
// is never overwritten: the history then lives in memory for the run.
class History {
  public:
    static constexpr int kMaxEntries = 1000;

    // An empty path keeps the history in memory only.
    explicit History(QString path = QString());

    // Reads the file. Returns what the user needs to be told, or an empty
    // text when all is well (a missing file is an empty history).
    QString load();
    // Adds an entry and writes the file; returns a problem for the user, or
    // an empty text. An entry that could not be written is written with the
    // next one.
    QString append(const HistoryEntry& entry);
    // Empties the history and the file (a damaged file is left alone).
    QString clear();

    // Oldest first.
    const QList<HistoryEntry>& entries() const { return entries_; }
    // The formulas, newest first, each once.
    QStringList recentFormulas() const;
    const QString& path() const { return path_; }
    // Whether the file was found damaged and is left as it is.
    bool isDamaged() const { return damaged_; }

  private:
    // Under the lock: reads the file, adds what is pending and writes it.
    QString write(bool clearing);

    QString path_;
    QList<HistoryEntry> entries_;
    QList<HistoryEntry> pending_; // added here, not yet in the file
    bool damaged_ = false;
};

} // namespace pq::calc
