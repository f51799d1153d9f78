// Draws the converter's main window into a PNG file, to look at it without
// a display:
//   converter_render OUTPUT.png SCALE FILE [--compact] [--value V] [--row N]
//                    [--width W --height H] [--formats] [--about]
// FILE is a shipped data file ("Length.cnv"); --value gives the selected row
// (--row, default 0) a value and computes the others.
#include <QApplication>
#include <QDialog>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>

#include "converter/commands.h"
#include "converter/list/formats_dialog.h"
#include "converter/list/unit_list_view.h"
#include "converter/main_frame.h"
#include "document/item.h"
#include "tests/converter/converter_fixture.h"
#include "uikit/display_scale.h"
#include "uikit/resources.h"

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s OUTPUT.png SCALE FILE [--compact] [--value V] [--row N]\n",
                     argv[0]);
        return 2;
    }
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QApplication app(argc, argv);
    pq::ui::InitUiKit();
    const int scale = QByteArray(argv[2]).toInt();
    pq::ui::SetDisplayScale(scale);

    bool compact = false;
    bool formats = false;
    bool about = false;
    bool haveValue = false;
    double value = 0;
    int row = 0;
    int width = 240;
    int height = 320;
    for (int i = 4; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--compact") compact = true;
        if (arg == "--formats") formats = true;
        if (arg == "--about") about = true;
        if (arg == "--value" && i + 1 < argc) haveValue = true, value = std::atof(argv[++i]);
        if (arg == "--row" && i + 1 < argc) row = std::atoi(argv[++i]);
        if (arg == "--width" && i + 1 < argc) width = std::atoi(argv[++i]);
        if (arg == "--height" && i + 1 < argc) height = std::atoi(argv[++i]);
    }

    pq::test::ConverterWorld world;
    world.seed({QString::fromUtf8(argv[3])});
    world.writeSettings({QString::fromUtf8(argv[3]).toStdU16String()}, compact);
    auto frame = world.open();
    frame->resize(width * scale, height * scale);
    frame->show();
    QApplication::processEvents();
    pq::conv::UnitListView* list = frame->list();
    if (row < list->rowCount()) list->select(row);
    if (haveValue && list->selected() >= 0) {
        pq::Item& item = list->row(list->selected()).item();
        item.value = value;
        item.state = pq::ValueState::Valid;
        frame->onCommand(pq::conv::kCmdCalculate);
    }
    QApplication::processEvents();
    QWidget* shown = frame.get();
    std::unique_ptr<QDialog> dialog;
    if (formats && list->selected() >= 0) {
        dialog = std::make_unique<pq::conv::FormatsDialog>(
            frame.get(), list->row(list->selected()).item().format);
    } else if (about) {
        frame->onCommand(pq::conv::kCmdAbout);
        shown = frame->findChild<QDialog*>();
    }
    if (dialog) {
        dialog->show();
        shown = dialog.get();
    }
    QApplication::processEvents();
    if (!shown || !shown->grab().save(QString::fromUtf8(argv[1]))) return 1;
    return 0;
}
