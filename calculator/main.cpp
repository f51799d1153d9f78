#include <QApplication>

#include "calculator/main_frame.h"
#include "engine/expression_engine.h"
#include "uikit/resources.h"
#include "uikit/termination.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quorvane"));
    QApplication::setApplicationName(QStringLiteral("PqCalculator"));
    pq::ui::InitUiKit();
    QApplication::setWindowIcon(pq::ui::LoadIcon(QStringLiteral("calculator")));
    QApplication::setDesktopFileName(QStringLiteral("com.quorvane.PqCalculator"));
    pq::ui::CloseWindowsOnTermination();

    pq::ExpressionEngine engine;
    pq::calc::CMainFrame frame(engine, pq::calc::FrameOptions::standard());
    frame.show();
    return app.exec();
}
