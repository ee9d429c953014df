#include "comm/modbuslink.h"

#include <QVariant>

#include "comm/rtumaster.h"

QModbusClient *ModbusLink::createClient(QObject *parent) const {
    QModbusClient *client = nullptr;
    if (endpoint.isTcp()) {
        client = new TcpMaster(parent);
        // Qt's client reads the address and the port back as one URL, where an IPv6 address
        // needs its brackets.
        client->setConnectionParameter(QModbusDevice::NetworkAddressParameter, endpoint.hostInUrl());
        client->setConnectionParameter(QModbusDevice::NetworkPortParameter, endpoint.port());
    } else {
        client = new RtuMaster(parent);
        client->setConnectionParameter(QModbusDevice::SerialPortNameParameter, endpoint.device());
        client->setConnectionParameter(QModbusDevice::SerialParityParameter, parity);
        client->setConnectionParameter(QModbusDevice::SerialBaudRateParameter, baudRate);
        client->setConnectionParameter(QModbusDevice::SerialDataBitsParameter, QSerialPort::Data8);
        client->setConnectionParameter(QModbusDevice::SerialStopBitsParameter, stopBits);
    }
    client->setNumberOfRetries(0);
    client->setTimeout(50);
    return client;
}
