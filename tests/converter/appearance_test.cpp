// Every window of the converter, painted in the light and the dark scheme
// at both display scales: each text reads on what it is drawn on with at
// least the 4.5:1 contrast that accessibility guidelines ask. Text is drawn
// without antialiasing here, so that glyph pixels show their colour.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTest>
#include <QToolTip>

#include <iostream>

#include "converter/commands.h"
#include "converter/dialogs/add_conversion_dialog.h"
#include "converter/dialogs/conversions_dialog.h"
#include "converter/dialogs/dialogs.h"
#include "converter/dialogs/open_file_dialog.h"
#include "converter/dialogs/options_dialog.h"
#include "converter/dialogs/properties_dialog.h"
#include "converter/dialogs/show_hide_dialog.h"
#include "converter/dialogs/unit_properties_dialog.h"
#include "converter/entry/compound_editor.h"
#include "converter/entry/format_tab.h"
#include "converter/entry/value_editor.h"
#include "converter/entry/value_entry_panel.h"
#include "converter/find/find_box.h"
#include "converter/find/index_runner.h"
#include "converter/find/unit_finder.h"
#include "converter/list/formats_dialog.h"
#include "converter/list/unit_list_view.h"
#include "converter/list/unit_row.h"
#include "document/catalogue.h"
#include "document/document.h"
#include "tests/converter/converter_fixture.h"
#include "tests/uikit/contrast_probe.h"
#include "tests/uikit/test_support.h"
#include "uikit/appearance.h"
#include "uikit/line_edit.h"
#include "uikit/message_box.h"

namespace pq::test {
namespace {

using namespace pq::conv;

const QStringList kFiles = {"Length.cnv", "Currency.cnv", "TimeZones.cnv", "TipCalc.cal",
                            "Temperature.cnv"};

int rowOf(UnitListView& list, std::u16string_view identifier) {
    for (int i = 0; i < list.rowCount(); ++i)
        if (list.row(i).item().identifier.view() == identifier) return i;
    return -1;
}

// The texts the main window draws itself: the file switcher, the rows in
// view and the entry panel's tabs.
std::vector<TextPlace> drawnTexts(CPqConvFrame& frame) {
    std::vector<TextPlace> places;
    AddPlace(places, frame, *frame.client(), frame.fileSwitcherButton().rect(), "file switcher");
    UnitListView& list = *frame.list();
    const int last = std::min(list.rowCount(), list.firstVisible() + list.pageRows());
    for (int i = list.firstVisible(); i < last; ++i) {
        const UnitRow& row = list.row(i);
        const std::string what = (row.selected() ? "selected row " : "row ") + std::to_string(i);
        AddPlace(places, frame, list, row.nameLabel().drawnRect(), what + " name");
        AddPlace(places, frame, list, row.valueLabel().drawnRect(), what + " value");
    }
    ValueEntryPanel& panel = *frame.panel();
    if (panel.isShown()) {
        for (int i = 0; i < panel.tabCount(); ++i)
            AddPlace(places, frame, panel, panel.tab(i).rect(), "tab " + std::to_string(i));
        if (QWidget* compound = panel.editor()->compoundEditor(); compound->isVisible())
            AddPlace(places, frame, *compound, compound->rect(), "compound value");
    }
    return places;
}

class ConverterWalk {
  public:
    explicit ConverterWalk(ContrastWalk& walk) : walk_(walk) {
        world_.seed(kFiles);
        world_.seed({"AlternativeNames.txt"});
    }

    std::unique_ptr<CPqConvFrame> open(const std::u16string& file) {
        world_.writeSettings({file});
        auto frame = world_.open();
        frame->resize(ui::Scaled(240), ui::Scaled(320));
        frame->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
        frame->activateWindow();
        deliverPosted();
        return frame;
    }

    void check(CPqConvFrame& frame, const std::string& name) {
        deliverPosted();
        walk_.check(frame, name, drawnTexts(frame));
    }

