#include <gtest/gtest.h>

#include <QMessageBox>
#include <QWidget>

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
