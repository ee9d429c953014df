#include "comm/modbus.h"

#include <QDebug>
#include <QMetaType>
#include <QModbusReply>
#include <QSemaphore>
#include <QTimer>

#include "comm/linesettings.h"
#include "comm/linksession.h"
#include "comm/pdubuilder.h"
#include "comm/polltickhook.h"
#include "comm/reconnector.h"
#include "comm/rtumaster.h"

namespace {

void registerWorkerMetaTypes() {
    static const bool registered = [] {
        qRegisterMetaType<uint8_t>("uint8_t");
        qRegisterMetaType<uint16_t>("uint16_t");
        qRegisterMetaType<int32_t>("int32_t");
        qRegisterMetaType<QVector<uint16_t>>("QVector<uint16_t>");
        qRegisterMetaType<param_list_t>("param_list_t");
        qRegisterMetaType<QVector<param_list_t>>("QVector<param_list_t>");
        qRegisterMetaType<OverviewReading>("OverviewReading");
        return true;
    }();
    Q_UNUSED(registered)
}

// Server addresses 0 (broadcast) to 247; anything else talks to server 1.
int validServerAddress(int address) {
    return (address >= 0 && address <= Modbus::kLastSearchAddress) ? address : 1;
}

bool fitsRegister(int address) {
    return address >= 0 && address <= 0xFFFF;
}

// Values may be given as unsigned words or as signed 16-bit numbers.
bool fitsWord(int value) {
    return value >= -0x8000 && value <= 0xFFFF;
}

}  // namespace

Modbus::Modbus() {
    registerWorkerMetaTypes();
    RtuMaster::registerCustomFunctions();
    m_thread.setObjectName(QStringLiteral("ModbusWorker"));
    m_pollTimer = new QTimer(this);
    m_pollTimer->setTimerType(Qt::PreciseTimer);
    connect(m_pollTimer, &QTimer::timeout, this, &Modbus::poll);
    m_line = new LinkSession(this);
    connect(m_line, &LinkSession::opened, this, &Modbus::onLineOpened);
    connect(m_line, &LinkSession::openFailed, this, &Modbus::onLineOpenFailed);
    connect(m_line, &LinkSession::lost, this, &Modbus::onLineLost);
    m_reconnect = new Reconnector(this);
    connect(m_reconnect, &Reconnector::attemptDue, this, &Modbus::onReconnectDue);
    connect(m_reconnect, &Reconnector::countdown, this, &Modbus::reconnecting);
    // Both run in the worker's thread: once its event dispatcher exists, and once its event
    // loop has ended.
    connect(&m_thread, &QThread::started, [this] {
        threadhandoff::release();
        m_threadStarted.release();
    });
    connect(&m_thread, &QThread::finished, [] { threadhandoff::release(); });
    moveToThread(&m_thread);
    m_thread.start();
    m_threadStarted.acquire();
    threadhandoff::acquire();
}

Modbus::~Modbus() {
    qDebug() << "~Modbus()";
    shutdown();
}

void Modbus::shutdown() {
    if (!m_thread.isRunning()) {
        return;
    }
    if (QThread::currentThread() == &m_thread) {
        qWarning() << "Modbus::shutdown must be called from the worker's owner thread";
        return;
    }
    QThread *owner = QThread::currentThread();
    threadhandoff::post(this, [this, owner] {
        releaseInWorkerThread(owner);
        m_thread.quit();
    });
    m_thread.wait();
    threadhandoff::acquire();
}

bool Modbus::event(QEvent *event) {
    return threadhandoff::handle(event) || QObject::event(event);
}

void Modbus::releaseInWorkerThread(QThread *owner) {
    m_pollTimer->stop();
    m_reconnect->stop();
    if (isFlashing()) {
        abortFlash(tr("the worker was stopped"));
    }
    m_queue.clear();
    m_line->drop();
    if (m_connected.exchange(false)) {
        emit com_disconnected();
    }
    // Hand the worker (and its timer) back so that it can be destroyed in the owner's thread.
    moveToThread(owner);
}

