// Undo and Redo in the converter's window, with the keys a user presses:
// every kind of change taken back and made again, each time in the file too.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <functional>

#include "converter/commands.h"
#include "converter/dialogs/conversions_dialog.h"
#include "converter/dialogs/show_hide_dialog.h"
#include "converter/entry/value_entry_panel.h"
#include "converter/list/formats_dialog.h"
#include "converter/list/unit_list_view.h"
#include "document/document.h"
#include "engine/number_format.h"
#include "tests/converter/converter_fixture.h"
#include "tests/uikit/test_support.h"
#include "uikit/dialogs.h"
#include "uikit/message_box.h"

using namespace pq;
using namespace pq::conv;
using pq::test::ConverterWorld;
using pq::test::deliverPosted;

namespace {

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// The file as another reader finds it.
std::unique_ptr<ConversionDocument> readBack(const QString& path) {
    auto document = std::make_unique<ConversionDocument>();
    document->loadFrom(path.toStdString(), true);
    return document;
}

const Item* unit(const Document& document, std::u16string_view identifier) {
    for (const auto& item : document.items)
        if (item->identifier == identifier) return item.get();
    return nullptr;
}

const Conversion* between(const ConversionDocument& document, std::u16string_view first,
                          std::u16string_view second) {
    const Item* a = unit(document, first);
    const Item* b = unit(document, second);
    return a && b ? document.findConversion(a, b) : nullptr;
}

// Every message is taken; questions are answered with their first button
// (Yes, Reload, Try Again).
struct Answers {
    Answers() {
        ui::SetMessageResponder([this](const ui::MessageRequest& request) {
            seen.push_back(request);
            return true;
        });
    }
    ~Answers() { ui::SetMessageResponder({}); }
    std::vector<ui::MessageRequest> seen;
};

// Types a text into a box as a user would: the box counts as edited.
void typeInto(QLineEdit* box, const QString& text) {
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
}

// Taps a bar item of a dialog and delivers what it posted.
void tapBar(QDialog& dialog, int command) {
    EXPECT_TRUE(ui::TriggerMenuBarItem(dialog, command));
    deliverPosted();
}

// Runs `fill` on the dialog the next command opens, once it is up (the
// command may still wait in the queue).
template <typename Dialog> void inDialog(std::function<void(Dialog&)> fill, int tries = 20) {
    QTimer::singleShot(0, [fill, tries] {
        if (auto* dialog = dynamic_cast<Dialog*>(QApplication::activeModalWidget()))
            fill(*dialog);
        else if (tries > 0)
            inDialog<Dialog>(fill, tries - 1);
    });
}

// The first text box of the dialog the next command opens gets `text`; OK.
void typeIntoDialog(const QString& text) {
    inDialog<QDialog>([text](QDialog& dialog) {
        typeInto(dialog.findChildren<QLineEdit*>().front(), text);
        dialog.accept();
    });
}

void choose(QComboBox* list, const QString& text) { list->setCurrentIndex(list->findText(text)); }

void selectConversion(ConversionsDialog& dialog, std::u16string_view first,
                      std::u16string_view second) {
    for (int row = 0; row < dialog.list()->count(); ++row) {
        dialog.list()->setCurrentRow(row);
        const Conversion* c = dialog.selectedConversion();
        if (c->unit1->identifier == first && c->unit2->identifier == second) return;
    }
    ADD_FAILURE() << "no such conversion";
}

// The converter on Length.cnv (and Weight.cnv beside it), on the screen and
// active, so that its keys reach it as a user's do.
class UndoTest : public ::testing::Test {
  public:
    void open() {
        world.seed({"Length.cnv", "Weight.cnv"});
        world.writeSettings({u"Length.cnv", u"Weight.cnv"});
        frame = world.open();
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
        frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
        deliverPosted();
    }
    void TearDown() override {
        chmod(QFile::encodeName(world.dataFolder).constData(), 0755);
        frame.reset();
    }

