#include <QtTest>

#include "comm/pdubuilder.h"

class TestPduBuilder : public QObject {
    Q_OBJECT

  private slots:
    // The common access-level cases travel through the worker in tst_worker_wire.
    void frames() {
        const std::pair<QModbusRequest, const char *> frames[] = {
            {pdu::writeSingleRegister(1000, 0x1234), "0603E81234"},
            {pdu::writeSingleRegister(0x5000, 1), "0650000001"},
            {pdu::writeSingleCoil(7, 0xFF00), "050007FF00"},
            {pdu::accessLevel(-1, ""), "1007D000020400000000"},  // a negative level is sent as 0
            {pdu::accessLevel(4, ""), "1007D000020400000000"},   // and so is 4
            {pdu::accessLevel(1, QString::fromUtf8("ñ")), "1007D0000306000100F10000"},  // latin-1: one byte
            {pdu::firmwareCommand(0x1A2B, 7), "641A2B07"},
            {pdu::firmwareBlock(0x1A2B, 5, 0x0102, QByteArray(3, 0x5A)), "641A2B0501025A5A5A"}};
        for (const auto &[request, hex] : frames) {
            QCOMPARE((char(request.functionCode()) + request.data()).toHex().toUpper(), QByteArray(hex));
        }
        QCOMPARE(pdu::wordBytesText({0x0102, 0xA0B0}), QStringLiteral(" [01] [02] [A0] [B0]"));
    }
};

QTEST_GUILESS_MAIN(TestPduBuilder)
#include "tst_pdubuilder.moc"
