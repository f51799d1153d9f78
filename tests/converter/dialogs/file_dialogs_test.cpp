#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTreeWidget>

#include "converter/dialogs/open_file_dialog.h"
#include "converter/dialogs/options_dialog.h"
#include "converter/dialogs/properties_dialog.h"
#include "document/catalogue.h"
#include "engine/expression_engine.h"
#include "tests/converter/dialogs/dialog_test_support.h"

using namespace pq;
using namespace pq::conv;
using test::deliverPosted;

namespace {

// A data folder with copies of shipped files and files made here.
class DataFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        main.resize(240, 320);
        for (const char* file : {"Length.cnv", "Weight.cnv", "TipCalc.cal"})
            ASSERT_TRUE(test::copyShipped(QString::fromUtf8(file), folder.path()));
        catalogue.setFolder(folder.path().toStdString());
    }
    void write(const char16_t* name, const char16_t* title, const char16_t* category) {
        auto document = createDocument(1);
        document->name = name;
        document->title = title;
        document->category = category;
        test::addUnit(*document, u"One");
        ASSERT_TRUE(document->save(catalogue));
    }
    void writeText(const QString& file, const QByteArray& bytes) {
        QFile text(QDir(folder.path()).filePath(file));
        ASSERT_TRUE(text.open(QIODevice::WriteOnly));
        text.write(bytes);
    }
    static QStringList lines(const OpenFileDialog& dialog) {
        QStringList texts;
        for (int row = 0; row < dialog.fileList()->topLevelItemCount(); ++row)
            texts << dialog.fileList()->topLevelItem(row)->text(0);
        return texts;
    }
    static QStringList categories(const OpenFileDialog& dialog) {
        QStringList texts;
        for (int row = 0; row < dialog.categoryList()->count(); ++row)
            texts << dialog.categoryList()->itemText(row);
        return texts;
    }
    static void chooseCategory(OpenFileDialog& dialog, const QString& text) {
        const int index = dialog.categoryList()->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        dialog.categoryList()->setCurrentIndex(index);
        emit dialog.categoryList()->activated(index);
    }
    static void selectLine(OpenFileDialog& dialog, const QString& text) {
        const auto found = dialog.fileList()->findItems(text, Qt::MatchExactly, 0);
        ASSERT_EQ(found.size(), 1) << text.toStdString();
        dialog.fileList()->setCurrentItem(found.front());
    }

    QTemporaryDir folder;
    QWidget main;
    ExpressionEngine engine;
    Catalogue catalogue{engine};
    TextReferenceList references;
};

} // namespace

