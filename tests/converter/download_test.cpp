#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProgressDialog>
#include <QPushButton>

#include <atomic>
#include <fstream>
#include <map>

#include "converter/commands.h"
#include "converter/download_runner.h"
#include "document/http_fetcher.h"
#include "tests/converter/converter_fixture.h"
#include "tests/document/reference_rates_sample.h"
#include "tests/uikit/test_support.h"
#include "uikit/message_box.h"

using namespace pq;
using namespace pq::conv;

namespace {

// Serves fixed bodies; a held fetch waits until it is released.
struct Server {
    std::map<std::string, std::string> bodies;
    std::atomic<bool> hold{false};
    std::atomic<bool> waiting{false};
};

class FakeFetcher : public HttpFetcher {
  public:
    explicit FakeFetcher(std::shared_ptr<Server> server) : server_(std::move(server)) {}
    bool fetch(const std::string& url, const std::string& path, std::string& error) override {
        server_->waiting = true;
        while (server_->hold) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        server_->waiting = false;
        const auto found = server_->bodies.find(url);
        if (found == server_->bodies.end()) {
            error = "not found";
            return false;
        }
        std::ofstream(path, std::ios::binary) << found->second;
        return true;
    }

  private:
    std::shared_ptr<Server> server_;
};

// The names and bytes of a folder's files.
std::map<QString, QByteArray> snapshot(const QString& folder) {
    std::map<QString, QByteArray> files;
    for (const QString& name : QDir(folder).entryList(QDir::Files)) {
        QFile file(folder + name);
        if (file.open(QIODevice::ReadOnly)) files[name] = file.readAll();
    }
    return files;
}

class DownloadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        world.seed({"Currency.cnv", "Length.cnv"});
        ConverterSettings settings;
        settings.setRecentFiles({u"Currency.cnv", u"Length.cnv"});
        settings.setDataFolder(world.dataFolder);
        settings.setUpdateSource(QStringLiteral("http://updates.test/list"));
        settings.save();
        server->bodies["http://updates.test/list"] = "PQCLST\nhttp://updates.test/a\n";
        server->bodies["http://updates.test/a"] =
            "PQCUPD 1\r\n--File Name: Length\r\n--Updated: today\r\n";
        ui::SetMessageResponder([this](const ui::MessageRequest& request) {
            messages.push_back(request);
            return false;
        });
        ConverterOptions options = world.options();
        options.fetcherFactory = [this] { return std::make_unique<FakeFetcher>(server); };
        frame = std::make_unique<CPqConvFrame>(world.engine, options);
    }
    void TearDown() override {
        server->hold = false;
        frame.reset();
        ui::SetMessageResponder({});
    }

    pq::test::ConverterWorld world;
    std::shared_ptr<Server> server = std::make_shared<Server>();
    std::vector<ui::MessageRequest> messages;
    std::unique_ptr<CPqConvFrame> frame;
};

} // namespace

TEST_F(DownloadTest, AFinishedDownloadStoresTheFilesAndSaysHowMany) {
    frame->onCommand(kCmdDownload);
    ASSERT_TRUE(pq::test::waitFor([&] { return !messages.empty(); }));
    EXPECT_EQ(messages[0].title, QStringLiteral("Download"));
    EXPECT_EQ(messages[0].icon, ui::MessageIcon::Information);
    EXPECT_EQ(messages[0].text, QStringLiteral("1 data file was updated."));
    EXPECT_TRUE(QFile::exists(world.dataFolder + QStringLiteral("Length.upd")));
    EXPECT_FALSE(frame->downloadRunner()->isRunning());
    EXPECT_EQ(frame->downloadRunner()->progressDialog(), nullptr);
    for (const auto& [name, bytes] : snapshot(world.dataFolder))
        EXPECT_FALSE(name.endsWith(QStringLiteral(".part"))) << name.toStdString();
}

TEST_F(DownloadTest, AFailureIsReportedWithTheDownloadersReason) {
    server->bodies.erase("http://updates.test/a");
    frame->onCommand(kCmdDownload);
    ASSERT_TRUE(pq::test::waitFor([&] { return !messages.empty(); }));
    EXPECT_EQ(messages[0].icon, ui::MessageIcon::Error);
    // It says what failed and what to do.
    const QString text = messages[0].text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("The download failed: could not download ")))
        << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral("Check the connection and the download source "
                                             "(Edit > Options), then try again.")));
}