    // The main window on each file, a value typed, a bad one, the finder.
    void mainWindows() {
        {
            auto frame = open(u"Length.cnv");
            UnitListView& list = *frame->list();
            ui::LineEdit* box = frame->panel()->editor()->textBox();
            list.select(rowOf(list, u"ft"));
            box->setFocus();
            QTest::keyClicks(box, "5");
            ASSERT_TRUE(waitFor([&] { return list.row(rowOf(list, u"in")).valueLabel().text() == "60"; }));
            check(*frame, "converter Length");
            QTest::keyClicks(box, "+");
            ASSERT_TRUE(waitFor([&] { return !frame->panel()->editor()->isValid(); }));
            check(*frame, "converter value that does not read");
            list.select(rowOf(list, u"ft_in"));
            check(*frame, "converter feet and inches");

            frame->onCommand(kCmdFindUnit);
            QLineEdit* line = frame->finder()->box()->line();
            QTest::keyClicks(line, "met");
            ASSERT_TRUE(waitFor([&] { return frame->finder()->box()->list()->count() > 3; }));
            deliverPosted();
            walk_.check(*frame, "converter find box");
            QTest::keyClick(line, Qt::Key_Escape);

            checkMenu(*frame);
            QToolTip::showText(frame->mapToGlobal(QPoint(20, 20)),
                               QStringLiteral("Edit Unit Properties"), frame.get());
            deliverPosted();
            for (QWidget* tip : QApplication::topLevelWidgets())
                if (tip->inherits("QTipLabel") && tip->isVisible()) walk_.check(*tip, "tooltip");
            QToolTip::hideText();
            dialogs(*frame);
        }
        for (const auto& [file, name] : {std::pair{u"Currency.cnv", "converter Currency"},
                                         std::pair{u"TimeZones.cnv", "converter Time Zones"},
                                         std::pair{u"TipCalc.cal", "converter calculation"}}) {
            auto frame = open(file);
            UnitListView& list = *frame->list();
            list.select(1);
            ui::LineEdit* box = frame->panel()->editor()->textBox();
            if (box->isVisible()) {
                box->setFocus();
                QTest::keyClicks(box, "2");
            }
            frame->onCommand(kCmdCalculate);
            list.select(0);
            check(*frame, name);
        }
    }

    void checkMenu(CPqConvFrame& frame) {
        QMenu* edit = frame.menuBar()->actions().value(1)->menu();
        ASSERT_NE(edit, nullptr);
        edit->popup(frame.mapToGlobal(QPoint(0, 0)));
        deliverPosted();
        walk_.check(*edit, "converter Edit menu");
        edit->hide();
    }

