#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <string>
#include <vector>

namespace pq::conv {

// The folder of the running program, ending in "/"; "/" when it cannot be
// found. Read once.
const QString& ProgramFolder();

// The settings that survive between runs, kept as one 900-byte record:
//   0    192 UTF-16 characters: the recent file names, each ended by a zero
//        character, the list ended by one more (at most six names)
//   384  128 characters: the data folder, zero-terminated
//   640  128 characters: the address of the download source list
//   896  32-bit unsigned: non-zero for the one-line (compact) unit list
// All little-endian. A stored value of any other size or type is ignored
// whole. Empty fields take their defaults after loading.
class ConverterSettings {
  public:
    static constexpr int kSize = 900;
    static constexpr int kRecentChars = 192;
    static constexpr int kFolderChars = 128;
    static constexpr int kSourceChars = 128;
    static constexpr size_t kMaxRecentFiles = 6;

    // The QSettings place of the record.
    static QString organisation() { return QStringLiteral("Quorvane"); }
    static QString application() { return QStringLiteral("PqConverter"); }
    static QString key() { return QStringLiteral("Settings/Options"); }

    static std::vector<std::u16string> defaultRecentFiles();
    static QString defaultUpdateSource();

    // Reads the stored record (or an empty one) and applies the defaults. A
    // settings file that is there but holds no record that can be read
    // (empty, cut short, garbled) leaves the defaults too: it is copied
    // beside itself (".bad", never over an earlier copy) and replaced by the
    // defaults at once; readProblem() says so.
    static ConverterSettings load(const QString& programFolder = ProgramFolder());
    // Stores the whole record, atomically; false when it could not be
    // written.
    bool save() const;

    // Takes a record of exactly kSize bytes; anything else leaves the
    // settings empty and returns false.
    bool fromBytes(const QByteArray& bytes);
    QByteArray toBytes() const;
    // Fills the fields that are empty.
    void applyDefaults(const QString& programFolder);

    const std::vector<std::u16string>& recentFiles() const { return recentFiles_; }
    // At most six names, and only as many whole names as fit the field.
    void setRecentFiles(const std::vector<std::u16string>& names);
    const QString& dataFolder() const { return dataFolder_; }
    void setDataFolder(const QString& folder) { dataFolder_ = folder; }
    const QString& updateSource() const { return updateSource_; }
    void setUpdateSource(const QString& source) { updateSource_ = source; }
    // What the user is told once at start when the stored record could not
    // be read; empty when it could (or there was none).
    const QString& readProblem() const { return readProblem_; }
    bool compactList() const { return compactList_ != 0; }

    // The significant digits the rows and the value box show (4 to 15, 12
    // unless chosen), kept beside the record as "Display/Digits".
    static int shownDigits();
    static bool saveShownDigits(int digits);
    void setCompactList(bool compact) { compactList_ = compact ? 1 : 0; }

  private:
    // Copies an unreadable settings file beside itself; the copy's path, or
    // empty when none could be made.
    static QString keepUnreadable(const QString& file);

    std::vector<std::u16string> recentFiles_;
    QString dataFolder_;
    QString updateSource_;
    uint32_t compactList_ = 0;
    QString readProblem_;
};

} // namespace pq::conv
