#include <QtTest>

#include "app/statusline.h"
#include "app/userguide.h"
#include "map/registertooltip.h"

// Texts the window shows about registers and the line: tool tips and the status summary.
class WindowTextsTest : public QObject {
    Q_OBJECT
  private slots:
    void holdingTooltip_data();
    void holdingTooltip();
    void inputTooltipHasNoRange();
    void statusTexts_data();
    void statusTexts();
    void userGuideIsFoundBesideTheProgramFirst();
};

void WindowTextsTest::holdingTooltip_data() {
    QTest::addColumn<QString>("help");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("address");
    QTest::addColumn<bool>("list");
    QTest::addColumn<QString>("expected");
    QTest::newRow("scaled value with unit") << "Speed set-point"
                                            << "rpm" << 2 << 3 << false
                                            << "Label\nSpeed set-point\nRange: -3000 .. 3000 rpm\nAccess "
                                               "level: 2 (distributor)\nAddress: 0x0003 (3)";
    QTest::newRow("no help, no unit, aux address")
        << ""
        << "" << 0 << 1001 << false
        << "Label\nRange: -3000 .. 3000\nAccess level: 0 (anyone)\nAddress: 0x03E9 (1001)";
    QTest::newRow("dimensionless marker is not a unit")
        << "x"
        << "adim" << 3 << 255 << false
        << "Label\nx\nRange: -3000 .. 3000\nAccess level: 3 (developer)\nAddress: 0x00FF (255)";
    QTest::newRow("list choices")
        << "Order"
        << "" << 1 << 0 << true
        << "Label\nOrder\nRange: -3000 .. 3000\nAccess level: 1 (user)\nAddress: 0x0000 (0)\n"
           "Choices:\n  0 = Ninguno\n  1 = Reset";
    QTest::newRow("unknown level")
        << ""
        << "V" << 9 << 16 << false
        << "Label\nRange: -3000 .. 3000 V\nAccess level: 9 (anyone)\nAddress: 0x0010 (16)";
}

void WindowTextsTest::holdingTooltip() {
    QFETCH(QString, help);
    QFETCH(QString, unit);
    QFETCH(int, level);
    QFETCH(int, address);
    QFETCH(bool, list);
    QFETCH(QString, expected);
    item_t none{0, QStringLiteral("Ninguno")};
    item_t reset{1, QStringLiteral("Reset")};
    holding_t holding;
    holding.text = QStringLiteral("Label");
    holding.help = help;
    holding.unit = unit;
    holding.level = level;
    holding.min = -3000;
    holding.max = 3000;
    if (list) {
        holding.items = {&none, &reset};
    }
    QCOMPARE(registertooltip::forHolding(holding, address), expected);
}

void WindowTextsTest::inputTooltipHasNoRange() {
    input_reg_t input;
    input.unit = QStringLiteral("A");
    QCOMPARE(registertooltip::forInput(input, 9), QStringLiteral("Unit: A\nAddress: 0x0009 (9)"));
    input.text = QStringLiteral("Corriente");
    input.unit = QStringLiteral("adim");
    QCOMPARE(registertooltip::forInput(input, 9), QStringLiteral("Corriente\nAddress: 0x0009 (9)"));
}

void WindowTextsTest::statusTexts_data() {
    QTest::addColumn<QString>("actual");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no parity two stops") << statusline::lineText(115200, 0) << "115200 8N2";
    QTest::newRow("odd") << statusline::lineText(19200, 1) << "19200 8O1";
    QTest::newRow("even") << statusline::lineText(38400, 2) << "38400 8E1";
    QTest::newRow("no parity one stop") << statusline::lineText(57600, 3) << "57600 8N1";
    QTest::newRow("unknown speed and framing") << statusline::lineText(4800, 7) << "9600 8N2";
    QTest::newRow("never replied") << statusline::replyAge(-1) << "none yet";
    QTest::newRow("just now") << statusline::replyAge(340) << "0.3 s ago";
    QTest::newRow("seconds") << statusline::replyAge(42000) << "42 s ago";
    QTest::newRow("minutes") << statusline::replyAge(300000) << "5 min ago";
    QTest::newRow("level unknown") << statusline::accessLevel(-1) << "level unknown";
    QTest::newRow("no level") << statusline::accessLevel(0) << "level 0 (none)";
    QTest::newRow("developer") << statusline::accessLevel(3) << "level 3 (developer)";
}

void WindowTextsTest::statusTexts() {
    QFETCH(QString, actual);
    QFETCH(QString, expected);
    QCOMPARE(actual, expected);
}

void WindowTextsTest::userGuideIsFoundBesideTheProgramFirst() {
    QTemporaryDir root;
    QDir(root.path()).mkpath(QStringLiteral("build"));
    const QString sourceGuide = root.filePath(QStringLiteral("README.md"));
    QFile(sourceGuide).open(QIODevice::WriteOnly);
    const QStringList paths = userguide::candidates(root.filePath(QStringLiteral("build")));
    QCOMPARE(userguide::find(paths), sourceGuide);
    QCOMPARE(paths.last(), QStringLiteral("/usr/share/mvx-configurator/README.md"));
    QVERIFY(userguide::find({root.filePath(QStringLiteral("missing.md"))}).isEmpty());
}

QTEST_MAIN(WindowTextsTest)
#include "tst_windowtexts.moc"
