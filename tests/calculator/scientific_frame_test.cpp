#include <gtest/gtest.h>

#include <QAccessible>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QUuid>

#include <memory>

#include "calculator/commands.h"
#include "calculator/expression_edit.h"
#include "calculator/keypad.h"
#include "calculator/macro_editor_dialog.h"
#include "calculator/main_frame.h"
#include "calculator/my_functions_dialog.h"
#include "calculator/scientific_keys.h"
#include "calculator/scientific_view.h"
#include "calculator/user_functions.h"
#include "engine/expression_engine.h"
#include "tests/uikit/test_support.h"
#include "uikit/display_scale.h"
#include "uikit/hand_over.h"
#include "uikit/html_viewer.h"

using namespace pq::calc;
using pq::test::deliverPosted;

namespace {

class ScientificFrameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        QSettings(QStringLiteral("Quorvane"), QStringLiteral("PqCalculator")).clear();
        ASSERT_TRUE(folder.isValid());
        options.functionsFile = folder.filePath(QStringLiteral("PqCalculator.dat"));
        options.helpFile = folder.filePath(QStringLiteral("PqCalculator.htm"));
        open();
        command(kCmdScientificView);
    }

    void open() {
        frame.reset();
        engine = std::make_unique<pq::ExpressionEngine>();
        frame = std::make_unique<CMainFrame>(*engine, options);
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
        frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    }

    void command(unsigned id) {
        QCoreApplication::postEvent(frame.get(), new pq::ui::CommandEvent(id));
        deliverPosted();
    }
    void functionKey(int cell) { command(kCmdFunctionKeyFirst + static_cast<unsigned>(cell)); }
    // Taps a key of a keypad with the pen.
    void tap(KeyPad* keypad, int cell) {
        QTest::mouseClick(keypad, Qt::LeftButton, {}, keypad->grid().cellRect(cell).center());
        deliverPosted();
    }
    void characters(const QString& keys) {
        for (QChar key : keys) {
            for (int cell = 0; cell < kCharacterKeyCount; ++cell) {
                if (characterKeyCharacter(cell) == key.unicode()) {
                    tap(view()->characterKeypad(), cell);
                    break;
                }
            }
        }
    }
    void typeText(const QString& keys) {
        QTest::keyClicks(edit(), keys);
        deliverPosted();
    }
    ScientificView* view() const { return frame->scientific(); }
    ExpressionEdit* edit() const { return view()->edit(); }
    QString shown() const { return frame->mainDisplay().shownText(); }
    QMessageBox* message() const {
        const auto boxes = frame->findChildren<QMessageBox*>();
        return boxes.isEmpty() ? nullptr : boxes.back();
    }
    void closeMessages() {
        for (QMessageBox* box : frame->findChildren<QMessageBox*>()) box->close();
        deliverPosted();
    }

    QTemporaryDir folder;
    FrameOptions options;
    std::unique_ptr<pq::ExpressionEngine> engine;
    std::unique_ptr<CMainFrame> frame;
};

} // namespace

TEST_F(ScientificFrameTest, TypingEvaluatesAndCopiesTheResult) {
    ASSERT_TRUE(edit()->isVisible());
    EXPECT_FALSE(frame->standardKeypad()->isVisible());
    EXPECT_TRUE(edit()->hasFocus());
    typeText(QStringLiteral("2+3"));
    EXPECT_EQ(edit()->text(), QStringLiteral("2+3"));
    QTest::keyClick(edit(), Qt::Key_Return);
    deliverPosted();
    EXPECT_EQ(shown(), QStringLiteral("5"));
    EXPECT_EQ(edit()->selectedText(), QStringLiteral("2+3")) << "the whole formula is selected";
    QTest::keyClick(edit(), Qt::Key_C, Qt::ControlModifier);
    deliverPosted();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("5"));

    // A typed operator continues from the result; the keyboard edits text.
    typeText(QStringLiteral("*"));
    EXPECT_EQ(edit()->text(), QStringLiteral("ans*"));
    QTest::keyClick(edit(), Qt::Key_Backspace);
    QTest::keyClick(edit(), Qt::Key_Left);
    QTest::keyClick(edit(), Qt::Key_Delete);
    deliverPosted();
    EXPECT_EQ(edit()->text(), QStringLiteral("an"));
    typeText(QStringLiteral("s+(1"));
    QTest::keyClick(edit(), Qt::Key_Left);
    EXPECT_EQ(edit()->selectionEnd(), 5);
    QTest::keyClick(edit(), Qt::Key_Right);
    typeText(QStringLiteral(")"));
    EXPECT_EQ(edit()->text(), QStringLiteral("ans+(1)"));
    EXPECT_EQ(edit()->selectedText(), QString()) << "a typed \")\" is only text";

    command(kCmdClear);
    EXPECT_EQ(edit()->text(), QString());
    EXPECT_EQ(shown(), QStringLiteral("0"));
    command(kCmdEvaluate);
    EXPECT_EQ(shown(), QStringLiteral("Error")) << "an empty line";
    typeText(QStringLiteral("1+*"));
    command(kCmdEvaluate);
    EXPECT_EQ(shown(), QStringLiteral("Error"));
}