TEST_F(DataFolderTest, OpenFileOffersCategoriesOnceAndFiltersExactly) {
    write(u"Roads", u"Roads", u"length");
    write(u"Rivers", u"Rivers", u"Length units");
    write(u"Lakes", u"Lakes", u"");
    write(u"Alpha", u"Alpha", u"Common");
    ASSERT_EQ(catalogue.addFile(u"Roads.cnv"), 0);
    ASSERT_EQ(catalogue.addFile(u"Length.cnv"), 1);

    OpenFileDialog dialog(&main, catalogue, references);
    dialog.show();
    EXPECT_EQ(dialog.title(), QStringLiteral("Open File"));
    EXPECT_EQ(catalogue.size(), 7u) << "the folder was scanned";
    const QStringList offered = categories(dialog);
    EXPECT_EQ(offered.front(), QStringLiteral("- All -"));
    EXPECT_EQ(offered.back(), QStringLiteral("- Other Text References -"));
    EXPECT_EQ(offered.count(QStringLiteral("length")), 1) << "the first file's spelling";
    EXPECT_FALSE(offered.contains(QStringLiteral("Length")));
    EXPECT_TRUE(offered.contains(QStringLiteral("Length units")));
    EXPECT_TRUE(offered.contains(QStringLiteral("Common")));
    EXPECT_FALSE(offered.contains(QString()));
    EXPECT_EQ(dialog.categoryList()->currentText(), QStringLiteral("length"));
    EXPECT_EQ(lines(dialog), QStringList{"Roads"}) << "only the exact category";
    EXPECT_EQ(dialog.fileList()->topLevelItem(0)->text(1), QStringLiteral("1 units"));

    chooseCategory(dialog, QStringLiteral("Common"));
    EXPECT_EQ(lines(dialog), (QStringList{"Alpha", "Length", "Weight and Mass"}))
        << "sorted by title";
    chooseCategory(dialog, QStringLiteral("- All -"));
    EXPECT_EQ(dialog.fileList()->topLevelItemCount(), 7);

    dialog.fileList()->clearSelection();
    EXPECT_TRUE(test::tapBar(dialog, ui::kOkCommand));
    QString title;
    EXPECT_EQ(test::takeMessage(dialog, &title),
              QStringLiteral("Choose a file in the list first."));
    EXPECT_EQ(title, QStringLiteral("Open File"));
    EXPECT_TRUE(dialog.isVisible());

    selectLine(dialog, QStringLiteral("Lakes"));
    EXPECT_TRUE(test::tapBar(dialog, ui::kOkCommand));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_GE(dialog.chosenIndex(), 0);
    EXPECT_EQ(catalogue.at(dialog.chosenIndex()).name, u"Lakes");
}

TEST_F(DataFolderTest, TextReferencesOpenInTheViewerAndTheDialogStays) {
    writeText(QStringLiteral("notes.htm"), "<h1>Notes</h1><p><a href=\"more.htm\">more</a></p>");
    writeText(QStringLiteral("more.htm"), "<p>More notes</p>");
    writeText(QStringLiteral("empty.htm"), "");
    OpenFileDialog dialog(&main, catalogue, references);
    dialog.show();
    chooseCategory(dialog, QStringLiteral("- Other Text References -"));
    EXPECT_EQ(references.size(), 3u);
    QStringList names = lines(dialog);
    EXPECT_EQ(names, (QStringList{"empty", "more", "notes"}));

    selectLine(dialog, QStringLiteral("empty"));
    EXPECT_TRUE(test::tapBar(dialog, ui::kOkCommand));
    EXPECT_EQ(dialog.viewer(), nullptr) << "an empty reference shows nothing";

    selectLine(dialog, QStringLiteral("notes"));
    EXPECT_TRUE(test::tapBar(dialog, ui::kOkCommand));
    ui::HtmlViewer* viewer = dialog.viewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->title(), QStringLiteral("notes"));
    EXPECT_EQ(viewer->browser()->toPlainText(), QStringLiteral("Notes\nmore"));
    viewer->browser()->setSource(QUrl(QStringLiteral("more.htm")));
    EXPECT_EQ(viewer->browser()->toPlainText(), QStringLiteral("More notes")) << "a local link";
    EXPECT_TRUE(test::tapBar(*viewer, ui::kOkCommand));
    deliverPosted();
    EXPECT_EQ(dialog.viewer(), nullptr);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.chosenIndex(), -1);
}