    // The dialogs over the window, each shown as the commands show them.
    void dialogs(CPqConvFrame& frame) {
        Catalogue& catalogue = frame.catalogue();
        auto& length = dynamic_cast<ConversionDocument&>(*frame.document());
        auto shown = [this](QDialog& dialog, const std::string& name) {
            dialog.show();
            deliverPosted();
            walk_.check(dialog, name);
        };
        {
            ConversionsDialog dialog(&frame, length, world_.engine);
            dialog.list()->setCurrentRow(0);
            shown(dialog, "Conversions");
        }
        for (auto mode : {ConversionFields::Mode::Standard, ConversionFields::Mode::Advanced}) {
            AddConversionDialog dialog(&frame, length, world_.engine, mode);
            dialog.fromList()->setCurrentIndex(0);
            dialog.toList()->setCurrentIndex(1);
            shown(dialog, "Add Conversion");
        }
        {
            UnitPropertiesDialog dialog(&frame, *length.items[0], &length);
            shown(dialog, "Unit Properties");
        }
        {
            TextReferenceList references;
            OpenFileDialog dialog(&frame, catalogue, references);
            shown(dialog, "Open File");
        }
        {
            OptionsDialog dialog(&frame, world_.dataFolder, QStringLiteral("https://example.com/u"));
            shown(dialog, "Options");
        }
        {
            ShowHideDialog dialog(&frame, length);
            shown(dialog, "Show/Hide Units");
        }
        {
            PropertiesDialog dialog(&frame, length, catalogue);
            shown(dialog, "File Properties");
        }
        {
            FormatsDialog dialog(&frame, length.items[0]->format);
            shown(dialog, "Formats");
        }
        frame.onCommand(kCmdAbout);
        for (QDialog* about : frame.findChildren<QDialog*>())
            if (about->isVisible() && dynamic_cast<ui::FullScreenDialog*>(about)) {
                deliverPosted();
                walk_.check(*about, "About");
                about->close();
            }
        frame.onCommand(kCmdHelp);
        deliverPosted();
        QWidget* help = nullptr;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->isVisible() && window->windowTitle() == "PqConverter Help") help = window;
        EXPECT_NE(help, nullptr);
        if (help) {
            walk_.check(*help, "Help");
            help->close();
        }
        ui::ShowMessage(&frame, ui::MessageIcon::Error, QStringLiteral("PqConverter"),
                        QStringLiteral("The file could not be saved: the disk is full."));
        deliverPosted();
        for (QMessageBox* box : frame.findChildren<QMessageBox*>())
            if (box->isVisible()) {
                walk_.check(*box, "message box");
                box->close();
            }
        deliverPosted();
    }

    // What identifies the controls: the rows' format badges, the strip's
    // buttons, the bar's icons, check boxes and text boxes of the dialogs.
    void controls() {
        auto frame = open(u"Length.cnv");
        UnitListView& list = *frame->list();
        list.select(rowOf(list, u"ft_in"));
        deliverPosted();
        std::vector<ControlPlace> marks;
        const int last = std::min(list.rowCount(), list.firstVisible() + list.pageRows());
        for (int i = list.firstVisible(); i < last; ++i)
            AddControl(marks, *frame, list, list.row(i).formatButton().rect(),
                       "format badge " + std::to_string(i));
        ValueEntryPanel& panel = *frame->panel();
        AddControl(marks, *frame, panel, panel.acceptButton().rect(), "accept button");
        AddControl(marks, *frame, panel, panel.defaultButton().rect(), "default button");
        AddControl(marks, *frame, *frame->client(), frame->showUnitsButton().rect(),
                   "show units button");
        walk_.checkControls(*frame, "converter", marks);

        Item& unit = list.row(list.selected()).item();
        FormatsDialog formats(frame.get(), unit.format);
        formats.show();
        deliverPosted();
        walk_.checkControls(formats, "Formats");
        formats.close();
        ShowHideDialog shown(frame.get(), *frame->document());
        shown.show();
        deliverPosted();
        walk_.checkControls(shown, "Show or Hide Units");
        shown.close();
        UnitPropertiesDialog properties(frame.get(), unit, frame->document());
        properties.show();
        deliverPosted();
        walk_.checkControls(properties, "Unit Properties");
        properties.close();
    }

