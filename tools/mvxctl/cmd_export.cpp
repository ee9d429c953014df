#include <QDateTime>
#include <QFileInfo>
#include <QTemporaryDir>

#include "app/settings.h"
#include "cli.h"
#include "commands.h"
#include "drivelink.h"
#include "map/presentation.h"
#include "map/xmlmap.h"
#include "params/paramexport.h"

namespace {

const char kUsage[] = "export --port P --map FILE --out FILE [--address A] [--speed S] [--framing F]";

}  // namespace

// Saves the drive's normal holdings to a parameter file, as the window's "Save File" does.
int runExport(const QStringList &args) {
    drivelink::quietDiagnostics();
    QCommandLineParser parser;
    drivelink::addLineOptions(parser);
    parser.addOption(
        {QStringLiteral("map"), QStringLiteral("Register map. Required."), QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("out"), QStringLiteral("Parameter file to write. Required."),
                      QStringLiteral("FILE")});
    if (!cli::parse(parser, args, QString::fromLatin1(kUsage))) {
        return 2;
    }
    drivelink::LineOptions line;
    QString error;
    const QString mapPath = parser.value(QStringLiteral("map"));
    const QString outPath = parser.value(QStringLiteral("out"));
    if (drivelink::lineOptions(parser, &line, &error) && (mapPath.isEmpty() || outPath.isEmpty())) {
        error = QStringLiteral("--map and --out are required");
    }
    if (!error.isEmpty()) {
        cli::err() << "mvxctl export: " << error << "\nusage: mvxctl " << kUsage << "\n";
        return 2;
    }
    cli::LoadedMap loaded;
    if (!cli::loadMap(mapPath, QStringLiteral("export"), &loaded)) {
        return 1;
    }
    const QVector<input_reg_t *> &inputs = loaded.inputs;
    const QVector<holding_t *> &holdings = loaded.holdings;
    drivelink::Reading reading;
    if (!drivelink::readDrive(line, inputs.size(), holdings.size(), &reading, &error)) {
        cli::err() << "mvxctl export: " << error << "\n";
        return 1;
    }
    presentation::applyInputWords(inputs, reading.inputs);
    presentation::applyHoldingWords(holdings, reading.holdings);

    // The writer takes the map path from settings; a scratch settings file keeps the user's own.
    QTemporaryDir scratch;
    settings exportSettings(scratch.filePath(QStringLiteral("settings.xml")));
    exportSettings.setXML_drive(mapPath);
    error = exportParameters(exportSettings, holdings, driveIdentity(inputs), outPath,
                             QDateTime::currentDateTime());
    if (!error.isEmpty()) {
        cli::err() << "mvxctl export: " << error << "\n";
        return 1;
    }
    cli::out() << "Saved " << holdings.size() << " parameters to " << outPath << "\n";
    return 0;
}