TEST_F(ScientificFrameTest, FunctionKeysAndModes) {
    KeyPad* keys = view()->functionKeypad();
    characters(QStringLiteral("2"));
    tap(keys, kKeySquare);
    tap(keys, kKeySin);
    EXPECT_EQ(edit()->text(), QStringLiteral("sin(2\u00B2)"));
    command(kCmdEvaluate);
    EXPECT_EQ(shown(), QStringLiteral("-0.7568024953"));

    command(kCmdClear);
    tap(keys, kKeyInv);
    EXPECT_EQ(keys->label(kKeySin), QStringLiteral("asin"));
    EXPECT_EQ(keys->label(kKeyM1), QStringLiteral("M1 in"));
    EXPECT_EQ(keys->label(kKeyCube), QStringLiteral("1/x"));
    tap(keys, kKeySin);
    EXPECT_EQ(edit()->text(), QStringLiteral("asin()"));
    EXPECT_EQ(edit()->selectionEnd(), 5);
    EXPECT_EQ(view()->mode(), KeyMode::Normal) << "a function key ends the mode";
    EXPECT_EQ(keys->label(kKeySin), QStringLiteral("sin"));

    tap(keys, kKeyInv);
    tap(keys, kKeyInv);
    EXPECT_EQ(keys->label(kKeyLn), QStringLiteral("ln")) << "inv twice is normal again";
    tap(keys, kKeyInv);
    tap(keys, kKeyHyp);
    EXPECT_EQ(view()->mode(), KeyMode::Hyperbolic);
    EXPECT_EQ(keys->label(kKeyCos), QStringLiteral("cosh"));
    EXPECT_EQ(keys->label(kKeyLn), QStringLiteral("ln"));

    command(kCmdClear);
    tap(keys, kKeyCos);
    characters(QStringLiteral("0"));
    command(kCmdEvaluate);
    EXPECT_EQ(edit()->text(), QStringLiteral("cosh(0)"));
    EXPECT_EQ(shown(), QStringLiteral("1"));

    command(kCmdClear);
    tap(keys, kKeyRound);
    EXPECT_EQ(edit()->text(), QStringLiteral("round()"));
    characters(QStringLiteral("3"));
    tap(keys, kKeyFactorial);
    characters(QStringLiteral("/4"));
    command(kCmdEvaluate);
    EXPECT_EQ(edit()->text(), QStringLiteral("round(3!/4)"));
    EXPECT_EQ(shown(), QStringLiteral("2"));
    tap(keys, kKeyBrackets);
    tap(keys, kKeyInv);
    tap(keys, kKeyLg);
    EXPECT_EQ(edit()->text(), QStringLiteral("10^(round(3!/4))"));
    command(kCmdEvaluate);
    EXPECT_EQ(shown(), QStringLiteral("100"));
    command(kCmdClear);
    tap(keys, kKeyPi);
    tap(keys, kKeyInv);
    tap(keys, kKeyFactorial);
    EXPECT_EQ(edit()->selectedText(), QStringLiteral("pi%"));
    tap(keys, kKeyE);
    EXPECT_EQ(edit()->text(), QStringLiteral("e")) << "a name replaces the operand";
}

