// Every dialog laid out at both display scales: no control reaches outside
// the dialog or under the title strip, none covers another, and texts get
// the room they ask for. With PQ_DIALOG_PICTURES set to a folder, the
// dialogs are also saved there as pictures to look at.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>

#include <functional>

#include "converter/dialogs/add_conversion_dialog.h"
#include "converter/dialogs/conversions_dialog.h"
#include "converter/dialogs/dialogs.h"
#include "converter/dialogs/open_file_dialog.h"
#include "converter/dialogs/options_dialog.h"
#include "converter/dialogs/properties_dialog.h"
#include "converter/dialogs/show_hide_dialog.h"
#include "converter/dialogs/unit_properties_dialog.h"
#include "document/catalogue.h"
#include "engine/expression_engine.h"
#include "tests/converter/dialogs/dialog_test_support.h"

using namespace pq;
using namespace pq::conv;
using test::deliverPosted;

namespace {

bool isControl(const QWidget* w) {
    return qobject_cast<const QLabel*>(w) || qobject_cast<const QLineEdit*>(w) ||
           qobject_cast<const QComboBox*>(w) || qobject_cast<const QPushButton*>(w) ||
           qobject_cast<const QAbstractItemView*>(w) || qobject_cast<const QPlainTextEdit*>(w);
}

// The visible controls that are not parts of other controls.
std::vector<QWidget*> controlsOf(QDialog& dialog) {
    std::vector<QWidget*> controls;
    for (QWidget* w : dialog.findChildren<QWidget*>()) {
        if (!w->isVisibleTo(&dialog) || !isControl(w) || w->window() != &dialog) continue;
        bool part = false;
        for (QWidget* up = w->parentWidget(); up && up != &dialog; up = up->parentWidget())
            part = part || isControl(up);
        if (!part) controls.push_back(w);
    }
    return controls;
}

void checkLayout(QDialog& dialog, const std::string& name) {
    const int s = ui::DisplayScale();
    const QRect inside = dialog.rect();
    EXPECT_TRUE(dialog.screen()->availableGeometry().contains(dialog.frameGeometry()))
        << name << " lies on the screen";
    const std::vector<QWidget*> controls = controlsOf(dialog);
    EXPECT_GE(controls.size(), 2u) << name;
    for (QWidget* w : controls) {
        const QRect r(w->mapTo(&dialog, QPoint(0, 0)), w->size());
        const std::string what = name + ": " + w->metaObject()->className() + " " +
                                 w->objectName().toStdString() + " \"" +
                                 w->property("text").toString().toStdString() + "\"";
        EXPECT_TRUE(inside.contains(r)) << what;
        EXPECT_GE(r.top(), 24 * s) << what << " is under the title strip";
        if (auto* label = qobject_cast<QLabel*>(w); label && !label->wordWrap()) {
            EXPECT_GE(r.width(), label->sizeHint().width()) << what << " is cut";
        }
        if (auto* button = qobject_cast<QPushButton*>(w)) {
            const int text = button->fontMetrics().horizontalAdvance(button->text().trimmed());
            EXPECT_GE(r.width(), text + 8 * s) << what << " is cut";
        }
        for (QWidget* other : controls) {
            if (other == w) continue;
            const QRect o(other->mapTo(&dialog, QPoint(0, 0)), other->size());
            EXPECT_FALSE(r.intersects(o))
                << what << " overlaps " << other->metaObject()->className() << " \""
                << other->property("text").toString().toStdString() << "\"";
        }
    }
}

void picture(QDialog& dialog, const std::string& name) {
    dialog.show();
    deliverPosted();
    checkLayout(dialog, name + " at scale " + std::to_string(ui::DisplayScale()));
    const QByteArray folder = qgetenv("PQ_DIALOG_PICTURES");
    if (folder.isEmpty()) return;
    dialog.grab().save(QStringLiteral("%1/%2-%3.png")
                           .arg(QString::fromLocal8Bit(folder), QString::fromStdString(name))
                           .arg(ui::DisplayScale()));
}

} // namespace

