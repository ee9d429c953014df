#include <QtTest>

#include "comm/pdubuilder.h"

class TestPduBuilder : public QObject {
    Q_OBJECT

    static QByteArray bytes(const QModbusRequest &request) {
        return QByteArray(1, char(request.functionCode())) + request.data();
    }

  private slots:
    // The common access-level cases travel through the worker in tst_worker_wire.
    void frames_data() {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("expected");
        // clang-format off
        QTest::newRow("register 1000 = 0x1234") << bytes(pdu::writeSingleRegister(1000, 0x1234)) << QByteArray("0603E81234");
        QTest::newRow("register 0x5000 = 1") << bytes(pdu::writeSingleRegister(0x5000, 1)) << QByteArray("0650000001");
        QTest::newRow("coil 7 on") << bytes(pdu::writeSingleCoil(7, 0xFF00)) << QByteArray("050007FF00");
        QTest::newRow("negative level is sent as 0") << bytes(pdu::accessLevel(-1, "")) << QByteArray("1007D000020400000000");
        QTest::newRow("level 4 is sent as 0") << bytes(pdu::accessLevel(4, "")) << QByteArray("1007D000020400000000");
        QTest::newRow("latin-1 character is one byte")
            << bytes(pdu::accessLevel(1, QString::fromUtf8("ñ"))) << QByteArray("1007D0000306000100F10000");
        QTest::newRow("firmware command") << bytes(pdu::firmwareCommand(0x1A2B, 7)) << QByteArray("641A2B07");
        QTest::newRow("firmware block")
            << bytes(pdu::firmwareBlock(0x1A2B, 5, 0x0102, QByteArray(3, 0x5A))) << QByteArray("641A2B0501025A5A5A");
        // clang-format on
    }
    void frames() {
        QFETCH(QByteArray, request);
        QTEST(request.toHex().toUpper(), "expected");
    }

    void wordBytesText() {
        QCOMPARE(pdu::wordBytesText({0x0102, 0xA0B0}), QStringLiteral(" [01] [02] [A0] [B0]"));
    }
};

QTEST_GUILESS_MAIN(TestPduBuilder)
#include "tst_pdubuilder.moc"
