#include <QtTest>

#include "params/paramcompare.h"

namespace {

const QString kCount = QStringLiteral("There are <b>%1</b> parameters with different values");
const QString kModelError = QStringLiteral(
    "<font color='red'><b>ERROR!</b></font> Different hardware models. Parameter file can't be sent");
const QString kVersionWarning = QStringLiteral(
    "<font color='orange'><b>WARNING!</b></font> Different firmware version. Make sure parameters are "
    "compatible");

// Holdings with these values, at addresses 0.. unless given.
QVector<holding_t> holdingsOf(const QVector<int> &values, const QVector<int> &addresses = {}) {
    QVector<holding_t> holdings(values.size());
    for (int i = 0; i < values.size(); ++i) {
        holdings[i].add = uint16_t(addresses.isEmpty() ? i : addresses[i]);
        holdings[i].value = uint16_t(values[i]);
    }
    return holdings;
}

QString marksText(const ParamComparison &c) {
    QString text;
    for (ParamComparison::Mark mark : c.marks) {
        text += mark == ParamComparison::Mark::Same ? QLatin1Char('=') : QLatin1Char('x');
    }
    return text;
}

// "kind:add:value:field16:field8" per record.
QStringList sendText(const QVector<param_list_t> &list) {
    QStringList texts;
    for (const param_list_t &r : list) {
        texts << QStringLiteral("%1:%2:%3:%4:%5")
                     .arg(r.kind)
                     .arg(r.add)
                     .arg(r.value)
                     .arg(r.field16)
                     .arg(r.field8);
    }
    return texts;
}

}  // namespace

class ParamCompareTest : public QObject {
    Q_OBJECT
  private slots:
    void compare_data();
    void compare();
};

void ParamCompareTest::compare_data() {
    QTest::addColumn<QVector<int>>("file");
    QTest::addColumn<QVector<int>>("fileAddresses");
    QTest::addColumn<QVector<int>>("drive");
    QTest::addColumn<QString>("fileModel");  // the drive is model "12", version "100"
    QTest::addColumn<QString>("fileVersion");
    QTest::addColumn<QString>("marks");
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<bool>("canSend");
    QTest::addColumn<QStringList>("summary");
    const QVector<int> none;
    QTest::newRow("equal") << QVector<int>{1, 2} << none << QVector<int>{1, 2} << "12"
                           << "100"
                           << "==" << QStringList{} << false << QStringList{kCount.arg(0)};
    QTest::newRow("two differ") << QVector<int>{1, 20, 3, 65535} << none << QVector<int>{1, 2, 3, 4} << "12"
                                << "100"
                                << "=x=x" << QStringList{"3:1:20:100:5", "3:3:65535:100:5"} << true
                                << QStringList{kCount.arg(2)};
    QTest::newRow("shorter file") << QVector<int>{9, 2} << none << QVector<int>{1, 2, 3} << "12"
                                  << "100"
                                  << "x=" << QStringList{"3:0:9:100:5"} << true << QStringList{kCount.arg(1)};
    QTest::newRow("shorter drive") << QVector<int>{1, 7, 7} << none << QVector<int>{1, 5} << "12"
                                   << "100"
                                   << "=x" << QStringList{"3:1:7:100:5"} << true
                                   << QStringList{kCount.arg(1)};
    QTest::newRow("012 is not 12") << QVector<int>{5} << none << QVector<int>{1} << "012"
                                   << "100"
                                   << "x" << QStringList{"3:0:5:100:5"} << false
                                   << QStringList{kCount.arg(1), kModelError};
    QTest::newRow("version only warns")
        << QVector<int>{5} << none << QVector<int>{1} << "12"
        << "0100"
        << "x" << QStringList{"3:0:5:100:5"} << true << QStringList{kCount.arg(1), kVersionWarning};
    QTest::newRow("addresses above 255")
        << QVector<int>{7, 8, 9} << QVector<int>{256, 2, 300} << QVector<int>{1, 2, 3} << "12"
        << "100"
        << "xxx" << QStringList{"3:2:8:100:5"} << true
        << QStringList{kCount.arg(3),
                       "<font color='orange'><b>WARNING!</b></font> Addresses above 255 can't be "
                       "sent and are skipped: 256, 300"};
    QTest::newRow("only above 255") << QVector<int>{7} << QVector<int>{256} << QVector<int>{1} << "12"
                                    << "100"
                                    << "x" << QStringList{} << false
                                    << QStringList{kCount.arg(1),
                                                   "<font color='orange'><b>WARNING!</b></font> "
                                                   "Addresses above 255 can't be sent and are "
                                                   "skipped: 256"};
}

void ParamCompareTest::compare() {
    QFETCH(QVector<int>, file);
    QFETCH(QVector<int>, fileAddresses);
    QFETCH(QVector<int>, drive);
    QFETCH(QString, fileModel);
    QFETCH(QString, fileVersion);
    QVector<holding_t> driveRecords = holdingsOf(drive);
    QVector<holding_t *> drivePointers;
    for (holding_t &h : driveRecords) {
        drivePointers << &h;
    }
    const ParamComparison c =
        compareParameters(holdingsOf(file, fileAddresses), drivePointers,
                          {fileModel, fileVersion, QStringLiteral("12"), QStringLiteral("100")});
    QTEST(marksText(c), "marks");
    QTEST(sendText(c.sendList), "sent");
    QTEST(c.canSend(), "canSend");
    QTEST(c.summaryLines(), "summary");
}

QTEST_MAIN(ParamCompareTest)
#include "tst_paramcompare.moc"
