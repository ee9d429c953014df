#include "app/connectiongate.h"

#include <QCoreApplication>

ConnectionGate::Press ConnectionGate::press() {
    switch (m_phase) {
        case Phase::Disconnected:
            m_phase = Phase::Connecting;
            return Press::Open;
        case Phase::Connected:
        case Phase::Reconnecting:
            m_phase = Phase::Disconnected;
            return Press::Close;
        case Phase::Connecting:
            break;
    }
    return Press::Ignore;
}

bool ConnectionGate::retrying() {
    if (m_phase == Phase::Connected || m_phase == Phase::Reconnecting) {
        m_phase = Phase::Reconnecting;
        return true;
    }
    return false;
}

QString ConnectionGate::refusal(Write what) const {
    if (mayWrite()) {
        return QString();
    }
    switch (what) {
        case Write::Value:
            return QCoreApplication::translate("ConnectionGate", "Not connected: the value was not written");
        case Write::Password:
            return QCoreApplication::translate("ConnectionGate", "Not connected: the password was not sent");
        case Write::CaptureRequest:
            return QCoreApplication::translate("ConnectionGate",
                                               "Not connected: the Secondary Graph request was not sent");
        case Write::Firmware:
            return QCoreApplication::translate("ConnectionGate", "Not connected: the firmware was not sent");
    }
    return QString();
}
