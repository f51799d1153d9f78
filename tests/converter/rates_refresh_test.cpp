// The exchange rates refresh themselves in the background, with the bank's
// document served from 127.0.0.1, and the line above the list dates them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QTimer>

#include <sys/stat.h>

#include "converter/commands.h"
#include "converter/dialogs/options_dialog.h"
#include "converter/list/unit_list_view.h"
#include "converter/list/unit_row.h"
#include "converter/rates_line.h"
#include "document/rates_date.h"
#include "engine/text.h"
#include "tests/converter/converter_fixture.h"
#include "tests/document/reference_rates_sample.h"
#include "tests/document/test_http_server.h"
#include "tests/uikit/test_support.h"
#include "uikit/dialogs.h"
#include "uikit/message_box.h"

using namespace pq;
using namespace pq::conv;
using namespace std::chrono_literals;
using pq::test::TestHttpServer;

namespace {

std::map<QString, QByteArray> snapshot(const QString& folder) {
    std::map<QString, QByteArray> files;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
        QFile file(folder + name);
        if (file.open(QIODevice::ReadOnly)) files[name] = file.readAll();
    }
    return files;
}

const UnitRow* rowOf(const UnitListView& list, std::u16string_view identifier) {
    for (int i = 0; i < list.rowCount(); ++i)
        if (list.row(i).item().identifier == identifier) return &list.row(i);
    return nullptr;
}

class RatesRefreshTest : public ::testing::Test {
  protected:
    void SetUp() override {
        world.seed({"Currency.cnv", "Length.cnv"});
        server.serve("/daily.xml", test::kReferenceRatesSample);
        ui::SetMessageResponder([this](const ui::MessageRequest& request) {
            messages.push_back(request.text);
            return false;
        });
    }
    void TearDown() override {
        if (frame) settled();
        frame.reset();
        ui::SetMessageResponder({});
    }

    // Starts the converter on these files with this download source.
    void open(std::string source = {},
              std::vector<std::u16string> recent = {u"Currency.cnv", u"Length.cnv"}) {
        if (source.empty()) source = server.url("/daily.xml");
        ConverterSettings settings;
        settings.setRecentFiles(recent);
        settings.setDataFolder(world.dataFolder);
        settings.setUpdateSource(QString::fromStdString(source));
        settings.save();
        ConverterOptions options = world.options();
        options.ratesRefresh.allowed = true;
        options.ratesRefresh.firstLook = 0ms;
        options.ratesRefresh.now = [this] { return now; };
        options.ratesRefresh.limits = {deadline, 512 * 1024};
        frame = std::make_unique<CPqConvFrame>(world.engine, options);
        frame->resize(240, 320);
        shippedLine = line();
        test::deliverPosted(); // the window is up: the first look
    }
    bool settled() {
        return test::waitFor([&] { return !frame->ratesRefresher()->isRunning(); }, 5000);
    }
    QString line() const {
        return frame->ratesLine()->isHidden() ? QString() : frame->ratesLine()->plainText();
    }
    QString file(const char* name) const { return world.dataFolder + QString::fromLatin1(name); }
    QByteArray bytes(const char* name) const {
        QFile f(file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    std::unique_ptr<ConversionDocument> read(const char* name) const {
        auto document = std::make_unique<ConversionDocument>();
        EXPECT_TRUE(document->loadFrom(file(name).toStdString(), true));
        return document;
    }
    std::optional<CivilDate> ratesOnDisk() const {
        return ratesDateOf(read("Currency.cnv")->updatedText.view());
    }
    // Currency.cnv as if its rates were of this date.
    void dateRates(const char* iso) {
        auto currency = read("Currency.cnv");
        currency->setUpdatedText(std::u16string(kRatesStamp) + fromUtf8(iso));
        ASSERT_TRUE(currency->saveTo(file("Currency.cnv").toStdString()));
    }

    test::ConverterWorld world;
    TestHttpServer server;
    // Noon, so that the day is the same in every time zone's terms.
    QDateTime now{QDate(2026, 12, 9), QTime(12, 0)};
    std::chrono::milliseconds deadline = 10s;
    std::vector<QString> messages;
    std::unique_ptr<CPqConvFrame> frame;
    QString shippedLine;
};

} // namespace

TEST_F(RatesRefreshTest, StaleRatesAreRefreshedAtStartAndTheRowsChangeInPlace) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    const auto before = snapshot(world.dataFolder);
    open();
    EXPECT_EQ(shippedLine,
              QStringLiteral("Rates of 29 Dec 2023, European Central Bank (1076 days old)"));
    Document* currency = frame->document();
    Item* euro = currency->currentItem;
    ASSERT_EQ(euro->identifier, u"EUR");
    euro->value = 100;
    euro->state = ValueState::Valid;
    frame->onCommand(kCmdCalculate);
    const UnitRow* dollar = rowOf(*frame->list(), u"USD");
    ASSERT_NE(dollar, nullptr);
    EXPECT_EQ(dollar->valueLabel().text(), QStringLiteral("110.50"));

