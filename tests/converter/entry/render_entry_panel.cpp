// Draws the entry panel alone, in a plain window, into a PNG file:
//   entry_panel_render OUTPUT.png SCALE KIND [TEXT]
// KIND is decimal, hex, compound or datetime; TEXT is typed into the text
// box (decimal and hex) after the panel was attached.
#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

#include "converter/entry/value_editor.h"
#include "converter/entry/value_entry_panel.h"
#include "document/item.h"
#include "engine/calendar_date.h"
#include "engine/expression_engine.h"
#include "uikit/display_scale.h"
#include "uikit/line_edit.h"
#include "uikit/resources.h"

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s OUTPUT.png SCALE decimal|hex|compound|datetime [TEXT]\n",
                     argv[0]);
        return 2;
    }
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QApplication app(argc, argv);
    pq::ui::InitUiKit();
    pq::ui::SetDisplayScale(QByteArray(argv[2]).toInt());
    const int s = pq::ui::DisplayScale();

    pq::ExpressionEngine engine;
    QWidget window;
    window.resize(240 * s, 60 * s);
    pq::conv::ValueEntryPanel panel(engine, &window);
    panel.setGeometry(0, 60 * s - pq::conv::ValueEntryPanel::panelHeight(), 240 * s,
                      pq::conv::ValueEntryPanel::panelHeight());

    pq::UnitItem item;
    const QByteArray kind(argv[3]);
    if (kind == "hex") {
        item.format.setAllowedFormats(pq::Decimal | pq::Hex | pq::Octal | pq::Binary);
        item.format.entryFormat = pq::Hex;
        item.value = 48879;
    } else if (kind == "compound") {
        item.format.setAllowedFormats(pq::Decimal | pq::Compound);
        item.format.setParts({pq::WString(u"ft"), pq::WString(u"in")}, {1, 12, 0, 0});
        item.format.entryFormat = pq::Compound;
        item.value = 5.5;
    } else if (kind == "datetime") {
        item.format.setAllowedFormats(pq::Decimal | pq::DateTime);
        item.format.entryFormat = pq::DateTime;
        item.value = pq::CalendarDate(12, 25, 2004, 10, 30, 0).day;
    } else {
        item.format.setAllowedFormats(pq::Decimal | pq::Currency);
        item.value = 1.5;
    }
    item.state = pq::ValueState::Valid;
    window.show();
    panel.attach(&item);
    if (argc > 4) {
        auto* box = panel.editor()->textBox();
        box->selectAll();
        QTest::keyClicks(box, QString::fromUtf8(argv[4]));
        panel.accept(true);
    }
    QTest::qWait(50);
    if (!window.grab().save(QString::fromUtf8(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
