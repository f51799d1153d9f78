#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QTextBrowser>
#include <QToolBar>

#include "converter/commands.h"
#include "converter/entry/value_entry_panel.h"
#include "converter/list/unit_list_view.h"
#include "document/item.h"
#include "tests/converter/converter_fixture.h"
#include "tests/uikit/test_support.h"
#include "uikit/about_box.h"
#include "uikit/clipboard.h"
#include "uikit/html_viewer.h"

using namespace pq;
using namespace pq::conv;
using pq::test::ConverterWorld;
using pq::test::deliverPosted;

namespace {

template <typename T> T* newest(QWidget* parent) {
    const auto found = parent->findChildren<T*>();
    return found.isEmpty() ? nullptr : found.back();
}

} // namespace

TEST(HelpDocumentTest, EveryLinkedAnchorExists) {
    QFile file(QStringLiteral(PQ_PROGRAM_DIR "/pqconverter.htm"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(file.readAll());
    QSet<QString> anchors;
    for (const auto& match :
         QRegularExpression(QStringLiteral("name=\"([^\"]+)\"")).globalMatch(html))
        anchors.insert(match.captured(1));
    EXPECT_TRUE(anchors.contains(QStringLiteral("main_contents")));
    int links = 0;
    for (const auto& match :
         QRegularExpression(QStringLiteral("href=\"#([^\"]+)\"")).globalMatch(html)) {
        EXPECT_TRUE(anchors.contains(match.captured(1))) << match.captured(1).toStdString();
        ++links;
    }
    EXPECT_GE(links, 5);
}

TEST(FramePartsTest, HelpOpensTheDocumentAtItsContents) {
    ConverterWorld world;
    world.seed({"Length.cnv"});
    auto frame = world.open();
    frame->onCommand(kCmdHelp);
    auto* viewer = newest<ui::HtmlViewer>(frame.get());
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->browser()->source().fragment(), QStringLiteral("main_contents"));
    EXPECT_TRUE(viewer->browser()->toPlainText().contains(QStringLiteral("Typing values")));
    viewer->close();
    EXPECT_EQ(frame->commandAction(kCmdHelp)->shortcut(), QKeySequence(QKeySequence::HelpContents));
}

TEST(FramePartsTest, TheAboutBoxNamesProgramAndVersion) {
    ConverterWorld world;
    auto frame = world.open();
    frame->onCommand(kCmdAbout);
    auto* about = newest<ui::AboutBox>(frame.get());
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->title(), QStringLiteral("Quorvane PqConverter"));
    EXPECT_EQ(about->findChild<QLabel*>(QStringLiteral("version"))->text(),
              QStringLiteral("Version " PQ_PACKAGE_VERSION))
        << "the version the package is built with";
    about->close();
}

