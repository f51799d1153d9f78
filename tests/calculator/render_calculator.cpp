// Draws the calculator's main window into a PNG file, to look at it without
// a display:
//   calculator_render OUTPUT.png SCALE [--keys KEYS] [--hold CELL]
//                     [--scientific] [--about] [--size WxH] [--type TEXT] [--functions] [--editor]
// KEYS are standard key characters ("xs%</r789*a456-e123+c0.~="), typed
// first; --hold keeps a key pressed until its long name shows; --about draws
// the About box instead of the window, --functions the My Functions dialog,
// --editor its editor of a new function; --size resizes the window; --type
// types TEXT into the expression line.
#include <QApplication>
#include <QDialog>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

#include "calculator/commands.h"
#include "calculator/keypad.h"
#include "calculator/macro_editor_dialog.h"
#include "calculator/main_frame.h"
#include "calculator/my_functions_dialog.h"
#include "calculator/standard_calculator.h"
#include "engine/expression_engine.h"
#include "uikit/command_event.h"
#include "uikit/display_scale.h"
#include "uikit/resources.h"

namespace {

void post(QObject* frame, unsigned id) {
    QCoreApplication::postEvent(frame, new pq::ui::CommandEvent(id));
    QApplication::processEvents();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: %s OUTPUT.png SCALE [--keys KEYS] [--hold CELL] [--scientific] "
                     "[--about] [--size WxH] [--type TEXT] [--functions] [--editor]\n",
                     argv[0]);
        return 2;
    }
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QApplication app(argc, argv);
    pq::ui::InitUiKit();
    pq::ui::SetDisplayScale(QByteArray(argv[2]).toInt());

    pq::ExpressionEngine engine;
    pq::calc::CMainFrame frame(engine, pq::calc::FrameOptions{});
    frame.show();
    QApplication::processEvents();

    QWidget* target = &frame;
    for (int i = 3; i < argc; ++i) {
        const QByteArray option(argv[i]);
        if (option == "--keys" && i + 1 < argc) {
            for (QChar c : QString::fromUtf8(argv[++i])) {
                const auto cell = pq::calc::StandardCalculator::kKeyCharacters.find(c.unicode());
                if (cell != std::u16string_view::npos)
                    post(&frame, pq::calc::kCmdStandardKeyFirst + static_cast<unsigned>(cell));
            }
        } else if (option == "--hold" && i + 1 < argc) {
            pq::calc::KeyPad* keypad = frame.standardKeypad();
            const QPoint centre = keypad->grid().cellRect(QByteArray(argv[++i]).toInt()).center();
            QTest::mousePress(keypad, Qt::LeftButton, {}, centre);
            QTest::qWait(pq::calc::KeyPad::kLongNameDelay + 100);
        } else if (option == "--size" && i + 1 < argc) {
            const QList<QByteArray> parts = QByteArray(argv[++i]).split('x');
            if (parts.size() == 2) frame.resize(parts[0].toInt(), parts[1].toInt());
        } else if (option == "--type" && i + 1 < argc) {
            QTest::keyClicks(frame.focusWidget(), QString::fromUtf8(argv[++i]));
        } else if (option == "--scientific") {
            post(&frame, pq::calc::kCmdScientificView);
        } else if (option == "--functions" || option == "--editor") {
            post(&frame, pq::calc::kCmdEditFunctions);
            auto* dialog = frame.findChild<pq::calc::MyFunctionsDialog*>();
            target = dialog;
            if (dialog && option == "--editor") {
                post(dialog, pq::calc::MyFunctionsDialog::kCmdAdd);
                if (dialog->editor()) target = dialog->editor();
            }
            if (!target) return 1;
        } else if (option == "--about") {
            post(&frame, pq::calc::kCmdAbout);
            const auto dialogs = frame.findChildren<QDialog*>();
            if (!dialogs.isEmpty()) target = dialogs.back();
        } else {
            std::fprintf(stderr, "unknown option %s\n", argv[i]);
            return 2;
        }
    }
    QApplication::processEvents();
    return target->grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
