#include "converter/converter_settings.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include "engine/format_text.h"

namespace pq::conv {

namespace {

constexpr int kRecentOffset = 0;
constexpr int kFolderOffset = 384;
constexpr int kSourceOffset = 640;
constexpr int kCompactOffset = 896;

char16_t charAt(const QByteArray& bytes, int offset) {
    return static_cast<char16_t>(static_cast<unsigned char>(bytes[offset]) |
                                 (static_cast<unsigned char>(bytes[offset + 1]) << 8));
}

void putChar(QByteArray& bytes, int offset, char16_t c) {
    bytes[offset] = static_cast<char>(c & 0xFF);
    bytes[offset + 1] = static_cast<char>(c >> 8);
}

// A zero-terminated text field; an unterminated field ends at its size.
QString readText(const QByteArray& bytes, int offset, int chars) {
    QString text;
    for (int i = 0; i < chars; ++i) {
        const char16_t c = charAt(bytes, offset + 2 * i);
        if (c == 0) break;
        text += QChar(c);
    }
    return text;
}

// A text that does not fit with its terminator is left out: a cut path
// would name another folder.
void writeText(QByteArray& bytes, int offset, int chars, const QString& text) {
    if (text.size() >= chars) return;
    for (int i = 0; i < text.size(); ++i) putChar(bytes, offset + 2 * i, text[i].unicode());
}

} // namespace

const QString& ProgramFolder() {
    static const QString folder = [] {
        QString path = QCoreApplication::applicationDirPath();
        if (path.isEmpty()) return QStringLiteral("/");
        return path.endsWith(u'/') ? path : path + u'/';
    }();
    return folder;
}

std::vector<std::u16string> ConverterSettings::defaultRecentFiles() {
    return {u"Currency.cnv", u"Weight.cnv",    u"Length.cnv",
            u"TipCalc.cal",  u"TimeZones.cnv", u"ComputerBase.cnv"};
}

QString ConverterSettings::defaultUpdateSource() {
    return QStringLiteral("https://www.ecb.europa.eu/stats/eurofxref/eurofxref-daily.xml");
}

ConverterSettings ConverterSettings::load(const QString& programFolder) {
    ConverterSettings settings;
    QSettings store(organisation(), application());
    const QVariant value = store.value(key());
    // No settings file at all is a first run. A file that is there but holds
    // no record that can be read (empty, cut short, garbled) is told, and
    // kept for the user; the defaults then replace it at once, so that it is
    // told once.
    const bool unreadable = store.status() != QSettings::NoError ||
                            (QFileInfo(store.fileName()).isFile() && !value.isValid()) ||
                            (value.isValid() && (value.typeId() != QMetaType::QByteArray ||
                                                 !settings.fromBytes(value.toByteArray())));
    if (unreadable) {
        settings = ConverterSettings();
        settings.readProblem_ = QStringLiteral("The settings could not be read; the defaults are "
                                               "used.");
        const QString kept = keepUnreadable(store.fileName());
        if (!kept.isEmpty())
            settings.readProblem_ +=
                QStringLiteral(" The unreadable settings are kept in %1.").arg(kept);
    }
    settings.applyDefaults(programFolder);
    if (unreadable) {
        store.clear(); // nothing of the unreadable file is carried over
        store.setValue(key(), settings.toBytes());
        store.sync();
    }
    return settings;
}

QString ConverterSettings::keepUnreadable(const QString& file) {
    if (!QFileInfo(file).isFile()) return {};
    for (int n = 1; n < 100; ++n) {
        const QString copy =
            file + QStringLiteral(".bad") + (n == 1 ? QString() : QStringLiteral("-%1").arg(n));
        if (QFileInfo::exists(copy)) continue; // an earlier copy stays as it is
        return QFile::copy(file, copy) ? copy : QString();
    }
    return {};
}

int ConverterSettings::shownDigits() {
    bool ok = false;
    const int digits = QSettings(organisation(), application())
                           .value(QStringLiteral("Display/Digits"))
                           .toInt(&ok);
    return ok && digits >= kMinShownDigits && digits <= kMaxShownDigits ? digits
                                                                         : kDefaultShownDigits;
}

bool ConverterSettings::saveShownDigits(int digits) {
    QSettings store(organisation(), application());
    store.setValue(QStringLiteral("Display/Digits"), digits);
    store.sync();
    return store.status() == QSettings::NoError;
}

bool ConverterSettings::save() const {
    QSettings store(organisation(), application());
    // Written under another name and renamed over the file: a crash leaves
    // the old settings or the new ones, never a file cut short.
    store.setAtomicSyncRequired(true);
    store.setValue(key(), toBytes());
    store.sync();
    return store.status() == QSettings::NoError;
}

bool ConverterSettings::fromBytes(const QByteArray& bytes) {
    *this = ConverterSettings();
    if (bytes.size() != kSize) return false;
    // The names run up to the first empty one, within the field.
    std::u16string name;
    for (int i = 0; i < kRecentChars; ++i) {
        const char16_t c = charAt(bytes, kRecentOffset + 2 * i);
        if (c != 0) {
            name += c;
            continue;
        }
        if (name.empty()) break;
        recentFiles_.push_back(name);
        name.clear();
    }
    if (recentFiles_.size() > kMaxRecentFiles) recentFiles_.resize(kMaxRecentFiles);
    dataFolder_ = readText(bytes, kFolderOffset, kFolderChars);
    updateSource_ = readText(bytes, kSourceOffset, kSourceChars);
    const auto byte = [&](int i) {
        return static_cast<uint32_t>(static_cast<unsigned char>(bytes[kCompactOffset + i]));
    };
    compactList_ = byte(0) | (byte(1) << 8) | (byte(2) << 16) | (byte(3) << 24);
    return true;
}

QByteArray ConverterSettings::toBytes() const {
    QByteArray bytes(kSize, '\0');
    int at = 0;
    for (const std::u16string& name : recentFiles_) {
        for (char16_t c : name) putChar(bytes, kRecentOffset + 2 * at++, c);
        ++at; // the name's zero character
    }
    writeText(bytes, kFolderOffset, kFolderChars, dataFolder_);
    writeText(bytes, kSourceOffset, kSourceChars, updateSource_);
    for (int i = 0; i < 4; ++i)
        bytes[kCompactOffset + i] = static_cast<char>((compactList_ >> (8 * i)) & 0xFF);
    return bytes;
}

void ConverterSettings::applyDefaults(const QString& programFolder) {
    if (recentFiles_.empty()) recentFiles_ = defaultRecentFiles();
    if (dataFolder_.isEmpty()) dataFolder_ = programFolder + QStringLiteral("Conversions/");
    if (updateSource_.isEmpty()) updateSource_ = defaultUpdateSource();
}

void ConverterSettings::setRecentFiles(const std::vector<std::u16string>& names) {
    recentFiles_.clear();
    // Names and their zero characters fill at most kRecentChars - 1
    // characters; the closing zero takes the last one.
    size_t used = 0;
    for (const std::u16string& name : names) {
        if (recentFiles_.size() == kMaxRecentFiles || name.empty()) break;
        if (used + name.size() + 1 > static_cast<size_t>(kRecentChars - 1)) break;
        used += name.size() + 1;
        recentFiles_.push_back(name);
    }
}

} // namespace pq::conv
