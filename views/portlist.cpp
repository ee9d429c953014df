#include "views/portlist.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QSerialPortInfo>

#include "comm/endpoint.h"

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

bool isEntry(const QComboBox *combo) {
    return combo->currentIndex() >= 0 && combo->currentText() == combo->itemText(combo->currentIndex());
}

}  // namespace

void fill(QComboBox *combo, const QString &savedPort, bool selectSaved) {
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    if (combo->toolTip().isEmpty()) {
        combo->setToolTip(QCoreApplication::translate(
            "portlist", "Serial port, or a Modbus TCP gateway typed as tcp://HOST[:PORT]"));
    }
    combo->clear();
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &port : ports) {
        combo->addItem(QStringLiteral("%1 - %2").arg(port.portName(), port.description()), port.portName());
    }
    const bool reachable = QFileInfo::exists(savedPort) || Endpoint::parse(savedPort).isTcp();
    if (!savedPort.isEmpty() && reachable && !isListed(combo, savedPort)) {
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
    return isEntry(combo) ? combo->currentData().toString() : combo->currentText().trimmed();
}

QString typedPort(const QComboBox *combo) {
    return isEntry(combo) ? QString() : combo->currentText().trimmed();
}

}  // namespace portlist
