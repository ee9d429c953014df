#include <QJsonArray>
#include <QJsonObject>
#include <QMap>
#include <QModbusClient>
#include <QSet>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>

#include "cli.h"
#include "comm/endpoint.h"
#include "comm/linesettings.h"
#include "comm/modbus.h"
#include "comm/modbuslink.h"
#include "comm/wiretime.h"
#include "commands.h"
#include "drivelink.h"

namespace {

const char kUsage[] =
    "search --port P [--from A] [--to B] [--speed S] [--framing F] [--timeout MS] [--json|--csv]";

// The identification block every drive answers: status, motor version, user version, model.
constexpr int kIdentificationStart = 1000;
constexpr int kIdentificationCount = 4;
constexpr int kRequestBytes = 8;                            // address, 03, start, count, CRC
constexpr int kAnswerBytes = 5 + 2 * kIdentificationCount;  // address, 03, byte count, words, CRC
// Beyond the wire time: the drive's turnaround, a USB adapter's latency and the scheduling of
// both ends. A drive that answers later still shows itself (see lateanswers) and is asked again.
constexpr int kTurnaroundMarginMs = 20;
constexpr int kMaxTimeoutMs = 10000;
// For an address whose answer came too late.
constexpr int kPatientTimeoutMs = 500;

struct Found {
    int address = 0;
    quint16 status = 0;
    quint16 motorVersion = 0;
    quint16 ioVersion = 0;
    quint16 model = 0;
};

enum class Format { Text, Json, Csv };

struct SearchOptions {
    drivelink::LineOptions line;
    int from = 1;
    int to = Modbus::kLastSearchAddress;
    int timeoutMs = 0;
    Format format = Format::Text;
};

// On a serial line a silent address costs the wire time of the request and the expected answer,
// their end-of-frame silences and the margin. A gateway's line and network are not known: it
// gets the response time-out the worker gives it.
int defaultTimeoutMs(const drivelink::LineOptions &line) {
    const Endpoint endpoint = Endpoint::parse(line.port);
    if (endpoint.isTcp()) {
        return linesettings::speedRow(linesettings::timingSpeed(endpoint, line.speed)).responseTimeoutMs;
    }
    return int(std::ceil(wiretime::exchangeMs(kRequestBytes, kAnswerBytes, line.speed, 0))) +
           kTurnaroundMarginMs;
}

bool parseAddress(const QCommandLineParser &parser, const QString &name, int *address) {
    return drivelink::parseNumber(parser.value(name), address) && *address >= 1 &&
           *address <= Modbus::kLastSearchAddress;
}

// Empty when the arguments are usable.
QString readOptions(const QCommandLineParser &parser, SearchOptions *o) {
    QString error;
    if (!drivelink::lineOptions(parser, &o->line, &error)) {
        return error;
    }
    if (parser.isSet(QStringLiteral("address"))) {
        return QStringLiteral("search scans --from A --to B; it takes no --address");
    }
    if (!parseAddress(parser, QStringLiteral("from"), &o->from) ||
        !parseAddress(parser, QStringLiteral("to"), &o->to) || o->from > o->to) {
        return QStringLiteral("--from and --to must be 1 to 247, --from not above --to");
    }
    o->timeoutMs = defaultTimeoutMs(o->line);
    if (parser.isSet(QStringLiteral("timeout")) &&
        (!drivelink::parseNumber(parser.value(QStringLiteral("timeout")), &o->timeoutMs) ||
         o->timeoutMs < ModbusLink::kShortestTimeoutMs || o->timeoutMs > kMaxTimeoutMs)) {
        return QStringLiteral("--timeout must be %1 to %2 ms: the Modbus client cannot wait less than %1 ms")
            .arg(ModbusLink::kShortestTimeoutMs)
            .arg(kMaxTimeoutMs);
    }
    if (parser.isSet(QStringLiteral("json")) && parser.isSet(QStringLiteral("csv"))) {
        return QStringLiteral("--json and --csv exclude each other");
    }
    o->format = parser.isSet(QStringLiteral("json"))  ? Format::Json
                : parser.isSet(QStringLiteral("csv")) ? Format::Csv
                                                      : Format::Text;
    if (!parser.positionalArguments().isEmpty()) {
        return QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first());
    }
    return QString();
}

