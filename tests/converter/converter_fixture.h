#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <string>
#include <vector>

#include "converter/converter_settings.h"
#include "converter/main_frame.h"
#include "engine/expression_engine.h"

namespace pq::test {

// A data folder of its own, seeded with shipped data files, and the
// converter's settings pointing at it.
class ConverterWorld {
  public:
    ConverterWorld() {
        // No settings file: a first run (an empty one would be a damaged one).
        QFile::remove(QSettings(conv::ConverterSettings::organisation(),
                                conv::ConverterSettings::application())
                          .fileName());
        dataFolder = root.path() + QStringLiteral("/Conversions/");
        QDir().mkpath(dataFolder);
    }

    // Copies shipped files (names with extension) into the data folder.
    void seed(const QStringList& names) {
        for (const QString& name : names)
            QFile::copy(QStringLiteral(PQ_DATA_DIR "/") + name, dataFolder + name);
    }

    // Stores a settings record with this data folder and the recent files.
    void writeSettings(const std::vector<std::u16string>& recent, bool compact = false) {
        conv::ConverterSettings settings;
        settings.setRecentFiles(recent);
        settings.setDataFolder(dataFolder);
        settings.setCompactList(compact);
        settings.save();
    }

    static QByteArray storedRecord() {
        return QSettings(conv::ConverterSettings::organisation(),
                         conv::ConverterSettings::application())
            .value(conv::ConverterSettings::key())
            .toByteArray();
    }

    // Options without a hand-over server; the program folder is the
    // temporary root, so that the default data folder is the seeded one.
    conv::ConverterOptions options() const {
        conv::ConverterOptions options;
        options.programFolder = root.path() + QStringLiteral("/");
        options.calculatorServer = QStringLiteral("pq-test-no-calculator");
        options.calculatorProgram = root.path() + QStringLiteral("/PqCalculator");
        options.helpFile = QStringLiteral(PQ_PROGRAM_DIR "/pqconverter.htm");
        return options;
    }

    std::unique_ptr<conv::CPqConvFrame> open() {
        auto frame = std::make_unique<conv::CPqConvFrame>(engine, options());
        frame->resize(240, 320);
        return frame;
    }

    // The window on the screen with one shipped file open; none when it was
    // never shown.
    std::unique_ptr<conv::CPqConvFrame> openShowing(const QString& file) {
        seed({file});
        writeSettings({file.toStdU16String()});
        auto frame = open();
        frame->show();
        if (!QTest::qWaitForWindowExposed(frame.get())) return nullptr;
        return frame;
    }

    QTemporaryDir root;
    QString dataFolder;
    ExpressionEngine engine;
};

} // namespace pq::test
