#include "driveserver.h"
#include "comm/tracedecode.h"

#include <QModbusDataUnitMap>

#include "comm/customfunction.h"
#include "requestlog.h"
#include "waveforms.h"

namespace {

constexpr int kInputCount = waveforms::kBufferEnd;               // 0 .. 0x5BFF
constexpr int kHoldingCount = DriveServer::kCaptureTrigger + 1;  // 0 .. 0x5000
constexpr int kBitCount = 256;

quint16 bigEndian16(const QByteArray &data, int at) {
    return quint16((quint8(data.at(at)) << 8) | quint8(data.at(at + 1)));
}

QString passwordFor(int level) {
    return QString(4, QChar('0' + level));
}  // "1111", "2222", "3333"

}  // namespace

DriveServer::DriveServer(const DriveProfile &profile, const Setup &setup, RequestLog *log, QObject *parent)
    : QModbusRtuSerialSlave(parent),
      m_profile(profile),
      m_setup(setup),
      m_log(log),
      m_access(profile.holdingDefaults, setup.powerUpLevel),
      m_firmware(setup.imageDir, profile.model),
      m_motion(profile, quint32(setup.address)) {
    setServerAddress(setup.address);
    buildRegisterMap();
    m_sinceReset.start();
    m_powered.start();
    m_motionTimer.setInterval(kMotionPeriodMs);
    connect(&m_motionTimer, &QTimer::timeout, this, &DriveServer::updateMotion);
    m_motionTimer.start();
    m_captureTimer.setSingleShot(true);
    m_captureTimer.setInterval(kCaptureDelayMs);
    connect(&m_captureTimer, &QTimer::timeout, this, [this] { setCaptureReady(true); });
    updateMotion();
}

bool DriveServer::attach(const QString &device, const SerialSettings &settings, QString *error) {
    setConnectionParameter(QModbusDevice::SerialPortNameParameter, device);
    setConnectionParameter(QModbusDevice::SerialBaudRateParameter, settings.speed);
    setConnectionParameter(QModbusDevice::SerialParityParameter, settings.parity);
    setConnectionParameter(QModbusDevice::SerialDataBitsParameter, QSerialPort::Data8);
    setConnectionParameter(QModbusDevice::SerialStopBitsParameter, settings.stopBits);
    if (!connectDevice() || state() != QModbusDevice::ConnectedState) {
        *error = QStringLiteral("drive %1 cannot open %2: %3").arg(address()).arg(device, errorString());
        return false;
    }
    if (m_setup.lineTiming) {
        m_lineTiming.emplace(settings.speed, m_setup.processingMs);
    }
    return true;
}

void DriveServer::buildRegisterMap() {
    QModbusDataUnitMap map;
    map.insert(QModbusDataUnit::InputRegisters, {QModbusDataUnit::InputRegisters, 0, kInputCount});
    map.insert(QModbusDataUnit::HoldingRegisters, {QModbusDataUnit::HoldingRegisters, 0, kHoldingCount});
    map.insert(QModbusDataUnit::Coils, {QModbusDataUnit::Coils, 0, kBitCount});
    map.insert(QModbusDataUnit::DiscreteInputs, {QModbusDataUnit::DiscreteInputs, 0, kBitCount});
    setMap(map);

    for (int i = 0; i < m_profile.inputs.size() && i < waveforms::kAccelXBase; ++i) {
        setData(QModbusDataUnit::InputRegisters, quint16(i), m_profile.inputs.at(i).initialWord);
    }
    setData(QModbusDataUnit::InputRegisters, 0, m_profile.motorVersion);
    setData(QModbusDataUnit::InputRegisters, 1, m_profile.model);
    reportAccessLevel();
    loadHoldingDefaults();
    loadCaptureData();
}

void DriveServer::loadHoldingDefaults() {
    for (const HoldingDefault &holding : m_profile.holdingDefaults) {
        if (holding.address < kHoldingCount) {
            setData(QModbusDataUnit::HoldingRegisters, holding.address, holding.word);
        }
    }
    const quint16 identification[] = {m_profile.status, m_profile.motorVersion, m_profile.userVersion,
                                      m_profile.model};
    for (int i = 0; i < 4; ++i) {
        setData(QModbusDataUnit::HoldingRegisters, quint16(kIdentificationBase + i), identification[i]);
    }
}