void Modbus::setupConnection(const QString &port, int time, int address, int speed, int cfg, int inputCount,
                             int holdingCount, int auxStart, int auxCount) {
    if (deferToWorkerThread([=] {
            setupConnection(port, time, address, speed, cfg, inputCount, holdingCount, auxStart, auxCount);
        })) {
        return;
    }
    ModbusLink link;
    link.endpoint = Endpoint::parse(port);
    const linesettings::SpeedRow row =
        linesettings::speedRow(linesettings::timingSpeed(link.endpoint, speed));
    const linesettings::Framing framing = linesettings::framing(cfg);
    m_serverAddress = validServerAddress(address);
    m_busPlan.setSelected(m_serverAddress);
    m_speed = row.baudRate;
    m_configuredPollInterval = linesettings::pollInterval(time, row.baudRate);
    m_configuredResponseTimeout = row.responseTimeoutMs;
    m_pollInterval = m_configuredPollInterval;
    m_responseTimeout = m_configuredResponseTimeout;
    link.baudRate = row.baudRate;
    link.parity = framing.parity;
    link.stopBits = framing.stopBits;
    m_line->setLink(link);
    m_configured = true;
    if (!isFlashing()) {
        setState(ESTADO_R_INPUTS);
        if (m_pollTimer->isActive()) {
            setTimerInterval(m_pollInterval);
        }
    }
    m_inputCount = qBound(0, inputCount, 0xFFFF);
    m_holdingCount = qBound(0, holdingCount, 0xFFFF);
    m_auxStart = qBound(0, auxStart, 0xFFFF);
    m_auxCount = qBound(0, auxCount, 0x10000 - m_auxStart);
}

void Modbus::init() {
    if (deferToWorkerThread([this] { init(); })) {
        return;
    }
    if (!isFlashing()) {
        setState(ESTADO_R_INPUTS);
    }
    connectPort();
    m_testRunning = false;
}

void Modbus::connectPort() {
    if (deferToWorkerThread([this] { connectPort(); })) {
        return;
    }
    if (!m_configured || m_connected || m_line->isOpening()) {
        return;
    }
    m_reconnect->stop();
    dropQueuedWrites(tr("a new connection"));
    m_inFlight = 0;  // nothing the old client held will ever finish
    m_line->open();
}

QModbusClient *Modbus::master() const {
    return m_line->client();
}

quint32 Modbus::lineSession() const {
    return m_line->number();
}

void Modbus::onLineOpened() {
    if (m_reconnect->isActive()) {
        m_reconnect->stop();
        stamped(tr("Reconnected to %1 (attempt %2)")
                    .arg(m_line->link().endpoint.toString())
                    .arg(m_reconnectAttempt));
    }
    m_failures.resetErrorCount();
    emit update_errorNum(0);
    m_answering = true;
    m_scheduler.reset();
    emit com_connected();
    m_connected = true;
    m_pollingEnabled = true;
    m_outage.invalidate();
    m_rangeRequested = false;
    updateOverviewEstimate();
    m_pollTimer->start(m_pollInterval);
    if (m_fastPolling) {
        scheduleFastStep();
    }
}

void Modbus::onLineOpenFailed(const QString &reason) {
    if (m_reconnect->isActive()) {
        m_reconnect->attemptFailed();  // still disconnected since the loss: nothing to tell
        return;
    }
    logArea(tr("Connect failed: ") + reason);
    emit com_disconnected();
    m_failures.setQuiet(false);
}

void Modbus::disconnectPort() {
    if (deferToWorkerThread([this] { disconnectPort(); })) {
        return;
    }
    m_pollTimer->stop();
    m_reconnect->stop();
    if (isFlashing()) {
        abortFlash(tr("the port was closed"));
    }
    dropQueuedWrites(QStringLiteral("disconnected"));
    m_line->close();
    emit com_disconnected();
    m_connected = false;
}

void Modbus::onLineLost(const QString &reason) {
    if (!m_connected) {
        return;
    }
    m_pollTimer->stop();
    if (isFlashing()) {
        abortFlash(tr("the port was lost"));
    }
    m_connected = false;
    stamped(tr("Port lost: %1").arg(reason));
    dropQueuedWrites(tr("the port was lost"));
    if (m_autoReconnect) {
        m_reconnect->start(m_line->link().endpoint);
    }
    emit com_disconnected();
    if (m_hook) {
        m_hook->onLineLost();
    }
}