// Qt's master drops an answer that comes after its time-out with a warning, and so it does with
// a damaged one (on a real line, a late answer may collide with the next request). Counting
// those warnings tells the scan that a drive just asked is slower than the time-out, so that it
// is asked again with patience instead of being reported absent. Serial lines only: through a
// gateway a late answer may come from any earlier unit id (many gateways answer every silent one
// late, with exception 0x0B), so the TCP client's warning is not counted.
namespace lateanswers {

std::atomic<int> count{0};
QtMessageHandler previous = nullptr;

void handler(QtMsgType type, const QMessageLogContext &context, const QString &message) {
    static const char *const kSigns[] = {"Cannot match response with open request", "wrong CRC",
                                         "Incomplete ADU"};
    if (qstrcmp(context.category, "qt.modbus") == 0) {
        for (const char *sign : kSigns) {
            if (message.contains(QLatin1String(sign))) {
                ++count;
                return;
            }
        }
    }
    previous(type, context, message);
}

void install() {
    previous = qInstallMessageHandler(handler);
}

}  // namespace lateanswers

ModbusLink linkFor(const drivelink::LineOptions &line) {
    const linesettings::Framing framing = linesettings::framing(line.framing);
    ModbusLink link;
    link.endpoint = Endpoint::parse(line.port);
    link.baudRate = line.speed;
    link.parity = framing.parity;
    link.stopBits = framing.stopBits;
    return link;
}

// Asks each address (each unit id behind a gateway) in turn for its identification, one
// request on the line at a time.
class BusScanner {
  public:
    bool open(const SearchOptions &o, QString *error) {
        m_client.reset(linkFor(o.line).createClient(nullptr));
        // A serial port opens (or fails) at once; a gateway accepts the connection later.
        const bool started = m_client->connectDevice();
        const bool settled =
            started &&
            drivelink::waitFor([this] { return m_client->state() != QModbusDevice::ConnectingState; },
                               ModbusLink::kConnectTimeoutMs);
        if (m_client->state() == QModbusDevice::ConnectedState) {
            return true;
        }
        const QString reason =
            started && !settled
                ? QStringLiteral("no answer from the gateway within %1 ms").arg(ModbusLink::kConnectTimeoutMs)
                : m_client->errorString();
        *error = QStringLiteral("cannot open %1: %2").arg(o.line.port, reason);
        return false;
    }

    // False when the address did not answer with its identification; a Modbus exception
    // (a device that is there but refuses the read) is kept for the report.
    bool ask(int address, int timeoutMs, Found *found) {
        m_client->setTimeout(timeoutMs);
        const QModbusDataUnit unit(QModbusDataUnit::HoldingRegisters, kIdentificationStart,
                                   kIdentificationCount);
        std::unique_ptr<QModbusReply> reply(m_client->sendReadRequest(unit, address));
        if (!reply) {
            return false;
        }
        // The master ends every request by its own time-out; this only guards against a hang.
        drivelink::waitFor([&reply] { return reply->isFinished(); }, 4 * timeoutMs + 1000);
        if (reply->error() == QModbusDevice::ProtocolError) {
            m_notes.append(QStringLiteral("address %1 answered exception %2 (not listed)")
                               .arg(address)
                               .arg(int(reply->rawResult().exceptionCode())));
        }
        const QVector<quint16> words = reply->result().values();
        if (reply->error() != QModbusDevice::NoError || words.size() != kIdentificationCount) {
            return false;
        }
        *found = {address, words.at(0), words.at(1), words.at(2), words.at(3)};
        return true;
    }

    void note(const QString &text) { m_notes.append(text); }
    const QStringList &notes() const { return m_notes; }

  private:
    std::unique_ptr<QModbusClient> m_client;
    QStringList m_notes;
};

QJsonObject foundJson(const SearchOptions &o, const QVector<Found> &drives) {
    QJsonArray array;
    for (const Found &f : drives) {
        array.append(QJsonObject{{QStringLiteral("address"), f.address},
                                 {QStringLiteral("status"), f.status},
                                 {QStringLiteral("motor_version"), f.motorVersion},
                                 {QStringLiteral("io_version"), f.ioVersion},
                                 {QStringLiteral("model"), f.model}});
    }
    return QJsonObject{
        {QStringLiteral("from"), o.from}, {QStringLiteral("to"), o.to}, {QStringLiteral("drives"), array}};
}

void printFound(const SearchOptions &o, const QVector<Found> &drives) {
    cli::TextOut &out = cli::out();
    if (o.format == Format::Json) {
        cli::printJson(foundJson(o, drives));
        return;
    }
    if (o.format == Format::Csv) {
        out << "address,status,motor_version,io_version,model\n";
        for (const Found &f : drives) {
            out << f.address << ',' << f.status << ',' << f.motorVersion << ',' << f.ioVersion << ','
                << f.model << "\n";
        }
    } else if (!drives.isEmpty()) {
        out << "Add  Status  Mot Ver  IO Ver  Model\n";
        for (const Found &f : drives) {
            const QString status = QStringLiteral("0x%1").arg(QString::number(f.status, 16).toUpper());
            out << QString::number(f.address).rightJustified(3) << "  " << status.leftJustified(6) << "  "
                << QString::number(f.motorVersion).rightJustified(7) << "  "
                << QString::number(f.ioVersion).rightJustified(6) << "  "
                << QString::number(f.model).rightJustified(5) << "\n";
        }
    }
    out.flush();
}