TEST(FramePartsTest, MenusToolbarAndShortcutsAreThoseOfTheCommandTable) {
    ConverterWorld world;
    auto frame = world.open();
    const auto text = [&](unsigned id) { return frame->commandAction(id)->text().remove(u'&'); };
    EXPECT_EQ(text(kCmdNewConversionFile), QStringLiteral("Unit Conversion File"));
    EXPECT_EQ(text(kCmdDownload), QStringLiteral("Download Exchange Rates"));
    EXPECT_EQ(frame->commandAction(kCmdEditUnit)->toolTip(),
              QStringLiteral("Edit Unit Properties"));
    EXPECT_EQ(frame->commandAction(kCmdConversions)->toolTip(), QStringLiteral("Edit Conversions"));
    EXPECT_EQ(frame->commandAction(kCmdOpen)->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    EXPECT_EQ(frame->commandAction(kCmdExit)->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
    EXPECT_EQ(frame->commandAction(kCmdCut)->shortcut(), QKeySequence(QStringLiteral("Ctrl+X")));
    QStringList toolbar;
    for (QAction* action : frame->findChild<QToolBar*>(QStringLiteral("commands"))->actions())
        toolbar << (action->isSeparator() ? QStringLiteral("|") : action->toolTip());
    EXPECT_EQ(toolbar,
              (QStringList{"Copy", "Paste", "|", "Edit Unit Properties", "Edit Conversions",
                           "Expand/Compact List", "|", "Open Calculator"}));
}

TEST(FramePartsTest, ARightClickOnARowOpensItsMenuAndCopyValueCopies) {
    ConverterWorld world;
    auto frame = world.openShowing(QStringLiteral("Length.cnv"));
    ASSERT_TRUE(frame);
    UnitListView* list = frame->list();
    Item& item = *frame->document()->currentItem;
    item.value = 3;
    item.state = ValueState::Valid;
    frame->onCommand(kCmdCalculate);

    const QPoint onRow2(20, list->rowHeight() * 2 + 5);
    QContextMenuEvent request(QContextMenuEvent::Mouse, onRow2, list->mapToGlobal(onRow2));
    QApplication::sendEvent(list, &request);
    deliverPosted();
    EXPECT_EQ(list->selected(), 2);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions()[0]->text(), QStringLiteral("&Copy Value"));
    menu->actions()[0]->trigger();
    deliverPosted();
    // The row's number without its grouping, as every value box reads it.
    EXPECT_EQ(ui::ClipboardText(), QString(list->row(2).valueLabel().text()).remove(u','));
    menu->close();
}

TEST(FramePartsTest, TheTopStripButtonsOpenTheSwitcher) {
    ConverterWorld world;
    world.seed({"Length.cnv", "Weight.cnv"});
    world.writeSettings({u"Length.cnv", u"Weight.cnv"});
    auto frame = world.open();
    frame->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    const QRect button = frame->fileSwitcherButton().rect();
    ASSERT_FALSE(button.isEmpty());
    EXPECT_EQ(button.top(), ui::Scaled(2));
    EXPECT_EQ(frame->showUnitsButton().rect().left(), frame->client()->width() - ui::Scaled(22));
    QTest::mouseClick(frame->client(), Qt::LeftButton, Qt::NoModifier, button.center());
    deliverPosted();
    QMenu* menu = frame->findChild<QMenu*>(QStringLiteral("fileSwitcher"));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->actions().size(), 4); // two files, separator, More...
    menu->close();
}

TEST(FramePartsTest, TheListReachesDownToTheHiddenPanel) {
    ConverterWorld world;
    world.seed({"TipCalc.cal"});
    world.writeSettings({u"TipCalc.cal"});
    auto frame = world.open();
    frame->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    const int s = ui::DisplayScale();
    const int height = frame->client()->height();
    QWidget* panel = frame->panel();
    EXPECT_EQ(panel->geometry(), QRect(0, height - 42 * s, frame->client()->width(), 42 * s));
    // While an input is selected the panel is shown and the list ends above it...
    frame->list()->select(0);
    ASSERT_TRUE(frame->panel()->isShown());
    EXPECT_EQ(frame->list()->geometry().bottom(), panel->geometry().top() - 1);
    // ...and when selecting an output hides it, the list grows to the panel's bottom.
    const int output = frame->list()->rowCount() - 1;
    ASSERT_TRUE(frame->list()->row(output).item().isOutput());
    frame->list()->select(output);
    EXPECT_FALSE(frame->panel()->isShown());
    EXPECT_EQ(frame->list()->geometry().bottom(), panel->geometry().bottom());
    EXPECT_EQ(frame->list()->geometry().top(), 24 * s);
    // An input again shrinks it.
    frame->list()->select(1);
    EXPECT_TRUE(frame->panel()->isShown());
    EXPECT_EQ(frame->list()->geometry().bottom(), panel->geometry().top() - 1);
}

TEST(FramePartsTest, TheWindowKeepsItsSizeBetweenRuns) {
    ConverterWorld world;
    world.seed({"Length.cnv"});
    {
        auto frame = world.open();
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
        frame->resize(300, 420);
        QApplication::processEvents();
    }
    conv::CPqConvFrame frame(world.engine, world.options());
    EXPECT_EQ(frame.size(), QSize(300, 420));
    // The record keeps its 900 bytes beside the window's place.
    EXPECT_EQ(ConverterWorld::storedRecord().size(), 900);
}
