// PqConverter: the unit converter.
#include <QApplication>

#include "converter/main_frame.h"
#include "engine/expression_engine.h"
#include "uikit/app_paths.h"
#include "uikit/font_warm_up.h"
#include "uikit/hand_over.h"
#include "uikit/message_box.h"
#include "uikit/resources.h"
#include "uikit/single_instance.h"
#include "uikit/termination.h"

int main(int argc, char** argv) {
    QApplication::setOrganizationName(QStringLiteral("Quorvane"));
    QApplication::setApplicationName(QStringLiteral("PqConverter"));
    pq::ui::WarmUpFonts();
    QApplication app(argc, argv);
    // One converter per user and display: a second start brings the first
    // forward instead, so that two never write the same files.
    const pq::ui::InstanceClaim instance(pq::ui::LocalServerName(pq::ui::Program::Converter));
    if (instance.anotherRuns()) {
        instance.raiseOther();
        return 0;
    }
    pq::ui::InitUiKit();
    QApplication::setWindowIcon(pq::ui::LoadIcon(QStringLiteral("converter")));
    QApplication::setDesktopFileName(QStringLiteral("com.quorvane.PqConverter"));
    pq::ui::CloseWindowsOnTermination();
    // Installed, this user's data folder is filled with the shipped files.
    const QString dataProblem = pq::ui::PrepareDefaultDataFolder();

    pq::ExpressionEngine engine;
    pq::conv::CPqConvFrame frame(engine, pq::conv::ConverterOptions::standard());
    frame.show();
    if (!dataProblem.isEmpty())
        pq::ui::ShowMessage(&frame, pq::ui::MessageIcon::Warning, QStringLiteral("PqConverter"),
                            dataProblem);
    return app.exec();
}
