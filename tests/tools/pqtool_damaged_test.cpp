// pqtool on files it should only read: damaged files are told as they are,
// and no read-only command changes a file.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <map>

#include "document/document.h"
#include "tests/document/file_bytes.h"
#include "tests/tools/run_process.h"

using pq::test::Bytes;
using pq::test::ProcessResult;
using pq::test::runProcess;
using pq::test::TempFolder;

namespace {

const std::string kShipped = PQ_DATA_DIR;
constexpr int64_t kMagic = 0xC040A010;
constexpr int64_t kLegacy = 0xC0215192;

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The shipped Weight.cnv: its bytes, and one byte of them inverted.
std::vector<uint8_t> shippedWeight() { return pq::test::readBytes(kShipped + "/Weight.cnv"); }
std::vector<uint8_t> spoiltWeight(size_t at) {
    std::vector<uint8_t> bytes = shippedWeight();
    bytes.at(at) ^= 0xFF;
    return bytes;
}

// A file of the older format: the metre and the foot, 1 m = 3.2808399 ft.
std::vector<uint8_t> legacyLength() {
    Bytes b;
    b.i32(kLegacy).text(u"Old Length").i32(2);
    b.i32(1).text(u"m").text(u"Metre").text(u"").i32(0);
    b.i32(1).text(u"ft").text(u"Foot").text(u"").i32(0);
    b.i32(2).i32(0).i32(0).i32(0).i32(0).i32(1).i32(0); // both shown
    b.i32(1).i32(0).i32(0).i32(1).f64(3.2808399).f64(0);
    return b.data;
}

// A calculation file whose second item breaks off: an input a and the output
// 2 * a are left.
std::vector<uint8_t> damagedTip() {
    Bytes b;
    b.i32(kMagic).i32(0).text(u"").text(u"Tip").text(u"").i32(3);
    b.i32(2).text(u"Amount").text(u"a").text(u"10").i32(1).i32(1).i32(1).i32(1).i32(0);
    b.i32(2).i32(-3);
    b.i32(2).text(u"Twice").text(u"t").text(u"a*2").i32(1).i32(1).i32(1).i32(1).i32(1);
    return b.sealed().data;
}

// Every file of a folder with its bytes, place and time.
struct FileState {
    std::vector<uint8_t> bytes;
    ino_t inode = 0;
    int64_t modified = 0;
    bool operator==(const FileState&) const = default;
};

std::map<std::string, FileState> folderState(const std::string& folder) {
    std::map<std::string, FileState> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        struct stat info {};
        stat(entry.path().c_str(), &info);
        files[entry.path().filename().string()] = {
            pq::test::readBytes(entry.path().string()), info.st_ino,
            static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
    }
    return files;
}

} // namespace

TEST(PqtoolDamaged, ReadOnlyCommandsTellDamageAndChangeNoFile) {
    // Folder one: Weight.cnv loses the carat (a byte of the length of its
    // value text spoilt), and with it its one conversion; an older-format
    // Old.cnv; a calculation file that loses an item. Folder two: Weight.cnv
    // loses the conversion of the ounce (a byte of its kind spoilt). Every
    // unit of Weight.cnv has one conversion to the kilogram.
    const std::vector<uint8_t> weight = shippedWeight();
    const size_t caratValue = pq::test::valueTextOf(weight, u"ct");
    const size_t ounceKind = pq::test::conversionKindOf(weight, 0.45359237 / 16);
    ASSERT_NE(caratValue, std::string::npos);
    ASSERT_NE(ounceKind, std::string::npos);
    pq::ConversionDocument whole;
    ASSERT_TRUE(whole.loadFrom(kShipped + "/Weight.cnv", true));
    const std::string units = std::to_string(whole.items.size());
    const std::string conversions = std::to_string(whole.conversions.size());
    const std::string oneFewer = std::to_string(whole.conversions.size() - 1);
    TempFolder one, two;
    pq::test::writeBytes(one.file("Weight.cnv"), spoiltWeight(caratValue));
    pq::test::writeBytes(one.file("Old.cnv"), legacyLength());
    pq::test::writeBytes(one.file("Tip.cal"), damagedTip());
    pq::test::writeBytes(two.file("Weight.cnv"), spoiltWeight(ounceKind));
    const std::string weightLost =
        "Weight.cnv is damaged: 1 unit and 1 conversion could not be read. What could be read is "
        "shown: " + std::to_string(whole.items.size() - 1) + " of " + units + " units and " +
        oneFewer + " of " + conversions + " conversions.";
    const std::string ounceLost =
        "Weight.cnv is damaged: 1 conversion could not be read. What could be read is shown: " +
        units + " of " + units + " units and " + oneFewer + " of " + conversions + " conversions.";
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string out; // a part of standard output; empty: none at all
        std::string err; // a part of standard error
    };
    const std::string a = one.path(), b = two.path();
    const Case cases[] = {
        {{"dump", a + "Weight.cnv"}, 3, "id: lb", weightLost},
        {{"convert", a + "Weight.cnv", "lb", "1"}, 3, "Ounce (oz)\t16", weightLost},
        {{"convert", "--folder", a, "1", "lb", "oz"}, 3, "16\n", weightLost},
        {{"convert", "--folder", a, "1", "ct", "g"}, 2, "", "no unit"},
        {{"convert", "--folder", a, "1", "lb"}, 3, "Ounce (oz)\t16", weightLost},
        {{"convert", "--folder", b, "1", "lb", "oz"}, 3, "", ounceLost},
        {{"convert", "--folder", b, "1", "lb", "kg"}, 3, "0.45359237\n", ounceLost},
        {{"calc", a + "Tip.cal", "a=5"},
         3,
         "Twice\t10",
         "Tip.cal is damaged: 1 item could not be read. What could be read is shown: 2 of 3 "
         "items."},
        {{"dump", a + "Old.cnv"}, 0, "id: ft", ""},
        {{"convert", a + "Old.cnv", "m", "1"}, 0, "Foot\t3.2808399", ""},
        {{"convert", "--folder", a, "1", "m", "ft"}, 0, "3.2808399\n", ""},
        {{"find", "--folder", a, "foot"}, 0, "Old.cnv", ""},
        {{"rates", "--folder", a}, 1, "", ""},
    };
    const auto before = folderState(a), beforeTwo = folderState(b);
    for (const Case& c : cases) {
        std::string line;
        for (const std::string& arg : c.args) line += arg + " ";
        SCOPED_TRACE(line);
        const ProcessResult r = runProcess(PQTOOL_PATH, c.args);
        EXPECT_EQ(r.exitCode, c.status) << r.err;
        if (c.out.empty()) {
            EXPECT_EQ(r.out, "");
        } else {
            EXPECT_TRUE(has(r.out, c.out)) << r.out;
        }
        EXPECT_TRUE(has(r.err, c.err)) << r.err;
        EXPECT_TRUE(folderState(a) == before) << "every file as it was";
        EXPECT_TRUE(folderState(b) == beforeTwo);
    }
}
