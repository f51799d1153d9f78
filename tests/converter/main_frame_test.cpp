#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QUuid>
#include <QtEndian>

#include "converter/commands.h"
#include "converter/entry/value_entry_panel.h"
#include "converter/file_switcher.h"
#include "converter/find/index_runner.h"
#include "converter/find/unit_finder.h"
#include "converter/list/unit_list_view.h"
#include "document/item.h"
#include "document/unit_index.h"
#include "tests/converter/converter_fixture.h"
#include "tests/uikit/test_support.h"
#include "uikit/clipboard.h"
#include "uikit/hand_over.h"
#include "uikit/message_box.h"

using namespace pq;
using namespace pq::conv;
using pq::test::ConverterWorld;
using pq::test::deliverPosted;

namespace {

QString fileName(const Document* document) {
    return document ? QString::fromStdU16String(document->fileNameWithExtension()) : QString();
}

QString title(const Document& document) {
    return QString::fromStdU16String(std::u16string(document.title.view()));
}

// Takes every message box and question; questions get `answer`.
class Messages {
  public:
    Messages() {
        ui::SetMessageResponder([this](const ui::MessageRequest& request) {
            received.push_back(request);
            return answer;
        });
    }
    ~Messages() { ui::SetMessageResponder({}); }

    std::vector<ui::MessageRequest> received;
    bool answer = false;
};

const QStringList kSomeFiles = {"Currency.cnv",  "Length.cnv",       "Weight.cnv", "TipCalc.cal",
                                "TimeZones.cnv", "ComputerBase.cnv", "Area.cnv",   "Speed.cnv"};

} // namespace

TEST(ConverterStartTest, FirstRunOpensCurrencyWhenTheFolderHoldsIt) {
    ConverterWorld world;
    world.seed(kSomeFiles);
    auto frame = world.open();
    ASSERT_NE(frame->document(), nullptr);
    EXPECT_EQ(frame->windowTitle(), title(*frame->document()) + QStringLiteral(" - PqConverter"));
    EXPECT_EQ(fileName(frame->document()), QStringLiteral("Currency.cnv"));
    EXPECT_EQ(frame->fileSwitcherButton().text(), title(*frame->document()));
    EXPECT_EQ(&frame->catalogue().at(0), frame->document());
    EXPECT_GT(frame->list()->rowCount(), 0);
    EXPECT_EQ(frame->list()->selected(), 0);
    // Only the recent files are known until the open dialog scans the folder.
    EXPECT_EQ(frame->catalogue().size(), 6u);
}

TEST(ConverterStartTest, FirstRunWithoutCurrencyOpensTheFirstRecentFileThatExists) {
    ConverterWorld world;
    world.seed({"Length.cnv", "TipCalc.cal"});
    auto frame = world.open();
    EXPECT_EQ(fileName(frame->document()), QStringLiteral("Length.cnv"));
    world.seed({}); // nothing else
}

TEST(ConverterStartTest, AnEmptyOrMissingFolderShowsNoFileAndStaysUsable) {
    for (bool missing : {false, true}) {
        ConverterWorld world;
        if (missing) world.writeSettings({u"Length.cnv"});
        if (missing) {
            conv::ConverterSettings settings = conv::ConverterSettings::load();
            settings.setDataFolder(world.root.path() + QStringLiteral("/nowhere/"));
            settings.save();
        }
        auto frame = world.open();
        EXPECT_EQ(frame->document(), nullptr);
        EXPECT_EQ(frame->fileSwitcherButton().text(), QStringLiteral("(No file)"));
        EXPECT_EQ(frame->list()->rowCount(), 0);
        EXPECT_FALSE(frame->list()->scrollBar()->isEnabled());
        for (unsigned id : {kCmdProperties, kCmdAddUnit, kCmdEditUnit, kCmdDeleteUnit,
                            kCmdConversions, kCmdCopy, kCmdPaste})
            EXPECT_FALSE(frame->commandAction(id)->isEnabled()) << id;
        for (unsigned id : {kCmdOpen, kCmdDownload, kCmdOptions, kCmdExpandCompact,
                            kCmdOpenCalculator, kCmdAbout, kCmdExit})
            EXPECT_TRUE(frame->commandAction(id)->isEnabled()) << id;
        // Commands without a document do nothing and do not crash.
        for (unsigned id :
             {kCmdShowUnits, kCmdRemoveFromList, kCmdCopy, kCmdCalculate, kCmdSwitchFileFirst})
            frame->onCommand(id);
        EXPECT_EQ(frame->document(), nullptr);
    }
}

