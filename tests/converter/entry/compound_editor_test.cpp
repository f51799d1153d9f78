#include <gtest/gtest.h>

#include <QTest>

#include "converter/entry/compound_editor.h"

namespace pq::test {
namespace {

using conv::CompoundEditor;

class Compound : public ::testing::Test {
  protected:
    Compound() {
        editor.resize(200, 18);
        editor.setFields(3, {" h ", " min ", " s "});
        editor.setChangeHandler([this] { ++changes; });
    }
    void keys(std::initializer_list<Qt::Key> list) {
        for (Qt::Key key : list) QTest::keyClick(&editor, key);
    }

    CompoundEditor editor;
    int changes = 0;
};

TEST_F(Compound, DigitsReplaceThenAppend) {
    EXPECT_TRUE(editor.isBlank());
    EXPECT_EQ(editor.compoundText(), "[0 h 0 min 0 s ]");
    keys({Qt::Key_1, Qt::Key_2});
    EXPECT_EQ(editor.fieldText(0), "12");
    EXPECT_FALSE(editor.isBlank());
    EXPECT_EQ(changes, 2);

    // A shown value is replaced by the first digit typed.
    editor.setDigits({"7", "30", ""});
    keys({Qt::Key_4});
    EXPECT_EQ(editor.fieldText(0), "4");
    // A field holding "0" is replaced as well.
    editor.setDigits({"0", "", ""});
    keys({Qt::Key_Backspace, Qt::Key_3});
    EXPECT_EQ(editor.fieldText(0), "3");
}

TEST_F(Compound, BackspaceOnASingleDigitGivesZeroAndTheNextDigitReplacesIt) {
    keys({Qt::Key_7, Qt::Key_Backspace});
    EXPECT_EQ(editor.fieldText(0), "0");
    EXPECT_TRUE(editor.replacesNext());
    keys({Qt::Key_8});
    EXPECT_EQ(editor.fieldText(0), "8");

    keys({Qt::Key_9, Qt::Key_5, Qt::Key_Backspace});
    EXPECT_EQ(editor.fieldText(0), "89");
    keys({Qt::Key_Delete});
    EXPECT_EQ(editor.fieldText(0), "0");
    keys({Qt::Key_6});
    EXPECT_EQ(editor.fieldText(0), "6");
}

TEST_F(Compound, ANinthDigitIsIgnored) {
    for (int i = 1; i <= 9; ++i) QTest::keyClick(&editor, Qt::Key(Qt::Key_0 + i));
    EXPECT_EQ(editor.fieldText(0), "12345678");
    EXPECT_EQ(changes, 8);
    editor.setDigits({"12345678", "", ""});
    keys({Qt::Key_9});
    EXPECT_EQ(editor.fieldText(0), "12345678");
}

TEST_F(Compound, ArrowsMoveBetweenFieldsWithoutWrapping) {
    keys({Qt::Key_Left});
    EXPECT_EQ(editor.currentField(), 0);
    keys({Qt::Key_1, Qt::Key_Right, Qt::Key_2, Qt::Key_Right, Qt::Key_3, Qt::Key_Right});
    EXPECT_EQ(editor.currentField(), 2);
    EXPECT_EQ(editor.compoundText(), "[1 h 2 min 3 s ]");
    keys({Qt::Key_Left, Qt::Key_5});
    EXPECT_EQ(editor.fieldText(1), "5"); // moving turns replacing on

    // Fields lie side by side, digits then label.
    EXPECT_EQ(editor.digitRect(0).left(), 0);
    EXPECT_GT(editor.digitRect(1).left(), editor.digitRect(0).right());

    // A tap on a field makes it current.
    QTest::mouseClick(&editor, Qt::LeftButton, {}, editor.digitRect(2).center());
    EXPECT_EQ(editor.currentField(), 2);
    EXPECT_TRUE(editor.replacesNext());
}

TEST_F(Compound, FieldsWithoutLabelsReadAsSpaces) {
    editor.setFields(2, {});
    editor.setDigits({"1", "59.999", ""});
    EXPECT_EQ(editor.compoundText(), "[1 59.999 ]");
    editor.setFields(9, {});
    EXPECT_EQ(editor.fieldCount(), CompoundEditor::kMaxFields);
    editor.setFields(0, {});
    EXPECT_EQ(editor.fieldCount(), 1);
}

} // namespace
} // namespace pq::test
