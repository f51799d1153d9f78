// PqConverter: the unit converter.
#include <QApplication>

#include <cstdio>
#include <optional>

#include "converter/main_frame.h"
#include "engine/expression_engine.h"
#include "uikit/app_paths.h"
#include "uikit/font_warm_up.h"
#include "uikit/hand_over.h"
#include "uikit/message_box.h"
#include "uikit/resources.h"
#include "uikit/single_instance.h"
#include "uikit/termination.h"

namespace {

// Whether this converter may work on its data folder: no other holds it. A
// converter that holds it on this display is brought forward instead (exit
// status 0); one elsewhere is named (exit status 1).
std::optional<int> refused(const pq::ui::FolderClaim& claim, const QString& folder) {
    using State = pq::ui::FolderClaim::State;
    if (claim.state() == State::Unlocked) {
        std::fprintf(stderr,
                     "PqConverter: the data folder %s cannot be locked (%s); nothing keeps a "
                     "second PqConverter from changing its files.\n",
                     qPrintable(folder), qPrintable(claim.problem()));
        return std::nullopt;
    }
    if (claim.state() == State::Held) return std::nullopt;
    if (claim.holderIsHere() &&
        pq::ui::SendHandOver(claim.holder().server, pq::ui::EncodeMessage(pq::ui::kRaiseTag)))
        return 0;
    const QString text =
        QStringLiteral("Another PqConverter is working on the data folder %1, %2.\n\nOnly one "
                       "PqConverter at a time may change the files of a data folder. Close the "
                       "other one, then start PqConverter again.")
            .arg(folder, claim.holderText());
    std::fprintf(stderr, "PqConverter: %s\n",
                 qPrintable(QString(text).replace(QStringLiteral("\n\n"), QStringLiteral(" "))));
    pq::ui::AskChoice(nullptr, pq::ui::MessageIcon::Warning, QStringLiteral("PqConverter"), text,
                      {QStringLiteral("OK")});
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    QApplication::setOrganizationName(QStringLiteral("Quorvane"));
    QApplication::setApplicationName(QStringLiteral("PqConverter"));
    pq::ui::WarmUpFonts();
    QApplication app(argc, argv);
    // One converter per user and display: a second start brings the first
    // forward instead.
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

    pq::conv::ConverterOptions options = pq::conv::ConverterOptions::standard();
    options.settings = pq::conv::ConverterSettings::load(
        options.userFolder.isEmpty() ? options.programFolder : options.userFolder);
    // One converter per data folder, whatever display or computer it runs
    // on, so that two never write the same files.
    const QString folder = options.settings->dataFolder();
    const pq::ui::FolderClaim claim(folder, QStringLiteral("PqConverter"), options.handOverServer);
    if (const std::optional<int> status = refused(claim, folder)) return *status;

    pq::ExpressionEngine engine;
    pq::conv::CPqConvFrame frame(engine, options);
    frame.show();
    if (!dataProblem.isEmpty())
        pq::ui::ShowMessage(&frame, pq::ui::MessageIcon::Warning, QStringLiteral("PqConverter"),
                            dataProblem);
    return app.exec();
}
