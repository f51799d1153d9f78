#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>

#include <cmath>
#include <limits>

#include "calculator/history.h"
#include "engine/number_parse.h"

using pq::calc::ExactNumberText;
using pq::calc::History;
using pq::calc::HistoryEntry;

namespace {

constexpr char kWriterPath[] = "PQ_HISTORY_WRITER";
constexpr char kWriterTag[] = "PQ_HISTORY_TAG";
constexpr int kWrites = 30;

class HistoryTest : public ::testing::Test {
  protected:
    QString path() const { return folder.filePath(QStringLiteral("history.json")); }
    QByteArray bytes() const {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void writeBytes(const QByteArray& bytes) {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QStringList formulas(const History& history) const {
        QStringList list;
        for (const HistoryEntry& entry : history.entries()) list.append(entry.formula);
        return list;
    }

    QTemporaryDir folder;
};

} // namespace

TEST(ExactNumberTextTest, ReadsBackAsTheSameNumber) {
    const double values[] = {0,        1,
                             -2.5,     0.1,
                             1.0 / 3,  123456789012345678.0,
                             1e-7,     1e20,
                             -1e300,   1e301,
                             -1e301,   2.2250738585072014e-308,
                             4.9e-324, 6.02214076e23,
                             255,      0.30000000000000004};
    for (double value : values) {
        const QString text = ExactNumberText(value);
        double back = std::numeric_limits<double>::quiet_NaN();
        EXPECT_TRUE(pq::parseNumber(text.toStdU16String(), back)) << text.toStdString();
        EXPECT_EQ(back, value) << text.toStdString();
    }
    EXPECT_EQ(ExactNumberText(0.1), QStringLiteral("0.1"));
    EXPECT_EQ(ExactNumberText(1e20), QStringLiteral("1e20"));
    EXPECT_EQ(ExactNumberText(-1e-7), QStringLiteral("-1e-7"));
}

TEST_F(HistoryTest, IsKeptBetweenRunsAndBounded) {
    History first(path());
    EXPECT_EQ(first.load(), QString()) << "no file yet: an empty history";
    EXPECT_EQ(first.append({QStringLiteral("2*3"), QStringLiteral("6")}), QString());
    EXPECT_EQ(first.append({QStringLiteral("ans+1"), QStringLiteral("7")}), QString());
    EXPECT_EQ(first.append({QStringLiteral("2*3"), QStringLiteral("6")}), QString());

    History second(path());
    EXPECT_EQ(second.load(), QString());
    EXPECT_EQ(formulas(second), (QStringList{"2*3", "ans+1", "2*3"}));
    EXPECT_EQ(second.entries().back().result, QStringLiteral("6"));
    EXPECT_EQ(second.recentFormulas(), (QStringList{"2*3", "ans+1"})) << "newest first, once";

    // A full history drops its oldest entries.
    QJsonArray list;
    for (int k = 0; k < History::kMaxEntries; ++k)
        list.append(QJsonObject{{"formula", QString::number(k)}, {"result", QString::number(k)}});
    writeBytes(QJsonDocument(QJsonObject{{"version", 1}, {"entries", list}}).toJson());
    History full(path());
    EXPECT_EQ(full.load(), QString());
    EXPECT_EQ(full.append({QStringLiteral("a"), QStringLiteral("1")}), QString());
    EXPECT_EQ(full.append({QStringLiteral("b"), QStringLiteral("2")}), QString());
    History reread(path());
    reread.load();
    ASSERT_EQ(reread.entries().size(), History::kMaxEntries);
    EXPECT_EQ(reread.entries().front().formula, QStringLiteral("2"));
    EXPECT_EQ(reread.entries().back().formula, QStringLiteral("b"));

    EXPECT_EQ(reread.clear(), QString());
    History cleared(path());
    cleared.load();
    EXPECT_TRUE(cleared.entries().isEmpty());
}

TEST_F(HistoryTest, ADamagedFileIsReportedAndKept) {
    const QByteArray damaged[] = {
        "{\"version\": 1, \"entries\": [{\"formula\": \"1+",
        "not a history at all",
        "{\"version\": 1, \"entries\": [{\"formula\": 5, \"result\": \"5\"}]}",
        "{\"version\": 7, \"entries\": []}",
    };
    for (const QByteArray& content : damaged) {
        writeBytes(content);
        History history(path());
        const QString problem = history.load();
        EXPECT_TRUE(problem.contains(path())) << problem.toStdString();
        EXPECT_TRUE(history.isDamaged());
        // The run goes on in memory; the file is never written over.
        EXPECT_EQ(history.append({QStringLiteral("1+1"), QStringLiteral("2")}), QString());
        EXPECT_EQ(history.clear(), QString());
        EXPECT_EQ(history.append({QStringLiteral("2+2"), QStringLiteral("4")}), QString());
        EXPECT_EQ(history.entries().size(), 1);
        EXPECT_EQ(bytes(), content);
    }
}

TEST_F(HistoryTest, TwoHistoriesOfOneFileKeepEachOthersEntries) {
    History a(path());
    History b(path());
    a.load();
    b.load();
    a.append({QStringLiteral("a1"), QStringLiteral("1")});
    b.append({QStringLiteral("b1"), QStringLiteral("1")});
    a.append({QStringLiteral("a2"), QStringLiteral("2")});
    EXPECT_EQ(formulas(a), (QStringList{"a1", "b1", "a2"}));

    // Two programs appending at the same time lose nothing either.
    QList<QProcess*> writers;
    for (const char* tag : {"x", "y"}) {
        auto* writer = new QProcess;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(kWriterPath, path());
        environment.insert(kWriterTag, tag);
        writer->setProcessEnvironment(environment);
        writer->start(QCoreApplication::applicationFilePath(),
                      {QStringLiteral("--gtest_filter=HistoryWriter.AppendsForAnotherTest")});
        writers.append(writer);
    }
    for (QProcess* writer : writers) {
        EXPECT_TRUE(writer->waitForFinished(60000));
        EXPECT_EQ(writer->exitCode(), 0) << writer->readAllStandardOutput().toStdString();
        delete writer;
    }
    History merged(path());
    EXPECT_EQ(merged.load(), QString());
    const QStringList all = formulas(merged);
    EXPECT_EQ(all.size(), 3 + 2 * kWrites);
    const QSet<QString> distinct(all.begin(), all.end());
    for (const char* tag : {"x", "y"})
        for (int k = 0; k < kWrites; ++k)
            EXPECT_TRUE(distinct.contains(QString::fromLatin1(tag) + QString::number(k)));
}

// Run by the test above in two processes at once.
TEST(HistoryWriter, AppendsForAnotherTest) {
    const QString path = qEnvironmentVariable(kWriterPath);
    if (path.isEmpty()) GTEST_SKIP() << "started by TwoHistoriesOfOneFileKeepEachOthersEntries";
    const QString tag = qEnvironmentVariable(kWriterTag);
    History history(path);
    ASSERT_EQ(history.load(), QString());
    for (int k = 0; k < kWrites; ++k)
        ASSERT_EQ(history.append({tag + QString::number(k), QString::number(k)}), QString());
}