TEST_F(DataFolderTest, NewFileChecksEverythingBeforeItWritesAField) {
    write(u"Roads", u"Roads", u"Travel");
    ASSERT_EQ(catalogue.addFile(u"Roads.cnv"), 0);
    ASSERT_EQ(catalogue.addFile(u"Length.cnv"), 1);
    auto document = createDocument(1);
    document->setUpdatedText();
    const std::u16string updated(document->updatedText.view());
    PropertiesDialog dialog(&main, *document, catalogue);
    dialog.show();
    EXPECT_EQ(dialog.title(), QStringLiteral("New File"));
    EXPECT_FALSE(dialog.fileNameBox()->isReadOnly());
    EXPECT_EQ(dialog.updatedBox()->toPlainText(), ToQString(updated));
    QStringList offered;
    for (int row = 0; row < dialog.categoryList()->count(); ++row)
        offered << dialog.categoryList()->itemText(row);
    EXPECT_EQ(offered, (QStringList{"Common", "Travel"}));

    QString title;
    EXPECT_TRUE(test::tapBar(dialog, ui::kOkCommand));
    EXPECT_EQ(test::takeMessage(dialog, &title),
              QStringLiteral("Type a title: the file list and the window name the file by it."));
    EXPECT_EQ(title, QStringLiteral("File Properties"));
    test::typeInto(dialog.titleBox(), QStringLiteral("Length"));
    EXPECT_TRUE(test::tapBar(dialog, ui::kOkCommand));
    EXPECT_EQ(
        test::takeMessage(dialog),
        QStringLiteral("Type a category, or choose one: the Open dialog groups the files by it."));
    dialog.categoryList()->setEditText(QStringLiteral("Travel"));
    test::typeInto(dialog.fileNameBox(), QStringLiteral("../Length"));
    EXPECT_TRUE(test::tapBar(dialog, ui::kOkCommand));
    EXPECT_NE(test::takeMessage(dialog).indexOf("cannot be a file name"), -1);
    EXPECT_TRUE(document->title.empty() && document->category.empty() && document->name.empty())
        << "a refused OK writes nothing";

    // Named by its title, which an existing file has: refused with the name.
    test::typeInto(dialog.fileNameBox(), QString());
    EXPECT_TRUE(test::tapBar(dialog, ui::kOkCommand));
    EXPECT_NE(test::takeMessage(dialog).indexOf("\"Length.cnv\""), -1);
    EXPECT_TRUE(document->name.empty());
    test::typeInto(dialog.fileNameBox(), QStringLiteral("Lengths"));
    EXPECT_TRUE(test::tapBar(dialog, ui::kOkCommand));
    EXPECT_EQ(test::takeMessage(dialog), QString());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(document->title, u"Length");
    EXPECT_EQ(document->category, u"Travel");
    EXPECT_EQ(document->name, u"Lengths");
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 4) << "nothing written yet";
}

TEST_F(DataFolderTest, NewFileNamesTakenAreRefusedLongOnesCut) {
    ASSERT_EQ(catalogue.addFile(u"Length.cnv"), 0);
    write(u"Length_new", u"Other", u"Common");
    ASSERT_EQ(catalogue.addFile(u"Length_new.cnv"), 1);
    auto document = createDocument(1);
    {
        PropertiesDialog dialog(&main, *document, catalogue);
        dialog.show();
        test::typeInto(dialog.titleBox(), QStringLiteral("Lengths"));
        dialog.categoryList()->setEditText(QStringLiteral("Common"));
        // Taken in any case, by the catalogue or by the folder alone.
        for (const char* taken : {"length", "LENGTH_NEW.cnv", "weight"}) {
            test::typeInto(dialog.fileNameBox(), QString::fromUtf8(taken));
            EXPECT_TRUE(test::tapBar(dialog, ui::kOkCommand));
            EXPECT_NE(test::takeMessage(dialog).indexOf("already holds a file named"), -1) << taken;
            EXPECT_NE(dialog.result(), QDialog::Accepted);
            EXPECT_TRUE(document->name.empty()) << taken;
        }
        test::typeInto(dialog.fileNameBox(), QStringLiteral("length2"));
        EXPECT_TRUE(test::tapBar(dialog, ui::kOkCommand));
        EXPECT_EQ(document->name, u"length2");
    }
    auto calculation = createDocument(2);
    PropertiesDialog dialog(&main, *calculation, catalogue);
    dialog.show();
    test::typeInto(dialog.titleBox(), QString(80, u'T'));
    EXPECT_EQ(dialog.titleBox()->text().size(), 80);
    dialog.categoryList()->setEditText(QStringLiteral("Sums"));
    EXPECT_TRUE(test::tapBar(dialog, ui::kOkCommand));
    EXPECT_EQ(calculation->name.view(), std::u16string(63, u'T'));
    EXPECT_EQ(calculation->title.length(), 80);
}