void Modbus::setAutoReconnect(bool on) {
    m_autoReconnect = on;
    if (!on) {
        runInWorkerThread([this] { m_reconnect->stop(); });
    }
}

void Modbus::onReconnectDue(int attempt) {
    m_reconnectAttempt = attempt;
    dropQueuedWrites(QStringLiteral("a new connection"));
    m_inFlight = 0;
    if (!m_line->open()) {
        m_reconnect->attemptFailed();
    }
}

void Modbus::setServerAddress(int address) {
    if (deferToWorkerThread([=] { setServerAddress(address); })) {
        return;
    }
    const int valid = validServerAddress(address);
    if (valid != m_serverAddress) {
        dropQueuedWrites(tr("the drive address changed to %1").arg(valid));
    }
    m_serverAddress = valid;
    m_busPlan.setSelected(valid);
}

void Modbus::runInWorkerThread(std::function<void()> fn) {
    if (!deferToWorkerThread(fn)) {
        fn();
    }
}

void Modbus::readBits(bool coils, int start, int count) {
    if (deferToWorkerThread([=] { readBits(coils, start, count); })) {
        return;
    }
    if (!fitsRegister(start) || count < 1 || !fitsRegister(start + count - 1)) {
        logArea(
            tr("Request refused: bits %1 to %2 are not valid addresses").arg(start).arg(start + count - 1));
        return;
    }
    m_bitRead = BitReadRequest{true, coils, start, count};
}

void Modbus::setInputList(const QVector<input_reg_t *> &list) {
    m_inputListSize = list.size();
    QVector<float> multipliers;
    multipliers.reserve(list.size());
    for (const input_reg_t *reg : list) {
        multipliers.append(reg ? reg->multiplier : 1.0f);
    }
    setInputMultipliers(multipliers);
}

void Modbus::setHoldingList(const QVector<holding_t *> &list) {
    nameRegisters(0, list);
    m_holdingListSize = list.size();
    QVector<float> multipliers;
    multipliers.reserve(list.size());
    for (const holding_t *holding : list) {
        multipliers.append(holding ? holding->multiplier : 1.0f);
    }
    setHoldingMultipliers(multipliers);
}

void Modbus::nameRegisters(int firstAddress, const QVector<holding_t *> &list) {
    QHash<int, QString> names;
    for (int i = 0; i < list.size(); ++i) {
        if (list.at(i)) {
            names.insert(firstAddress + i, list.at(i)->text.isEmpty() ? list.at(i)->name : list.at(i)->text);
        }
    }
    runInWorkerThread([this, names] {
        for (auto it = names.cbegin(); it != names.cend(); ++it) {
            m_registerNames.insert(it.key(), it.value());
        }
    });
}

void Modbus::setAccessLevelIndex(int index) {
    if (deferToWorkerThread([=] { setAccessLevelIndex(index); })) {
        return;
    }
    m_accessLevelIndex = index;
}

void Modbus::setInputMultipliers(const QVector<float> &multipliers) {
    if (deferToWorkerThread([=] { setInputMultipliers(multipliers); })) {
        return;
    }
    m_inputMultipliers = multipliers;
}

void Modbus::setHoldingMultipliers(const QVector<float> &multipliers) {
    if (deferToWorkerThread([=] { setHoldingMultipliers(multipliers); })) {
        return;
    }
    m_holdingMultipliers = multipliers;
}

void Modbus::setCaptureStatusIndex(int index) {
    if (deferToWorkerThread([=] { setCaptureStatusIndex(index); })) {
        return;
    }
    m_capture.setStatusIndex(index);
}

void Modbus::writeHolding(int address, int value, bool log) {
    if (deferToWorkerThread([=] { writeHolding(address, value, log); })) {
        return;
    }
    queueHoldingWrite(address, value, log);
}

void Modbus::writeStopCommand(int address) {
    if (deferToWorkerThread([=] { writeStopCommand(address); })) {
        return;
    }
    queueHoldingWrite(address, 0, true, RequestQueue::Lane::Priority);
}

