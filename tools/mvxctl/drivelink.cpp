#include "drivelink.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLoggingCategory>
#include <QTimer>

#include "comm/endpoint.h"
#include "comm/modbus.h"
#include "comm/polllist.h"
#include "comm/threadhandoff.h"

namespace drivelink {

namespace {

constexpr int kOpenTimeoutMs = 5000;
constexpr int kRecheckMs = 100;

bool isKnownSpeed(int speed) {
    for (int known : {9600, 19200, 38400, 57600, 115200}) {
        if (speed == known) {
            return true;
        }
    }
    return false;
}

bool parseAddressList(const QString &text, LineOptions *line, QVector<int> *watched, QString *error) {
    QVector<int> addresses;
    QString reason;
    if (!polllist::parse(text, &addresses, &reason) || addresses.isEmpty()) {
        *error = QStringLiteral("--address takes addresses 1 to 247 such as 1,2,5 or 3-5: %1")
                     .arg(reason.isEmpty() ? QStringLiteral("none given") : reason);
        return false;
    }
    line->address = addresses.takeFirst();
    *watched = addresses;
    return true;
}

}  // namespace

void addLineOptions(QCommandLineParser &parser, bool addressList) {
    parser.addOption(
        {QStringLiteral("port"),
         QStringLiteral("Serial port, or tcp://HOST[:PORT] for a Modbus TCP gateway (port 502 by "
                        "default; --speed and --framing then do not apply). Required."),
         QStringLiteral("P")});
    parser.addOption(
        {QStringLiteral("address"),
         addressList
             ? QStringLiteral("Modbus server addresses 1..247 (unit ids behind a gateway), as a list "
                              "such as 1,2,5 or 3-5: the first drive is polled, the others' overview "
                              "registers are read beside it (default: 1).")
             : QStringLiteral("Modbus server address 1..247, the unit id behind a gateway (default: 1)."),
         QStringLiteral("A"), QStringLiteral("1")});
    parser.addOption(
        {QStringLiteral("speed"),
         QStringLiteral("Line speed in bps: 9600, 19200, 38400, 57600 or 115200 (default: 115200)."),
         QStringLiteral("S"), QStringLiteral("115200")});
    parser.addOption({QStringLiteral("framing"),
                      QStringLiteral("0: 8N2, 1: 8O1, 2: 8E1, 3: 8N1 (default: 0, 8N2)."),
                      QStringLiteral("F"), QStringLiteral("0")});
}

bool parseNumber(const QString &text, int *value) {
    bool ok = false;
    const int parsed =
        text.startsWith(QLatin1String("0x")) ? text.mid(2).toInt(&ok, 16) : text.toInt(&ok, 10);
    if (ok) {
        *value = parsed;
    }
    return ok;
}

bool lineOptions(const QCommandLineParser &parser, LineOptions *line, QString *error, QVector<int> *watched) {
    line->port = parser.value(QStringLiteral("port"));
    if (line->port.isEmpty()) {
        *error = QStringLiteral("--port is required");
        return false;
    }
    const Endpoint endpoint = Endpoint::parse(line->port);
    if (!endpoint.isValid()) {
        *error = QStringLiteral("--port %1").arg(endpoint.error());
        return false;
    }
    if (watched != nullptr) {
        if (!parseAddressList(parser.value(QStringLiteral("address")), line, watched, error)) {
            return false;
        }
    } else if (!parseNumber(parser.value(QStringLiteral("address")), &line->address) || line->address < 1 ||
               line->address > Modbus::kLastSearchAddress) {
        *error = QStringLiteral("--address must be 1 to 247");
        return false;
    }
    if (!parseNumber(parser.value(QStringLiteral("speed")), &line->speed) || !isKnownSpeed(line->speed)) {
        *error = QStringLiteral("--speed must be 9600, 19200, 38400, 57600 or 115200");
        return false;
    }
    if (!parseNumber(parser.value(QStringLiteral("framing")), &line->framing) || line->framing < 0 ||
        line->framing > 3) {
        *error = QStringLiteral("--framing must be 0 to 3");
        return false;
    }
    return true;
}

void quietDiagnostics() {
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
}

bool waitFor(const std::function<bool()> &done, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs, Qt::PreciseTimer);
    // The thread sleeps until an event comes; this timer is the event that ends the sleep at the
    // deadline, and at least every kRecheckMs, for a done() that turns true without one (a flag
    // set by a signal handler).
    QTimer wakeUp;
    wakeUp.setSingleShot(true);
    wakeUp.setTimerType(Qt::PreciseTimer);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        if (!wakeUp.isActive()) {
            const qint64 remainingMs = deadline.isForever() ? kRecheckMs : deadline.remainingTime();
            wakeUp.start(int(qBound<qint64>(1, remainingMs, kRecheckMs)));
        }
        // Unlike the overload with a time limit, this one blocks while nothing happens.
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

Session::Session() : m_worker(std::make_unique<Modbus>()) {
    // The context object lives in this thread, so the lambdas run here, queued.
    Modbus *w = m_worker.get();
    threadhandoff::connectQueued(w, &Modbus::com_connected, &m_context, [this] { ++m_connected; });
    threadhandoff::connectQueued(w, &Modbus::com_disconnected, &m_context, [this] { ++m_disconnected; });
    threadhandoff::connectQueued(w, &Modbus::send_status, &m_context,
                                 [this](bool, bool, bool, const QString &text) { m_lastMessage = text; });
}

Session::~Session() = default;

bool Session::open(const LineOptions &line, int inputCount, int holdingCount, QString *error) {
    m_worker->setupConnection(line.port, line.pollTimeMs, line.address, line.speed, line.framing, inputCount,
                              holdingCount, 1000, 64);
    m_worker->init();
    if (!waitFor([this] { return m_connected > 0 || m_disconnected > 0; }, kOpenTimeoutMs)) {
        *error = QStringLiteral("cannot open %1: no answer from the %2")
                     .arg(line.port, Endpoint::parse(line.port).isTcp() ? QStringLiteral("gateway")
                                                                        : QStringLiteral("serial port"));
        return false;
    }
    if (m_connected == 0) {
        *error = QStringLiteral("cannot open %1: %2").arg(line.port, m_lastMessage);
        return false;
    }
    return true;
}

namespace {
constexpr int kReadTimeoutMs = 5000;
}  // namespace

bool readDrive(const drivelink::LineOptions &line, int inputCount, int holdingCount, Reading *reading,
               QString *error) {
    drivelink::Session session;
    Modbus &worker = session.worker();
    reading->haveInputs = inputCount == 0;
    reading->haveHoldings = holdingCount == 0;
    threadhandoff::connectQueued(&worker, &Modbus::recv_input_registers, &session.context(),
                                 [reading](int, int start, const QVector<uint16_t> &words) {
                                     if (start == 0 && !reading->haveInputs) {
                                         reading->inputs = words;
                                         reading->haveInputs = true;
                                     }
                                 });
    threadhandoff::connectQueued(&worker, &Modbus::recv_holding_registers, &session.context(),
                                 [reading](int start, const QVector<uint16_t> &words) {
                                     if (start == 0 && !reading->haveHoldings) {
                                         reading->holdings = words;
                                         reading->haveHoldings = true;
                                     }
                                 });
    if (!session.open(line, inputCount, holdingCount, error)) {
        return false;
    }
    if (!drivelink::waitFor([reading] { return reading->haveInputs && reading->haveHoldings; },
                            kReadTimeoutMs)) {
        *error =
            QStringLiteral("no answer from the drive at address %1 on %2").arg(line.address).arg(line.port);
        return false;
    }
    return true;
}

}  // namespace drivelink