    // A key pressed wherever the keyboard focus is. The window is active
    // again once a dialog closed, as a window manager makes it.
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers) {
        frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : frame.get(), key, modifiers);
        deliverPosted();
    }
    void undoKey() { key(Qt::Key_Z, Qt::ControlModifier); }
    void redoKey(bool y = false) {
        if (y)
            key(Qt::Key_Y, Qt::ControlModifier);
        else
            key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    }
    QAction& action(unsigned id) const {
        frame->updateCommands(); // as opening the menu does
        return *frame->commandAction(id);
    }
    void run(unsigned command) {
        action(command).trigger();
        deliverPosted();
    }
    int rowOf(std::u16string_view identifier) const {
        const UnitListView& list = *frame->list();
        for (int row = 0; row < list.rowCount(); ++row)
            if (list.row(row).item().identifier == identifier) return row;
        ADD_FAILURE() << "no row";
        return -1;
    }
    void selectUnit(std::u16string_view identifier) { frame->list()->select(rowOf(identifier)); }
    QString file(const char* name) const { return world.dataFolder + QString::fromLatin1(name); }

    ConverterWorld world;
    Answers answers;
    std::unique_ptr<CPqConvFrame> frame;
};

} // namespace

TEST_F(UndoTest, EveryKindOfChangeIsUndoneAndRedoneWithItsKeysInTheFileToo) {
    open();
    const QString length = file("Length.cnv");
    const int32_t entry = unit(*readBack(length), u"ft_in")->format.entryFormat;
    struct Case {
        const char* step; // as the Edit menu names it
        std::function<void(UndoTest&)> change;
        std::function<bool(const ConversionDocument&)> made;
    };
    const Case cases[] = {
        // 1 mi = 1760 yd = 1760 x 0.9144 m, the international mile.
        {"Delete Unit 'Mile (mi)'",
         [](UndoTest& t) {
             t.selectUnit(u"mi");
             t.run(kCmdDeleteUnit);
         },
         [](const ConversionDocument& d) {
             const Conversion* mile = between(d, u"mi", u"m");
             return !mile || std::abs(mile->factor - 1609.344) > 1e-9;
         }},
        {"Add Unit 'Rod'",
         [](UndoTest& t) {
             typeIntoDialog(QStringLiteral("Rod"));
             t.run(kCmdAddUnit);
         },
         [](const ConversionDocument& d) {
             return std::any_of(d.items.begin(), d.items.end(),
                                [](const auto& item) { return item->name == u"Rod"; });
         }},
        {"Edit Unit 'Yard'",
         [](UndoTest& t) {
             t.selectUnit(u"yd");
             typeIntoDialog(QStringLiteral("Yard"));
             t.run(kCmdEditUnit);
         },
         [](const ConversionDocument& d) { return unit(d, u"yd")->name == u"Yard"; }},
        // 1 ft = 12 in.
        {"Add Conversion 'ft <=> in'",
         [](UndoTest& t) {
             inDialog<ConversionsDialog>([](ConversionsDialog& dialog) {
                 tapBar(dialog, kCmdAddStandard);
                 AddConversionDialog* add = dialog.addDialog();
                 choose(add->fromList(), QStringLiteral("Foot (ft)"));
                 choose(add->toList(), QStringLiteral("Inch (in)"));
                 typeInto(add->fields()->factorBox(), QStringLiteral("12"));
                 tapBar(*add, ui::kOkCommand);
                 dialog.accept();
             });
             t.run(kCmdConversions);
         },
         [](const ConversionDocument& d) {
             const Conversion* c = between(d, u"ft", u"in");
             return c && c->factor == 12;
         }},
        {"Edit Conversion 'ft <=> m'",
         [](UndoTest& t) {
             inDialog<ConversionsDialog>([](ConversionsDialog& dialog) {
                 selectConversion(dialog, u"ft", u"m");
                 typeInto(dialog.fields()->factorBox(), QStringLiteral("0.3"));
                 dialog.accept();
             });
             t.run(kCmdConversions);
         },
         [](const ConversionDocument& d) { return between(d, u"ft", u"m")->factor == 0.3; }},
        {"Delete Conversion 'in <=> m'",
         [](UndoTest& t) {
             inDialog<ConversionsDialog>([](ConversionsDialog& dialog) {
                 selectConversion(dialog, u"in", u"m");
                 tapBar(dialog, kCmdDeleteConversion);
                 dialog.accept();
             });
             t.run(kCmdConversions);
         },
         [](const ConversionDocument& d) { return !between(d, u"in", u"m"); }},
        {"Show/Hide Units",
         [](UndoTest& t) {
             inDialog<ShowHideDialog>([](ShowHideDialog& dialog) {
                 dialog.list()
                     ->findItems(QStringLiteral("Furlong (660 ft)"), Qt::MatchExactly)
                     .front()
                     ->setCheckState(Qt::Checked);
                 dialog.accept();
             });
             t.frame->onCommand(kCmdShowUnits); // the button at the top right
         },
         [](const ConversionDocument& d) { return unit(d, u"furlong")->shown != 0; }},
        {"Remove 'Inch (in)' from List",
         [](UndoTest& t) {
             t.selectUnit(u"in");
             t.frame->onCommand(kCmdRemoveFromList); // a row's menu
         },
         [](const ConversionDocument& d) { return unit(d, u"in")->shown == 0; }},
        {"Change Format of 'Feet and inches'",
         [](UndoTest& t) {
             t.frame->list()->formatChosen(t.rowOf(u"ft_in"), kCmdFormatDecimal);
             deliverPosted();
         },
         [](const ConversionDocument& d) {
             return unit(d, u"ft_in")->format.displayFormat == Decimal;
         }},
        {"Customize Formats of 'Metre (m)'",
         [](UndoTest& t) {
             inDialog<FormatsDialog>([](FormatsDialog& dialog) {
                 dialog.checkBox(Hex)->setChecked(true);
                 dialog.accept();
             });
             t.frame->list()->formatChosen(t.rowOf(u"m"), kCmdFormatCustomize);
             deliverPosted();
         },
         [](const ConversionDocument& d) { return unit(d, u"m")->format.allows(Hex); }},
        {"Change Entry Format of 'Feet and inches'",
         [](UndoTest& t) {
             t.selectUnit(u"ft_in");
             ValueEntryPanel& panel = *t.frame->panel();
             panel.chooseTab(panel.currentTab() == 0 ? 1 : 0);
             deliverPosted();
         },
         [entry](const ConversionDocument& d) {
             return unit(d, u"ft_in")->format.entryFormat != entry;
         }},
        {"Change File Properties",
         [](UndoTest& t) {
             typeIntoDialog(QStringLiteral("Lengths"));
             t.run(kCmdProperties);
         },
         [](const ConversionDocument& d) { return d.title == u"Lengths"; }},
    };

    EXPECT_FALSE(action(kCmdUndo).isEnabled());
    EXPECT_EQ(action(kCmdUndo).text(), QStringLiteral("&Undo"));
    bool ctrlY = false;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        const QByteArray before = bytesOf(length);
        ASSERT_FALSE(c.made(*readBack(length)));
        c.change(*this);
        const QByteArray after = bytesOf(length);
        ASSERT_TRUE(c.made(*readBack(length))) << "the change is in the file";
        EXPECT_EQ(action(kCmdUndo).text().toStdString(), "&Undo " + std::string(c.step));
        EXPECT_TRUE(action(kCmdUndo).isEnabled());
        EXPECT_FALSE(action(kCmdRedo).isEnabled()) << "a change ends what could be redone";

        undoKey();
        EXPECT_EQ(bytesOf(length), before) << "undone in the file, byte for byte";
        EXPECT_FALSE(c.made(*static_cast<ConversionDocument*>(frame->document())));
        EXPECT_FALSE(frame->document()->isModified());
        EXPECT_EQ(action(kCmdRedo).text().toStdString(), "Red&o " + std::string(c.step));

        redoKey(ctrlY = !ctrlY);
        EXPECT_EQ(bytesOf(length), after) << "made again in the file";
        EXPECT_TRUE(c.made(*static_cast<ConversionDocument*>(frame->document())));
        EXPECT_EQ(action(kCmdUndo).text().toStdString(), "&Undo " + std::string(c.step));
    }
    EXPECT_EQ(answers.seen.size(), 2u) << "the two deletions asked, nothing else said";

    // All the way back: the file as it was shipped, with the mile and its
    // conversion, and the mile selected once its deletion is undone.
    const QByteArray last = bytesOf(length);
    for (size_t i = 0; i < std::size(cases); ++i) undoKey();
    EXPECT_EQ(bytesOf(length), bytesOf(QStringLiteral(PQ_DATA_DIR "/Length.cnv")));
    EXPECT_FALSE(action(kCmdUndo).isEnabled());
    EXPECT_EQ(frame->document()->currentItem->identifier, u"mi");
    // And all the way forward again.
    for (size_t i = 0; i < std::size(cases); ++i) redoKey();
    EXPECT_EQ(bytesOf(length), last);
    EXPECT_FALSE(action(kCmdRedo).isEnabled());
}