TEST(ConverterStartTest, TheSwitcherListsSixFilesThenMore) {
    ConverterWorld world;
    world.seed(kSomeFiles);
    auto frame = world.open();
    frame->catalogue().scanFolder();
    ASSERT_EQ(frame->catalogue().size(), 8u);
    const auto entries = FileSwitcherEntries(frame->catalogue(), frame->document());
    ASSERT_EQ(entries.size(), 6u);
    EXPECT_TRUE(entries[0].checked);
    EXPECT_EQ(entries[0].command, kCmdSwitchFileFirst);
    EXPECT_EQ(entries[5].command, kCmdSwitchFileLast);
    for (size_t i = 1; i < entries.size(); ++i) EXPECT_FALSE(entries[i].checked);

    frame->onCommand(kCmdFileSwitcher);
    auto* menu = frame->findChild<QMenu*>(QStringLiteral("fileSwitcher"));
    ASSERT_NE(menu, nullptr);
    const auto actions = menu->actions();
    ASSERT_EQ(actions.size(), 8);
    EXPECT_TRUE(actions[6]->isSeparator());
    EXPECT_EQ(actions[7]->text(), QStringLiteral("More..."));
    EXPECT_EQ(actions[1]->text(), title(frame->catalogue().at(1)));

    // Choosing an entry switches to it; it becomes the first.
    const QString second = fileName(&frame->catalogue().at(1));
    actions[1]->trigger();
    deliverPosted();
    EXPECT_EQ(fileName(frame->document()), second);
    EXPECT_EQ(&frame->catalogue().at(0), frame->document());
    menu->close();
}

TEST(ConverterStartTest, ChoosingTheCurrentFileChangesNothing) {
    ConverterWorld world;
    world.seed(kSomeFiles);
    auto frame = world.open();
    Document* before = frame->document();
    frame->list()->select(3);
    Item* item = before->currentItem;
    frame->onCommand(kCmdSwitchFileFirst);
    EXPECT_EQ(frame->document(), before);
    EXPECT_EQ(frame->list()->selected(), 3);
    EXPECT_EQ(before->currentItem, item);
}

TEST(ConverterStartTest, TheFileSwitchedToIsOpenedAtTheNextStart) {
    ConverterWorld world;
    world.seed(kSomeFiles);
    QString chosen;
    {
        auto frame = world.open();
        frame->onCommand(kCmdSwitchFileFirst + 2);
        chosen = fileName(frame->document());
        EXPECT_EQ(chosen, QStringLiteral("Length.cnv"));
    }
    conv::ConverterSettings stored;
    ASSERT_TRUE(stored.fromBytes(ConverterWorld::storedRecord()));
    ASSERT_EQ(stored.recentFiles().size(), 6u);
    EXPECT_EQ(QString::fromStdU16String(stored.recentFiles()[0]), chosen);
    EXPECT_EQ(stored.recentFiles()[1], u"Currency.cnv");

    auto frame = world.open();
    EXPECT_EQ(fileName(frame->document()), chosen);
}

TEST(ConverterStartTest, AQuickStartListensAndReadsTheFolderOnceTheWindowIsPainted) {
    ConverterWorld world;
    world.seed({"Length.cnv", "Speed.cnv"});
    world.writeSettings({u"Length.cnv"});
    conv::ConverterOptions options = world.options();
    options.handOverServer =
        QStringLiteral("pq-test-") + QUuid::createUuid().toString(QUuid::Id128).left(12);
    options.deferredStart = true;
    CPqConvFrame frame(world.engine, options);
    EXPECT_EQ(fileName(frame.document()), QStringLiteral("Length.cnv"));
    EXPECT_FALSE(ui::SendHandOver(options.handOverServer, ui::EncodeMessage(ui::kRaiseTag), 100));
    EXPECT_FALSE(frame.finder()->runner().isRunning());

    frame.show();
    ASSERT_TRUE(pq::test::waitFor([&] { return frame.finder()->runner().index()->built(); }));
    EXPECT_TRUE(ui::SendHandOver(options.handOverServer, ui::EncodeMessage(ui::kRaiseTag)));
}