TEST(DialogPictures, EveryDialogFitsAtBothScales) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    for (const char* file : {"Length.cnv", "Weight.cnv", "Temperature.cnv", "TipCalc.cal"})
        ASSERT_TRUE(test::copyShipped(QString::fromUtf8(file), folder.path()));
    for (int scale : {1, 2}) {
        test::ScaleGuard guard(scale);
        QWidget main;
        main.resize(240 * scale, 320 * scale);
        ExpressionEngine engine;
        Catalogue catalogue(engine);
        catalogue.setFolder(folder.path().toStdString());
        catalogue.addFile(u"Temperature.cnv");
        auto& temperature = dynamic_cast<ConversionDocument&>(*catalogue.current(0));
        TextReferenceList references;

        {
            ConversionsDialog dialog(&main, temperature, engine);
            picture(dialog, "conversions-empty");
            dialog.list()->setCurrentRow(0);
            picture(dialog, "conversions-selected");
            for (int row = 0; row < dialog.list()->count(); ++row) {
                dialog.list()->setCurrentRow(row);
                if (dialog.fields()->mode() == ConversionFields::Mode::Advanced) break;
            }
            picture(dialog, "conversions-formula");
        }
        for (auto mode : {ConversionFields::Mode::Standard, ConversionFields::Mode::Advanced}) {
            AddConversionDialog dialog(&main, temperature, engine, mode);
            dialog.fromList()->setCurrentIndex(0);
            dialog.toList()->setCurrentIndex(1);
            picture(dialog,
                    mode == ConversionFields::Mode::Standard ? "add-standard" : "add-advanced");
        }
        {
            UnitPropertiesDialog dialog(&main, *temperature.items[0], &temperature);
            picture(dialog, "unit-properties");
            auto item = createItem(2);
            UnitPropertiesDialog calc(&main, *item);
            picture(calc, "new-calculation-item");
        }
        {
            OpenFileDialog dialog(&main, catalogue, references);
            picture(dialog, "open-file");
        }
        {
            OptionsDialog dialog(&main, folder.path(),
                                 QStringLiteral("https://example.com/pqconv/convupd.txt"));
            picture(dialog, "options");
        }
        {
            ShowHideDialog dialog(&main, temperature);
            picture(dialog, "show-hide");
        }
        {
            PropertiesDialog dialog(&main, temperature, catalogue);
            picture(dialog, "file-properties");
            auto fresh = createDocument(1);
            fresh->setUpdatedText();
            PropertiesDialog newFile(&main, *fresh, catalogue);
            picture(newFile, "new-file");
        }
    }
}

// The entry points run their dialogs modally; these act on the open dialog.
TEST(DialogEntryPoints, ReturnWhatTheUserChose) {
    QWidget main;
    main.resize(240, 320);
    const auto onDialog = [](std::function<void(QDialog&)> act) {
        QTimer::singleShot(0, [act] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            act(*dialog);
        });
    };

    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QString dataFolder = folder.path();
    QString source = QStringLiteral("http://example.com/pqconv/convupd.txt");
    onDialog([](QDialog& dialog) {
        auto& options = dynamic_cast<OptionsDialog&>(dialog);
        options.folderBox()->setText(QStringLiteral("/nowhere"));
        options.sourceBox()->setText(QStringLiteral("http://example.org/"));
        ui::TriggerMenuBarItem(dialog, ui::kCancelCommand);
    });
    EXPECT_FALSE(ShowOptionsDialog(&main, dataFolder, source));
    EXPECT_EQ(dataFolder, folder.path()) << "Cancel changes nothing";
    EXPECT_EQ(source, QStringLiteral("http://example.com/pqconv/convupd.txt"));
    onDialog([](QDialog& dialog) {
        dynamic_cast<OptionsDialog&>(dialog).sourceBox()->setText(
            QStringLiteral("https://example.org/u"));
        ui::TriggerMenuBarItem(dialog, ui::kOkCommand);
    });
    EXPECT_TRUE(ShowOptionsDialog(&main, dataFolder, source));
    EXPECT_EQ(source, QStringLiteral("https://example.org/u"));

    ASSERT_TRUE(test::copyShipped(QStringLiteral("Length.cnv"), folder.path()));
    ASSERT_TRUE(test::copyShipped(QStringLiteral("Weight.cnv"), folder.path()));
    ExpressionEngine engine;
    Catalogue catalogue(engine);
    catalogue.setFolder(folder.path().toStdString());
    TextReferenceList references;
    onDialog([](QDialog& dialog) { ui::TriggerMenuBarItem(dialog, ui::kCancelCommand); });
    EXPECT_EQ(ShowOpenFileDialog(&main, catalogue, references), -1);
    onDialog([](QDialog& dialog) {
        auto& open = dynamic_cast<OpenFileDialog&>(dialog);
        const auto found =
            open.fileList()->findItems(QStringLiteral("Weight and Mass"), Qt::MatchExactly, 0);
        ASSERT_EQ(found.size(), 1);
        open.fileList()->setCurrentItem(found.front());
        ui::TriggerMenuBarItem(dialog, ui::kOkCommand);
    });
    const int chosen = ShowOpenFileDialog(&main, catalogue, references);
    ASSERT_GE(chosen, 0);
    EXPECT_EQ(catalogue.at(chosen).name, u"Weight");

    Document& length = *catalogue.find(u"Length.cnv", true);
    onDialog([](QDialog& dialog) {
        auto& hide = dynamic_cast<ShowHideDialog&>(dialog);
        for (int row = 0; row < hide.list()->count(); ++row) {
            if (hide.list()->item(row)->checkState() != Qt::Checked) continue;
            hide.list()->item(row)->setCheckState(Qt::Unchecked);
            break;
        }
        ui::TriggerMenuBarItem(dialog, ui::kOkCommand);
    });
    const size_t shownBefore = std::count_if(length.items.begin(), length.items.end(),
                                             [](const auto& item) { return item->shown != 0; });
    EXPECT_TRUE(ShowShowHideDialog(&main, length));
    const size_t shownAfter = std::count_if(length.items.begin(), length.items.end(),
                                            [](const auto& item) { return item->shown != 0; });
    EXPECT_EQ(shownAfter + 1, shownBefore);
}