TEST_F(UndoTest, StepsStayAcrossSwitchesAndGoWhenAnotherProgramChangesTheFile) {
    open();
    const QString length = file("Length.cnv");
    const QByteArray shipped = bytesOf(length);
    // The values shown stay with their units when a step is undone: the
    // mile comes back with the value it had. (1 mi = 1609.344 m.)
    selectUnit(u"mi");
    frame->document()->currentItem->value = 3;
    frame->document()->currentItem->state = ValueState::Valid;
    frame->onCommand(kCmdCalculate);
    run(kCmdDeleteUnit);
    ASSERT_EQ(unit(*readBack(length), u"mi"), nullptr);
    undoKey();
    const Item* mile = frame->document()->currentItem;
    ASSERT_NE(mile, nullptr);
    EXPECT_EQ(mile->identifier, u"mi");
    EXPECT_DOUBLE_EQ(mile->value, 3);
    EXPECT_DOUBLE_EQ(unit(*frame->document(), u"m")->value, 3 * 1609.344);
    redoKey();

    // To Weight and back: the deletion is still there to undo.
    frame->onCommand(kCmdSwitchFileFirst + 1);
    ASSERT_EQ(frame->document()->name, u"Weight");
    EXPECT_FALSE(action(kCmdUndo).isEnabled()) << "Weight has steps of its own";
    frame->onCommand(kCmdSwitchFileFirst + 1);
    ASSERT_EQ(frame->document()->name, u"Length");
    EXPECT_EQ(action(kCmdUndo).text(), QStringLiteral("&Undo Delete Unit 'Mile (mi)'"));
    undoKey();
    EXPECT_EQ(bytesOf(length), shipped);

    // An update waiting for Length.cnv is applied as it is opened: a step
    // of its own. (1 yd = 0.9 m as the update has it, 0.9144 m by
    // definition.)
    redoKey();
    frame->onCommand(kCmdSwitchFileFirst + 1);
    writeBytes(file("Length.upd"), "PQCUPD 1\r\nyd\tm\t0.9\r\n");
    frame->onCommand(kCmdSwitchFileFirst + 1);
    EXPECT_EQ(between(*readBack(length), u"yd", u"m")->factor, 0.9);
    EXPECT_EQ(action(kCmdUndo).text(), QStringLiteral("&Undo Apply Downloaded Update"));
    undoKey();
    EXPECT_EQ(between(*readBack(length), u"yd", u"m")->factor, 0.9144);
    undoKey();
    EXPECT_EQ(bytesOf(length), shipped) << "and the deletion before it";
    redoKey();
    redoKey();

    // Changed by another program while Weight is open: Length's steps go.
    frame->onCommand(kCmdSwitchFileFirst + 1);
    writeBytes(length, shipped);
    frame->onCommand(kCmdSwitchFileFirst + 1);
    EXPECT_FALSE(action(kCmdUndo).isEnabled());
    EXPECT_EQ(action(kCmdUndo).text(), QStringLiteral("&Undo"));

    // Changed while it is open, found at the next save and read again.
    selectUnit(u"yd");
    run(kCmdDeleteUnit);
    ASSERT_TRUE(action(kCmdUndo).isEnabled());
    writeBytes(length, bytesOf(file("Weight.cnv")));
    answers.seen.clear();
    selectUnit(u"ft");
    frame->onCommand(kCmdRemoveFromList);
    ASSERT_EQ(answers.seen.size(), 1u);
    ASSERT_EQ(answers.seen[0].title, QStringLiteral("File Changed")); // answered Reload
    EXPECT_EQ(frame->document()->title, u"Weight and Mass");
    EXPECT_FALSE(action(kCmdUndo).isEnabled());
    EXPECT_FALSE(action(kCmdRedo).isEnabled());
}