quint64 Modbus::queueHoldingWrite(int address, int value, bool log, RequestQueue::Lane lane) {
    if (refuseWhileFlashing()) {
        return 0;
    }
    if (!fitsRegister(address) || !fitsWord(value)) {
        logArea(tr("Write refused: register %1 or value %2 out of range").arg(address).arg(value));
        return 0;
    }
    if (refuseWhileClosed()) {
        return 0;
    }
    if (log) {
        logArea(tr("Writting value %1 to holding register %2").arg(value).arg(address));
    }
    QueuedWrite write;
    write.request = pdu::writeSingleRegister(uint16_t(address), uint16_t(value));
    write.target = m_serverAddress;
    return queueWrite(write, lane);
}

quint64 Modbus::queueWrite(QueuedWrite write, RequestQueue::Lane lane) {
    write.session = lineSession();
    const quint64 ticket = m_queue.push(write, lane);
    if (ticket == 0) {
        emit send_status(
            false, true, true,
            tr("Write refused: %1 writes are already waiting for the drive").arg(m_queue.queuedWrites()));
    }
    return ticket;
}

bool Modbus::refuseWhileClosed() {
    if (m_connected) {
        return false;
    }
    emit send_status(false, true, true, tr("Write refused: the drive is not connected"));
    return true;
}

void Modbus::dropQueuedWrites(const QString &why) {
    const RequestQueue::Dropped dropped = m_queue.clear();
    if (!dropped.isEmpty()) {
        logArea(tr("Not sent (%1): %2").arg(why, dropped.describe()));
    }
}

QString Modbus::registerName(int address) const {
    const QString name = m_registerNames.value(address);
    return name.isEmpty() ? tr("register %1").arg(address) : tr("%1 (register %2)").arg(name).arg(address);
}

void Modbus::writeOnDevice(int device, int address, int value, bool log) {
    if (deferToWorkerThread([=] { writeOnDevice(device, address, value, log); })) {
        return;
    }
    queueCoilWrite(device, address, value, log);
}

quint64 Modbus::queueCoilWrite(int device, int address, int value, bool log) {
    if (refuseWhileFlashing()) {
        return 0;
    }
    if (device < 0 || device > kLastSearchAddress || !fitsRegister(address) || !fitsWord(value)) {
        logArea(tr("Write refused: device %1, register %2 or value %3 out of range")
                    .arg(device)
                    .arg(address)
                    .arg(value));
        return 0;
    }
    if (refuseWhileClosed()) {
        return 0;
    }
    if (log) {
        logArea(
            tr("Writting value %1 to holding register %2 on device %3").arg(value).arg(address).arg(device));
    }
    QueuedWrite write;
    write.request = pdu::writeSingleCoil(uint16_t(address), uint16_t(value));
    write.kind = WriteKind::Device;
    write.target = device;
    return queueWrite(write);
}

void Modbus::writeHoldings(int start, QVector<uint16_t> words) {
    if (deferToWorkerThread([=] { writeHoldings(start, words); })) {
        return;
    }
    if (refuseWhileFlashing()) {
        return;
    }
    const int count = words.size();
    if (count < 1 || count > pdu::kMaxWriteMultipleRegisters || !fitsRegister(start) ||
        start + count > 0x10000) {
        logArea(tr("Writting %1 registers starting at %2 refused: one request carries 1 to %3 "
                   "registers within 0..65535")
                    .arg(count)
                    .arg(start)
                    .arg(pdu::kMaxWriteMultipleRegisters));
        return;
    }
    if (refuseWhileClosed()) {
        return;
    }
    logArea(
        tr("Writting %1 registers starting at %2: %3").arg(count).arg(start).arg(pdu::wordBytesText(words)));
    QueuedWrite write;
    write.request = pdu::writeMultipleRegisters(uint16_t(start), words);
    write.kind = WriteKind::Multiple;
    write.target = m_serverAddress;
    queueWrite(write);
}

void Modbus::on_acceptedPassword(int level, QString pass) {
    if (deferToWorkerThread([=] { on_acceptedPassword(level, pass); })) {
        return;
    }
    if (refuseWhileFlashing() || refuseWhileClosed()) {
        return;
    }
    QueuedWrite write;
    write.request = pdu::accessLevel(level, pass);
    write.kind = WriteKind::Password;
    write.target = m_serverAddress;
    write.level = (level >= 0 && level <= 3) ? level : 0;
    queueWrite(write);
}

