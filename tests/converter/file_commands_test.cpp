// The file commands of the main window where a user found them failing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>
#include <QTreeWidget>

#include "converter/commands.h"
#include "converter/dialogs/open_file_dialog.h"
#include "converter/dialogs/options_dialog.h"
#include "converter/dialogs/properties_dialog.h"
#include "converter/list/unit_list_view.h"
#include "document/item.h"
#include "tests/converter/converter_fixture.h"
#include "tests/uikit/test_support.h"

using namespace pq;
using namespace pq::conv;
using pq::test::ConverterWorld;
using pq::test::deliverPosted;

namespace {

// Runs `fill` on the modal dialog of type D as soon as it is open.
template <typename D> void whenOpen(std::function<void(D&)> fill) {
    QTimer::singleShot(0, [fill] {
        auto* dialog = dynamic_cast<D*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        fill(*dialog);
    });
}

} // namespace

TEST(FileCommands, NewShowsTheFileEvenWhenNoneWasShown) {
    ConverterWorld world; // an empty data folder
    auto frame = world.open();
    ASSERT_EQ(frame->document(), nullptr);
    whenOpen<PropertiesDialog>([](PropertiesDialog& dialog) {
        EXPECT_FALSE(dialog.updatedBox()->toPlainText().isEmpty()) << "a new file is dated";
        dialog.titleBox()->setText(QStringLiteral("My Units"));
        dialog.categoryList()->setEditText(QStringLiteral("Mine"));
        dialog.accept();
    });
    frame->onCommand(kCmdNewConversionFile);
    deliverPosted();
    ASSERT_NE(frame->document(), nullptr);
    EXPECT_EQ(frame->document()->title, u"My Units");
    EXPECT_EQ(frame->fileSwitcherButton().text(), QStringLiteral("My Units"));
    EXPECT_TRUE(frame->commandAction(kCmdAddUnit)->isEnabled());
}

TEST(FileCommands, OpenReachesTheFirstEntryWhenNoneWasShown) {
    ConverterWorld world;
    auto frame = world.open();
    ASSERT_EQ(frame->document(), nullptr);
    world.seed({"Length.cnv"}); // arrives while the program runs
    whenOpen<OpenFileDialog>([](OpenFileDialog& dialog) {
        dialog.categoryList()->setCurrentIndex(dialog.categoryList()->findText("Common"));
        QTreeWidget* files = dialog.fileList();
        ASSERT_EQ(files->topLevelItemCount(), 1);
        files->setCurrentItem(files->topLevelItem(0));
        dialog.accept();
    });
    frame->onCommand(kCmdOpen);
    deliverPosted();
    ASSERT_NE(frame->document(), nullptr);
    EXPECT_EQ(frame->document()->title, u"Length");
    EXPECT_GT(frame->list()->rowCount(), 5);
}

TEST(FileCommands, ACalculationFileShowsItsStoredInputsAndOutputsOnOpen) {
    ConverterWorld world;
    world.seed({"TipCalc.cal"});
    world.writeSettings({u"TipCalc.cal"});
    auto frame = world.open();
    UnitListView* list = frame->list();
    ASSERT_EQ(list->rowCount(), 7);
    QStringList shown;
    for (int i = 0; i < list->rowCount(); ++i) shown << list->row(i).valueLabel().text();
    EXPECT_EQ(shown, (QStringList{"50.00", "15", "2", "7.50", "57.50", "28.75", "3.75"}));
}

TEST(FileCommands, OptionsSaysWhichSettingsApplyAtOnce) {
    OptionsDialog dialog(nullptr, QStringLiteral("/tmp/"), QStringLiteral("http://example.com/"));
    QString note;
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        if (label->wordWrap()) note = label->text();
    EXPECT_NE(note.indexOf("download source, the automatic refresh and the digits apply at once"),
              -1)
        << note.toStdString();
    EXPECT_NE(note.indexOf("next started"), -1);
    EXPECT_EQ(note.indexOf("All changes"), -1);
}