TEST(ConverterStartTest, AFileThatFailedToLoadIsNotWrittenBack) {
    ConverterWorld world;
    world.seed({"Length.cnv", "Weight.cnv"});
    // The header's texts stay whole; its unit count goes beyond the file.
    QFile file(world.dataFolder + QStringLiteral("Length.cnv"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray damaged = file.readAll();
    file.close();
    auto int32At = [&](qsizetype at) {
        return qFromLittleEndian<qint32>(damaged.constData() + at);
    };
    qsizetype at = 8;
    for (int text = 0; text < 3; ++text) at += 4 + 2 * int32At(at); // updated, title, category
    ASSERT_LT(at + 4, damaged.size());
    qToLittleEndian<qint32>(0x7F7F7F7F, damaged.data() + at); // the item count
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(damaged);
    file.close();
    world.writeSettings({u"Length.cnv", u"Weight.cnv"});
    {
        auto frame = world.open();
        // The damaged file is known by its header and is the current one.
        ASSERT_EQ(frame->catalogue().indexOf(u"Length.cnv"), 0);
        EXPECT_EQ(frame->list()->rowCount(), 0);
        frame->onCommand(kCmdSwitchFileFirst + 1);
        EXPECT_EQ(fileName(frame->document()), QStringLiteral("Weight.cnv"));
    }
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), damaged);
}

TEST(ConverterCommandsTest, DeleteAsksWithTheTextThatFitsTheItem) {
    ConverterWorld world;
    world.seed({"Length.cnv", "TipCalc.cal"});
    world.writeSettings({u"Length.cnv", u"TipCalc.cal"});
    auto frame = world.open();
    Messages messages;

    // A bridge unit and a unit with a single conversion.
    auto& document = static_cast<ConversionDocument&>(*frame->document());
    int bridge = -1;
    int leaf = -1;
    for (int i = 0; i < frame->list()->rowCount(); ++i) {
        const int count = document.countConversionsOf(&frame->list()->row(i).item());
        if (count >= 2 && bridge < 0) bridge = i;
        if (count < 2 && leaf < 0) leaf = i;
    }
    ASSERT_GE(bridge, 0);
    ASSERT_GE(leaf, 0);

    frame->list()->select(bridge);
    const QString bridgeName =
        QString::fromStdU16String(std::u16string(document.currentItem->name.view()));
    const int rows = frame->list()->rowCount();
    messages.answer = false;
    frame->onCommand(kCmdDeleteUnit);
    ASSERT_EQ(messages.received.size(), 1u);
    EXPECT_EQ(messages.received[0].title, QStringLiteral("Delete"));
    EXPECT_EQ(messages.received[0].icon, ui::MessageIcon::Question);
    EXPECT_EQ(messages.received[0].text,
              QStringLiteral("\"%1\" has multiple direct conversion formulas attached to it. It "
                             "may be used as a bridge to convert between other units.\nDo you "
                             "really want to delete?")
                  .arg(bridgeName));
    EXPECT_EQ(frame->list()->rowCount(), rows); // No keeps it

    frame->list()->select(leaf);
    const QString leafName =
        QString::fromStdU16String(std::u16string(document.currentItem->name.view()));
    const size_t items = document.items.size();
    messages.answer = true;
    frame->onCommand(kCmdDeleteUnit);
    ASSERT_EQ(messages.received.size(), 2u);
    EXPECT_EQ(messages.received[1].text,
              QStringLiteral("Do you want to delete \"%1\"?").arg(leafName));
    EXPECT_EQ(document.items.size(), items - 1);
    EXPECT_EQ(frame->list()->rowCount(), rows - 1);
    EXPECT_EQ(frame->list()->selected(), 0);
    EXPECT_FALSE(document.updatedText.empty());

    frame->onCommand(kCmdSwitchFileFirst + 1);
    ASSERT_EQ(frame->document()->typeCode(), CalculationDocument::kTypeCode);
    const QString calcName =
        QString::fromStdU16String(std::u16string(frame->document()->currentItem->name.view()));
    messages.answer = false;
    frame->onCommand(kCmdDeleteUnit);
    ASSERT_EQ(messages.received.size(), 3u);
    EXPECT_EQ(messages.received[2].text,
              QStringLiteral("\"%1\" may be used to calculate other output values.\nDo you "
                             "really want to delete?")
                  .arg(calcName));
}