void Modbus::readHoldingRange(int start, int count) {
    if (deferToWorkerThread([=] { readHoldingRange(start, count); })) {
        return;
    }
    if (count < 1 || !fitsRegister(start) || start + count > 0x10000) {
        logArea(
            tr("Reading holding registers refused: start %1, count %2 out of range").arg(start).arg(count));
        return;
    }
    m_rangeStart = start;
    m_rangeCount = count;
    m_rangeRequested = true;
    logArea(tr("Reading holding registers from %1 to %2").arg(start).arg(start + count - 1));
}

void Modbus::readAuxHoldings() {
    if (deferToWorkerThread([this] { readAuxHoldings(); })) {
        return;
    }
    m_rangeStart = m_auxStart;
    m_rangeCount = m_auxCount;
    m_rangeRequested = m_auxCount > 0;
}

void Modbus::prepareHoldingListToSend(QVector<param_list_t> holdingListToSend) {
    if (deferToWorkerThread([=] { prepareHoldingListToSend(holdingListToSend); })) {
        return;
    }
    qDebug() << "modbusWorker, prepareHoldingListToSend, num: " << holdingListToSend.size();
    if (refuseWhileFlashing() || refuseWhileClosed()) {
        return;
    }
    m_queue.setSendList(holdingListToSend, m_serverAddress, lineSession());
}

void Modbus::startSearch() {
    if (deferToWorkerThread([this] { startSearch(); })) {
        return;
    }
    if (refuseWhileFlashing()) {
        return;
    }
    logArea(tr("Searching active devices in addresses 1-247..."));
    m_searchAddress = 1;
    m_searchFound = 0;
    m_searchLastPending = false;
    setState(ESTADO_SEARCH);
    m_searchActive = true;
}

void Modbus::stopSearch() {
    if (deferToWorkerThread([this] { stopSearch(); })) {
        return;
    }
    if (m_state != ESTADO_SEARCH && !m_searchActive) {
        return;  // nothing to stop; a pending write or a flash must not be cut short
    }
    logArea(tr("Search stopped by user"));
    m_searchAddress = 0;
    m_searchLastPending = false;
    setState(ESTADO_R_INPUTS);
    m_searchActive = false;
}

void Modbus::triggerCapture() {
    if (deferToWorkerThread([this] { triggerCapture(); })) {
        return;
    }
    if (queueHoldingWrite(kCaptureTriggerRegister, 1, true) != 0) {
        m_capture.armAfterTrigger();
    }
}

void Modbus::startAccelerometerRead() {
    if (deferToWorkerThread([this] { startAccelerometerRead(); })) {
        return;
    }
    m_capture.requestAccelerometer();
}

void Modbus::setTickHook(PollTickHook *hook) {
    if (!m_thread.isRunning() || QThread::currentThread() == thread()) {
        m_hook = hook;
        return;
    }
    QSemaphore installed;
    threadhandoff::post(this, [this, hook, &installed] {
        m_hook = hook;
        threadhandoff::release();
        installed.release();
    });
    installed.acquire();
    threadhandoff::acquire();
}

void Modbus::setAlarmCheck(bool on, int index) {
    m_alarmCheck = on;
    m_alarmIndex = index;
}

void Modbus::setState(uint8_t state) {
    m_state = state;
    m_searching = (state == ESTADO_SEARCH);
}

bool Modbus::isFlashing() const {
    return (m_state >= ESTADO_W_USER_FILE && m_state <= ESTADO_MARK_GOOD) ||
           (m_state >= ESTADO_START_MOTOR && m_state <= ESTADO_ERASE_USER);
}

bool Modbus::refuseWhileFlashing() {
    if (!isFlashing()) {
        return false;
    }
    logArea(tr("Request refused: a firmware update is running"));
    return true;
}

void Modbus::setTimerInterval(int ms) {
    // Setting the interval restarts the timer; only do it on a change to keep the beat.
    if (m_pollTimer->interval() != ms) {
        m_pollTimer->setInterval(ms);
    }
}

void Modbus::logArea(const QString &text) {
    emit send_status(false, false, true, text);
}

void Modbus::statusBar(const QString &text) {
    emit send_status(false, true, false, text);
}

void Modbus::stamped(const QString &text) {
    emit send_status(true, true, true, text);
}
