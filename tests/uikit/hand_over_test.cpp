#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QUuid>

#include "tests/uikit/test_support.h"
#include "uikit/hand_over.h"

using namespace pq::ui;

namespace {

QString uniqueName() {
    return QStringLiteral("pq-test-") + QUuid::createUuid().toString(QUuid::Id128).left(12);
}

} // namespace

TEST(HandOver, MessagesHaveTagLengthAndLittleEndianData) {
    const QByteArray bytes = EncodeValue(255.5);
    EXPECT_EQ(bytes, QByteArray::fromHex("01000000"
                                         "08000000"
                                         "0000000000f06f40"));
    EXPECT_EQ(EncodeMessage(kRaiseTag), QByteArray::fromHex("02000000"
                                                            "00000000"));

    HandOverDecoder decoder;
    const QByteArray stream = bytes + EncodeMessage(kRaiseTag) + EncodeValue(-0.125);
    for (char byte : stream) decoder.append(QByteArray(1, byte)); // arrives in pieces
    HandOverMessage message;
    double value = 0;
    ASSERT_TRUE(decoder.next(message));
    ASSERT_TRUE(DecodeValue(message, value));
    EXPECT_EQ(value, 255.5);
    ASSERT_TRUE(decoder.next(message));
    EXPECT_EQ(message.tag, kRaiseTag);
    EXPECT_FALSE(DecodeValue(message, value));
    ASSERT_TRUE(decoder.next(message));
    ASSERT_TRUE(DecodeValue(message, value));
    EXPECT_EQ(value, -0.125);
    EXPECT_FALSE(decoder.next(message));

    // A value message whose data is not one double is no value.
    EXPECT_FALSE(DecodeValue({kValueTag, QByteArray(4, '\0')}, value));

    // A length beyond any message ends the stream.
    HandOverDecoder hostile;
    hostile.append(QByteArray::fromHex("01000000"
                                       "ffffff7f"));
    EXPECT_FALSE(hostile.next(message));
    EXPECT_TRUE(hostile.failed());
}

TEST(HandOver, ServerNamesBelongToProgramAndUser) {
    const QString converter = LocalServerName(Program::Converter);
    const QString calculator = LocalServerName(Program::Calculator);
    EXPECT_TRUE(converter.startsWith(QStringLiteral("PqConverter-")));
    EXPECT_TRUE(calculator.startsWith(QStringLiteral("PqCalculator-")));
    EXPECT_EQ(converter.mid(12), calculator.mid(13));
    EXPECT_FALSE(converter.contains(u'/'));
}

TEST(HandOver, ValuesReachTheListeningProgram) {
    const QString name = uniqueName();
    std::vector<HandOverMessage> received;
    HandOverServer server([&](const HandOverMessage& m) { received.push_back(m); });
    ASSERT_TRUE(server.listen(name));

    // A second program cannot take the name while the first one listens.
    HandOverServer second([](const HandOverMessage&) {});
    EXPECT_FALSE(second.listen(name));

    ASSERT_TRUE(SendHandOver(name, EncodeMessage(kRaiseTag) + EncodeValue(1234.5)));
    ASSERT_TRUE(pq::test::waitFor([&] { return received.size() == 2; }));
    EXPECT_EQ(received[0].tag, kRaiseTag);
    double value = 0;
    ASSERT_TRUE(DecodeValue(received[1], value));
    EXPECT_EQ(value, 1234.5);

    EXPECT_FALSE(SendHandOver(uniqueName(), EncodeValue(1), 200));
}

TEST(HandOver, ANameLeftBehindIsTakenOver) {
    const QString name = uniqueName();
    QFile leftover(QDir::tempPath() + u'/' + name);
    ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
    leftover.close();
    HandOverServer server([](const HandOverMessage&) {});
    EXPECT_TRUE(server.listen(name));
    EXPECT_TRUE(server.isListening());
}

TEST(HandOver, RaiseOrStartPrefersTheRunningProgram) {
    const QString name = uniqueName();
    std::vector<HandOverMessage> received;
    HandOverServer server([&](const HandOverMessage& m) { received.push_back(m); });
    ASSERT_TRUE(server.listen(name));
    EXPECT_EQ(RaiseOrStart(name, QStringLiteral("/nonexistent/PqConverter")), OpenResult::Raised);
    ASSERT_TRUE(pq::test::waitFor([&] { return !received.empty(); }));
    EXPECT_EQ(received[0].tag, kRaiseTag);

    EXPECT_EQ(RaiseOrStart(uniqueName(), QStringLiteral("/nonexistent/PqConverter")),
              OpenResult::Failed);
    EXPECT_EQ(RaiseOrStart(uniqueName(), QDir::tempPath()), OpenResult::Failed);
    EXPECT_EQ(RaiseOrStart(uniqueName(), QStringLiteral("/bin/true")), OpenResult::Started);
}
