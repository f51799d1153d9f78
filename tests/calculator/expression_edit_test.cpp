#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QMenu>

#include "calculator/expression_edit.h"
#include "tests/uikit/test_support.h"

using pq::calc::ExpressionEdit;

namespace {

class ExpressionEditTest : public ::testing::Test {
  protected:
    void type(const QString& keys) {
        for (QChar key : keys) edit.typeCharacter(key.unicode());
    }
    QString selected() const { return edit.selectedText(); }
    int caret() const { return edit.selectionEnd(); }
    bool collapsed() const { return edit.selectionStart() == edit.selectionEnd(); }

    pq::test::CommandSink sink;
    ExpressionEdit edit{nullptr, &sink, 2019};
};

} // namespace

TEST_F(ExpressionEditTest, DigitsExtendTheSelectedOperandAndOperatorsEndIt) {
    type(QStringLiteral("12"));
    EXPECT_EQ(edit.text(), QStringLiteral("12"));
    EXPECT_EQ(selected(), QStringLiteral("12"));
    type(QStringLiteral("3"));
    EXPECT_EQ(selected(), QStringLiteral("123"));
    type(QStringLiteral("+"));
    EXPECT_EQ(edit.text(), QStringLiteral("123+"));
    EXPECT_TRUE(collapsed());
    EXPECT_EQ(caret(), 4);
    type(QStringLiteral("4.5e-3"));
    EXPECT_EQ(edit.text(), QStringLiteral("123+4.5e-3")) << "a '-' after 'e' is an exponent";
    EXPECT_EQ(selected(), QStringLiteral("4.5e-3"));

    edit.clear();
    type(QStringLiteral("-"));
    EXPECT_EQ(selected(), QStringLiteral("-")) << "a lone '-' starts a signed operand";
    type(QStringLiteral("5"));
    EXPECT_EQ(selected(), QStringLiteral("-5"));
}

TEST_F(ExpressionEditTest, OperatorsAndCallsApplyToTheSelection) {
    type(QStringLiteral("2"));
    edit.insertOperator(QStringLiteral("\u00B2"));
    EXPECT_EQ(edit.text(), QStringLiteral("2\u00B2"));
    EXPECT_EQ(selected(), QStringLiteral("2\u00B2"));
    edit.insertCall(QStringLiteral("sin"), 1);
    EXPECT_EQ(edit.text(), QStringLiteral("sin(2\u00B2)"));
    EXPECT_EQ(selected(), QStringLiteral("sin(2\u00B2)"));
    edit.insertOperator(QStringLiteral("1/"));
    EXPECT_EQ(selected(), QStringLiteral("1/sin(2\u00B2)")) << "1/, e^, 10^ and ~ go in front";
    edit.insertOperator(QStringLiteral("~"));
    EXPECT_EQ(selected(), QStringLiteral("~1/sin(2\u00B2)"));
    edit.insertOperator(QStringLiteral("!"));
    EXPECT_EQ(selected(), QStringLiteral("~1/sin(2\u00B2)!"));

    edit.clear();
    edit.insertCall(QStringLiteral("round"), 1);
    EXPECT_EQ(edit.text(), QStringLiteral("round()"));
    EXPECT_TRUE(collapsed());
    EXPECT_EQ(caret(), 6) << "the caret sits between the brackets";

    edit.clear();
    type(QStringLiteral("5"));
    edit.insertCall(QStringLiteral("Hyp"), 2);
    EXPECT_EQ(edit.text(), QStringLiteral("Hyp(5,)"));
    EXPECT_EQ(caret(), 6) << "after the comma";
    EXPECT_TRUE(collapsed());

    edit.clear();
    type(QStringLiteral("7"));
    edit.insertCall(QStringLiteral("m1"), 0);
    EXPECT_EQ(selected(), QStringLiteral("m1")) << "a name replaces the selection";
    edit.insertCall(QString(), 0);
    EXPECT_EQ(edit.text(), QString()) << "an empty stored text removes the selection";
}