TEST_F(ScientificFrameTest, MemoriesAndStoredExpressions) {
    KeyPad* keys = view()->functionKeypad();
    characters(QStringLiteral("2*3"));
    tap(keys, kKeyInv);
    tap(keys, kKeyM1);
    EXPECT_EQ(shown(), QStringLiteral("6"));
    command(kCmdClear);
    tap(keys, kKeyM1);
    characters(QStringLiteral("*2"));
    command(kCmdEvaluate);
    EXPECT_EQ(edit()->text(), QStringLiteral("m1*2"));
    EXPECT_EQ(shown(), QStringLiteral("12"));

    command(kCmdClear);
    characters(QStringLiteral("1+*"));
    tap(keys, kKeyInv);
    tap(keys, kKeyM1);
    EXPECT_EQ(shown(), QStringLiteral("Error"));
    double m1 = 0;
    ASSERT_TRUE(engine->evaluate(u"m1", m1));
    EXPECT_EQ(m1, 6) << "a failed store leaves the memory";

    // A result already shown is stored without joining the history again.
    command(kCmdClear);
    characters(QStringLiteral("2+5"));
    command(kCmdEvaluate);
    const qsizetype entries = view()->history().entries().size();
    tap(keys, kKeyInv);
    tap(keys, kKeyM3);
    ASSERT_TRUE(engine->evaluate(u"m3", m1));
    EXPECT_EQ(m1, 7);
    EXPECT_EQ(view()->history().entries().size(), entries);

    // The display's base goes into the memory as it is shown.
    command(kCmdClear);
    command(kCmdBase);
    EXPECT_EQ(view()->button(kCmdBase)->text(), QStringLiteral("Hex"));
    characters(QStringLiteral("255"));
    tap(keys, kKeyInv);
    tap(keys, kKeyM2);
    EXPECT_EQ(shown(), QStringLiteral("0FFh"));
    double m2 = 0;
    ASSERT_TRUE(engine->evaluate(u"m2", m2));
    EXPECT_EQ(m2, 255);
    for (int i = 0; i < 3; ++i) command(kCmdBase);
    EXPECT_EQ(frame->mainDisplay().baseName(), QStringLiteral("Dec"));

    // E1 before anything was stored removes the selection.
    command(kCmdClear);
    characters(QStringLiteral("42"));
    tap(keys, kKeyE1);
    EXPECT_EQ(edit()->text(), QString());
    typeText(QStringLiteral("m2+1"));
    tap(keys, kKeyInv);
    tap(keys, kKeyE2);
    command(kCmdClear);
    characters(QStringLiteral("7*"));
    tap(keys, kKeyE2);
    EXPECT_EQ(edit()->text(), QStringLiteral("7*m2+1"));
    EXPECT_EQ(edit()->selectedText(), QStringLiteral("m2+1"));
    EXPECT_EQ(view()->storedExpression(1), QStringLiteral("m2+1"));

    command(kCmdAngle);
    EXPECT_EQ(view()->button(kCmdAngle)->text(), QStringLiteral("Deg"));
    command(kCmdClear);
    tap(keys, kKeySin);
    characters(QStringLiteral("90"));
    command(kCmdEvaluate);
    EXPECT_EQ(shown(), QStringLiteral("1"));
}

TEST_F(ScientificFrameTest, ValuesArriveInTheExpressionLine) {
    options.handOverServer =
        QStringLiteral("pq-test-") + QUuid::createUuid().toString(QUuid::Id128).left(12);
    open();
    ASSERT_EQ(frame->viewMode(), ViewMode::Scientific);
    command(kCmdBase);
    typeText(QStringLiteral("1+2"));
    edit()->select(2, 3);
    ASSERT_TRUE(pq::ui::SendHandOver(options.handOverServer, pq::ui::EncodeValue(255)));
    ASSERT_TRUE(pq::test::waitFor([&] { return edit()->text() == QStringLiteral("1+0FFh"); }));
    EXPECT_EQ(edit()->selectedText(), QStringLiteral("0FFh"));

    QGuiApplication::clipboard()->setText(QStringLiteral("sqrt(16)"));
    edit()->select(0, 1);
    QTest::keyClick(edit(), Qt::Key_V, Qt::ControlModifier);
    deliverPosted();
    EXPECT_EQ(edit()->text(), QStringLiteral("sqrt(16)+0FFh"));
    EXPECT_EQ(edit()->selectedText(), QStringLiteral("sqrt(16)"));
    QGuiApplication::clipboard()->setText(QStringLiteral("1,234.5"));
    QTest::keyClick(edit(), Qt::Key_V, Qt::ControlModifier);
    deliverPosted();
    EXPECT_EQ(edit()->text(), QStringLiteral("1234.5+0FFh")) << "a displayed number goes in plain";
    EXPECT_EQ(edit()->selectedText(), QStringLiteral("1234.5"));
}