    // Nobody pressed a key.
    ASSERT_TRUE(settled());
    EXPECT_EQ(line(), QStringLiteral("Rates of 8 Dec 2026, European Central Bank"));
    EXPECT_FALSE(frame->ratesLine()->marksOld());
    EXPECT_EQ(frame->document(), currency);
    EXPECT_EQ(currency->currentItem, euro);
    EXPECT_EQ(rowOf(*frame->list(), u"USD"), dollar) << "the rows stay";
    EXPECT_EQ(dollar->valueLabel().text(), QStringLiteral("108.45"));
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(server.requests(), 1);

    // Saved at once, and nothing else written.
    EXPECT_FALSE(currency->isModified());
    EXPECT_EQ(ratesOnDisk(), parseIsoDate("2026-12-08"));
    auto after = snapshot(world.dataFolder);
    EXPECT_NE(after[QStringLiteral("Currency.cnv")], before.at(QStringLiteral("Currency.cnv")));
    after[QStringLiteral("Currency.cnv")] = before.at(QStringLiteral("Currency.cnv"));
    EXPECT_EQ(after, before);

    // A change like any other: Undo puts the rates back, in the file too.
    frame->updateCommands();
    EXPECT_EQ(frame->commandAction(kCmdUndo)->text(),
              QStringLiteral("&Undo Update Exchange Rates"));
    frame->onCommand(kCmdUndo);
    EXPECT_EQ(snapshot(world.dataFolder), before);
    EXPECT_EQ(rowOf(*frame->list(), u"USD")->valueLabel().text(), QStringLiteral("110.50"));
    QLocale::setDefault(QLocale::system());
}

TEST_F(RatesRefreshTest, OnlyRatesOlderThanADayAreFetchedAndOnlyNewerOnesApplied) {
    const QTime noon(12, 0);
    const struct {
        const char* fileDate;
        QDateTime now;
        int requests;
    } cases[] = {
        {"2026-12-09", {QDate(2026, 12, 9), noon}, 0}, // fresh
        // Yesterday's, before the bank's next ones (due in the afternoon of
        // Frankfurt, whatever the time zone here).
        {"2026-12-08", {QDate(2026, 12, 9), QTime(1, 0)}, 0},
        {"2026-12-10", {QDate(2026, 12, 9), noon}, 0},  // a clock behind the bank's
        {"2026-12-08", {QDate(2026, 12, 12), noon}, 1}, // the bank has none newer yet
        {"2026-12-09", {QDate(2026, 12, 12), noon}, 1}, // the source is behind the file
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fileDate);
        dateRates(c.fileDate);
        const QByteArray before = bytes("Currency.cnv");
        const int requests = server.requests();
        now = c.now;
        open();
        EXPECT_TRUE(settled());
        EXPECT_EQ(server.requests() - requests, c.requests);
        EXPECT_EQ(bytes("Currency.cnv"), before);
        EXPECT_FALSE(frame->document()->isModified());
        EXPECT_TRUE(frame->ratesRefresher()->failure().isEmpty());
        frame.reset();
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(RatesRefreshTest, AFailedRefreshChangesNothingAndSaysWhyBesideTheDate) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    std::string junk = test::kReferenceRatesSample;
    junk.resize(junk.size() / 2);
    server.serve("/junk.xml", junk);
    server.serve("/page", "<html>Moved</html>");
    server.serveSlowly("/slow.xml", test::kReferenceRatesSample, 20ms);
    std::string down;
    {
        TestHttpServer gone;
        down = gone.url("/daily.xml");
    }
    const struct {
        std::string source;
        const char* reason;
    } cases[] = {
        {server.url("/junk.xml"), "could not refresh: the exchange rates cannot be read: it is "
                                  "not well-formed XML"},
        {server.url("/page"), "could not refresh: the download source sent no exchange rates"},
        {server.url("/slow.xml"), "could not refresh: the download took longer than 300 ms"},
        {server.url("/missing.xml"), "could not refresh: the server has no such file (error 404)"},
        {down, "could not refresh: the server could not be reached; is the computer connected to "
               "the internet?"},
    };
    const auto before = snapshot(world.dataFolder);
    deadline = 300ms;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        open(c.source);
        const QString values = rowOf(*frame->list(), u"USD")->valueLabel().text();
        ASSERT_TRUE(settled());
        EXPECT_TRUE(line().startsWith(
            QStringLiteral("Rates of 29 Dec 2023, European Central Bank (1076 days old) · ")))
            << line().toStdString();
        EXPECT_TRUE(line().contains(QString::fromUtf8(c.reason))) << line().toStdString();
        EXPECT_EQ(snapshot(world.dataFolder), before);
        EXPECT_FALSE(frame->document()->isModified());
        EXPECT_EQ(rowOf(*frame->list(), u"USD")->valueLabel().text(), values);
        frame.reset();
    }
    EXPECT_TRUE(messages.empty());

    // The reason stays until a refresh succeeds.
    open(server.url("/page"));
    ASSERT_TRUE(settled());
    ASSERT_FALSE(frame->ratesRefresher()->failure().isEmpty());
    server.serve("/page", test::kReferenceRatesSample);
    frame->ratesRefresher()->check();
    ASSERT_TRUE(settled());
    EXPECT_EQ(line(), QStringLiteral("Rates of 8 Dec 2026, European Central Bank"));
    QLocale::setDefault(QLocale::system());
}

