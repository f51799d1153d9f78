// Every window of the calculator, painted in the light and the dark scheme
// at both display scales: each text reads on what it is drawn on with at
// least the 4.5:1 contrast that accessibility guidelines ask. Text is drawn
// without antialiasing here, so that glyph pixels show their colour.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDockWidget>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSettings>
#include <QTest>
#include <QToolTip>

#include <iostream>

#include "calculator/commands.h"
#include "calculator/expression_edit.h"
#include "calculator/formula_status.h"
#include "calculator/keypad.h"
#include "calculator/macro_editor_dialog.h"
#include "calculator/main_frame.h"
#include "calculator/my_functions_dialog.h"
#include "calculator/scientific_view.h"
#include "calculator/standard_calculator.h"
#include "engine/expression_engine.h"
#include "tests/uikit/contrast_probe.h"
#include "tests/uikit/test_support.h"
#include "uikit/appearance.h"
#include "uikit/command_event.h"

namespace pq::test {
namespace {

using namespace pq::calc;

void post(QObject* target, unsigned id) {
    QCoreApplication::postEvent(target, new ui::CommandEvent(id));
    deliverPosted();
}

// The texts the window draws itself: the keys of the keypads in view, the
// displays and the status line under the expression.
std::vector<TextPlace> drawnTexts(CMainFrame& frame) {
    std::vector<TextPlace> places;
    for (KeyPad* keypad : {frame.standardKeypad(), frame.scientific()->functionKeypad(),
                           frame.scientific()->characterKeypad()}) {
        if (!keypad->isVisible()) continue;
        for (int cell = 0; cell < keypad->cellCount(); ++cell)
            if (!keypad->label(cell).trimmed().isEmpty())
                AddPlace(places, frame, *keypad, keypad->grid().cellRect(cell),
                         "key \"" + keypad->label(cell).toStdString() + "\"");
    }
    AddPlace(places, frame, *frame.client(), frame.mainDisplay().button().rect(), "display");
    if (frame.viewMode() == ViewMode::Standard && frame.functionResult().hasText())
        AddPlace(places, frame, *frame.client(), frame.functionResult().button().rect(),
                 "function result");
    if (FormulaStatus* status = frame.scientific()->status();
        status->isVisible() && !status->text().isEmpty())
        AddPlace(places, frame, *status, status->rect(),
                 "status \"" + status->text().toStdString() + "\"");
    return places;
}

class CalculatorWalk {
  public:
    explicit CalculatorWalk(ContrastWalk& walk) : walk_(walk) {
        QSettings(QStringLiteral("Quorvane"), QStringLiteral("PqCalculator")).clear();
        FrameOptions options;
        options.helpFile = QStringLiteral(PQ_PROGRAM_DIR "/PqCalculator.htm");
        frame_ = std::make_unique<CMainFrame>(engine_, options);
        frame_->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(frame_.get()));
        frame_->activateWindow();
        deliverPosted();
    }

    void check(const std::string& name) {
        deliverPosted();
        walk_.check(*frame_, name, drawnTexts(*frame_));
    }

    void key(QChar c) {
        const auto cell = StandardCalculator::kKeyCharacters.find(c.unicode());
        ASSERT_NE(cell, std::u16string_view::npos) << c.toLatin1();
        post(frame_.get(), kCmdStandardKeyFirst + static_cast<unsigned>(cell));
    }

    void standardView() {
        for (QChar c : QStringLiteral("12+7=a")) key(c);
        check("calculator standard");

        KeyPad* keypad = frame_->standardKeypad();
        const QPoint centre = keypad->grid().cellRect(10).center();
        QTest::mousePress(keypad, Qt::LeftButton, {}, centre);
        ASSERT_TRUE(waitFor([this] {
            auto* name = frame_->findChild<QWidget*>(QStringLiteral("keyName"));
            return name && name->isVisible();
        }));
        check("calculator held key");
        QTest::mouseRelease(keypad, Qt::LeftButton, {}, centre);

        frame_->historyDock()->toggleViewAction()->trigger();
        check("calculator history");
        frame_->historyDock()->toggleViewAction()->trigger();
    }

    void scientificView() {
        post(frame_.get(), kCmdScientificView);
        ExpressionEdit* edit = frame_->scientific()->edit();
        FormulaStatus* status = frame_->scientific()->status();
        edit->setFocus();
        QTest::keyClicks(edit, "2*3");
        ASSERT_TRUE(waitFor([status] { return !status->text().isEmpty(); }));
        check("calculator scientific, live value");
        QTest::keyClicks(edit, "+)");
        post(frame_.get(), kCmdEvaluate);
        ASSERT_TRUE(waitFor([status] { return !status->text().isEmpty(); }));
        check("calculator scientific, error");

        QMenu* tools = frame_->menuBar()->actions().value(0)->menu();
        ASSERT_NE(tools, nullptr);
        tools->popup(frame_->mapToGlobal(QPoint(0, 0)));
        deliverPosted();
        walk_.check(*tools, "calculator Tools menu");
        tools->hide();

        QToolTip::showText(frame_->mapToGlobal(QPoint(20, 20)), QStringLiteral("Copy (Ctrl+C)"),
                           frame_.get());
        deliverPosted();
        for (QWidget* tip : QApplication::topLevelWidgets())
            if (tip->inherits("QTipLabel") && tip->isVisible()) walk_.check(*tip, "tooltip");
        QToolTip::hideText();
    }