TEST_F(ScientificFrameTest, HugeAndDeepFormulasGiveErrorsNotCrashes) {
    edit()->setText(QString(100000, u'1'));
    command(kCmdEvaluate);
    EXPECT_EQ(shown(), QStringLiteral("Error"));
    edit()->setText(QString(100000, u'(') + u'1' + QString(100000, u')'));
    command(kCmdEvaluate);
    EXPECT_TRUE(shown() == QStringLiteral("Error") || shown() == QStringLiteral("1"));
    QString sum = QStringLiteral("0");
    for (int i = 0; i < 20000; ++i) sum += QStringLiteral("+1");
    edit()->setText(sum);
    command(kCmdEvaluate);
    EXPECT_EQ(shown(), QStringLiteral("20,000"));
}

TEST_F(ScientificFrameTest, UserFunctionsAreDefinedSavedAndAppliedInBothViews) {
    command(kCmdEditFunctions);
    auto* dialog = frame->findChild<MyFunctionsDialog*>();
    ASSERT_NE(dialog, nullptr);
    QCoreApplication::postEvent(dialog, new pq::ui::CommandEvent(MyFunctionsDialog::kCmdAdd));
    deliverPosted();
    MacroEditorDialog* editor = dialog->editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->title(), QStringLiteral("New Function"));
    EXPECT_EQ(editor->declarationEdit()->text(), QStringLiteral("MyFunction(x)"));
    EXPECT_EQ(editor->formulaEdit()->text(), QStringLiteral("x * 2"));
    EXPECT_EQ(editor->nameEdit()->text(), QStringLiteral("My Category\\My Function Name"));

    // Each empty field and each refused text says why and what to do; the
    // editor stays, with the field at fault in focus and its fault marked.
    struct Refusal {
        const char* name;
        const char* declaration;
        const char* formula;
        const char* says;     // the start of the message
        const char* focus;    // the field at fault
        const char* selected; // what is selected there
    } const refusals[] = {
        {"", "double(x)", "x*2", "Type a name for the function", "Name", ""},
        {"Tools\\Double", "", "x*2", "Type the declaration", "Declaration", ""},
        {"Tools\\Double", "double(x)", " ", "Type the formula", "Formula", ""},
        {"Tools\\Double", "double(x)", "x+",
         "The formula cannot be read: The formula ends with an operator (at character 2)",
         "Formula", "+"},
        {"Tools\\Double", "double(x)", "x*(2+1", "The formula cannot be read: Missing \")\"",
         "Formula", "("},
        {"Tools\\Double", "double(x)", "2 3", "The formula cannot be read: Syntax error", "Formula",
         "3"},
        {"Tools\\Double", "sin(x)", "x*2", "\"sin\" is a built-in function", "Declaration", ""},
        {"Tools\\Double", "double(1)", "x*2", "The declaration \"double(1)\" is not", "Declaration",
         ""},
        {"Tools\\Double", "double(x", "x*2", "The declaration \"double(x\" cannot be read",
         "Declaration", ""},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.says);
        editor->nameEdit()->setText(QString::fromUtf8(r.name));
        editor->declarationEdit()->setText(QString::fromUtf8(r.declaration));
        editor->formulaEdit()->setText(QString::fromUtf8(r.formula));
        editor->accept();
        deliverPosted();
        ASSERT_EQ(dialog->editor(), editor) << "the editor stays open";
        QMessageBox* box = editor->findChild<QMessageBox*>();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Function"));
        EXPECT_TRUE(box->text().startsWith(QString::fromUtf8(r.says))) << box->text().toStdString();
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        box->close();
        deliverPosted();
        EXPECT_TRUE(editor->isVisible());
        auto* focus = qobject_cast<QLineEdit*>(editor->focusWidget());
        ASSERT_NE(focus, nullptr);
        EXPECT_EQ(focus->accessibleName(), QString::fromUtf8(r.focus));
        if (*r.selected) {
            EXPECT_EQ(focus->selectedText(), QString::fromUtf8(r.selected));
        }
    }
    double unused = 0;
    EXPECT_FALSE(engine->evaluate(u"double(1)", unused)) << "nothing refused was defined";
    editor->nameEdit()->setText(QStringLiteral("Tools\\Double"));
    editor->formulaEdit()->setText(QStringLiteral("x*2"));
    editor->declarationEdit()->setText(QStringLiteral("double(x)"));
    editor->accept();
    deliverPosted();
    EXPECT_EQ(dialog->editor(), nullptr);
    ASSERT_EQ(dialog->list()->count(), 1);
    EXPECT_EQ(dialog->list()->item(0)->text(), QStringLiteral("Tools\\Double"));
    EXPECT_TRUE(dialog->list()->item(0)->isSelected());

    // A second function of two parameters, listed only in the scientific menu.
    QCoreApplication::postEvent(dialog, new pq::ui::CommandEvent(MyFunctionsDialog::kCmdAdd));
    deliverPosted();
    editor = dialog->editor();
    ASSERT_NE(editor, nullptr);
    editor->nameEdit()->setText(QStringLiteral("Hyp"));
    editor->declarationEdit()->setText(QStringLiteral("Hyp(a,b)"));
    editor->formulaEdit()->setText(QStringLiteral("sqrt(a^2+b^2)"));
    editor->accept();
    deliverPosted();
    ASSERT_EQ(dialog->list()->count(), 2);
    dialog->accept(); // Done saves the file
    deliverPosted();
    ASSERT_TRUE(QFile::exists(options.functionsFile));

    // Scientific view: the menu offers both; choosing Hyp inserts a call.
    characters(QStringLiteral("5"));
    tap(view()->functionKeypad(), kKeyMyFunctions);
    QMenu* menu = frame->functionMenu();
    ASSERT_NE(menu, nullptr);
    QStringList texts;
    for (QAction* action : menu->actions()) texts << action->text();
    EXPECT_EQ(texts, (QStringList{"Tools", "Hyp(a,b)", "", "Edit My Functions..."}));
    menu->actions()[1]->trigger();
    menu->close();
    deliverPosted();
    EXPECT_EQ(edit()->text(), QStringLiteral("Hyp(5,)"));
    characters(QStringLiteral("12"));
    command(kCmdEvaluate);
    EXPECT_EQ(shown(), QStringLiteral("13"));

    // A second window reads the file and applies double in the standard view.
    open();
    ASSERT_EQ(frame->userFunctions().size(), 2u);
    command(kCmdStandardView);
    command(kCmdFunctionMenu);
    menu = frame->functionMenu();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), 3) << "Tools, separator, Edit";
    QMenu* tools = menu->actions()[0]->menu();
    ASSERT_NE(tools, nullptr);
    EXPECT_EQ(tools->actions()[0]->text(), QStringLiteral("Double"));
    tools->actions()[0]->trigger();
    menu->close();
    deliverPosted();
    EXPECT_EQ(frame->callName(), QStringLiteral("double"));
    QTest::keyClick(frame->client(), '7');
    deliverPosted();
    EXPECT_EQ(frame->functionResult().shownText(), QStringLiteral("14"));
    command(kCmdFunctionResult);
    EXPECT_EQ(shown(), QStringLiteral("14"));
    EXPECT_EQ(frame->functionResult().shownText(), QStringLiteral("28"));

    // The applied function is kept for the next start.
    open();
    EXPECT_EQ(frame->currentMacro(), 0);
    EXPECT_EQ(frame->callName(), QStringLiteral("double"));
    command(kCmdHideFunction);
    EXPECT_EQ(frame->currentMacro(), -1);
    EXPECT_EQ(frame->functionResult().shownText(), QString());
}