TEST_F(RatesRefreshTest, TurnedOffThereIsNoConnectionUntilTurnedOnAgain) {
    SetRefreshRatesAutomatically(false);
    open();
    frame->ratesRefresher()->check();
    EXPECT_FALSE(frame->ratesRefresher()->isRunning());
    test::waitFor([] { return false; }, 100);
    EXPECT_EQ(server.requests(), 0);

    // Options: the box shows the setting, and ticking it looks at once.
    bool shown = true;
    QTimer::singleShot(0, [&] {
        auto* dialog = dynamic_cast<OptionsDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->refreshBox()->text(),
                  QStringLiteral("Refresh exchange rates automatically"));
        shown = dialog->refreshBox()->isChecked();
        dialog->refreshBox()->setChecked(true);
        ui::TriggerMenuBarItem(*dialog, ui::kOkCommand);
    });
    frame->onCommand(kCmdOptions);
    EXPECT_FALSE(shown);
    EXPECT_TRUE(RefreshesRatesAutomatically());
    ASSERT_TRUE(settled());
    EXPECT_EQ(server.requests(), 1);
    EXPECT_EQ(ratesDateOf(frame->document()->updatedText.view()), parseIsoDate("2026-12-08"));
}

TEST_F(RatesRefreshTest, WithAnotherFileOpenTheFileAloneIsRefreshed) {
    open({}, {u"Length.cnv", u"Currency.cnv"});
    Document* length = frame->document();
    ASSERT_EQ(length->name, u"Length");
    const Item* selected = length->currentItem;
    const QByteArray lengthBytes = bytes("Length.cnv");
    const QByteArray currencyBytes = bytes("Currency.cnv");
    EXPECT_TRUE(shippedLine.isEmpty()) << "Length.cnv holds no rates";
    ASSERT_TRUE(settled());
    ASSERT_TRUE(test::waitFor([&] { return ratesOnDisk() == parseIsoDate("2026-12-08"); }));
    EXPECT_EQ(frame->document(), length);
    EXPECT_EQ(length->currentItem, selected);
    EXPECT_FALSE(length->isModified());
    EXPECT_EQ(bytes("Length.cnv"), lengthBytes);
    EXPECT_TRUE(frame->ratesLine()->isHidden());
    // The catalogue knows the new rates, and opening the file shows them.
    const int index = frame->catalogue().indexOf(u"Currency.cnv");
    ASSERT_GT(index, 0);
    EXPECT_FALSE(frame->catalogue().at(static_cast<size_t>(index)).loaded);
    EXPECT_EQ(ratesDateOf(frame->catalogue().at(static_cast<size_t>(index)).updatedText.view()),
              parseIsoDate("2026-12-08"));
    frame->onCommand(kCmdSwitchFileFirst + static_cast<unsigned>(index));
    EXPECT_EQ(frame->document()->name, u"Currency");
    EXPECT_TRUE(line().contains(QStringLiteral("European Central Bank"))) << line().toStdString();
    EXPECT_FALSE(frame->ratesLine()->marksOld());
    EXPECT_TRUE(messages.empty());
    // The refresh is a step of the file it changed.
    frame->updateCommands();
    EXPECT_EQ(frame->commandAction(kCmdUndo)->text(),
              QStringLiteral("&Undo Update Exchange Rates"));
    frame->onCommand(kCmdUndo);
    EXPECT_EQ(bytes("Currency.cnv"), currencyBytes);
}

