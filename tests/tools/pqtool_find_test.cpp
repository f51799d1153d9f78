// pqtool convert VALUE FROM [TO] and pqtool find over a data folder, as a
// user runs them: the output, the messages and the exit status.

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include "document/data_source.h"
#include "document/document.h"
#include "tests/document/file_bytes.h"
#include "tests/tools/run_process.h"

using pq::test::ProcessResult;
using pq::test::runProcess;
using pq::test::TempFolder;

namespace {

const std::string kShipped = PQ_DATA_DIR;

ProcessResult pqtool(const std::vector<std::string>& args) { return runProcess(PQTOOL_PATH, args); }

ProcessResult inShipped(std::vector<std::string> args) {
    args.insert(args.begin() + 1, {"--folder", kShipped});
    return pqtool(args);
}

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

void compileInto(const TempFolder& folder, const char* name, const std::string& source) {
    pq::SourceError error;
    auto document = pq::compileDataSource(source, 0, error);
    ASSERT_NE(document, nullptr) << error.message;
    ASSERT_TRUE(document->saveTo(folder.file(name)));
}

// Two files that both hold "a" and "b", joined by a factor.
std::string pairSource(const char* title, const char* factor) {
    return std::string("type: conversions\ntitle: ") + title +
           "\n\n[unit]\nid: a\nname: Aaa\n\n[unit]\nid: b\nname: Bbb\n\n[conversion]\nfrom: a\n"
           "to: b\nfactor: " +
           factor + "\n";
}

// Sets an environment variable for one test.
class EnvironmentGuard {
  public:
    EnvironmentGuard(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        setenv(name, value.c_str(), 1);
    }
    ~EnvironmentGuard() {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

// The settings record as the converter's settings file holds it: 900 bytes,
// the data folder as UTF-16LE from byte 384, written with the escapes of
// the settings format (\0 for a zero byte, \xHH for other control bytes and
// for a hex digit that follows an escape).
std::string settingsFile(const std::string& dataFolder) {
    std::string record(900, '\0');
    for (size_t i = 0; i < dataFolder.size(); ++i) record[384 + 2 * i] = dataFolder[i];
    std::string escaped;
    bool afterEscape = false;
    for (const char c : record) {
        const auto byte = static_cast<unsigned char>(c);
        const bool hex = std::isxdigit(byte) != 0;
        char code[8];
        if (byte == 0) {
            escaped += "\\0";
            afterEscape = true;
        } else if (byte < 0x20 || byte >= 0x7F || (afterEscape && hex)) {
            std::snprintf(code, sizeof code, "\\x%x", byte);
            escaped += code;
            afterEscape = true;
        } else {
            escaped += c;
            afterEscape = false;
        }
    }
    return "[General]\nother=1\n\n[Settings]\nOptions=@ByteArray(" + escaped + ")\n";
}

} // namespace

TEST(PqtoolConvertInFolder, FindsBothUnitsAndPrintsTheValueAsTheTargetShowsIt) {
    const struct {
        std::vector<std::string> args;
        const char* out;
    } cases[] = {
        {{"convert", "5", "ft", "m"}, "1.524\n"},
        {{"convert", "60", "mph", "km/h"}, "96.56064\n"},
        {{"convert", "1", "kph", "m/s"}, "0.27777777778\n"},  // an alternative name
        {{"convert", "1", "l", "ml"}, "1,000\n"},             // Cooking and Volume agree
        {{"convert", "-40", "C", "F"}, "-40\n"},              // a negative value is no option
        {{"convert", "1", "Foot", "inch"}, "12\n"},           // names
        {{"convert", "[5 6]", "ft_in", "ft"}, "5.5\n"},       // in FROM's own notation
        // Kinds of their own, each by its definition.
        {{"convert", "1", "GHz", "Hz"}, "1,000,000,000\n"},
        {{"convert", "1", "N m", "lbf ft"}, "0.73756214928\n"},     // 1 / 1.3558179483314004
        {{"convert", "100", "mg/dL", "mmol/L"}, "5.55074490997\n"}, // glucose, 180.156 g/mol
        {{"convert", "1", "g", "m/s2"}, "9.80665\n"},
        {{"convert", "1000", "lx", "fc"}, "92.90304\n"},
        {{"convert", "12", "pt", "mm"}, "4.23333333333\n"},
        {{"convert", "1", "mSv", "rem"}, "0.1\n"},
        {{"convert", "1", "US therm", "kWh"}, "29.3001111111\n"}, // 105 480 400 J
    };
    for (const auto& c : cases) {
        const ProcessResult r = inShipped(c.args);
        EXPECT_EQ(r.exitCode, 0) << c.args[2] << ": " << r.err;
        EXPECT_EQ(r.out, c.out) << c.args[2];
    }
    // Without TO, every shown unit of FROM's file.
    const ProcessResult all = inShipped({"convert", "1", "kph"});
    EXPECT_EQ(all.exitCode, 0);
    EXPECT_TRUE(all.out.starts_with("Kilometre per hour (km/h)\t1\nMetre per second (m/s)\t"))
        << all.out;
}

TEST(PqtoolConvertInFolder, UnknownAmbiguousAndDisagreeingNamesListTheCandidates) {
    ProcessResult r = inShipped({"convert", "1", "IST", "UTC"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(has(r.err, "\"IST\" names several units"));
    EXPECT_TRUE(has(r.err, "Jerusalem\tJerusalem, UTC+2\tTime Zones\tTimeZones.cnv")) << r.err;

    r = inShipped({"convert", "1", "furlongz", "m"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(has(r.err, "no unit of " + kShipped + "/ is called \"furlongz\"")) << r.err;
    EXPECT_TRUE(has(r.err, "furlong\tFurlong (660 ft)\tLength\tLength.cnv")) << r.err;

    r = inShipped({"convert", "1", "m", "kg"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(has(r.err, "no data file holds both \"m\" and \"kg\"")) << r.err;

    r = inShipped({"convert", "five", "ft", "m"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "Error\n");

    TempFolder folder;
    compileInto(folder, "One.cnv", pairSource("One", "2"));
    compileInto(folder, "Two.cnv", pairSource("Two", "3"));
    r = pqtool({"convert", "--folder", folder.path(), "1", "a", "b"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(has(r.err, "give different answers")) << r.err;
    EXPECT_TRUE(has(r.err, "2\tb\tBbb\tOne\tOne.cnv")) << r.err;
    EXPECT_TRUE(has(r.err, "3\tb\tBbb\tTwo\tTwo.cnv")) << r.err;
    compileInto(folder, "Two.cnv", pairSource("Two", "2"));
    r = pqtool({"convert", "--folder=" + folder.path(), "1", "a", "b"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "2\n");

    for (const auto& bad : std::vector<std::vector<std::string>>{
             {"convert"}, {"convert", "1"}, {"convert", "1", "a", "b", "c"},
             {"convert", "--folder"}, {"convert", "--fast", "1", "a"}, {"find"}})
        EXPECT_EQ(pqtool(bad).exitCode, 2) << bad.size();
    EXPECT_EQ(pqtool({"convert", "--folder", folder.file("none"), "1", "a", "b"}).exitCode, 1);
}

TEST(PqtoolFind, ListsTheMatchesBestFirst) {
    ProcessResult r = inShipped({"find", "kph"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "km_h\tKilometre per hour (km/h)\tSpeed\tSpeed.cnv\n");
    r = inShipped({"find", "mile", "per"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.starts_with("mph\tMile per hour (mph)\tSpeed\tSpeed.cnv\n")) << r.out;
    r = inShipped({"find", "xyzzy"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(has(r.err, "no unit matches \"xyzzy\""));
}

TEST(PqtoolFind, UsesTheConvertersDataFolder) {
    TempFolder config, data;
    compileInto(data, "Pairs.cnv", pairSource("Pairs", "7"));
    std::filesystem::create_directories(config.file("Quorvane"));
    std::ofstream(config.file("Quorvane/PqConverter.conf")) << settingsFile(data.path());
    EnvironmentGuard guard("XDG_CONFIG_HOME", config.path());
    ProcessResult r = pqtool({"convert", "1", "a", "b"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "7\n");
    r = pqtool({"find", "bbb"});
    EXPECT_EQ(r.out, "b\tBbb\tPairs\tPairs.cnv\n");
}
