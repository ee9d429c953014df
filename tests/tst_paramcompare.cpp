#include <QtTest>

#include "params/paramcompare.h"

namespace {

const QString kCount = QStringLiteral("There are <b>%1</b> parameters with different values");
const QString kWarning = QStringLiteral("<font color='orange'><b>WARNING!</b></font> ");

// "1,256=7": value 1 at address 0, value 7 at address 256 (positions are addresses unless given).
QVector<holding_t> holdingsOf(const QString &list) {
    QVector<holding_t> holdings;
    for (const QString &item : list.split(',')) {
        holding_t h;
        h.add = uint16_t(item.contains('=') ? item.section('=', 0, 0).toInt() : holdings.size());
        h.value = uint16_t(item.section('=', -1).toInt());
        holdings << h;
    }
    return holdings;
}

}  // namespace

class ParamCompareTest : public QObject {
    Q_OBJECT
  private slots:
    // The drive is model 12, version 100. sent: kind:add:value:field16:field8 per record.
    void compare_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("drive");
        QTest::addColumn<QString>("fileIdentity");  // model,version
        QTest::addColumn<QString>("marks");
        QTest::addColumn<QString>("sent");
        QTest::addColumn<bool>("canSend");
        QTest::addColumn<QStringList>("summary");
        // clang-format off
        QTest::newRow("equal") << "1,2" << "1,2" << "12,100" << "==" << "" << false << QStringList{kCount.arg(0)};
        QTest::newRow("two differ") << "1,20,3,65535" << "1,2,3,4" << "12,100" << "=x=x" << "3:1:20:100:5 3:3:65535:100:5" << true << QStringList{kCount.arg(2)};
        QTest::newRow("shorter file") << "9,2" << "1,2,3" << "12,100" << "x=" << "3:0:9:100:5" << true << QStringList{kCount.arg(1)};
        QTest::newRow("shorter drive") << "1,7,7" << "1,5" << "12,100" << "=x" << "3:1:7:100:5" << true << QStringList{kCount.arg(1)};
        QTest::newRow("012 is not 12") << "5" << "1" << "012,100" << "x" << "3:0:5:100:5" << false << QStringList{kCount.arg(1), "<font color='red'><b>ERROR!</b></font> Different hardware models. Parameter file can't be sent"};
        QTest::newRow("version only warns") << "5" << "1" << "12,0100" << "x" << "3:0:5:100:5" << true << QStringList{kCount.arg(1), kWarning + "Different firmware version. Make sure parameters are compatible"};
        QTest::newRow("addresses above 255") << "256=7,2=8,300=9" << "1,2,3" << "12,100" << "xxx" << "3:2:8:100:5" << true << QStringList{kCount.arg(3), kWarning + "Addresses above 255 can't be sent and are skipped: 256, 300"};
        QTest::newRow("only above 255") << "256=7" << "1" << "12,100" << "x" << "" << false << QStringList{kCount.arg(1), kWarning + "Addresses above 255 can't be sent and are skipped: 256"};
        // clang-format on
    }
    void compare() {
        QFETCH(QString, file);
        QFETCH(QString, drive);
        QFETCH(QString, fileIdentity);
        QVector<holding_t> driveRecords = holdingsOf(drive);
        QVector<holding_t *> drivePointers;
        for (holding_t &h : driveRecords) {
            drivePointers << &h;
        }
        const ParamComparison c =
            compareParameters(holdingsOf(file), drivePointers,
                              {fileIdentity.section(',', 0, 0), fileIdentity.section(',', 1), "12", "100"});
        QString marks;
        for (ParamComparison::Mark mark : c.marks) {
            marks += mark == ParamComparison::Mark::Same ? QLatin1Char('=') : QLatin1Char('x');
        }
        QStringList sent;
        for (const param_list_t &r : c.sendList) {
            sent << QString::asprintf("%d:%d:%d:%d:%d", r.kind, r.add, r.value, r.field16, r.field8);
        }
        QTEST(marks, "marks");
        QTEST(sent.join(' '), "sent");
        QTEST(c.canSend(), "canSend");
        QTEST(c.summaryLines(), "summary");
    }

    // Both sides of the comparison show what the holding tables would, not raw words.
    void valueTexts_data() {
        QTest::addColumn<QString>("vis");
        QTest::addColumn<float>("multiplier");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<int>("word");
        QTest::addColumn<QString>("text");
        QTest::newRow("scaled with its unit") << "ufloat" << 0.1f << "V" << 4000 << "400.0 V";
        QTest::newRow("power in watts") << "integer" << 1.0f << "W" << 1500 << "1500 W";
        QTest::newRow("no unit") << "integer" << 1.0f << "none" << 2 << "2";
        QTest::newRow("dimensionless") << "float" << 0.01f << "adim" << 320 << "3.20";
        QTest::newRow("a list's choice") << "list" << 1.0f << "none" << 1 << "Reset";
        QTest::newRow("a word the list lacks") << "list" << 1.0f << "none" << 7 << "7";
    }
    void valueTexts() {
        QFETCH(QString, vis);
        QFETCH(float, multiplier);
        QFETCH(QString, unit);
        QFETCH(int, word);
        item_t none{0, QStringLiteral("Ninguno")};
        item_t reset{1, QStringLiteral("Reset")};
        holding_t holding;
        holding.vis_type = vis;
        holding.multiplier = multiplier;
        holding.unit = unit;
        holding.items = {&none, &reset};
        QTEST(comparedValueText(&holding, uint16_t(word)), "text");
        QCOMPARE(comparedValueText(nullptr, uint16_t(word)), QString::number(word));
    }
};

QTEST_MAIN(ParamCompareTest)
#include "tst_paramcompare.moc"