TEST_F(ExpressionEditTest, ClosingBracketSelectsItsGroup) {
    edit.setText(QStringLiteral("(1+2"));
    edit.select(4, 4);
    type(QStringLiteral(")"));
    EXPECT_EQ(edit.text(), QStringLiteral("(1+2)"));
    EXPECT_EQ(selected(), QStringLiteral("(1+2)"));
    edit.setText(QStringLiteral("3*((1)+2"));
    edit.select(8, 8);
    type(QStringLiteral(")"));
    EXPECT_EQ(selected(), QStringLiteral("((1)+2)"));
    edit.setText(QStringLiteral("1+2"));
    edit.select(3, 3);
    type(QStringLiteral(")"));
    EXPECT_EQ(edit.text(), QStringLiteral("1+2)")) << "without a match the bracket is typed";
    EXPECT_TRUE(collapsed());
}

TEST_F(ExpressionEditTest, EditingKeysAndClearEntry) {
    edit.setText(QStringLiteral("123+45"));
    edit.select(4, 6);
    edit.typeCharacter(ExpressionEdit::kBackspace);
    EXPECT_EQ(edit.text(), QStringLiteral("123+4"));
    EXPECT_EQ(selected(), QStringLiteral("4")) << "the rest of the operand stays selected";
    edit.typeCharacter(ExpressionEdit::kMoveLeft);
    EXPECT_EQ(caret(), 4);
    EXPECT_TRUE(collapsed());
    edit.typeCharacter(ExpressionEdit::kDelete);
    EXPECT_EQ(edit.text(), QStringLiteral("123+"));
    edit.typeCharacter(ExpressionEdit::kMoveRight);
    edit.typeCharacter(ExpressionEdit::kMoveRight);
    EXPECT_EQ(caret(), 4) << "the caret stops at the end";
    edit.select(0, 0);
    edit.typeCharacter(ExpressionEdit::kBackspace);
    EXPECT_EQ(edit.text(), QStringLiteral("123+")) << "nothing before the caret";

    edit.select(1, 3);
    edit.clearEntry();
    EXPECT_EQ(edit.text(), QStringLiteral("1+"));
    edit.clearEntry();
    EXPECT_EQ(edit.text(), QString()) << "with nothing selected the line empties";

    type(QStringLiteral("1 ("));
    edit.typeCharacter(u'\r');
    EXPECT_EQ(edit.text(), QStringLiteral("1 (\n"));
}

TEST_F(ExpressionEditTest, HistoryKeepsFiveWithoutDuplicates) {
    for (const char* t : {"1", "2", "3", "4", "5", "6"}) edit.addToHistory(QString::fromLatin1(t));
    EXPECT_EQ(edit.history(), (QStringList{"6", "5", "4", "3", "2"}));
    edit.addToHistory(QStringLiteral("4"));
    EXPECT_EQ(edit.history(), (QStringList{"4", "6", "5", "3", "2"}));
    edit.addToHistory(QStringLiteral("a very long formula indeed"));
    std::unique_ptr<QMenu> menu(edit.createMenu());
    const auto actions = menu->actions();
    ASSERT_EQ(actions.size(), 4 + 1 + 5);
    EXPECT_FALSE(actions[0]->isEnabled()) << "Cut without a selection";
    EXPECT_TRUE(actions[4]->isSeparator());
    EXPECT_EQ(actions[5]->text(), QStringLiteral("a very long ..")) << "12 characters and ..";
    edit.setText(QStringLiteral("1+"));
    edit.select(2, 2);
    actions[6]->trigger();
    EXPECT_EQ(edit.text(), QStringLiteral("1+4"));
    EXPECT_EQ(selected(), QStringLiteral("4"));
}

TEST_F(ExpressionEditTest, TapAndHoldOpensTheMenu) {
    edit.show();
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                            edit.viewport()->mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(edit.viewport(), &event);
    const auto menus = edit.findChildren<QMenu*>();
    ASSERT_EQ(menus.size(), 1) << "one menu, not two";
    EXPECT_TRUE(menus[0]->isVisible());
    EXPECT_EQ(menus[0]->actions()[3]->text(), QStringLiteral("Select &All"));
    menus[0]->close();
}

TEST_F(ExpressionEditTest, HugeTextsStayResponsive) {
    edit.setText(QString(100000, u'('));
    edit.select(100000, 100000);
    edit.typeCharacter(u')');
    EXPECT_EQ(edit.selectionStart(), 99999);
    EXPECT_EQ(edit.selectionEnd(), 100001);
}
