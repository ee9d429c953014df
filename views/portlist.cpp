#include "views/portlist.h"

#include <QComboBox>
#include <QFileInfo>
#include <QSerialPortInfo>

namespace portlist {

namespace {

bool isListed(const QComboBox *combo, const QString &portName) {
    for (int i = 0; i < combo->count(); ++i) {
        const QString listed = combo->itemData(i).toString();
        if (listed == portName || QStringLiteral("/dev/") + listed == portName) {
            return true;
        }
    }
    return false;
}

int indexOfSaved(const QComboBox *combo, const QString &savedPort) {
    for (int i = 0; i < combo->count(); ++i) {
        if (combo->itemText(i) == savedPort || combo->itemData(i).toString() == savedPort) {
            return i;
        }
    }
    return -1;
}

}  // namespace

void fill(QComboBox *combo, const QString &savedPort, bool selectSaved) {
    combo->clear();
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &port : ports) {
        combo->addItem(QStringLiteral("%1 - %2").arg(port.portName(), port.description()), port.portName());
    }
    if (!savedPort.isEmpty() && QFileInfo::exists(savedPort) && !isListed(combo, savedPort)) {
        combo->addItem(savedPort, savedPort);
    }
    if (selectSaved) {
        const int saved = indexOfSaved(combo, savedPort);
        if (saved >= 0) {
            combo->setCurrentIndex(saved);
        }
    }
}

QString currentPortName(const QComboBox *combo) {
    return combo->currentIndex() >= 0 ? combo->currentData().toString() : QString();
}

}  // namespace portlist
