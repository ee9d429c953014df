#include "simulator.h"

#include <QDir>

#include "busrouter.h"
#include "driveserver.h"
#include "ptylink.h"
#include "requestlog.h"
#include "tcpgateway.h"

Simulator::Simulator(const SimOptions &options, const DriveProfile &profile, QObject *parent)
    : QObject(parent),
      m_options(options),
      m_profile(profile),
      m_log(new RequestLog(this)),
      m_bus(new BusRouter(this)) {
    connect(m_bus, &BusRouter::portLost, this, &Simulator::fatalError);
}

Simulator::~Simulator() {
    // The drives share the profile and close their devices before the links go away.
    qDeleteAll(m_drives);
}

bool Simulator::start(QString *error) {
    if (!m_options.logFile.isEmpty() && !m_log->open(m_options.logFile, error)) {
        return false;
    }
    if (!m_options.imageDir.isEmpty() && !QDir().mkpath(m_options.imageDir)) {
        *error = QStringLiteral("cannot create image directory %1").arg(m_options.imageDir);
        return false;
    }
    const SerialSettings settings = SerialSettings::fromFraming(m_options.speed, m_options.framing);
    if (!m_options.port.isEmpty() && !m_bus->open(m_options.port, settings, error)) {
        return false;
    }
    for (int i = 0; i < m_options.addresses.size(); ++i) {
        if (!addDrive(m_options.addresses.at(i), i == 0, error)) {
            return false;
        }
    }
    if (!m_options.tcp.isEmpty()) {
        m_gateway = new TcpGateway(this);
        return m_gateway->listen(m_options.tcp, m_drives, error);
    }
    return true;
}

QString Simulator::tcpEndpoint() const {
    return m_gateway ? m_gateway->endpoint() : QString();
}

bool Simulator::addDrive(int address, bool primary, QString *error) {
    DriveServer::Setup setup;
    setup.address = address;
    setup.logsBroadcasts = primary;
    setup.imageDir = m_options.imageDir;
    setup.powerUpLevel = m_options.accessLevel;
    setup.lineTiming = m_options.lineTiming;
    setup.processingMs = m_options.processingMs;
    auto *drive = new DriveServer(m_profile, setup, m_log, this);
    m_drives.append(drive);
    if (m_options.port.isEmpty()) {
        return true;  // reached over TCP only
    }
    PtyLink *link = m_bus->addLink(error);
    if (!link) {
        return false;
    }
    connect(drive, &DriveServer::replyPlanned, link, &PtyLink::planReply);
    const SerialSettings settings = SerialSettings::fromFraming(m_options.speed, m_options.framing);
    return drive->attach(link->slavePath(), settings, error);
}