TEST_F(DownloadTest, ACancelledDownloadChangesNoFileAndSaysNothing) {
    const auto before = snapshot(world.dataFolder);
    server->hold = true;
    frame->onCommand(kCmdDownload);
    ASSERT_TRUE(frame->downloadRunner()->isRunning());
    QProgressDialog* progress = frame->downloadRunner()->progressDialog();
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(progress->labelText(), QStringLiteral("Downloading exchange rates..."));
    ASSERT_TRUE(pq::test::waitFor([&] { return server->waiting.load(); }));
    // The window stays alive while the download waits.
    frame->onCommand(kCmdDownload); // a second one does not start
    auto* cancel = progress->findChild<QPushButton*>();
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->text(), QStringLiteral("Cancel"));
    cancel->click();
    EXPECT_FALSE(frame->downloadRunner()->isRunning());
    server->hold = false;
    pq::test::waitFor([] { return false; }, 300);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(snapshot(world.dataFolder), before);
    // A new download runs again.
    frame->onCommand(kCmdDownload);
    ASSERT_TRUE(pq::test::waitFor([&] { return !messages.empty(); }));
    EXPECT_EQ(messages[0].icon, ui::MessageIcon::Information);
}

TEST_F(DownloadTest, TheBanksRatesUpdateTheOpenCurrencyFile) {
    const std::string source = "https://rates.test/stats/eurofxref/eurofxref-daily.xml";
    server->bodies[source] = pq::test::kReferenceRatesSample;
    server->bodies["http://updates.test/list"] = "PQCLST\n" + source + "\n";
    auto* currency = static_cast<ConversionDocument*>(frame->catalogue().current(0));
    ASSERT_NE(currency, nullptr);
    ASSERT_EQ(currency->name, u"Currency");
    frame->onCommand(kCmdDownload);
    ASSERT_TRUE(pq::test::waitFor([&] { return !messages.empty(); }));
    EXPECT_EQ(messages[0].icon, ui::MessageIcon::Information);
    EXPECT_EQ(messages[0].text, QStringLiteral("1 data file was updated."));
    EXPECT_EQ(currency->updatedText,
              u"Downloaded file timestamp: European Central Bank reference rates of 2026-12-08");
    double dollar = 0;
    for (const auto& c : currency->conversions)
        if (c->unit1->identifier == u"EUR" && c->unit2->identifier == u"USD") dollar = c->factor;
    EXPECT_EQ(dollar, 1.0845);

    // The update is in Currency.cnv at once, and its file is gone.
    EXPECT_FALSE(QFile::exists(world.dataFolder + QStringLiteral("Currency.upd")));
    ConversionDocument saved;
    ASSERT_TRUE(
        saved.loadFrom((world.dataFolder + QStringLiteral("Currency.cnv")).toStdString(), false));
    EXPECT_EQ(saved.updatedText, currency->updatedText);

    // A change like any other: undone, the file is as it was shipped;
    // redone, the rates are back.
    const auto bytesOf = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QString path = world.dataFolder + QStringLiteral("Currency.cnv");
    const QByteArray downloaded = bytesOf(path);
    frame->updateCommands();
    EXPECT_EQ(frame->commandAction(kCmdUndo)->text(),
              QStringLiteral("&Undo Apply Downloaded Update"));
    frame->onCommand(kCmdUndo);
    EXPECT_EQ(bytesOf(path), bytesOf(QStringLiteral(PQ_DATA_DIR "/Currency.cnv")));
    frame->onCommand(kCmdRedo);
    EXPECT_EQ(bytesOf(path), downloaded);

    // A broken document: the stop icon, the reason, and the files as they
    // were.
    const auto pending = [&] {
        QFile file(world.dataFolder + QStringLiteral("Currency.upd"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray pendingBefore = pending();
    messages.clear();
    std::string bad = pq::test::kReferenceRatesSample;
    server->bodies[source] = bad.replace(bad.find("'1.0845'"), 8, "'0'");
    frame->onCommand(kCmdDownload);
    ASSERT_TRUE(pq::test::waitFor([&] { return !messages.empty(); }));
    EXPECT_EQ(messages[0].icon, ui::MessageIcon::Error);
    EXPECT_TRUE(
        messages[0].text.contains(QStringLiteral(": the rate of USD is not a positive number.")))
        << messages[0].text.toStdString();
    EXPECT_EQ(pending(), pendingBefore);
    for (const auto& c : currency->conversions) {
        if (c->unit1->identifier == u"EUR" && c->unit2->identifier == u"USD") {
            EXPECT_EQ(c->factor, 1.0845);
        }
    }
}

TEST(MoveUpdateFilesTest, MovesOnlyUpdateFiles) {
    QTemporaryDir from;
    QTemporaryDir to;
    for (const char* name : {"A.upd", "B.upd", "notes.txt"}) {
        QFile file(from.path() + QStringLiteral("/") + QString::fromUtf8(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(name);
    }
    EXPECT_EQ(MoveUpdateFiles(from.path().toStdString(), to.path().toStdString()), 2);
    EXPECT_EQ(QDir(to.path()).entryList(QDir::Files), (QStringList{"A.upd", "B.upd"}));
}
