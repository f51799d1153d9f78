#include <QApplication>

#include "calculator/main_frame.h"
#include "engine/expression_engine.h"
#include "uikit/font_warm_up.h"
#include "uikit/hand_over.h"
#include "uikit/resources.h"
#include "uikit/single_instance.h"
#include "uikit/termination.h"

int main(int argc, char** argv) {
    QApplication::setOrganizationName(QStringLiteral("Quorvane"));
    QApplication::setApplicationName(QStringLiteral("PqCalculator"));
    pq::ui::WarmUpFonts();
    QApplication app(argc, argv);
    // One calculator per user and display: a second start brings the first
    // forward instead, so that two never write the same functions file.
    const pq::ui::InstanceClaim instance(pq::ui::LocalServerName(pq::ui::Program::Calculator));
    if (instance.anotherRuns()) {
        instance.raiseOther();
        return 0;
    }
    pq::ui::InitUiKit();
    QApplication::setWindowIcon(pq::ui::LoadIcon(QStringLiteral("calculator")));
    QApplication::setDesktopFileName(QStringLiteral("com.quorvane.PqCalculator"));
    pq::ui::CloseWindowsOnTermination();

    pq::ExpressionEngine engine;
    pq::calc::CMainFrame frame(engine, pq::calc::FrameOptions::standard());
    frame.show();
    return app.exec();
}
