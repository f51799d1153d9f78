// Runs the converter's window in a process of its own and works it as a
// user would, so that a test can kill the process or limit its files:
//
//   converter_edit_driver ROOT COMMAND...
//
// The default data folder is ROOT/Conversions/. Once the window is up the
// driver prints "opened FILE". Commands, in order: "add-unit:NAME" adds a
// unit through Edit > Add Unit, typing NAME into the dialog; "switch:N"
// makes entry N of the file switcher current; "quit" closes the window as
// Ctrl+Q does; "listen" (first) takes the values the calculator hands over;
// "report-value" prints "value NAME VALUE" whenever the selected unit takes a
// new value. After each command the driver prints "done
// COMMAND". Every message box is printed as "message TITLE: TEXT" (line
// breaks as " | "); questions are answered No (for a choice: its second
// button). Without "quit" the window stays open until the process is ended.
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTimer>

#include <cmath>
#include <cstdio>

#include "converter/commands.h"
#include "converter/main_frame.h"
#include "document/item.h"
#include "engine/expression_engine.h"
#include "uikit/hand_over.h"
#include "uikit/message_box.h"

namespace {

void say(const QString& line) {
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) return 2;
    pq::ui::SetMessageResponder([](const pq::ui::MessageRequest& request) {
        QString text = request.text;
        say(QStringLiteral("message %1: %2")
                .arg(request.title, text.replace(u'\n', QStringLiteral(" | "))));
        return false;
    });

    QStringList commands;
    for (int i = 2; i < argc; ++i) commands << QString::fromLocal8Bit(argv[i]);

    pq::ExpressionEngine engine;
    pq::conv::ConverterOptions options;
    options.programFolder = QCoreApplication::applicationDirPath() + u'/';
    options.userFolder = QString::fromLocal8Bit(argv[1]) + u'/';
    if (commands.contains(QStringLiteral("listen")))
        options.handOverServer = pq::ui::LocalServerName(pq::ui::Program::Converter);
    auto* frame = new pq::conv::CPqConvFrame(engine, options);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->show();
    if (commands.contains(QStringLiteral("report-value"))) {
        auto* watch = new QTimer(frame);
        QObject::connect(watch, &QTimer::timeout, frame, [frame] {
            static double last = std::nan("");
            const pq::Item* item = frame->document() ? frame->document()->currentItem : nullptr;
            if (!item || item->state != pq::ValueState::Valid || item->value == last) return;
            last = item->value;
            say(QStringLiteral("value %1 %2")
                    .arg(QString::fromStdU16String(std::u16string(item->name.view())))
                    .arg(item->value, 0, 'g', 17));
        });
        watch->start(20);
    }
    QTimer::singleShot(0, frame, [frame, commands] {
        say(QStringLiteral("opened ") +
            (frame->document()
                 ? QString::fromStdU16String(frame->document()->fileNameWithExtension())
                 : QStringLiteral("nothing")));
        for (const QString& command : commands) {
            if (command.startsWith(QStringLiteral("add-unit:"))) {
                const QString name = command.mid(9);
                QTimer::singleShot(0, [name] {
                    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                    if (!dialog) return;
                    dialog->findChildren<QLineEdit*>().front()->setText(name);
                    dialog->accept();
                });
                frame->onCommand(pq::conv::kCmdAddUnit);
            } else if (command.startsWith(QStringLiteral("switch:"))) {
                frame->onCommand(pq::conv::kCmdSwitchFileFirst + command.mid(7).toUInt());
            } else if (command == QStringLiteral("quit")) {
                say(QStringLiteral("done quit"));
                frame->close();
                return;
            }
            say(QStringLiteral("done ") + command);
        }
    });
    return app.exec();
}
