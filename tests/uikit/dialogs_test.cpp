#include <gtest/gtest.h>

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

#include "tests/uikit/test_support.h"
#include "uikit/clipboard.h"
#include "uikit/colours.h"
#include "uikit/dialogs.h"
#include "uikit/html_viewer.h"

using namespace pq::ui;

namespace {

constexpr MenuBarItem kItems[] = {
    {" Add ", 1019}, {"  OK  ", kOkCommand}, {" Cancel ", kCancelCommand}};

class Recording : public FullScreenDialog {
  public:
    explicit Recording(QWidget* parent)
        : FullScreenDialog(parent, QStringLiteral("Units"), kItems) {}
    std::vector<unsigned> commands;

  protected:
    void command(const CommandEvent& c) override { commands.push_back(c.id()); }
};

QPushButton* buttonWithText(QWidget& dialog, const QString& text) {
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
        if (button->text() == text) return button;
    return nullptr;
}

} // namespace

TEST(FullScreenDialog, OpensAtItsOwnSizeOverTheMainWindowAndRunsItsBar) {
    QWidget main;
    main.setGeometry(100, 80, 400, 360);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    {
        Recording dialog(&main);
        dialog.show();
        EXPECT_GE(dialog.width(), 240) << "no narrower than the screens it was made for";
        EXPECT_LT(dialog.height(), main.height()) << "its own size, not the main window's";
        const QPoint offset = dialog.frameGeometry().center() - main.frameGeometry().center();
        EXPECT_LE(offset.manhattanLength(), 2) << "centred on the main window";
        QPushButton* add = buttonWithText(dialog, QStringLiteral(" Add "));
        QPushButton* ok = buttonWithText(dialog, QStringLiteral("  OK  "));
        ASSERT_TRUE(add && ok && buttonWithText(dialog, QStringLiteral(" Cancel ")));
        EXPECT_GE(add->mapTo(&dialog, QPoint(0, 0)).y(), dialog.height() / 2)
            << "the bar is at the bottom";
        QTest::mouseClick(add, Qt::LeftButton);
        EXPECT_TRUE(dialog.commands.empty()) << "commands are posted";
        pq::test::deliverPosted();
        EXPECT_EQ(dialog.commands, std::vector<unsigned>{1019});
        EXPECT_TRUE(dialog.isVisible());
        QTest::mouseClick(ok, Qt::LeftButton);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_FALSE(dialog.isVisible());
    }
    Recording dialog(&main);
    dialog.show();
    QTest::mouseClick(buttonWithText(dialog, QStringLiteral(" Cancel ")), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

namespace {

constexpr MenuBarItem kAddPopup[] = {{"Standard", 32837}, {"Advanced", 32838}};
constexpr MenuBarItem kEditBar[] = {
    {" Add ", 0, kAddPopup, 2}, {" Delete ", 32831}, {" Done ", kOkCommand}};

class Editing : public FullScreenDialog {
  public:
    explicit Editing(QWidget* parent, std::span<const MenuBarItem> items = kEditBar)
        : FullScreenDialog(parent, QStringLiteral("Unit Conversions"), items) {
        field = new QLineEdit(this);
        body()->addWidget(field);
    }
    std::vector<unsigned> commands;
    QLineEdit* field;

  protected:
    void command(const CommandEvent& c) override { commands.push_back(c.id()); }
};

} // namespace

TEST(FullScreenDialog, PopUpItemsAndItemsEnabledOnlyInAState) {
    QWidget main;
    main.resize(240, 300);
    Editing dialog(&main);
    dialog.show();
    QPushButton* add = MenuBarButton(dialog, 32837);
    ASSERT_NE(add, nullptr);
    EXPECT_EQ(add->text(), QStringLiteral(" Add "));
    EXPECT_EQ(MenuBarButton(dialog, 32838), add);
    ASSERT_NE(add->menu(), nullptr);
    ASSERT_EQ(add->menu()->actions().size(), 2);
    EXPECT_EQ(add->menu()->actions()[0]->text(), QStringLiteral("Standard"));
    EXPECT_EQ(add->menu()->actions()[1]->text(), QStringLiteral("Advanced"));
    EXPECT_EQ(MenuBarAction(dialog, 32838), add->menu()->actions()[1]);
    EXPECT_EQ(MenuBarButton(dialog, 4711), nullptr);

    add->menu()->actions()[1]->trigger();
    pq::test::deliverPosted();
    EXPECT_EQ(dialog.commands, std::vector<unsigned>{32838});

    EnableMenuBarItem(dialog, 32831, false);
    EXPECT_FALSE(MenuBarButton(dialog, 32831)->isEnabled());
    EXPECT_FALSE(TriggerMenuBarItem(dialog, 32831)) << "a disabled item gives nothing";
    EnableMenuBarItem(dialog, 32837, false);
    EXPECT_FALSE(TriggerMenuBarItem(dialog, 32837));
    EXPECT_TRUE(add->isEnabled()) << "only the pop-up entry is disabled";
    EXPECT_TRUE(TriggerMenuBarItem(dialog, 32838));
    EnableMenuBarItem(dialog, 32831, true);
    EXPECT_TRUE(TriggerMenuBarItem(dialog, 32831));
    pq::test::deliverPosted();
    EXPECT_EQ(dialog.commands, (std::vector<unsigned>{32838, 32838, 32831}));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(TriggerMenuBarItem(dialog, kOkCommand));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(FullScreenDialog, EnterAndEscapeActAsTheBarsOkAndCancel) {
    QWidget main;
    main.resize(240, 300);
    {
        Recording dialog(&main);
        dialog.show();
        QTest::keyClick(&dialog, Qt::Key_Return);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_TRUE(dialog.commands.empty()) << "Enter is OK, not the first item";
    }
    {
        Recording dialog(&main);
        dialog.show();
        QTest::keyClick(&dialog, Qt::Key_Escape);
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_FALSE(dialog.isVisible());
    }
    {
        // Keys typed into a field reach the bar too; a bar without Cancel
        // leaves by its OK item; a disabled OK holds the dialog open.
        Editing dialog(&main);
        dialog.show();
        EnableMenuBarItem(dialog, kOkCommand, false);
        QTest::keyClick(dialog.field, Qt::Key_Return);
        QTest::keyClick(dialog.field, Qt::Key_Escape);
        EXPECT_TRUE(dialog.isVisible());
        EnableMenuBarItem(dialog, kOkCommand, true);
        QTest::keyClick(dialog.field, Qt::Key_Escape);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
}

TEST(DrawDialogTitle, ThemeColouredTextAboveABlackLine) {
    pq::test::ScaleGuard scale(1);
    QImage image(240, 40, QImage::Format_RGB32);
    for (bool withLine : {true, false}) {
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            DrawDialogTitle(painter, 240, QStringLiteral("My Functions"), withLine);
        }
        EXPECT_EQ(image.pixel(0, 24) == qRgb(0, 0, 0), withLine);
        EXPECT_EQ(image.pixel(239, 24) == qRgb(0, 0, 0), withLine);
        EXPECT_EQ(image.pixel(120, 26), qRgb(255, 255, 255));
        int themed = 0;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 8; ++x) EXPECT_EQ(image.pixel(x, y), qRgb(255, 255, 255));
        for (int y = 0; y < 24; ++y)
            for (int x = 8; x < 240; ++x) themed += image.pixel(x, y) == ThemeColour().rgb();
        EXPECT_GT(themed, 20);
    }
}

TEST(HtmlViewer, ShowsTheTextAsHtml) {
    QWidget main;
    main.resize(240, 300);
    HtmlViewer viewer(&main, QStringLiteral("Lengths"),
                      QStringLiteral("<h1>Lengths</h1><p>1 ft = <b>12</b> in &amp; more</p>"));
    EXPECT_EQ(viewer.title(), QStringLiteral("Lengths"));
    QTextBrowser* browser = viewer.browser();
    ASSERT_NE(browser, nullptr);
    EXPECT_EQ(browser->objectName(), QStringLiteral("HTML"));
    EXPECT_EQ(browser->toPlainText(), QStringLiteral("Lengths\n1 ft = 12 in & more"));
    viewer.show();
    QPushButton* done = buttonWithText(viewer, QStringLiteral("  Done  "));
    ASSERT_NE(done, nullptr);
    QTest::mouseClick(done, Qt::LeftButton);
    EXPECT_EQ(viewer.result(), QDialog::Accepted);
}

TEST(HtmlViewer, FollowsLocalLinksAndFetchesNothingFromTheWeb) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    {
        QFile next(folder.filePath(QStringLiteral("next.htm")));
        ASSERT_TRUE(next.open(QIODevice::WriteOnly));
        next.write("<p>The second page</p>");
        QImage picture(4, 4, QImage::Format_RGB32);
        picture.fill(Qt::red);
        ASSERT_TRUE(picture.save(folder.filePath(QStringLiteral("dot.png"))));
    }
    QTcpServer web;
    ASSERT_TRUE(web.listen(QHostAddress::LocalHost));
    const QString remote = QStringLiteral("http://127.0.0.1:%1/").arg(web.serverPort());

    QWidget main;
    main.resize(240, 300);
    HtmlViewer viewer(&main, QStringLiteral("Notes"),
                      QStringLiteral("<p><a href=\"next.htm\">next</a><img src=\"dot.png\">"
                                     "<img src=\"%1pic.png\"></p>")
                          .arg(remote),
                      folder.path());
    viewer.show();
    QTextBrowser* browser = viewer.browser();
    EXPECT_TRUE(browser->loadResource(QTextDocument::ImageResource, QUrl(QStringLiteral("dot.png")))
                    .isValid());
    EXPECT_FALSE(
        browser->loadResource(QTextDocument::ImageResource, QUrl(remote + "pic.png")).isValid());
    EXPECT_FALSE(
        browser->loadResource(QTextDocument::HtmlResource, QUrl(remote + "page.htm")).isValid());
    browser->setSource(QUrl(QStringLiteral("next.htm")));
    EXPECT_EQ(browser->toPlainText(), QStringLiteral("The second page"));
    pq::test::deliverPosted();
    EXPECT_FALSE(web.waitForNewConnection(200)) << "nothing was fetched from the web";
}

TEST(Clipboard, CopiesPlainTextEvenWhenEmpty) {
    ASSERT_TRUE(CopyTextToClipboard(QStringLiteral("0ffh")));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("0ffh"));
    EXPECT_EQ(ClipboardText(), QStringLiteral("0ffh"));
    ASSERT_TRUE(CopyTextToClipboard(QString()));
    EXPECT_TRUE(ClipboardHasText());
    EXPECT_EQ(ClipboardText(), QString());
    EXPECT_FALSE(ClipboardText().isNull());
    QGuiApplication::clipboard()->clear();
    EXPECT_FALSE(ClipboardHasText());
    EXPECT_TRUE(ClipboardText().isNull());
}