TEST_F(DataFolderTest, PropertiesOfAFileKeepItsNameAndMayLeaveTheCategoryEmpty) {
    ASSERT_EQ(catalogue.addFile(u"Length.cnv"), 0);
    Document& length = *catalogue.current(0);
    PropertiesDialog dialog(&main, length, catalogue);
    dialog.show();
    EXPECT_EQ(dialog.title(), QStringLiteral("File Properties"));
    EXPECT_TRUE(dialog.fileNameBox()->isReadOnly());
    EXPECT_EQ(dialog.fileNameBox()->text(), QStringLiteral("Length"));
    EXPECT_EQ(dialog.categoryList()->currentText(), QStringLiteral("Common"));
    test::typeInto(dialog.titleBox(), QStringLiteral("Distances"));
    dialog.categoryList()->setEditText(QString());
    EXPECT_TRUE(test::tapBar(dialog, ui::kOkCommand));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(length.title, u"Distances");
    EXPECT_TRUE(length.category.empty());
    EXPECT_EQ(length.name, u"Length") << "never renamed";

    PropertiesDialog again(&main, length, catalogue);
    again.show();
    test::typeInto(again.titleBox(), QString());
    EXPECT_TRUE(test::tapBar(again, ui::kOkCommand));
    EXPECT_EQ(test::takeMessage(again),
              QStringLiteral("Type a title: the file list and the window name the file by it."));
    EXPECT_TRUE(test::tapBar(again, ui::kCancelCommand));
    EXPECT_EQ(length.title, u"Distances");
}

TEST_F(DataFolderTest, OptionsKeepValidSettingsAndCancelKeepsTheOldOnes) {
    const QString source = QStringLiteral("https://example.com/pqconv/convupd.txt");
    OptionsDialog dialog(&main, folder.path(), source);
    dialog.show();
    EXPECT_EQ(dialog.title(), QStringLiteral("PqConverter Settings"));
    EXPECT_EQ(dialog.folderBox()->text(), folder.path());
    EXPECT_EQ(dialog.sourceBox()->text(), source);
    EXPECT_EQ(dialog.browseButton()->text(), QStringLiteral("Browse..."));
    EXPECT_EQ(dialog.folderBox()->maxLength(), 127);
    EXPECT_EQ(dialog.sourceBox()->maxLength(), 127);

    test::typeInto(dialog.folderBox(), folder.path() + "/missing");
    EXPECT_TRUE(test::tapBar(dialog, ui::kOkCommand));
    QString title;
    EXPECT_NE(test::takeMessage(dialog, &title).indexOf("does not exist"), -1);
    EXPECT_EQ(title, QStringLiteral("PqConverter Settings"));
    EXPECT_TRUE(dialog.isVisible());
    test::typeInto(dialog.folderBox(), folder.path());
    test::typeInto(dialog.sourceBox(), QStringLiteral("example.com/updates"));
    EXPECT_TRUE(test::tapBar(dialog, ui::kOkCommand));
    EXPECT_NE(test::takeMessage(dialog).indexOf("http"), -1);
    test::typeInto(dialog.sourceBox(), QStringLiteral("http://example.org/u.txt"));
    EXPECT_TRUE(test::tapBar(dialog, ui::kOkCommand));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.updateSource(), QStringLiteral("http://example.org/u.txt"));

    OptionsDialog cancelled(&main, folder.path(), source);
    cancelled.show();
    test::typeInto(cancelled.folderBox(), QStringLiteral("/elsewhere"));
    test::typeInto(cancelled.sourceBox(), QString(200, u'x'));
    EXPECT_EQ(cancelled.updateSource().size(), 127);
    QTest::keyClick(cancelled.sourceBox(), Qt::Key_Escape);
    EXPECT_EQ(cancelled.result(), QDialog::Rejected);
}
