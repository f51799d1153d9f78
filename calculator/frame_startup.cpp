// The main window's start-up: what the first frame shows is made at once,
// the rest once that frame is on the screen or when first needed.
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>

#include "calculator/main_frame.h"
#include "calculator/scientific_view.h"
#include "engine/expression_engine.h"
#include "uikit/app_paths.h"
#include "uikit/display_scale.h"
#include "uikit/first_paint.h"
#include "uikit/hand_over.h"
#include "uikit/resources.h"

namespace pq::calc {

FrameOptions FrameOptions::standard() {
    FrameOptions options;
    options.handOverServer = ui::LocalServerName(ui::Program::Calculator);
    options.converterServer = ui::LocalServerName(ui::Program::Converter);
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/");
    options.converterProgram = folder + ui::ProgramName(ui::Program::Converter);
    // The functions file is the user's (beside the program, or in the per-user
    // folder once installed); the help document ships with the program.
    options.functionsFile = ui::UserFilePath(QStringLiteral("PqCalculator.dat"));
    options.helpFile = ui::ShippedFolder() + QStringLiteral("PqCalculator.htm");
    options.historyFile = ui::UserFilePath(QStringLiteral("PqCalculator-history.json"));
    options.deferredStart = true;
    return options;
}

CMainFrame::CMainFrame(ExpressionEngine& engine, const FrameOptions& options, QWidget* parent)
    : QMainWindow(parent), engine_(engine), options_(options),
      settings_(CalculatorSettings::read()),
      layout_(FrameLayout::clientSize(ui::DisplayScale()).width(), ui::DisplayScale()) {
    setWindowTitle(QStringLiteral("PqCalculator"));
    setWindowIcon(ui::LoadIcon(QStringLiteral("calculator")));

    // The memories of the scientific view live in the engine as m1 to m4.
    for (const char16_t* name : {u"m1", u"m2", u"m3", u"m4"}) {
        int parameters = 0;
        engine_.setFunction(name, u"0", parameters);
    }

    createActions();
    createClient();
    adjustSize();
    loadFunctions();
    scientific_->restore(options_.historyFile);
    createHistoryPanel();
    if (auto* modes = findChild<QMenu*>(QStringLiteral("modesMenu"))) createNumberMenus(modes);
    switchView(settings_.currentView);
    restoreGeometry(settings_.geometry);

    // The converter's values can wait until the window is on the screen: a
    // converter that started this program asks until it answers.
    if (options_.deferredStart)
        ui::AfterFirstPaint(this, [this] { listen(); });
    else
        listen();
}

void CMainFrame::listen() {
    if (options_.handOverServer.isEmpty() || handOver_) return;
    handOver_ = new ui::HandOverServer(
        [this](const ui::HandOverMessage& message) {
            ui::ActOnHandOver(
                message, [this] { bringToFront(); }, [this](double value) { takeValue(value); });
        },
        this);
    if (!handOver_->listen(options_.handOverServer))
        qWarning("Another PqCalculator receives the values handed over by PqConverter.");
}

} // namespace pq::calc