TEST_F(ScientificFrameTest, DeletingAFunctionAndADamagedFile) {
    UserFunctionList list = {{u"a(x)", u"x+1", u"A", 0, false},
                             {u"b(x)", u"x+2", u"B", 0, false},
                             {u"c(x)", u"x+3", u"C", 0, false}};
    std::string error;
    ASSERT_TRUE(
        WriteFunctionFile(options.functionsFile.toStdString(), EncodeFunctionFile(list), error));
    open();
    command(kCmdEditFunctions);
    auto* dialog = frame->findChild<MyFunctionsDialog*>();
    ASSERT_NE(dialog, nullptr);
    dialog->list()->item(1)->setSelected(true); // B
    QCoreApplication::postEvent(dialog, new pq::ui::CommandEvent(MyFunctionsDialog::kCmdDelete));
    deliverPosted();
    auto* box = dialog->findChild<QMessageBox*>();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->text().startsWith(QStringLiteral("Delete the function b(x)?")))
        << box->text().toStdString();
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Delete"));
    box->button(QMessageBox::Yes)->click();
    deliverPosted();
    ASSERT_EQ(frame->userFunctions().size(), 2u);
    ASSERT_EQ(dialog->list()->count(), 2);
    EXPECT_EQ(dialog->list()->item(1)->text(), QStringLiteral("C"));
    EXPECT_EQ(dialog->list()->item(1)->data(Qt::UserRole).toInt(), 1) << "renumbered";
    double value = 0;
    EXPECT_FALSE(engine->evaluate(u"b(1)", value)) << "the definition is gone";
    dialog->reject(); // not Done, but the deletion is kept all the same
    deliverPosted();
    std::string bytes;
    ASSERT_EQ(ReadFunctionFile(options.functionsFile.toStdString(), bytes), FileStatus::Ok);
    EXPECT_EQ(bytes, EncodeFunctionFile({list[0], list[2]}));

    // A truncated file: the whole records are loaded, the user is told, and
    // the file stays until Done.
    const std::string good = EncodeFunctionFile(list);
    ASSERT_TRUE(WriteFunctionFile(options.functionsFile.toStdString(),
                                  good.substr(0, good.size() - 3), error));
    open();
    ASSERT_TRUE(pq::test::waitFor([&] { return message() != nullptr; }));
    EXPECT_TRUE(message()->text().contains(QStringLiteral("is damaged; 2 of its functions")))
        << message()->text().toStdString();
    EXPECT_EQ(frame->userFunctions().size(), 2u);
    closeMessages();
    frame.reset();
    ASSERT_EQ(ReadFunctionFile(options.functionsFile.toStdString(), bytes), FileStatus::Ok);
    EXPECT_EQ(bytes, good.substr(0, good.size() - 3));
}

