#include <gtest/gtest.h>

#include <QSettings>

#include "converter/converter_settings.h"
#include "tests/converter/converter_fixture.h"

using pq::conv::ConverterSettings;

namespace {

void store(const QVariant& value) {
    QSettings(ConverterSettings::organisation(), ConverterSettings::application())
        .setValue(ConverterSettings::key(), value);
}

// A record whose fields all differ from the defaults.
QByteArray customRecord() {
    ConverterSettings settings;
    settings.setRecentFiles({u"Length.cnv", u"Area.cnv"});
    settings.setDataFolder(QStringLiteral("/data/units/"));
    settings.setUpdateSource(QStringLiteral("http://example.org/list.txt"));
    settings.setCompactList(true);
    return settings.toBytes();
}

} // namespace

TEST(ConverterSettingsTest, RecordLayoutIsFixed) {
    const QByteArray bytes = customRecord();
    ASSERT_EQ(bytes.size(), 900);
    // "Length.cnv\0Area.cnv\0\0" in UTF-16LE from offset 0.
    EXPECT_EQ(bytes.mid(0, 4), QByteArray("L\0e\0", 4));
    EXPECT_EQ(bytes.mid(20, 4), QByteArray("\0\0A\0", 4));
    EXPECT_EQ(bytes.mid(38, 4), QByteArray("\0\0\0\0", 4)); // the list's closing zero
    EXPECT_EQ(bytes.mid(384, 4), QByteArray("/\0d\0", 4));
    EXPECT_EQ(bytes.mid(640, 4), QByteArray("h\0t\0", 4));
    EXPECT_EQ(bytes.mid(896, 4), QByteArray("\1\0\0\0", 4));

    ConverterSettings read;
    ASSERT_TRUE(read.fromBytes(bytes));
    EXPECT_EQ(read.recentFiles(), (std::vector<std::u16string>{u"Length.cnv", u"Area.cnv"}));
    EXPECT_EQ(read.dataFolder(), QStringLiteral("/data/units/"));
    EXPECT_EQ(read.updateSource(), QStringLiteral("http://example.org/list.txt"));
    EXPECT_TRUE(read.compactList());
}

TEST(ConverterSettingsTest, OnlyARecordOfExactly900BytesIsUsed) {
    pq::test::ConverterWorld world; // clears the stored settings
    const QByteArray good = customRecord();
    for (const QByteArray& wrong : {good.left(899), good + QByteArray(1, '\0')}) {
        store(wrong);
        const ConverterSettings settings = ConverterSettings::load(QStringLiteral("/opt/pq/"));
        EXPECT_EQ(settings.recentFiles(), ConverterSettings::defaultRecentFiles());
        EXPECT_EQ(settings.dataFolder(), QStringLiteral("/opt/pq/Conversions/"));
        EXPECT_EQ(settings.updateSource(), ConverterSettings::defaultUpdateSource());
        EXPECT_FALSE(settings.compactList());
    }
    // A text value of the right length is no binary record either.
    store(QString(450, u'A'));
    EXPECT_EQ(ConverterSettings::load(QStringLiteral("/opt/pq/")).recentFiles(),
              ConverterSettings::defaultRecentFiles());

    store(good);
    const ConverterSettings settings = ConverterSettings::load(QStringLiteral("/opt/pq/"));
    EXPECT_EQ(settings.dataFolder(), QStringLiteral("/data/units/"));
    EXPECT_TRUE(settings.compactList());
}

TEST(ConverterSettingsTest, EmptyFieldsTakeTheirDefaultsOneByOne) {
    ConverterSettings settings;
    settings.setCompactList(true);
    settings.setUpdateSource(QStringLiteral("http://example.org/x.txt"));
    ConverterSettings read;
    ASSERT_TRUE(read.fromBytes(settings.toBytes()));
    read.applyDefaults(QStringLiteral("/p/"));
    EXPECT_EQ(read.recentFiles(), ConverterSettings::defaultRecentFiles());
    EXPECT_EQ(read.dataFolder(), QStringLiteral("/p/Conversions/"));
    EXPECT_EQ(read.updateSource(), QStringLiteral("http://example.org/x.txt"));
    EXPECT_TRUE(read.compactList());
    EXPECT_TRUE(ConverterSettings::defaultUpdateSource().endsWith(u"/pqconv/convupd.txt"));
}

TEST(ConverterSettingsTest, RecentFilesAreCutAtTheLastWholeNameThatFits) {
    ConverterSettings settings;
    // Seven names: only six are kept.
    settings.setRecentFiles({u"a.cnv", u"b.cnv", u"c.cnv", u"d.cnv", u"e.cnv", u"f.cnv", u"g.cnv"});
    EXPECT_EQ(settings.recentFiles().size(), 6u);

    // Names of 60 characters: three take 183 characters with their zeros;
    // a fourth would not fit the 191 available.
    const std::u16string longName = std::u16string(56, u'n') + u".cnv";
    settings.setRecentFiles({longName, longName + u"x", longName + u"y", longName + u"z"});
    ASSERT_EQ(settings.recentFiles().size(), 3u);
    ConverterSettings read;
    ASSERT_TRUE(read.fromBytes(settings.toBytes()));
    EXPECT_EQ(read.recentFiles(), settings.recentFiles());

    // Names and zeros may fill 191 characters, the closing zero the last.
    const std::u16string name94(94, u'm');
    const std::u16string name95(95, u'k');
    settings.setRecentFiles({name94, name95}); // 95 + 96 = 191
    EXPECT_EQ(settings.recentFiles().size(), 2u);
    settings.setRecentFiles({name95, name95}); // 96 + 96 = 192
    EXPECT_EQ(settings.recentFiles().size(), 1u);
}

TEST(ConverterSettingsTest, AFolderTooLongForItsFieldIsNotStoredCut) {
    ConverterSettings settings;
    settings.setDataFolder(QStringLiteral("/") + QString(200, u'd') + QStringLiteral("/"));
    ConverterSettings read;
    ASSERT_TRUE(read.fromBytes(settings.toBytes()));
    EXPECT_TRUE(read.dataFolder().isEmpty());
    read.applyDefaults(QStringLiteral("/p/"));
    EXPECT_EQ(read.dataFolder(), QStringLiteral("/p/Conversions/"));
}
