#include <QtTest>

#include "app/connectiongate.h"

namespace {

// What happens to the gate: the user presses Connect, or the worker answers.
enum class Step { Press, WorkerConnected, WorkerDisconnected, WorkerRetrying };

using Gate = ConnectionGate;

// The gate after `steps`; what each press did goes to *presses.
Gate gateAfter(const QVector<Step> &steps, QVector<Gate::Press> *presses = nullptr) {
    Gate gate;
    for (Step step : steps) {
        switch (step) {
            case Step::Press: {
                const Gate::Press outcome = gate.press();
                if (presses != nullptr) {
                    presses->append(outcome);
                }
                break;
            }
            case Step::WorkerConnected:
                gate.opened();
                break;
            case Step::WorkerDisconnected:
                gate.closed();
                break;
            case Step::WorkerRetrying:
                gate.retrying();
                break;
        }
    }
    return gate;
}

}  // namespace

Q_DECLARE_METATYPE(QVector<Step>)
Q_DECLARE_METATYPE(QVector<ConnectionGate::Press>)
Q_DECLARE_METATYPE(ConnectionGate::Phase)
Q_DECLARE_METATYPE(ConnectionGate::Write)

// The window's Connect button and write refusals, decided without a window or a drive.
class TestConnectionGate : public QObject {
    Q_OBJECT

  private slots:
    void connectPresses_data() {
        QTest::addColumn<QVector<Step>>("steps");
        QTest::addColumn<QVector<Gate::Press>>("presses");  // what each press did, in order
        QTest::addColumn<Gate::Phase>("phase");             // after the last step
        using S = Step;
        using P = Gate::Press;
        QTest::newRow("first press opens")
            << QVector<S>{S::Press} << QVector<P>{P::Open} << Gate::Phase::Connecting;
        QTest::newRow("second press while connecting is ignored")
            << QVector<S>{S::Press, S::Press, S::Press} << QVector<P>{P::Open, P::Ignore, P::Ignore}
            << Gate::Phase::Connecting;
        QTest::newRow("connected, then a press closes at once")
            << QVector<S>{S::Press, S::WorkerConnected, S::Press} << QVector<P>{P::Open, P::Close}
            << Gate::Phase::Disconnected;
        QTest::newRow("the worker's answer to the close changes nothing")
            << QVector<S>{S::Press, S::WorkerConnected, S::Press, S::WorkerDisconnected}
            << QVector<P>{P::Open, P::Close} << Gate::Phase::Disconnected;
        QTest::newRow("failed open: the next press opens again")
            << QVector<S>{S::Press, S::WorkerDisconnected, S::Press} << QVector<P>{P::Open, P::Open}
            << Gate::Phase::Connecting;
        QTest::newRow("port lost while connected")
            << QVector<S>{S::Press, S::WorkerConnected, S::WorkerDisconnected} << QVector<P>{P::Open}
            << Gate::Phase::Disconnected;
        QTest::newRow("port lost and tried again")
            << QVector<S>{S::Press, S::WorkerConnected, S::WorkerRetrying} << QVector<P>{P::Open}
            << Gate::Phase::Reconnecting;
        QTest::newRow("a press while reconnecting closes")
            << QVector<S>{S::Press, S::WorkerConnected, S::WorkerRetrying, S::Press}
            << QVector<P>{P::Open, P::Close} << Gate::Phase::Disconnected;
        QTest::newRow("a retry reported after that press changes nothing")
            << QVector<S>{S::Press, S::WorkerConnected, S::WorkerRetrying, S::Press, S::WorkerRetrying}
            << QVector<P>{P::Open, P::Close} << Gate::Phase::Disconnected;
        QTest::newRow("reconnected") << QVector<S>{S::Press, S::WorkerConnected, S::WorkerRetrying,
                                                   S::WorkerConnected}
                                     << QVector<P>{P::Open} << Gate::Phase::Connected;
    }
    void connectPresses() {
        QFETCH(QVector<Step>, steps);
        QVector<Gate::Press> presses;
        const Gate gate = gateAfter(steps, &presses);
        QTEST(presses, "presses");
        QTEST(gate.phase(), "phase");
    }

    void writesGoOnlyWhileConnected_data() {
        QTest::addColumn<QVector<Step>>("steps");
        QTest::addColumn<Gate::Write>("write");
        QTest::addColumn<QString>("refusal");  // empty: the write goes
        using S = Step;
        using W = Gate::Write;
        const QVector<S> connected{S::Press, S::WorkerConnected};
        QTest::newRow("never connected")
            << QVector<S>{} << W::Value << "Not connected: the value was not written";
        QTest::newRow("connecting") << QVector<S>{S::Press} << W::Value
                                    << "Not connected: the value was not written";
        QTest::newRow("connected: value") << connected << W::Value << QString();
        QTest::newRow("connected: password") << connected << W::Password << QString();
        QTest::newRow("Disconnect pressed, worker not yet closed")
            << QVector<S>{S::Press, S::WorkerConnected, S::Press} << W::Value
            << "Not connected: the value was not written";
        QTest::newRow("port lost: password")
            << QVector<S>{S::Press, S::WorkerConnected, S::WorkerDisconnected} << W::Password
            << "Not connected: the password was not sent";
        QTest::newRow("reconnecting: value") << QVector<S>{S::Press, S::WorkerConnected, S::WorkerRetrying}
                                             << W::Value << "Not connected: the value was not written";
        QTest::newRow("Secondary Graph request")
            << QVector<S>{} << W::CaptureRequest << "Not connected: the Secondary Graph request was not sent";
        QTest::newRow("firmware") << QVector<S>{} << W::Firmware
                                  << "Not connected: the firmware was not sent";
    }
    void writesGoOnlyWhileConnected() {
        QFETCH(QVector<Step>, steps);
        QFETCH(Gate::Write, write);
        QFETCH(QString, refusal);
        const Gate gate = gateAfter(steps);
        QCOMPARE(gate.refusal(write), refusal);
        QCOMPARE(gate.mayWrite(), refusal.isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestConnectionGate)
#include "tst_connectiongate.moc"
