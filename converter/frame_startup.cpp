// The main window's start-up: what the first frame shows is made at once,
// the rest once that frame is on the screen or when first needed.
#include <QApplication>
#include <QSettings>
#include <QTimer>
#include <QToolBar>

#include "converter/find/unit_finder.h"
#include "converter/list/unit_list_view.h"
#include "converter/main_frame.h"
#include "engine/format_text.h"
#include "uikit/app_paths.h"
#include "uikit/colours.h"
#include "uikit/cursors.h"
#include "uikit/display_scale.h"
#include "uikit/first_paint.h"
#include "uikit/hand_over.h"
#include "uikit/message_box.h"
#include "uikit/resources.h"
#include "uikit/ui_font.h"

namespace pq::conv {

QString CPqConvFrame::geometryKey() { return QStringLiteral("Window/Geometry"); }

ConverterOptions ConverterOptions::standard() {
    ConverterOptions options;
    options.programFolder = ProgramFolder();
    options.userFolder = ui::UserFolder();
    options.handOverServer = ui::LocalServerName(ui::Program::Converter);
    options.calculatorServer = ui::LocalServerName(ui::Program::Calculator);
    options.calculatorProgram = options.programFolder + ui::ProgramName(ui::Program::Calculator);
    options.helpFile = ui::ShippedFolder() + QStringLiteral("pqconverter.htm");
    options.ratesRefresh.allowed = true;
    options.deferredStart = true;
    return options;
}

CPqConvFrame::CPqConvFrame(ExpressionEngine& engine, const ConverterOptions& options,
                           QWidget* parent)
    : QMainWindow(parent), engine_(engine), options_(options),
      settings_(options.settings
                    ? *options.settings
                    : ConverterSettings::load(options.userFolder.isEmpty() ? options.programFolder
                                                                           : options.userFolder)),
      catalogue_(std::make_unique<Catalogue>(engine)),
      saver_(std::make_unique<DocumentSaver>(this, *catalogue_, [this](Document& document) {
          historyReloaded(document);
          if (&document == document_) makeCurrent(document_);
      })) {
    setWindowTitle(QStringLiteral("PqConverter"));
    setShownDigits(ConverterSettings::shownDigits());
    setWindowIcon(ui::LoadIcon(QStringLiteral("converter")));
    background_.load(131, ui::ThemeColour(), true);

    createActions();
    // The first font waits for the system's font configuration, read
    // meanwhile (uikit/font_warm_up.h): the parts above need none, and
    // neither does reading the first file.
    ui::DecodeToolBarIcons(findChild<QToolBar*>(QStringLiteral("commands")));
    Document* first = readFirstDocument();
    titleFont_ = ui::CreateUiFont(20, true);
    createClient();
    download_ = new DownloadRunner(this, options_.fetcherFactory);

    const QByteArray geometry =
        QSettings(ConverterSettings::organisation(), ConverterSettings::application())
            .value(geometryKey())
            .toByteArray();
    if (geometry.isEmpty() || !restoreGeometry(geometry)) resize(ui::Scaled(320), ui::Scaled(440));

    historyOpened(first);
    makeCurrent(first);
    qApp->installEventFilter(this);
    if (options_.deferredStart) {
        ui::AfterFirstPaint(this, [this] {
            startWorking();
            listen();
            tellStartProblems();
        });
    } else {
        startWorking();
        listen();
        // Told once the window is on the screen.
        QTimer::singleShot(0, this, [this] { tellStartProblems(); });
    }
}

void CPqConvFrame::startWorking() { finder_->setFolder(catalogue_->folder()); }

void CPqConvFrame::tellStartProblems() {
    if (!settings_.readProblem().isEmpty())
        ui::ShowMessage(this, ui::MessageIcon::Warning, QStringLiteral("PqConverter"),
                        settings_.readProblem());
    opened();
    refresher_->start();
}

void CPqConvFrame::listen() {
    if (options_.handOverServer.isEmpty() || handOver_) return;
    handOver_ = new ui::HandOverServer(
        [this](const ui::HandOverMessage& message) {
            ui::ActOnHandOver(
                message, [this] { bringToFront(); }, [this](double value) { takeValue(value); });
        },
        this);
    if (!handOver_->listen(options_.handOverServer))
        qWarning("Another PqConverter answers the calculator's requests.");
}

Document* CPqConvFrame::readFirstDocument() {
    ui::WaitCursor wait;
    catalogue_->setFolder(settings_.dataFolder().toStdString());
    const std::vector<std::u16string>& recent = settings_.recentFiles();
    catalogue_->addFiles(recent);
    Document* first = nullptr;
    if (!recent.empty()) first = catalogue_->find(recent.front(), true);
    if (!first) first = catalogue_->current(0);
    return first;
}

} // namespace pq::conv