TEST_F(ScientificFrameTest, HelpOpensTheDocumentAtItsContents) {
    command(kCmdHelp);
    ASSERT_NE(message(), nullptr) << "no document yet";
    EXPECT_TRUE(message()->text().contains(QStringLiteral("PqCalculator.htm")));
    closeMessages();
    QFile file(options.helpFile);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<html><body><a name=\"main_contents\">Contents</a></body></html>");
    file.close();
    EXPECT_EQ(frame->commandAction(kCmdHelp)->shortcut(), QKeySequence(Qt::Key_F1));
    command(kCmdHelp);
    auto* viewer = frame->findChild<pq::ui::HtmlViewer*>();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->browser()->toPlainText().contains(QStringLiteral("Contents")));
}

TEST_F(ScientificFrameTest, KeyboardHabitsOfTheStandardView) {
    QTest::keyClick(edit(), Qt::Key_1, Qt::AltModifier);
    deliverPosted();
    ASSERT_EQ(frame->viewMode(), ViewMode::Standard);
    auto type = [&](const QString& keys) {
        for (QChar key : keys) {
            QTest::keyClick(frame->client(), key.toLatin1());
            deliverPosted();
        }
    };
    auto key = [&](Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(frame->client(), k, modifiers);
        deliverPosted();
    };
    type(QStringLiteral("6x7="));
    EXPECT_EQ(shown(), QStringLiteral("42"));
    key(Qt::Key_F9);
    EXPECT_EQ(shown(), QStringLiteral("-42"));
    key(Qt::Key_P, Qt::ControlModifier);
    EXPECT_TRUE(frame->mainDisplay().isIndicatorShown());
    type(QStringLiteral("16@"));
    EXPECT_EQ(shown(), QStringLiteral("4"));
    key(Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(shown(), QStringLiteral("-42"));
    key(Qt::Key_L, Qt::ControlModifier);
    EXPECT_FALSE(frame->mainDisplay().isIndicatorShown());
    EXPECT_EQ(frame->standardKeypad()->toolTip(0), QStringLiteral("Memory Clear (Ctrl+L)"));

    QGuiApplication::clipboard()->setText(QStringLiteral(" 1,234,567.89 "));
    key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(shown(), QStringLiteral("1,234,567.89"));
    QGuiApplication::clipboard()->setText(QStringLiteral("1010 0101b"));
    key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(shown(), QStringLiteral("165"));

    QTest::keyClick(frame->client(), Qt::Key_2, Qt::AltModifier);
    deliverPosted();
    EXPECT_EQ(frame->viewMode(), ViewMode::Scientific);
    EXPECT_EQ(edit()->accessibleName(), QStringLiteral("Expression"));
    command(kCmdClear);
    frame->client()->setFocus();
    QTest::keyClick(frame->client(), '4');
    deliverPosted();
    EXPECT_EQ(edit()->text(), QStringLiteral("4")) << "keys find the expression line";
    EXPECT_TRUE(edit()->hasFocus());
}

TEST_F(ScientificFrameTest, AnEnlargedWindowStretchesKeypadsAndTexts) {
    const int s = pq::ui::DisplayScale();
    const int baseFont = view()->characterKeypad()->font().pixelSize();
    const QSize base = frame->client()->size();
    EXPECT_EQ(base, QSize(240 * s, 269 * s));
    frame->resize(frame->width() + 240 * s, frame->height() + 269 * s);
    ASSERT_TRUE(pq::test::waitFor([&] { return frame->client()->width() > base.width(); }));
    const QSize client = frame->client()->size();
    EXPECT_EQ(view()->characterKeypad()->geometry().bottom() + 1, client.height());
    EXPECT_EQ(view()->characterKeypad()->width(), client.width() + 2);
    EXPECT_GT(view()->characterKeypad()->font().pixelSize(), baseFont);
    typeText(QStringLiteral("6*7"));
    command(kCmdEvaluate);
    EXPECT_EQ(shown(), QStringLiteral("42"));
    EXPECT_GT(frame->mainDisplay().button().font().pixelSize(), 28 * s);
    // Taps still find their keys.
    command(kCmdClear);
    tap(view()->characterKeypad(), 4); // 7
    EXPECT_EQ(edit()->text(), QStringLiteral("7"));

    // The size is kept for the next start; it never shrinks below the base.
    const QSize kept = frame->size();
    open();
    EXPECT_EQ(frame->size(), kept);
    frame->resize(10, 10);
    deliverPosted();
    EXPECT_GE(frame->client()->width(), 240 * s);
    EXPECT_GE(frame->client()->height(), 269 * s);
}

TEST_F(ScientificFrameTest, ScreenReadersFindEveryKeyAndTheResult) {
    QAccessibleInterface* keypad = QAccessible::queryAccessibleInterface(view()->functionKeypad());
    ASSERT_NE(keypad, nullptr);
    ASSERT_EQ(keypad->childCount(), kFunctionKeyCount);
    QAccessibleInterface* sin = keypad->child(kKeySin);
    ASSERT_NE(sin, nullptr);
    EXPECT_EQ(sin->text(QAccessible::Name), QStringLiteral("Sine"));
    EXPECT_EQ(sin->role(), QAccessible::Button);
    EXPECT_EQ(keypad->indexOfChild(sin), kKeySin);
    sin->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    deliverPosted();
    EXPECT_EQ(edit()->text(), QStringLiteral("sin()"));
    QAccessibleInterface* characters =
        QAccessible::queryAccessibleInterface(view()->characterKeypad());
    ASSERT_EQ(characters->childCount(), kCharacterKeyCount);
    EXPECT_EQ(characters->child(8)->text(QAccessible::Name), QStringLiteral("Back"));

    typeText(QStringLiteral("30"));
    command(kCmdEvaluate);
    QWidget* result = frame->mainDisplay().accessibleProxy();
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->accessibleName(), QStringLiteral("Result"));
    EXPECT_EQ(result->accessibleDescription(), QStringLiteral("-0.9880316241"));
    for (unsigned id : {kCmdClear, kCmdClearEntry, kCmdBase, kCmdAngle, kCmdEvaluate})
        EXPECT_FALSE(view()->button(id)->accessibleName().isEmpty());
}