void DriveServer::loadCaptureData() {
    for (int buffer = 0; buffer < 3; ++buffer) {
        QVector<quint16> words(2 * waveforms::kBufferSamples);
        for (int k = 0; k < waveforms::kBufferSamples; ++k) {
            tracedecode::encodeBufferFloat(waveforms::bufferSample(buffer, k), &words[2 * k],
                                           &words[2 * k + 1]);
        }
        setData(QModbusDataUnit(QModbusDataUnit::InputRegisters, waveforms::kBufferABase + buffer * 0x400,
                                words));
    }
    for (int axis = 0; axis < 3; ++axis) {
        QVector<quint16> words(waveforms::kAccelSamples);
        for (int n = 0; n < waveforms::kAccelSamples; ++n) {
            words[n] = quint16(waveforms::accelSample(axis, n));
        }
        setData(
            QModbusDataUnit(QModbusDataUnit::InputRegisters, waveforms::kAccelXBase + axis * 0x400, words));
    }
}

void DriveServer::updateMotion() {
    const auto words = m_motion.sample(m_sinceReset.elapsed() / 1000.0, m_powered.elapsed() / 1000.0);
    for (const MotionModel::Word &word : words) {
        if (!m_forcedInputs.contains(word.position) && word.position < waveforms::kAccelXBase) {
            setData(QModbusDataUnit::InputRegisters, quint16(word.position), word.value);
        }
    }
}

bool DriveServer::forceInput(int position, quint16 value) {
    if (position < 0 || position >= kInputCount) {
        return false;
    }
    m_forcedInputs.insert(position);
    return setData(QModbusDataUnit::InputRegisters, quint16(position), value);
}

bool DriveServer::forceHolding(int address, quint16 value) {
    return address >= 0 && address < kHoldingCount &&
           setData(QModbusDataUnit::HoldingRegisters, quint16(address), value);
}

quint16 DriveServer::holding(int address) const {
    quint16 value = 0;
    data(QModbusDataUnit::HoldingRegisters, quint16(address), &value);
    return value;
}

void DriveServer::logEvent(const QString &text) {
    if (!m_inBroadcast || m_setup.logsBroadcasts) {
        m_log->command(text);
    }
}

QModbusResponse DriveServer::processRequest(const QModbusPdu &request) {
    if (m_lineTiming) {
        m_lineTiming->requestTaken();
    }
    m_inBroadcast = processesBroadcast();
    const int address = m_inBroadcast ? 0 : m_setup.address;
    if (!m_inBroadcast || m_setup.logsBroadcasts) {
        m_log->request(address, request);
    }
    QModbusResponse response;
    if (const auto code = m_faults.exceptionFor(request)) {
        response = QModbusExceptionResponse(request.functionCode(), QModbusPdu::ExceptionCode(*code));
    } else if (const auto refused = m_access.refusal(request)) {
        response = QModbusExceptionResponse(request.functionCode(), QModbusPdu::ExceptionCode(*refused));
        logEvent(QStringLiteral("write refused at access level %1").arg(m_access.granted()));
    } else {
        response = QModbusRtuSerialSlave::processRequest(request);
        if (response.isValid() && !response.isException()) {
            afterWrite(request);
        }
    }
    if (m_inBroadcast || !response.isValid()) {
        return response;  // a broadcast is never answered
    }
    return settleReply(request, response);
}

QModbusResponse DriveServer::settleReply(const QModbusPdu &request, const QModbusResponse &response) {
    const auto code = quint8(request.functionCode());
    switch (m_faults.nextFate()) {
        case FaultSettings::Fate::Silent:
            m_log->responseFate(m_setup.address, code, "SILENT");
            return QModbusResponse();
        case FaultSettings::Fate::Drop:
            m_log->responseFate(m_setup.address, code, "DROPPED");
            return QModbusResponse();
        case FaultSettings::Fate::Corrupt:
            m_log->responseFate(m_setup.address, code, "CORRUPTED");
            emit replyPlanned(m_faults.delayMs(), true, answerDue(request, response));
            return response;
        case FaultSettings::Fate::Send:
            break;
    }
    m_log->response(m_setup.address, response);
    emit replyPlanned(m_faults.delayMs(), false, answerDue(request, response));
    return response;
}

