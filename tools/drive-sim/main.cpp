#include <QCoreApplication>
#include <QLoggingCategory>
#include <cstdio>

#include "comm/customfunction.h"
#include "commandconsole.h"
#include "commandinterpreter.h"
#include "driveprofile.h"
#include "simoptions.h"
#include "simulator.h"

namespace {

int fail(const QString &message, int code) {
    std::fprintf(stderr, "mvx-drive-sim: %s\n", qPrintable(message));
    return code;
}

bool buildProfile(const SimOptions &options, DriveProfile *profile, QString *error) {
    *profile = fallbackProfile();
    if (!options.mapFile.isEmpty()) {
        QStringList warnings;
        if (!loadProfileFromMap(options.mapFile, profile, error, &warnings)) {
            return false;
        }
        for (const QString &warning : warnings) {
            std::fprintf(stderr, "mvx-drive-sim: warning: %s\n", qPrintable(warning));
        }
    }
    profile->model = options.model.value_or(profile->model);
    profile->motorVersion = options.version.value_or(profile->motorVersion);
    profile->userVersion = options.userVersion.value_or(options.version.value_or(profile->userVersion));
    profile->status = options.status.value_or(profile->status);
    return true;
}

}  // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("mvx-drive-sim"));
    registerFirmwareFunctionSizes();
    // The map reader's diagnostics are for the configurator's debug stream, not for us.
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));

    SimOptions options;
    QString error;
    if (!parseSimOptions(QCoreApplication::arguments().mid(1), &options, &error)) {
        return fail(error + QStringLiteral(" (see --help)"), 2);
    }
    if (options.help) {
        std::fputs(qPrintable(simUsage()), stdout);
        return 0;
    }
    DriveProfile profile;
    if (!buildProfile(options, &profile, &error)) {
        return fail(error, 1);
    }
    Simulator simulator(options, profile);
    if (!simulator.start(&error)) {
        return fail(error, 1);
    }
    QObject::connect(&simulator, &Simulator::fatalError, &app, [](const QString &message) {
        fail(message, 1);
        QCoreApplication::exit(1);
    });
    CommandInterpreter interpreter(simulator.drives());
    CommandConsole console(&interpreter, options.quitOnEof);
    QObject::connect(&console, &CommandConsole::quitRequested, &app, &QCoreApplication::quit);

    if (!simulator.tcpEndpoint().isEmpty()) {
        std::fprintf(stdout, "LISTENING %s\n", qPrintable(simulator.tcpEndpoint()));
    }
    std::fputs("READY\n", stdout);
    std::fflush(stdout);
    return app.exec();
}
