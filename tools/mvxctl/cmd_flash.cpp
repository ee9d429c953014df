#include <QFileInfo>
#include <memory>

#include "cli.h"
#include "comm/firmwareimage.h"
#include "comm/modbus.h"
#include "comm/threadhandoff.h"
#include "commands.h"
#include "drivelink.h"

namespace {

const char kUsage[] = "flash --port P --file F [--model M] [--address A] [--speed S] [--framing F]";
constexpr int kModelTimeoutMs = 5000;
// Announce and erase take a few seconds; a block never takes more than a second.
constexpr int kFixedFlashTimeMs = 15000;
constexpr int kBlockTimeMs = 1000;
// Input register 1 holds the drive's model.
constexpr int kModelInputCount = 2;

// Prints the worker's messages and the progress line on stderr.
class FlashReporter {
  public:
    void message(const QString &text) {
        m_progress.finish();
        cli::err() << text << "\n";
        cli::err().flush();
    }
    void progress(float percent) { m_progress.show(QStringLiteral("flashing: %1%").arg(int(percent))); }
    void endProgressLine() { m_progress.finish(); }

  private:
    cli::ProgressLine m_progress = cli::ProgressLine::forStderr();
};

// Catches the model from the first input-register reply, as the window does: register 1.
// Shared: the calls go on as long as the worker polls.
std::shared_ptr<int> watchModel(drivelink::Session &session) {
    auto model = std::make_shared<int>(-1);
    threadhandoff::connectQueued(&session.worker(), &Modbus::recv_input_registers, &session.context(),
                                 [model](int, int start, const QVector<uint16_t> &words) {
                                     if (start == 0 && words.size() >= kModelInputCount && *model < 0) {
                                         *model = words.at(1);
                                     }
                                 });
    return model;
}

// Empty when the arguments are usable.
QString argumentError(const QCommandLineParser &parser, drivelink::LineOptions *line, int *model) {
    QString error;
    if (!drivelink::lineOptions(parser, line, &error)) {
        return error;
    }
    if (parser.value(QStringLiteral("file")).isEmpty()) {
        return QStringLiteral("--file is required");
    }
    if (parser.isSet(QStringLiteral("model")) &&
        (!drivelink::parseNumber(parser.value(QStringLiteral("model")), model) || *model < 1 ||
         *model > 0xFFFF)) {
        return QStringLiteral("--model must be 1 to 65535 (or 0x0001 to 0xFFFF)");
    }
    if (!parser.positionalArguments().isEmpty()) {
        return QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first());
    }
    return error;
}

}  // namespace

int runFlash(const QStringList &args) {
    drivelink::quietDiagnostics();
    QCommandLineParser parser;
    drivelink::addLineOptions(parser);
    parser.addOption({QStringLiteral("file"),
                      QStringLiteral("Firmware file (.ofw, its name holds motor or user). Required."),
                      QStringLiteral("F")});
    parser.addOption(
        {QStringLiteral("model"),
         QStringLiteral("Drive model, decimal or 0x hex (default: the model the drive reports)."),
         QStringLiteral("M")});
    if (!cli::parse(parser, args, QString::fromLatin1(kUsage))) {
        return 2;
    }
    drivelink::LineOptions line;
    int model = 0;
    QString error = argumentError(parser, &line, &model);
    const QString path = parser.value(QStringLiteral("file"));
    const bool modelGiven = parser.isSet(QStringLiteral("model"));
    if (!error.isEmpty()) {
        cli::err() << "mvxctl flash: " << error << "\nusage: mvxctl " << kUsage << "\n";
        return 2;
    }
    if (!QFileInfo(path).isFile()) {
        cli::err() << "mvxctl flash: cannot open firmware file '" << path << "'\n";
        return 2;
    }

    FlashReporter reporter;
    QList<bool> results;
    drivelink::Session session;
    Modbus &worker = session.worker();
    threadhandoff::connectQueued(
        &worker, &Modbus::send_status, &session.context(),
        [&reporter](bool, bool, bool, const QString &text) { reporter.message(text); });
    threadhandoff::connectQueued(&worker, &Modbus::update_progressBarText, &session.context(),
                                 [&reporter](float percent, bool) { reporter.progress(percent); });
    threadhandoff::connectQueued(&worker, &Modbus::flash_verdict, &session.context(),
                                 [&reporter](bool, const QString &text) { reporter.message(text); });
    threadhandoff::connectQueued(&worker, &Modbus::flash_finished, &session.context(),
                                 [&results](bool ok) { results.append(ok); });
    const std::shared_ptr<int> driveModel = watchModel(session);
    if (!session.open(line, modelGiven ? 0 : kModelInputCount, 0, &error)) {
        cli::err() << "mvxctl flash: " << error << "\n";
        return 1;
    }
    if (!modelGiven && !drivelink::waitFor([driveModel] { return *driveModel >= 0; }, kModelTimeoutMs)) {
        cli::err() << "mvxctl flash: no answer from the drive at address " << line.address << " on "
                   << line.port << " (give --model to flash without asking the drive)\n";
        return 1;
    }
    worker.selectFirmwareFile(modelGiven ? model : *driveModel, path);
    const int blocks = int(QFileInfo(path).size() / FirmwareImage::kBlockSize) + 1;
    const bool ended = drivelink::waitFor([&results] { return !results.isEmpty(); },
                                          kFixedFlashTimeMs + blocks * kBlockTimeMs);
    reporter.endProgressLine();
    if (!ended || !results.first()) {
        cli::err() << "mvxctl flash: the firmware was not sent completely or the drive refused part of it\n";
        return 1;
    }
    cli::err() << "mvxctl flash: every frame was sent\n";
    return 0;
}