TEST(ConverterCommandsTest, CopyTakesTheSelectedRowsValueEvenFromTheEntryBox) {
    ConverterWorld world;
    auto frame = world.openShowing(QStringLiteral("Length.cnv"));
    ASSERT_TRUE(frame);
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    Messages messages;

    // Without a value Copy is disabled and does nothing.
    ui::CopyTextToClipboard(QStringLiteral("before"));
    EXPECT_FALSE(frame->commandAction(kCmdCopy)->isEnabled());
    frame->onCommand(kCmdCopy);
    EXPECT_EQ(ui::ClipboardText(), QStringLiteral("before"));

    Item& item = *frame->document()->currentItem;
    item.value = 2;
    item.state = ValueState::Valid;
    frame->onCommand(kCmdCalculate);
    ASSERT_TRUE(frame->commandAction(kCmdCopy)->isEnabled());
    const Item& copied = frame->list()->row(1).item();
    const QString shown = QString::fromStdU16String(copied.format.copyText(copied.value));
    ASSERT_FALSE(shown.isEmpty());
    frame->list()->select(1);

    // A text box of the panel has the focus and a selection of its own.
    frame->panel()->showObject(true);
    auto* box = new QLineEdit(QStringLiteral("typed text"), frame->panel());
    box->show();
    box->setFocus();
    box->selectAll();
    deliverPosted();
    ASSERT_TRUE(box->hasFocus());
    QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
    deliverPosted();
    EXPECT_EQ(ui::ClipboardText(), shown);
    // Cut has no handler and the box keeps its text.
    QTest::keyClick(box, Qt::Key_X, Qt::ControlModifier);
    deliverPosted();
    EXPECT_EQ(box->text(), QStringLiteral("typed text"));
    // Up and Down move the list; Left and Right stay with the box.
    box->setCursorPosition(3);
    QTest::keyClick(box, Qt::Key_Left);
    EXPECT_EQ(box->cursorPosition(), 2);
    QTest::keyClick(box, Qt::Key_Down);
    EXPECT_EQ(frame->list()->selected(), 2);
    QTest::keyClick(box, Qt::Key_Up);
    EXPECT_EQ(frame->list()->selected(), 1);
    EXPECT_TRUE(messages.received.empty());
}

TEST(ConverterCommandsTest, OpenCalculatorHandsOverOnlyAValidValue) {
    ConverterWorld world;
    world.seed({"Length.cnv"});
    world.writeSettings({u"Length.cnv"});
    conv::ConverterOptions options = world.options();
    options.calculatorServer =
        QStringLiteral("pq-test-") + QUuid::createUuid().toString(QUuid::Id128).left(12);
    std::vector<ui::HandOverMessage> received;
    ui::HandOverServer calculator(
        [&](const ui::HandOverMessage& message) { received.push_back(message); });
    ASSERT_TRUE(calculator.listen(options.calculatorServer));
    CPqConvFrame frame(world.engine, options);

    frame.onCommand(kCmdOpenCalculator);
    ASSERT_TRUE(pq::test::waitFor([&] { return !received.empty(); }));
    pq::test::waitFor([] { return false; }, 200);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].tag, ui::kRaiseTag);

    Item& item = *frame.document()->currentItem;
    item.value = 2.5;
    item.state = ValueState::Valid;
    frame.onCommand(kCmdOpenCalculator);
    ASSERT_TRUE(pq::test::waitFor([&] { return received.size() >= 3; }));
    double value = 0;
    ASSERT_TRUE(ui::DecodeValue(received[2], value));
    EXPECT_EQ(value, 2.5);

    // The value goes with the fifteen digits a double carries safely, no
    // binary noise beyond them.
    item.value = 0.1 + 0.2;
    frame.onCommand(kCmdOpenCalculator);
    ASSERT_TRUE(pq::test::waitFor([&] { return received.size() >= 5; }));
    ASSERT_TRUE(ui::DecodeValue(received[4], value));
    EXPECT_EQ(value, 0.3);
}

