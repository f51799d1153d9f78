#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <sys/types.h>

#include <random>

#include "calculator/user_functions.h"
#include "engine/expression_engine.h"

using namespace pq::calc;

namespace {

UserFunctionList sample() {
    return {{u"double(x)", u"x*2", u"My Category\\Double", 0, false},
            {u"Hyp(a,b)", u"sqrt(a^2+b^2)", u"Geometry\\Hyp\u00E9", 0, false}};
}

std::string bytesOf(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out.push_back(static_cast<char>(v));
    return out;
}

} // namespace

TEST(FunctionFileTest, WritesTheFieldsInOrderAsCountedUtf16) {
    const UserFunctionList one = {{u"f(x)", u"x", u"N\u00E9", 0, false}};
    const std::string expected =
        bytesOf({1, 0, 0, 0,                                  // count
                 2, 0, 0, 0, 'N', 0, 0xE9, 0,                 // name
                 4, 0, 0, 0, 'f', 0, '(',  0, 'x', 0, ')', 0, // declaration
                 1, 0, 0, 0, 'x', 0,                          // formula
                 0, 0, 0, 0});                                // reserved
    EXPECT_EQ(EncodeFunctionFile(one), expected);

    UserFunctionList read;
    ASSERT_TRUE(DecodeFunctionFile(EncodeFunctionFile(sample()), read));
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[1].name, u"Geometry\\Hyp\u00E9");
    EXPECT_EQ(read[1].declaration, u"Hyp(a,b)");
    EXPECT_EQ(read[1].formula, u"sqrt(a^2+b^2)");
}

TEST(FunctionFileTest, EveryPrefixAndRandomBytesAreRefusedCleanly) {
    const std::string good = EncodeFunctionFile(sample());
    for (size_t length = 0; length < good.size(); ++length) {
        UserFunctionList read;
        EXPECT_FALSE(DecodeFunctionFile(std::string_view(good).substr(0, length), read))
            << "prefix of " << length << " bytes";
        EXPECT_LE(read.size(), 1u);
    }
    UserFunctionList read;
    EXPECT_FALSE(DecodeFunctionFile(good + "x", read)) << "bytes past the end";
    EXPECT_EQ(read.size(), 2u) << "the records before the damage are kept";
    EXPECT_FALSE(DecodeFunctionFile(bytesOf({0xFF, 0xFF, 0xFF, 0xFF}), read))
        << "a count far beyond the bytes";
    EXPECT_TRUE(read.empty());
    EXPECT_FALSE(DecodeFunctionFile(
        bytesOf({1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), read))
        << "a text longer than the file";

    std::mt19937 random(12);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(random() % 64, '\0');
        for (char& c : bytes) c = static_cast<char>(random() % 4 == 0 ? random() : random() % 3);
        UserFunctionList any;
        DecodeFunctionFile(bytes, any); // must not crash or allocate wildly
        pq::ExpressionEngine engine;
        RegisterFunctions(engine, any);
    }
}

TEST(FunctionFileTest, RegisteringDropsWhatTheEngineRefuses) {
    pq::ExpressionEngine engine;
    UserFunctionList list = sample();
    list.push_back({u"sin(x)", u"x", u"Redefines a built-in", 0, false});
    list.push_back({u"DOUBLE(y)", u"y", u"Same name and count", 0, false});
    list.push_back({u"broken(x)", u"x*(", u"Does not parse", 0, false});
    list.push_back({u"loop(x)", u"loop(x)+1", u"Calls itself", 0, false});
    EXPECT_EQ(RegisterFunctions(engine, list), 3);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].paramCount, 1);
    EXPECT_EQ(list[1].paramCount, 2);
    double value = 0;
    ASSERT_TRUE(engine.evaluate(u"double(7)+hyp(3,4)", value));
    EXPECT_EQ(value, 19);
    EXPECT_FALSE(engine.evaluate(u"loop(1)", value)) << "endless recursion fails, not hangs";
    EXPECT_EQ(CallName(u"Hyp(a,b)"), u"Hyp");
    EXPECT_EQ(CallName(u"pi2"), u"pi2");
}

TEST(FunctionFileTest, ReadsOnlyRegularFilesOfSaneSize) {
    QTemporaryDir folder;
    const std::string base = folder.path().toStdString();
    std::string bytes = "stale";
    EXPECT_EQ(ReadFunctionFile(base + "/missing.dat", bytes), FileStatus::Missing);
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(ReadFunctionFile(base, bytes), FileStatus::NotAFile);
    const std::string fifo = base + "/pipe.dat";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(ReadFunctionFile(fifo, bytes), FileStatus::NotAFile) << "and does not block";
    const std::string big = base + "/big.dat";
    {
        QFile file(QString::fromStdString(big));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(static_cast<qint64>(kMaxFunctionFileSize) + 1));
    }
    EXPECT_EQ(ReadFunctionFile(big, bytes), FileStatus::TooLarge);
}

TEST(FunctionFileTest, AFailedSaveKeepsTheOldFile) {
    QTemporaryDir folder;
    const std::string path = folder.path().toStdString() + "/PqCalculator.dat";
    std::string error;
    const std::string first = EncodeFunctionFile(sample());
    ASSERT_TRUE(WriteFunctionFile(path, first, error)) << error;
    std::string read;
    ASSERT_EQ(ReadFunctionFile(path, read), FileStatus::Ok);
    EXPECT_EQ(read, first);

    // A target that cannot be replaced: the temporary file is removed again.
    const std::string taken = folder.path().toStdString() + "/taken";
    ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("taken/inside")));
    EXPECT_FALSE(WriteFunctionFile(taken, first, error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(QDir(QString::fromStdString(taken)).exists(QStringLiteral("inside")));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 1);
}

TEST(FunctionFileTest, AFolderWithoutWriteRightsKeepsTheOldFile) {
    QTemporaryDir folder;
    const std::string path = folder.path().toStdString() + "/PqCalculator.dat";
    std::string error;
    std::string read;
    const std::string first = EncodeFunctionFile(sample());
    ASSERT_TRUE(WriteFunctionFile(path, first, error)) << error;
    // A folder that cannot take the temporary file: the save fails, says why
    // and leaves the file as it was.
    ASSERT_EQ(::chmod(folder.path().toLocal8Bit().constData(), 0500), 0);
    if (::access(folder.path().toLocal8Bit().constData(), W_OK) == 0) {
        ::chmod(folder.path().toLocal8Bit().constData(), 0700);
        GTEST_SKIP() << "running with rights that ignore folder permissions";
    }
    EXPECT_FALSE(WriteFunctionFile(path, EncodeFunctionFile({}), error));
    EXPECT_FALSE(error.empty());
    ::chmod(folder.path().toLocal8Bit().constData(), 0700);
    ASSERT_EQ(ReadFunctionFile(path, read), FileStatus::Ok);
    EXPECT_EQ(read, first);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 1) << "no temporary file left";
}