TEST_F(ScientificFrameTest, EditingAFunctionReplacesItsFormula) {
    const UserFunctionList list = {{u"twice(x)", u"x*2", u"Twice", 0, false}};
    std::string error;
    ASSERT_TRUE(
        WriteFunctionFile(options.functionsFile.toStdString(), EncodeFunctionFile(list), error));
    open();
    command(kCmdEditFunctions);
    auto* dialog = frame->findChild<MyFunctionsDialog*>();
    ASSERT_NE(dialog, nullptr);
    dialog->list()->item(0)->setSelected(true);
    QCoreApplication::postEvent(dialog, new pq::ui::CommandEvent(MyFunctionsDialog::kCmdEdit));
    deliverPosted();
    MacroEditorDialog* editor = dialog->editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->title(), QStringLiteral("Edit Function"));
    EXPECT_FALSE(editor->declarationEdit()->isEnabled()) << "the declaration stays";
    editor->formulaEdit()->setText(QStringLiteral("x*(2"));
    editor->accept();
    deliverPosted();
    QMessageBox* box = editor->findChild<QMessageBox*>();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->text().startsWith(QStringLiteral("The formula cannot be read: Missing")))
        << box->text().toStdString();
    EXPECT_EQ(editor->formulaEdit()->selectedText(), QStringLiteral("("));
    box->close();
    deliverPosted();
    double value = 0;
    ASSERT_TRUE(engine->evaluate(u"twice(4)", value));
    EXPECT_EQ(value, 8) << "a refused formula leaves the old one";
    editor->formulaEdit()->setText(QStringLiteral("x*3"));
    editor->nameEdit()->setText(QStringLiteral("Thrice"));
    editor->accept();
    deliverPosted();
    ASSERT_TRUE(engine->evaluate(u"twice(4)", value));
    EXPECT_EQ(value, 12);
    EXPECT_EQ(dialog->list()->item(0)->text(), QStringLiteral("Thrice"));
    dialog->accept();
    deliverPosted();
    open();
    ASSERT_EQ(frame->userFunctions().size(), 1u);
    EXPECT_EQ(frame->userFunctions()[0].formula, u"x*3");
    EXPECT_EQ(frame->userFunctions()[0].name, u"Thrice");
}

TEST_F(ScientificFrameTest, AWindowStartedInTheStandardViewOffersTheFormulasOfTheLastRun) {
    options.historyFile = folder.filePath(QStringLiteral("history.json"));
    open();
    for (const char* formula : {"2+3", "4*5"}) {
        typeText(QString::fromLatin1(formula));
        QTest::keyClick(edit(), Qt::Key_Return);
        deliverPosted();
    }
    command(kCmdStandardView);
    open();
    ASSERT_EQ(frame->viewMode(), ViewMode::Standard);
    command(kCmdScientificView);
    ASSERT_TRUE(edit()->isVisible());
    EXPECT_TRUE(edit()->hasFocus());
    EXPECT_EQ(edit()->history().mid(0, 2), (QStringList{"4*5", "2+3"}));
    typeText(QStringLiteral("ans+1"));
    QTest::keyClick(edit(), Qt::Key_Return);
    deliverPosted();
    EXPECT_EQ(shown(), QStringLiteral("21"));
}