TEST_F(UndoTest, AReadOnlyFileCannotBeUndoneAndAFailedSaveKeepsTheStep) {
    open();
    const QString length = file("Length.cnv");
    const QByteArray shipped = bytesOf(length);
    selectUnit(u"mi");
    run(kCmdDeleteUnit);
    const QByteArray deleted = bytesOf(length);

    // Made read-only while Weight is open: Undo still names the step, but
    // is disabled and says why; its keys change nothing.
    frame->onCommand(kCmdSwitchFileFirst + 1);
    chmod(QFile::encodeName(length).constData(), 0444);
    frame->onCommand(kCmdSwitchFileFirst + 1);
    QAction& undo = action(kCmdUndo);
    EXPECT_FALSE(undo.isEnabled());
    EXPECT_EQ(undo.text(), QStringLiteral("&Undo Delete Unit 'Mile (mi)'"));
    EXPECT_EQ(undo.toolTip(), QStringLiteral("Length.cnv cannot be changed: ") +
                                  (geteuid() == 0 ? "the file is marked read-only"
                                                  : "you have no permission to write it"));
    undoKey();
    EXPECT_EQ(bytesOf(length), deleted);
    EXPECT_EQ(unit(*frame->document(), u"mi"), nullptr);
    chmod(QFile::encodeName(length).constData(), 0644);
    frame->onCommand(kCmdSwitchFileFirst + 1);
    frame->onCommand(kCmdSwitchFileFirst + 1);
    EXPECT_TRUE(action(kCmdUndo).isEnabled());
    EXPECT_EQ(action(kCmdUndo).toolTip(), QStringLiteral("Undo Delete Unit 'Mile (mi)'"));

    // An undo that cannot be saved is told, and stays made in memory: the
    // document stays modified, it can be redone, and the next save writes
    // it.
    answers.seen.clear();
    chmod(QFile::encodeName(world.dataFolder).constData(), 0555);
    undoKey();
    ASSERT_EQ(answers.seen.size(), 1u);
    EXPECT_EQ(answers.seen[0].title, QStringLiteral("Save"));
    EXPECT_EQ(bytesOf(length), deleted);
    EXPECT_NE(unit(*frame->document(), u"mi"), nullptr);
    EXPECT_TRUE(frame->document()->isModified());
    EXPECT_EQ(action(kCmdRedo).text(), QStringLiteral("Red&o Delete Unit 'Mile (mi)'"));
    chmod(QFile::encodeName(world.dataFolder).constData(), 0755);
    frame->onCommand(kCmdSwitchFileFirst + 1);
    EXPECT_EQ(bytesOf(length), shipped);
}
