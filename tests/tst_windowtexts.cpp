#include <QtTest>

#include "app/statusline.h"
#include "app/userguide.h"
#include "map/registertooltip.h"

// Texts the window shows about registers and the line: tool tips and the status summary.
class WindowTextsTest : public QObject {
    Q_OBJECT
  private slots:
    void tooltips() {
        const std::tuple<QString, QString, int, int, bool, QString> rows[] = {
            // help, unit, level, address, list
            {"Speed set-point", "rpm", 2, 3, false,
             "Label\nSpeed set-point\nRange: -3000 .. 3000 rpm\nAccess level: 2 (distributor)\nAddress: "
             "0x0003 (3)"},
            {"", "", 0, 1001, false,
             "Label\nRange: -3000 .. 3000\nAccess level: 0 (anyone)\nAddress: 0x03E9 (1001)"},
            {"x", "adim", 3, 255, false,  // a dimensionless marker is not a unit
             "Label\nx\nRange: -3000 .. 3000\nAccess level: 3 (developer)\nAddress: 0x00FF (255)"},
            {"Order", "", 1, 0, true,
             "Label\nOrder\nRange: -3000 .. 3000\nAccess level: 1 (user)\nAddress: 0x0000 (0)\n"
             "Choices:\n  0 = Ninguno\n  1 = Reset"},
            {"", "V", 9, 16, false,
             "Label\nRange: -3000 .. 3000 V\nAccess level: 9 (anyone)\nAddress: 0x0010 (16)"}};
        item_t none{0, QStringLiteral("Ninguno")};
        item_t reset{1, QStringLiteral("Reset")};
        for (const auto &[help, unit, level, address, list, expected] : rows) {
            holding_t holding;
            holding.text = QStringLiteral("Label");
            holding.help = help;
            holding.unit = unit;
            holding.level = level;
            holding.min = -3000;
            holding.max = 3000;
            holding.items = list ? QVector<item_t *>{&none, &reset} : QVector<item_t *>{};
            QCOMPARE(registertooltip::forHolding(holding, address), expected);
        }
        input_reg_t input;  // an input has no range
        input.unit = QStringLiteral("A");
        QCOMPARE(registertooltip::forInput(input, 9), QStringLiteral("Unit: A\nAddress: 0x0009 (9)"));
        input.text = QStringLiteral("Corriente");
        input.unit = QStringLiteral("adim");
        QCOMPARE(registertooltip::forInput(input, 9), QStringLiteral("Corriente\nAddress: 0x0009 (9)"));
    }

    void statusTexts() {
        const std::pair<QString, const char *> rows[] = {
            {statusline::lineText(115200, 0), "115200 8N2"},  // no parity, two stops
            {statusline::lineText(19200, 1), "19200 8O1"},
            {statusline::lineText(38400, 2), "38400 8E1"},
            {statusline::lineText(57600, 3), "57600 8N1"},
            {statusline::lineText(4800, 7), "9600 8N2"},  // unknown speed and framing
            {statusline::replyAge(-1), "none yet"},
            {statusline::replyAge(340), "0.3 s ago"},
            {statusline::replyAge(42000), "42 s ago"},
            {statusline::replyAge(300000), "5 min ago"},
            {statusline::accessLevel(-1), "level unknown"},
            {statusline::accessLevel(0), "level 0 (none)"},
            {statusline::accessLevel(3), "level 3 (developer)"}};
        for (const auto &[actual, expected] : rows) {
            QCOMPARE(actual, QString::fromUtf8(expected));
        }
    }

    void userGuideIsFoundBesideTheProgramFirst() {
        QTemporaryDir root;
        QDir(root.path()).mkpath(QStringLiteral("build"));
        const QString sourceGuide = root.filePath(QStringLiteral("README.md"));
        QFile(sourceGuide).open(QIODevice::WriteOnly);
        const QStringList paths = userguide::candidates(root.filePath(QStringLiteral("build")));
        QCOMPARE(userguide::find(paths), sourceGuide);
        QCOMPARE(paths.last(), QStringLiteral("/usr/share/mvx-configurator/README.md"));
        QVERIFY(userguide::find({root.filePath(QStringLiteral("missing.md"))}).isEmpty());
    }
};

QTEST_MAIN(WindowTextsTest)
#include "tst_windowtexts.moc"