TEST(ConverterCommandsTest, ACalculatorThatCannotStartIsSaidSo) {
    ConverterWorld world;
    world.seed({"Length.cnv"});
    auto frame = world.open();
    Messages messages;
    frame->onCommand(kCmdOpenCalculator);
    ASSERT_EQ(messages.received.size(), 1u);
    EXPECT_EQ(messages.received[0].title, QStringLiteral("Calculator"));
    EXPECT_EQ(messages.received[0].icon, ui::MessageIcon::Error);
    const QString text = messages.received[0].text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("PqCalculator could not be started from \"")) &&
                text.contains(QStringLiteral("Check that it is installed beside PqConverter")))
        << text.toStdString();
}

TEST(ConverterCommandsTest, CompactToggleRelaysTheListAndIsKept) {
    ConverterWorld world;
    world.seed({"Length.cnv"});
    world.writeSettings({u"Length.cnv"});
    {
        auto frame = world.open();
        frame->show();
        QApplication::processEvents();
        EXPECT_EQ(frame->list()->rowHeight(), ui::Scaled(38));
        frame->onCommand(kCmdExpandCompact);
        EXPECT_EQ(frame->list()->rowHeight(), ui::Scaled(21));
        EXPECT_TRUE(frame->settings().compactList());
    }
    conv::ConverterSettings stored;
    ASSERT_TRUE(stored.fromBytes(ConverterWorld::storedRecord()));
    EXPECT_TRUE(stored.compactList());
    auto frame = world.open();
    frame->show();
    QApplication::processEvents();
    EXPECT_EQ(frame->list()->rowHeight(), ui::Scaled(21));
    frame->onCommand(kCmdExpandCompact);
    EXPECT_EQ(frame->list()->rowHeight(), ui::Scaled(38));
}

TEST(ConverterCommandsTest, RemoveFromListHidesTheItemAndTheEnablingFollowsTheFile) {
    ConverterWorld world;
    world.seed({"Length.cnv", "TipCalc.cal"});
    world.writeSettings({u"Length.cnv", u"TipCalc.cal"});
    auto frame = world.open();
    EXPECT_TRUE(frame->commandAction(kCmdConversions)->isEnabled());
    const int rows = frame->list()->rowCount();
    Item* first = frame->document()->currentItem;
    frame->onCommand(kCmdRemoveFromList);
    EXPECT_EQ(first->shown, 0);
    EXPECT_EQ(frame->list()->rowCount(), rows - 1);
    EXPECT_NE(&frame->list()->row(0).item(), first);

    frame->onCommand(kCmdSwitchFileFirst + 1);
    EXPECT_EQ(frame->fileSwitcherButton().text(), QStringLiteral("Tip Calculator"));
    EXPECT_FALSE(frame->commandAction(kCmdConversions)->isEnabled());
    EXPECT_TRUE(frame->commandAction(kCmdEditUnit)->isEnabled());
}

TEST(ConverterCommandsTest, PasteNeedsAnInputItemAndTextOnTheClipboard) {
    ConverterWorld world;
    world.seed({"TipCalc.cal"});
    world.writeSettings({u"TipCalc.cal"});
    auto frame = world.open();
    QAction* paste = frame->commandAction(kCmdPaste);
    ui::CopyTextToClipboard(QStringLiteral("12"));
    deliverPosted();
    ASSERT_FALSE(frame->document()->currentItem->isOutput());
    EXPECT_TRUE(paste->isEnabled());
    int output = -1;
    for (int i = 0; i < frame->list()->rowCount() && output < 0; ++i)
        if (frame->list()->row(i).item().isOutput()) output = i;
    ASSERT_GE(output, 0);
    frame->list()->select(output);
    EXPECT_FALSE(paste->isEnabled());
    frame->list()->select(0);
    EXPECT_TRUE(paste->isEnabled());
    QGuiApplication::clipboard()->clear();
    deliverPosted();
    EXPECT_FALSE(paste->isEnabled());
}
