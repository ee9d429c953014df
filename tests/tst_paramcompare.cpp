#include <QtTest>

#include "params/paramcompare.h"

namespace {

const QString kCount = QStringLiteral("There are <b>%1</b> parameters with different values");
const QString kModelError = QStringLiteral(
    "<font color='red'><b>ERROR!</b></font> Different hardware models. Parameter file can't be sent");
const QString kVersionWarning = QStringLiteral(
    "<font color='orange'><b>WARNING!</b></font> Different firmware version. Make sure parameters are "
    "compatible");
const QString kSkipped = QStringLiteral(
    "<font color='orange'><b>WARNING!</b></font> Addresses above 255 can't be sent and are skipped: %1");

// Holdings with these values, at addresses 0.. unless given.
QVector<holding_t> holdingsOf(const QVector<int> &values, const QVector<int> &addresses = {}) {
    QVector<holding_t> holdings(values.size());
    for (int i = 0; i < values.size(); ++i) {
        holdings[i].add = uint16_t(addresses.isEmpty() ? i : addresses[i]);
        holdings[i].value = uint16_t(values[i]);
    }
    return holdings;
}

}  // namespace

class ParamCompareTest : public QObject {
    Q_OBJECT
  private slots:
    void compare_data() {
        QTest::addColumn<QVector<int>>("file");
        QTest::addColumn<QVector<int>>("fileAddresses");
        QTest::addColumn<QVector<int>>("drive");
        QTest::addColumn<QStringList>("fileIdentity");  // model, version; the drive is model 12, version 100
        QTest::addColumn<QString>("marks");
        QTest::addColumn<QStringList>("sent");  // kind:add:value:field16:field8
        QTest::addColumn<bool>("canSend");
        QTest::addColumn<QStringList>("summary");
        const QVector<int> none;
        const QStringList same{"12", "100"};
        // clang-format off
        QTest::newRow("equal") << QVector<int>{1, 2} << none << QVector<int>{1, 2} << same
            << "==" << QStringList{} << false << QStringList{kCount.arg(0)};
        QTest::newRow("two differ") << QVector<int>{1, 20, 3, 65535} << none << QVector<int>{1, 2, 3, 4} << same
            << "=x=x" << QStringList{"3:1:20:100:5", "3:3:65535:100:5"} << true << QStringList{kCount.arg(2)};
        QTest::newRow("shorter file") << QVector<int>{9, 2} << none << QVector<int>{1, 2, 3} << same
            << "x=" << QStringList{"3:0:9:100:5"} << true << QStringList{kCount.arg(1)};
        QTest::newRow("shorter drive") << QVector<int>{1, 7, 7} << none << QVector<int>{1, 5} << same
            << "=x" << QStringList{"3:1:7:100:5"} << true << QStringList{kCount.arg(1)};
        QTest::newRow("012 is not 12") << QVector<int>{5} << none << QVector<int>{1} << QStringList{"012", "100"}
            << "x" << QStringList{"3:0:5:100:5"} << false << QStringList{kCount.arg(1), kModelError};
        QTest::newRow("version only warns") << QVector<int>{5} << none << QVector<int>{1} << QStringList{"12", "0100"}
            << "x" << QStringList{"3:0:5:100:5"} << true << QStringList{kCount.arg(1), kVersionWarning};
        QTest::newRow("addresses above 255") << QVector<int>{7, 8, 9} << QVector<int>{256, 2, 300} << QVector<int>{1, 2, 3}
            << same << "xxx" << QStringList{"3:2:8:100:5"} << true << QStringList{kCount.arg(3), kSkipped.arg("256, 300")};
        QTest::newRow("only above 255") << QVector<int>{7} << QVector<int>{256} << QVector<int>{1} << same
            << "x" << QStringList{} << false << QStringList{kCount.arg(1), kSkipped.arg("256")};
        // clang-format on
    }
    void compare() {
        QFETCH(QVector<int>, file);
        QFETCH(QVector<int>, fileAddresses);
        QFETCH(QVector<int>, drive);
        QFETCH(QStringList, fileIdentity);
        QVector<holding_t> driveRecords = holdingsOf(drive);
        QVector<holding_t *> drivePointers;
        for (holding_t &h : driveRecords) {
            drivePointers << &h;
        }
        const ParamComparison c = compareParameters(holdingsOf(file, fileAddresses), drivePointers,
                                                    {fileIdentity[0], fileIdentity[1], "12", "100"});
        QString marks;
        for (ParamComparison::Mark mark : c.marks) {
            marks += mark == ParamComparison::Mark::Same ? QLatin1Char('=') : QLatin1Char('x');
        }
        QStringList sent;
        for (const param_list_t &r : c.sendList) {
            sent << QStringLiteral("%1:%2:%3:%4:%5")
                        .arg(r.kind)
                        .arg(r.add)
                        .arg(r.value)
                        .arg(r.field16)
                        .arg(r.field8);
        }
        QTEST(marks, "marks");
        QTEST(sent, "sent");
        QTEST(c.canSend(), "canSend");
        QTEST(c.summaryLines(), "summary");
    }
};

QTEST_MAIN(ParamCompareTest)
#include "tst_paramcompare.moc"
