#include <QtTest>

#include "map/numbertext.h"

// Numbers in test messages and logs: the fewest digits that read back the same, in plain
// notation for ordinary magnitudes.
class TestNumberText : public QObject {
    Q_OBJECT
  private slots:
    void shortestText() {
        for (const QString &text : QStringLiteral("0.1 30 20.5 -61.75 123456 0 1e-07").split(' ')) {
            QCOMPARE(shortestFloatText(text.toFloat()), text);
        }
    }
};

QTEST_GUILESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
