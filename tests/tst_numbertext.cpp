#include <QtTest>

#include "map/numbertext.h"

// Numbers in test messages and logs: the fewest digits that read back the same, in plain
// notation for ordinary magnitudes.
class TestNumberText : public QObject {
    Q_OBJECT
  private slots:
    void shortestText_data() {
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("tenth") << 0.1f << "0.1";
        QTest::newRow("thirty") << 30.0f << "30";
        QTest::newRow("twenty point five") << 20.5f << "20.5";
        QTest::newRow("negative") << -61.75f << "-61.75";
        QTest::newRow("large integer") << 123456.0f << "123456";
        QTest::newRow("zero") << 0.0f << "0";
        QTest::newRow("tiny") << 1e-7f << "1e-07";
    }
    void shortestText() {
        QFETCH(float, value);
        QTEST(shortestFloatText(value), "text");
        QCOMPARE(shortestFloatText(value).toFloat(), value);
    }
};

QTEST_GUILESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
