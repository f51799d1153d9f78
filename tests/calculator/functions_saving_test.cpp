// The user's functions reach their file however "My Functions" is closed,
// and a save that fails is told and asked about before the program ends.
#include <gtest/gtest.h>

#include <QDir>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

#include "calculator/commands.h"
#include "calculator/macro_editor_dialog.h"
#include "calculator/main_frame.h"
#include "calculator/my_functions_dialog.h"
#include "engine/expression_engine.h"
#include "tests/uikit/test_support.h"
#include "uikit/command_event.h"
#include "uikit/message_box.h"

using namespace pq::calc;
using pq::test::deliverPosted;

namespace {

struct Calculator {
    explicit Calculator(const FrameOptions& options)
        : frame(std::make_unique<CMainFrame>(engine, options)) {
        frame->show();
    }
    void post(QObject* target, unsigned id) {
        QCoreApplication::postEvent(target, new pq::ui::CommandEvent(id));
        deliverPosted();
    }
    // Opens "My Functions" and adds a function through its editor.
    MyFunctionsDialog* addFunction(const QString& declaration) {
        post(frame.get(), kCmdEditFunctions);
        auto* dialog = frame->findChild<MyFunctionsDialog*>();
        if (!dialog) return nullptr;
        post(dialog, MyFunctionsDialog::kCmdAdd);
        MacroEditorDialog* editor = dialog->editor();
        if (!editor) return nullptr;
        editor->nameEdit()->setText(QStringLiteral("Tools\\") + declaration);
        editor->declarationEdit()->setText(declaration);
        editor->accept();
        deliverPosted();
        return dialog;
    }

    pq::ExpressionEngine engine;
    std::unique_ptr<CMainFrame> frame;
};

FrameOptions optionsIn(const QTemporaryDir& folder, const QString& file) {
    QSettings(QStringLiteral("Quorvane"), QStringLiteral("PqCalculator")).clear();
    FrameOptions options;
    options.functionsFile = folder.filePath(file);
    options.helpFile = folder.filePath(QStringLiteral("PqCalculator.htm"));
    return options;
}

} // namespace

TEST(FunctionsSavingTest, TheFunctionsAreKeptHoweverMyFunctionsIsClosed) {
    const std::pair<const char*, std::function<void(MyFunctionsDialog&)>> closings[] = {
        {"Done", [](MyFunctionsDialog& dialog) { dialog.accept(); }},
        {"Escape", [](MyFunctionsDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); }},
        {"the window's close button", [](MyFunctionsDialog& dialog) { dialog.close(); }},
    };
    for (const auto& [how, close] : closings) {
        SCOPED_TRACE(how);
        QTemporaryDir folder;
        const FrameOptions options = optionsIn(folder, QStringLiteral("PqCalculator.dat"));
        {
            Calculator calculator(options);
            MyFunctionsDialog* dialog = calculator.addFunction(QStringLiteral("twice(x)"));
            ASSERT_NE(dialog, nullptr);
            close(*dialog);
            deliverPosted();
            EXPECT_EQ(calculator.frame->findChild<MyFunctionsDialog*>(), nullptr);
        }
        Calculator restarted(options);
        ASSERT_EQ(restarted.frame->userFunctions().size(), 1u);
        EXPECT_EQ(restarted.frame->userFunctions()[0].declaration, u"twice(x)");
    }
}

TEST(FunctionsSavingTest, AFailedSaveIsToldAndAskedAboutBeforeQuitting) {
    QTemporaryDir folder;
    // The folder of the functions file does not exist yet: every save fails.
    const FrameOptions options = optionsIn(folder, QStringLiteral("later/PqCalculator.dat"));
    std::vector<pq::ui::MessageRequest> seen;
    pq::ui::SetMessageResponder([&](const pq::ui::MessageRequest& request) {
        seen.push_back(request);
        // Asked before quitting: the folder is made, and the user tries again.
        if (!request.choices.isEmpty()) QDir(folder.path()).mkdir(QStringLiteral("later"));
        return true;
    });
    {
        Calculator calculator(options);
        MyFunctionsDialog* dialog = calculator.addFunction(QStringLiteral("twice(x)"));
        ASSERT_NE(dialog, nullptr);
        dialog->close();
        deliverPosted();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].icon, pq::ui::MessageIcon::Error);
        EXPECT_TRUE(seen[0].text.startsWith(QStringLiteral("Could not save your functions to")))
            << seen[0].text.toStdString();
        EXPECT_EQ(calculator.frame->userFunctions().size(), 1u) << "kept in the program";

        EXPECT_TRUE(calculator.frame->close());
        ASSERT_EQ(seen.size(), 2u);
        EXPECT_EQ(seen[1].choices, (QStringList{"Try Again", "Quit Without Saving", "Cancel"}));
    }
    pq::ui::SetMessageResponder({});
    Calculator restarted(options);
    EXPECT_EQ(restarted.frame->userFunctions().size(), 1u);
}
