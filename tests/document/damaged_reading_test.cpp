// What reading keeps of a file with one byte spoilt: the records around the
// damage are found again, and what is lost is counted.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "document/document.h"
#include "tests/document/file_bytes.h"

using namespace pq;
using test::TempFolder;

namespace {


// Where the header ends and the first unit begins: magic, length, three texts
// and the unit count.
size_t headerSize(const std::vector<uint8_t>& bytes) {
    size_t at = 8;
    for (int text = 0; text < 3; ++text)
        at += 4 + 2 * static_cast<size_t>(bytes[at] | bytes[at + 1] << 8);
    return at + 4;
}

} // namespace

TEST(DamagedReading, OneSpoiltByteLosesAtMostOneUnitAndItsConversions) {
    // The shipped Weight.cnv (data/Weight.txt), whose conversions each join
    // one unit to the kilogram.
    const std::vector<uint8_t> whole = test::readBytes(PQ_DATA_DIR "/Weight.cnv");
    ASSERT_GT(whole.size(), 1000u);
    ConversionDocument intact;
    ASSERT_TRUE(intact.loadFrom(PQ_DATA_DIR "/Weight.cnv", true));
    const int kUnits = static_cast<int>(intact.items.size());
    const int kConversions = static_cast<int>(intact.conversions.size());
    ASSERT_EQ(kConversions, kUnits - 1);
    const size_t header = headerSize(whole);
    TempFolder folder;
    const PlainFolder where(folder.path());
    const std::string path = folder.file("Weight.cnv");
    int damaged = 0;
    for (size_t at = header; at < whole.size(); ++at) {
        SCOPED_TRACE("byte " + std::to_string(at));
        std::vector<uint8_t> bytes = whole;
        bytes[at] ^= 0xFF;
        test::writeBytes(path, bytes);
        ConversionDocument d;
        ASSERT_TRUE(d.load(where, true, u"Weight")) << d.errorText();
        const ReadState& state = d.readState();
        const int units = static_cast<int>(d.items.size());
        const int conversions = static_cast<int>(d.conversions.size());
        if (state.kind != ReadState::Kind::Damaged) {
            // A changed value or name: every record is still there.
            EXPECT_EQ(units, kUnits);
            EXPECT_EQ(conversions, kConversions);
            continue;
        }
        ++damaged;
        EXPECT_GE(units, kUnits - 1);
        EXPECT_EQ(state.unitsInFile, kUnits);
        EXPECT_EQ(state.droppedUnits, kUnits - units);
        // The conversions of a lost unit go with it: the kilogram has them
        // all, any other unit one; one more may be the record spoilt.
        bool kilogramLost = true;
        for (const auto& item : d.items) kilogramLost = kilogramLost && item->identifier != u"kg";
        const int lostWithUnit = units == kUnits ? 0 : kilogramLost ? kConversions : 1;
        EXPECT_GE(conversions, kConversions - lostWithUnit - 1);
        if (state.conversionsInFile >= 0) {
            EXPECT_EQ(state.conversionsInFile, kConversions);
            EXPECT_EQ(state.droppedConversions, kConversions - conversions);
        }
        for (const auto& c : d.conversions) {
            EXPECT_TRUE(d.indexOf(c->unit1) && d.indexOf(c->unit2)) << "joins units of the file";
        }
        // Saved again (some of them: each save waits for the disk), it reads
        // back whole with what was kept.
        if (damaged % 700 != 1) continue;
        std::string backup;
        const SaveResult repaired = d.repair(where, backup);
        ASSERT_EQ(repaired.outcome, SaveResult::Outcome::Saved) << repaired.cause;
        ConversionDocument again;
        ASSERT_TRUE(again.loadFrom(path, true));
        EXPECT_EQ(again.readState().kind, ReadState::Kind::Whole);
        EXPECT_EQ(static_cast<int>(again.items.size()), units);
        EXPECT_EQ(static_cast<int>(again.conversions.size()), conversions);
        std::filesystem::remove(folder.file(backup));
    }
    EXPECT_GT(damaged, 100);
}