QDeadlineTimer DriveServer::answerDue(const QModbusPdu &request, const QModbusResponse &response) const {
    return m_lineTiming ? m_lineTiming->answerDue(request, response) : QDeadlineTimer(0);
}

QModbusResponse DriveServer::processPrivateRequest(const QModbusPdu &request) {
    if (request.functionCode() != QModbusPdu::FunctionCode(firmwarefunction::kFunctionCode)) {
        return QModbusRtuSerialSlave::processPrivateRequest(request);
    }
    const FirmwareReceiver::Outcome outcome = m_firmware.apply(request.data());
    if (!outcome.event.isEmpty()) {
        logEvent(outcome.event);
    }
    if (outcome.exceptionCode != 0) {
        return QModbusExceptionResponse(request.functionCode(),
                                        QModbusPdu::ExceptionCode(outcome.exceptionCode));
    }
    return QModbusResponse(request.functionCode(), request.data().left(firmwarefunction::kReplyDataSize));
}

void DriveServer::afterWrite(const QModbusPdu &request) {
    const QByteArray data = request.data();
    if (data.size() < 4) {
        return;
    }
    const int start = bigEndian16(data, 0);
    int count = 0;
    if (request.functionCode() == QModbusPdu::WriteSingleRegister) {
        count = 1;
    } else if (request.functionCode() == QModbusPdu::WriteMultipleRegisters) {
        count = bigEndian16(data, 2);
    }
    const auto written = [start, count](int reg) { return reg >= start && reg < start + count; };
    if (written(kCommandRegister)) {
        runCommand(holding(kCommandRegister));
    }
    if (request.functionCode() == QModbusPdu::WriteMultipleRegisters && start == kPasswordBase) {
        checkPassword(count);
    }
    if (written(kCaptureTrigger) && holding(kCaptureTrigger) == 1) {
        triggerCapture();
    }
}

void DriveServer::runCommand(quint16 command) {
    if (command == 1) {
        m_sinceReset.restart();
        m_access.grant(m_access.powerUpLevel());  // a restarted drive forgets the password
        reportAccessLevel();
        logEvent(QStringLiteral("reset"));
    } else if (command == 2) {
        loadHoldingDefaults();
        logEvent(QStringLiteral("restore defaults"));
    } else {
        return;
    }
    // A command runs once; the register reads back as "no command" afterwards.
    setData(QModbusDataUnit::HoldingRegisters, kCommandRegister, 0);
}

void DriveServer::checkPassword(int registerCount) {
    const int level = holding(kPasswordBase);
    QString password;
    for (int i = 1; i < registerCount; ++i) {
        const quint16 word = holding(kPasswordBase + i);
        if (word == 0) {
            break;
        }
        password.append(QChar(word & 0xFF));
    }
    const bool known = level >= 0 && level <= AccessLevels::kHighestLevel;
    const bool granted = level == 0 || (known && password == passwordFor(level));
    // A wrong password leaves the level that was granted before.
    if (granted) {
        m_access.grant(level);
    }
    reportAccessLevel();
    logEvent(QStringLiteral("access level %1 %2").arg(level).arg(granted ? "granted" : "refused"));
}

void DriveServer::reportAccessLevel() {
    if (m_profile.accessLevelPosition < waveforms::kAccelXBase) {
        setData(QModbusDataUnit::InputRegisters, m_profile.accessLevelPosition, quint16(m_access.granted()));
    }
}

void DriveServer::triggerCapture() {
    setCaptureReady(false);
    m_captureTimer.start();
    logEvent(QStringLiteral("capture"));
}

void DriveServer::setCaptureReady(bool ready) {
    const quint16 position = m_profile.flagsPosition;
    if (position >= waveforms::kAccelXBase) {
        return;
    }
    quint16 word = 0;
    data(QModbusDataUnit::InputRegisters, position, &word);
    word = ready ? quint16(word | kCaptureReadyBit) : quint16(word & ~kCaptureReadyBit);
    setData(QModbusDataUnit::InputRegisters, position, word);
}
