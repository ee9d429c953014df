#include <QtTest>

#include "comm/pdubuilder.h"

namespace {

QByteArray pduBytes(const QModbusRequest &request) {
    return QByteArray(1, char(request.functionCode())) + request.data();
}

QByteArray hex(const char *text) {
    return QByteArray::fromHex(text);
}

}  // namespace

class TestPduBuilder : public QObject {
    Q_OBJECT

  private slots:
    void singleWrites_data();
    void singleWrites();
    void accessLevel_data();
    void accessLevel();
    void firmwareFrames();
    void wordBytesText();
};

void TestPduBuilder::singleWrites_data() {
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("register 1000 = 0x1234")
        << pduBytes(pdu::writeSingleRegister(1000, 0x1234)) << hex("0603E81234");
    QTest::newRow("register 0x5000 = 1")
        << pduBytes(pdu::writeSingleRegister(0x5000, 1)) << hex("0650000001");
    QTest::newRow("coil 7 on") << pduBytes(pdu::writeSingleCoil(7, 0xFF00)) << hex("050007FF00");
}

void TestPduBuilder::singleWrites() {
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, expected);
    QCOMPARE(request, expected);
}

void TestPduBuilder::accessLevel_data() {
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QByteArray>("expected");
    // The common cases travel through the worker in tst_worker_wire.
    QTest::newRow("negative level is sent as 0") << -1 << "" << hex("1007D000020400000000");
    QTest::newRow("latin-1 character is one byte")
        << 1 << QString::fromUtf8("ñ") << hex("1007D0000306000100F10000");
}

void TestPduBuilder::accessLevel() {
    QFETCH(int, level);
    QFETCH(QString, password);
    QFETCH(QByteArray, expected);
    QCOMPARE(pduBytes(pdu::accessLevel(level, password)), expected);
}

void TestPduBuilder::firmwareFrames() {
    QCOMPARE(pduBytes(pdu::firmwareCommand(0x1A2B, 7)), hex("641A2B07"));
    const QByteArray block(128, char(0x5A));
    const QByteArray frame = pduBytes(pdu::firmwareBlock(0x1A2B, 5, 0x0102, block));
    QCOMPARE(frame.left(6), hex("641A2B050102"));
    QCOMPARE(frame.mid(6), block);
}

void TestPduBuilder::wordBytesText() {
    QCOMPARE(pdu::wordBytesText({0x0102, 0xA0B0}), QStringLiteral(" [01] [02] [A0] [B0]"));
}

QTEST_GUILESS_MAIN(TestPduBuilder)
#include "tst_pdubuilder.moc"
