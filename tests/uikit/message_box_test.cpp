#include <gtest/gtest.h>

#include <QDialog>
#include <QMessageBox>
#include <QTest>
#include <QWidget>

#include "tests/uikit/test_support.h"
#include "uikit/message_box.h"

using namespace pq::ui;

TEST(MessageBoxTest, AMessageOpensABoxWithItsIconAndReturnsAtOnce) {
    QWidget window;
    ShowMessage(&window, MessageIcon::Error, QStringLiteral("Copy"),
                QStringLiteral("Failed to set clipboard data"));
    ShowMessage(&window, MessageIcon::Information, QStringLiteral("Download"),
                QStringLiteral("Done."));
    const auto boxes = window.findChildren<QMessageBox*>();
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_EQ(boxes[0]->icon(), QMessageBox::Critical);
    EXPECT_EQ(boxes[0]->windowTitle(), QStringLiteral("Copy"));
    EXPECT_EQ(boxes[0]->text(), QStringLiteral("Failed to set clipboard data"));
    EXPECT_EQ(boxes[0]->standardButtons(), QMessageBox::Ok);
    EXPECT_EQ(boxes[1]->icon(), QMessageBox::Information);
    for (QMessageBox* box : boxes) box->close();
}

TEST(MessageBoxTest, AResponderTakesMessagesAndAnswersQuestions) {
    std::vector<MessageRequest> seen;
    bool answer = true;
    SetMessageResponder([&](const MessageRequest& request) {
        seen.push_back(request);
        return answer;
    });
    QWidget window;
    EXPECT_TRUE(AskYesNo(&window, QStringLiteral("Delete"), QStringLiteral("Sure?")));
    answer = false;
    EXPECT_FALSE(AskYesNo(&window, QStringLiteral("Delete"), QStringLiteral("Sure?")));
    ShowMessage(&window, MessageIcon::Warning, QStringLiteral("Paste"), QStringLiteral("No."));
    SetMessageResponder({});
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].icon, MessageIcon::Question);
    EXPECT_EQ(seen[0].title, QStringLiteral("Delete"));
    EXPECT_EQ(seen[2].icon, MessageIcon::Warning);
    EXPECT_TRUE(window.findChildren<QMessageBox*>().isEmpty());
}

TEST(MessageBoxTest, ABoxOpensOverItsWindowOnceTheWindowIsOnTheScreen) {
    QWidget window;
    window.resize(420, 300); // where it goes is the window system's choice
    window.show();           // a message at start-up: the window is not on the screen yet
    ShowMessage(&window, MessageIcon::Warning, QStringLiteral("Start"), QStringLiteral("Note."));
    const auto boxes = window.findChildren<QMessageBox*>();
    ASSERT_EQ(boxes.size(), 1);
    ASSERT_TRUE(pq::test::waitFor([&] { return boxes[0]->isVisible(); }));
    const QRect frame = window.frameGeometry();
    const QRect middle = frame.adjusted(frame.width() / 4, frame.height() / 4, -frame.width() / 4,
                                        -frame.height() / 4);
    EXPECT_TRUE(middle.contains(boxes[0]->frameGeometry().center()))
        << "over its window, not at the corner";
    boxes[0]->close();

    // A message of a dialog already closed goes over the window below it.
    QDialog closed(&window);
    ShowMessage(&closed, MessageIcon::Error, QStringLiteral("Save"), QStringLiteral("Failed."));
    EXPECT_TRUE(closed.findChildren<QMessageBox*>().isEmpty());
    const auto over = window.findChildren<QMessageBox*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_EQ(over.size(), 2);
    EXPECT_EQ(over.back()->text(), QStringLiteral("Failed."));
    over.back()->close();
}
