// PqConverter: the unit converter.
#include <QApplication>

#include "converter/main_frame.h"
#include "engine/expression_engine.h"
#include "uikit/resources.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quorvane"));
    QApplication::setApplicationName(QStringLiteral("PqConverter"));
    pq::ui::InitUiKit();
    QApplication::setWindowIcon(pq::ui::LoadIcon(QStringLiteral("converter")));

    pq::ExpressionEngine engine;
    pq::conv::CPqConvFrame frame(engine, pq::conv::ConverterOptions::standard());
    frame.show();
    return app.exec();
}