  private:
    ContrastWalk& walk_;
    ConverterWorld world_;
};

// A desktop's dark palette as some desktops give it: light text on dark
// grey, but a dim placeholder, a dark link and a dim tooltip.
QPalette darkDesktopPalette() {
    QPalette p = QApplication::palette();
    auto all = [&p](QPalette::ColorRole role, const QColor& colour) {
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            p.setColor(group, role, colour);
    };
    all(QPalette::Window, QColor(0x35, 0x35, 0x35));
    all(QPalette::Base, QColor(0x2d, 0x2d, 0x2d));
    all(QPalette::AlternateBase, QColor(0x34, 0x34, 0x34));
    all(QPalette::Button, QColor(0x3c, 0x3c, 0x3c));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        all(role, QColor(0xee, 0xee, 0xec));
    all(QPalette::PlaceholderText, QColor(0x75, 0x75, 0x75));
    all(QPalette::Highlight, QColor(0x21, 0x5d, 0x9c));
    all(QPalette::HighlightedText, QColor(0xff, 0xff, 0xff));
    all(QPalette::Link, QColor(0x1b, 0x6a, 0xcb));
    all(QPalette::ToolTipBase, QColor(0x50, 0x50, 0x50));
    all(QPalette::ToolTipText, QColor(0x9a, 0x9a, 0x9a));
    return p;
}

TEST(ConverterAppearance, EveryTextReadsInBothSchemesAtBothScales) {
    for (auto choice : {ui::AppearanceChoice::Light, ui::AppearanceChoice::Dark,
                        ui::AppearanceChoice::System}) {
        ui::ApplyAppearanceChoice(choice);
        // System: following a desktop with a dark palette of its own.
        const QPalette desktop = QApplication::palette();
        if (choice == ui::AppearanceChoice::System) QApplication::setPalette(darkDesktopPalette());
        ContrastWalk scheme;
        for (int scale : {1, 2}) {
            ScaleGuard guard(scale);
            ConverterWalk converter(scheme);
            converter.mainWindows();
        }
        std::cout << (choice == ui::AppearanceChoice::Dark    ? "Dark"
                      : choice == ui::AppearanceChoice::Light ? "Light"
                                                              : "The desktop's dark")
                  << " scheme, lowest contrast per window:\n"
                  << scheme.summary();
        if (choice == ui::AppearanceChoice::System) QApplication::setPalette(desktop);
    }
    ui::ApplyAppearanceChoice(ui::AppearanceChoice::System);
}

// In the dark scheme, what identifies a control stands out at least 3:1
// from what it is drawn on: an unchecked check box, a text box's edge, the
// icons of the bar and the buttons, the rows' format badges.
TEST(ConverterAppearance, ControlsStandOutInTheDarkSchemeAtBothScales) {
    ui::ApplyAppearanceChoice(ui::AppearanceChoice::Dark);
    ContrastWalk walk;
    for (int scale : {1, 2}) {
        ScaleGuard guard(scale);
        ConverterWalk converter(walk);
        converter.controls();
    }
    std::cout << "Dark scheme, lowest contrast of controls:\n" << walk.summary();
    ui::ApplyAppearanceChoice(ui::AppearanceChoice::System);
}

// Following the desktop, the open window turns dark and light again with
// it: the list's background, its rows and the value box.
TEST(ConverterAppearance, SystemFollowsTheDesktopWhileTheWindowIsOpen) {
    ui::ApplyAppearanceChoice(ui::AppearanceChoice::System);
    ConverterWorld world;
    auto frame = world.openShowing(QStringLiteral("Length.cnv"));
    ASSERT_TRUE(frame);
    UnitListView& list = *frame->list();
    list.select(1);
    deliverPosted();
    const QPoint inList(list.width() / 2, list.rowHeight() * 3 + 4);
    auto listLightness = [&] { return list.grab().toImage().pixelColor(inList).lightness(); };
    auto boxBase = [&] {
        return frame->panel()->editor()->textBox()->palette().color(QPalette::Base).lightness();
    };
    EXPECT_GT(listLightness(), 200);
    EXPECT_GT(boxBase(), 200);

    const QPalette desktop = QApplication::palette();
    QApplication::setPalette(ui::SchemePalette(ui::Scheme::Dark, desktop));
    deliverPosted();
    EXPECT_EQ(ui::ActiveScheme(), ui::Scheme::Dark);
    EXPECT_LT(listLightness(), 80);
    EXPECT_LT(boxBase(), 80);
    EXPECT_EQ(list.row(2).nameLabel().colour(), ui::Colours().ink);

    QApplication::setPalette(desktop);
    deliverPosted();
    EXPECT_EQ(ui::ActiveScheme(), ui::Scheme::Light);
    EXPECT_GT(listLightness(), 200);
    EXPECT_GT(boxBase(), 200);
}

} // namespace
} // namespace pq::test