    void dialogs() {
        post(frame_.get(), kCmdEditFunctions);
        MyFunctionsDialog* functions = nullptr;
        for (QDialog* dialog : frame_->findChildren<QDialog*>())
            if (auto* found = dynamic_cast<MyFunctionsDialog*>(dialog)) functions = found;
        ASSERT_NE(functions, nullptr);
        deliverPosted();
        walk_.check(*functions, "My Functions");
        post(functions, MyFunctionsDialog::kCmdAdd);
        MacroEditorDialog* editor = functions->editor();
        ASSERT_NE(editor, nullptr);
        walk_.check(*editor, "Function editor");
        editor->nameEdit()->clear();
        editor->accept();
        deliverPosted();
        if (auto* box = editor->findChild<QMessageBox*>(); box && box->isVisible()) {
            walk_.check(*box, "message box");
            box->close();
        }
        editor->reject();
        functions->reject();
        deliverPosted();

        post(frame_.get(), kCmdAbout);
        for (QDialog* about : frame_->findChildren<QDialog*>())
            if (about->isVisible()) {
                walk_.check(*about, "About");
                about->close();
            }
        post(frame_.get(), kCmdHelp);
        QWidget* help = nullptr;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->isVisible() && window->windowTitle().contains("Help")) help = window;
        EXPECT_NE(help, nullptr);
        if (help) {
            walk_.check(*help, "Help");
            help->close();
        }
        deliverPosted();
    }

    // What identifies the controls: the bar's icons, the search box, the
    // text boxes of the function editor.
    void controls() {
        post(frame_.get(), kCmdScientificView);
        post(frame_.get(), kCmdSearchHistory);
        walk_.checkControls(*frame_, "calculator");
        post(frame_.get(), kCmdEditFunctions);
        MyFunctionsDialog* functions = nullptr;
        for (QDialog* dialog : frame_->findChildren<QDialog*>())
            if (auto* found = dynamic_cast<MyFunctionsDialog*>(dialog)) functions = found;
        ASSERT_NE(functions, nullptr);
        post(functions, MyFunctionsDialog::kCmdAdd);
        ASSERT_NE(functions->editor(), nullptr);
        walk_.checkControls(*functions->editor(), "Function editor");
        functions->editor()->reject();
        functions->reject();
        deliverPosted();
    }

  private:
    ContrastWalk& walk_;
    ExpressionEngine engine_;
    std::unique_ptr<CMainFrame> frame_;
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
    all(QPalette::Button, QColor(0x3c, 0x3c, 0x3c));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        all(role, QColor(0xee, 0xee, 0xec));
    all(QPalette::PlaceholderText, QColor(0x75, 0x75, 0x75));
    all(QPalette::Highlight, QColor(0x21, 0x5d, 0x9c));
    all(QPalette::HighlightedText, QColor(0xff, 0xff, 0xff));
    all(QPalette::ToolTipBase, QColor(0x50, 0x50, 0x50));
    all(QPalette::ToolTipText, QColor(0x9a, 0x9a, 0x9a));
    return p;
}

TEST(CalculatorAppearance, EveryTextReadsInBothSchemesAtBothScales) {
    for (auto choice : {ui::AppearanceChoice::Light, ui::AppearanceChoice::Dark,
                        ui::AppearanceChoice::System}) {
        ui::ApplyAppearanceChoice(choice);
        // System: following a desktop with a dark palette of its own.
        const QPalette desktop = QApplication::palette();
        if (choice == ui::AppearanceChoice::System) QApplication::setPalette(darkDesktopPalette());
        ContrastWalk scheme;
        for (int scale : {1, 2}) {
            ScaleGuard guard(scale);
            CalculatorWalk calculator(scheme);
            calculator.standardView();
            calculator.scientificView();
            calculator.dialogs();
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
// from what it is drawn on: the icons of the bar, the text boxes' edges.
TEST(CalculatorAppearance, ControlsStandOutInTheDarkSchemeAtBothScales) {
    ui::ApplyAppearanceChoice(ui::AppearanceChoice::Dark);
    ContrastWalk walk;
    for (int scale : {1, 2}) {
        ScaleGuard guard(scale);
        CalculatorWalk calculator(walk);
        calculator.controls();
    }
    std::cout << "Dark scheme, lowest contrast of controls:\n" << walk.summary();
    ui::ApplyAppearanceChoice(ui::AppearanceChoice::System);
}

} // namespace
} // namespace pq::test