QString progressText(const SearchOptions &o, int address, int found) {
    return QStringLiteral("searching: address %1 (%2 of %3), %4 found")
        .arg(address)
        .arg(address - o.from + 1)
        .arg(o.to - o.from + 1)
        .arg(found);
}

// A late answer showed up after `last` was asked: it comes from `last` or the address before.
void addLateSuspects(int last, const SearchOptions &o, const QSet<int> &answered, QVector<int> *suspects) {
    for (int earlier : {last - 1, last}) {
        if (earlier >= o.from && !answered.contains(earlier) && !suspects->contains(earlier)) {
            suspects->append(earlier);
        }
    }
}

QVector<Found> scan(BusScanner &scanner, const SearchOptions &o) {
    QMap<int, Found> drives;
    QVector<int> suspects;
    cli::ProgressLine progress = cli::ProgressLine::forStderr();
    for (int address = o.from; address <= o.to; ++address) {
        progress.show(progressText(o, address, drives.size()));
        const int lateBefore = lateanswers::count;
        Found found;
        if (scanner.ask(address, o.timeoutMs, &found)) {
            drives.insert(address, found);
        }
        if (lateanswers::count != lateBefore) {
            addLateSuspects(address - 1, o, QSet<int>(drives.keyBegin(), drives.keyEnd()), &suspects);
        }
    }
    // An answer to the last address may still be on its way.
    const int lateBefore = lateanswers::count;
    drivelink::waitFor([] { return false; }, o.timeoutMs);
    if (lateanswers::count != lateBefore) {
        addLateSuspects(o.to, o, QSet<int>(drives.keyBegin(), drives.keyEnd()), &suspects);
    }
    progress.finish();
    const int patientMs = std::min(std::max(kPatientTimeoutMs, 4 * o.timeoutMs), kMaxTimeoutMs);
    for (int address : qAsConst(suspects)) {
        scanner.note(QStringLiteral("an answer came after the time-out; address %1 asked again with %2 ms")
                         .arg(address)
                         .arg(patientMs));
        Found found;
        if (scanner.ask(address, patientMs, &found)) {
            drives.insert(address, found);
        }
    }
    return drives.values().toVector();
}

}  // namespace

// Finds the drives on the bus as fast as the line allows: a silent address costs one response
// time-out sized to the line speed. Exit 0 when a drive answered, 1 when none did or the port
// cannot be opened, 2 on a usage error.
int runSearch(const QStringList &args) {
    drivelink::quietDiagnostics();
    QCommandLineParser parser;
    drivelink::addLineOptions(parser);
    parser.addOption({QStringLiteral("from"), QStringLiteral("First address (default: 1)."),
                      QStringLiteral("A"), QStringLiteral("1")});
    parser.addOption({QStringLiteral("to"), QStringLiteral("Last address (default: 247)."),
                      QStringLiteral("B"), QString::number(Modbus::kLastSearchAddress)});
    parser.addOption({QStringLiteral("timeout"),
                      QStringLiteral("Response time-out per address in ms, %1 at least (default: sized to "
                                     "the line speed, %2 through a gateway).")
                          .arg(ModbusLink::kShortestTimeoutMs)
                          .arg(linesettings::speedRow(linesettings::kTcpTimingSpeed).responseTimeoutMs),
                      QStringLiteral("MS")});
    parser.addOption(
        {QStringLiteral("json"), QStringLiteral("Print one JSON object (default: a text table).")});
    parser.addOption({QStringLiteral("csv"), QStringLiteral("Print CSV with a header line.")});
    if (!cli::parse(parser, args, QString::fromLatin1(kUsage))) {
        return 2;
    }
    SearchOptions options;
    QString error = readOptions(parser, &options);
    if (!error.isEmpty()) {
        cli::err() << "mvxctl search: " << error << "\nusage: mvxctl " << kUsage << "\n";
        return 2;
    }
    BusScanner scanner;
    if (!scanner.open(options, &error)) {
        cli::err() << "mvxctl search: " << error << "\n";
        return 1;
    }
    lateanswers::install();
    const QVector<Found> drives = scan(scanner, options);
    for (const QString &line : scanner.notes()) {
        cli::err() << "mvxctl search: " << line << "\n";
    }
    cli::err() << drives.size() << (drives.size() == 1 ? " drive" : " drives") << " found at addresses "
               << options.from << ".." << options.to << " (time-out " << options.timeoutMs << " ms)\n";
    cli::err().flush();
    printFound(options, drives);
    return drives.isEmpty() ? 1 : 0;
}
