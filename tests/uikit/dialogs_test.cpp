#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>

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

TEST(FullScreenDialog, CoversTheMainWindowAndRunsItsBar) {
    QWidget main;
    main.setGeometry(100, 80, 240, 300);
    main.show();
    {
        Recording dialog(&main);
        EXPECT_EQ(dialog.geometry(), main.geometry());
        dialog.show();
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