TEST_F(RatesRefreshTest, AReadOnlyFileIsNotFetchedForAndSaysWhy) {
    const QByteArray before = bytes("Currency.cnv");
    ASSERT_EQ(chmod(file("Currency.cnv").toLocal8Bit().constData(), 0444), 0);
    open();
    EXPECT_FALSE(frame->ratesRefresher()->isRunning());
    EXPECT_EQ(server.requests(), 0);
    EXPECT_TRUE(line().endsWith(QStringLiteral(
        "· could not refresh: Currency.cnv cannot be changed: the file is marked read-only")))
        << line().toStdString();
    EXPECT_EQ(bytes("Currency.cnv"), before);
    EXPECT_TRUE(messages.empty());
    chmod(file("Currency.cnv").toLocal8Bit().constData(), 0644);
}

TEST_F(RatesRefreshTest, TheUsersDownloadTakesOverARefreshUnderWay) {
    server.serveSlowly("/slow.xml", test::kReferenceRatesSample, 1ms);
    open(server.url("/slow.xml"));
    ASSERT_TRUE(frame->ratesRefresher()->isRunning());
    frame->onCommand(kCmdDownload);
    EXPECT_FALSE(frame->ratesRefresher()->isRunning());
    ASSERT_TRUE(test::waitFor([&] { return !messages.empty(); }, 10000));
    EXPECT_EQ(messages.front(), QStringLiteral("1 data file was updated."));
    EXPECT_EQ(messages.size(), 1u) << "no question about a file changed on disk";
    EXPECT_EQ(ratesOnDisk(), parseIsoDate("2026-12-08"));
    EXPECT_TRUE(frame->ratesRefresher()->failure().isEmpty());
    EXPECT_FALSE(frame->document()->isModified());
}

TEST_F(RatesRefreshTest, RatesThatArriveDuringADialogWaitUntilItCloses) {
    server.serveSlowly("/slow.xml", test::kReferenceRatesSample, 1ms);
    open(server.url("/slow.xml"));
    ASSERT_TRUE(frame->ratesRefresher()->isRunning());
    const QByteArray before = bytes("Currency.cnv");
    bool arrived = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        // The conversions the dialog shows stay as they are under it.
        arrived = settled();
        test::waitFor([] { return false; }, 50);
        EXPECT_EQ(bytes("Currency.cnv"), before);
        EXPECT_FALSE(frame->document()->isModified());
        ui::TriggerMenuBarItem(*dialog, ui::kOkCommand);
    });
    frame->onCommand(kCmdConversions);
    EXPECT_TRUE(arrived);
    ASSERT_TRUE(test::waitFor([&] { return ratesOnDisk() == parseIsoDate("2026-12-08"); }))
        << line().toStdString();
    EXPECT_EQ(line(), QStringLiteral("Rates of 8 Dec 2026, European Central Bank"));
    EXPECT_TRUE(messages.empty());
}

TEST(RatesLineTest, TheDateIsInTheOrderOfEachLocale) {
    const QDate rates(2026, 12, 8);
    const struct {
        QLocale locale;
        const char* date;
    } cases[] = {
        {QLocale(QLocale::English, QLocale::UnitedStates), "Dec 8, 2026"},
        {QLocale(QLocale::English, QLocale::UnitedKingdom), "8 Dec 2026"},
        {QLocale(QLocale::German, QLocale::Germany), "8. Dez. 2026"},
        {QLocale(QLocale::Japanese, QLocale::Japan), "2026年12月8日"},
        {QLocale(QLocale::Hungarian, QLocale::Hungary), "2026. dec. 8."},
    };
    for (const auto& c : cases) {
        const QString date = QString::fromUtf8(c.date);
        EXPECT_EQ(RatesDateText(rates, c.locale), date) << c.date;
        EXPECT_EQ(RatesLineText(rates, rates.addDays(7), QString(), c.locale),
                  QStringLiteral("Rates of %1, European Central Bank").arg(date));
        EXPECT_EQ(RatesLineText(rates, rates.addDays(12), QStringLiteral("timed out"), c.locale),
                  QStringLiteral("Rates of %1, European Central Bank (12 days old) · could not "
                                 "refresh: timed out")
                      .arg(date));
    }
}
