#include <QtTest>

#include "comm/pdubuilder.h"
#include "comm/pollscheduler.h"
#include "comm/requestqueue.h"

namespace {

// A single-register write of `value` to `target`, asked for in `session`.
QueuedWrite writeOf(int value, int target = 1, quint32 session = 1) {
    QueuedWrite write;
    write.request = pdu::writeSingleRegister(5, uint16_t(value));
    write.target = target;
    write.session = session;
    return write;
}

int valueOf(const QueuedWrite &write) {
    const QByteArray data = write.request.data();
    return (quint8(data.at(2)) << 8) | quint8(data.at(3));
}

// "value@target" for each write the queue hands out for `session`, in order.
QStringList drain(RequestQueue &queue, quint32 session) {
    QStringList taken;
    QueuedWrite write;
    while (queue.take(session, &write)) {
        taken << QStringLiteral("%1@%2").arg(valueOf(write)).arg(write.target);
    }
    return taken;
}

QVector<param_list_t> records(std::initializer_list<int> values) {
    QVector<param_list_t> list;
    for (int value : values) {
        param_list_t record;
        record.add = 6;
        record.value = uint16_t(value);
        list << record;
    }
    return list;
}

// One tick's view of the line, as the scheduler is given it.
struct LineRow {
    bool busy;
    bool flashing;
    bool priorityWrite;
    bool write;
    bool answering;
};

PollScheduler::Line lineOf(const LineRow &row) {
    PollScheduler::Line line;
    line.busy = row.busy;
    line.flashing = row.flashing;
    line.priorityWrite = row.priorityWrite;
    line.write = row.write;
    line.answering = row.answering;
    return line;
}

QString nameOf(PollScheduler::Next next) {
    switch (next) {
        case PollScheduler::Next::Wait:
            return QStringLiteral("wait");
        case PollScheduler::Next::Write:
            return QStringLiteral("write");
        case PollScheduler::Next::Cycle:
            return QStringLiteral("cycle");
    }
    return QString();
}

}  // namespace

Q_DECLARE_METATYPE(QList<LineRow>)

// What goes on the line and in which order: the write queue and the tick scheduler, without a
// line.
class TestWritePolicy : public QObject {
    Q_OBJECT

  private slots:
    void stopCommandsOvertakeEveryOtherWrite() {
        RequestQueue queue;
        queue.setSendList(records({30, 31}), 1, 1);
        queue.push(writeOf(10));
        queue.push(writeOf(11));
        queue.push(writeOf(0), RequestQueue::Lane::Priority);
        QCOMPARE(drain(queue, 1), QStringList({"0@1", "10@1", "11@1", "30@1", "31@1"}));
        QVERIFY(queue.isEmpty());
    }

    // A write asked for in one session never goes out in another, whichever way it waits.
    void writesOfAnotherSessionAreDropped() {
        RequestQueue queue;
        queue.push(writeOf(10, 1, 1));
        queue.push(writeOf(0, 1, 1), RequestQueue::Lane::Priority);
        queue.setSendList(records({30}), 1, 1);
        queue.push(writeOf(20, 2, 2));
        QCOMPARE(drain(queue, 2), QStringList({"20@2"}));
        QVERIFY(queue.isEmpty());
    }

    // The send list goes to the drive it was meant for, not to the one polled later.
    void sendListKeepsItsTarget() {
        RequestQueue queue;
        queue.setSendList(records({77, 88}), 3, 1);
        QCOMPARE(drain(queue, 1), QStringList({"77@3", "88@3"}));
    }

    void clearSaysWhatWasDropped_data() {
        QTest::addColumn<int>("writes");
        QTest::addColumn<int>("sendRecords");
        QTest::addColumn<QString>("described");
        QTest::newRow("nothing") << 0 << 0 << "0 pending writes";
        QTest::newRow("one write") << 1 << 0 << "1 pending write";
        QTest::newRow("records only") << 0 << 3 << "3 parameter-file records";
        QTest::newRow("both") << 2 << 1 << "2 pending writes and 1 parameter-file record";
    }
    void clearSaysWhatWasDropped() {
        QFETCH(int, writes);
        QFETCH(int, sendRecords);
        RequestQueue queue;
        for (int i = 0; i < writes; ++i) {
            queue.push(writeOf(i));
        }
        QVector<param_list_t> list = records({});
        list.resize(sendRecords);
        queue.setSendList(list, 1, 1);
        const RequestQueue::Dropped dropped = queue.clear();
        QCOMPARE(dropped.writes, writes);
        QCOMPARE(dropped.sendRecords, sendRecords);
        QCOMPARE(dropped.isEmpty(), writes == 0 && sendRecords == 0);
        QTEST(dropped.describe(), "described");
        QVERIFY(queue.isEmpty());
        QCOMPARE(drain(queue, 1), QStringList());
    }

    // Each lane is bounded; a full normal lane still takes stop commands.
    void lanesAreBounded() {
        RequestQueue queue;
        for (int i = 0; i < RequestQueue::kNormalCapacity; ++i) {
            QVERIFY(queue.push(writeOf(i)) != 0);
        }
        QCOMPARE(queue.push(writeOf(999)), quint64(0));
        QVERIFY(queue.push(writeOf(0), RequestQueue::Lane::Priority) != 0);
        QCOMPARE(queue.queuedWrites(), RequestQueue::kNormalCapacity + 1);
    }

    void ticketsAreDistinct() {
        RequestQueue queue;
        const quint64 first = queue.push(writeOf(1));
        const quint64 second = queue.push(writeOf(2), RequestQueue::Lane::Priority);
        queue.setSendList(records({3}), 1, 1);
        QVERIFY(first != 0);
        QVERIFY(second != first);
        QueuedWrite taken;
        QVERIFY(queue.take(1, &taken));
        QCOMPARE(taken.ticket, second);
        QVERIFY(queue.take(1, &taken));
        QCOMPARE(taken.ticket, first);
        QVERIFY(queue.take(1, &taken));
        QVERIFY(taken.fromSendList);
        QVERIFY(taken.ticket != first && taken.ticket != second);
    }

    // Successive ticks: what the scheduler sends on each.
    void schedule_data() {
        QTest::addColumn<QList<LineRow>>("ticks");
        QTest::addColumn<QString>("decisions");
        const LineRow idle{false, false, false, false, true};
        const LineRow writes{false, false, false, true, true};
        const LineRow busyWithWrites{true, false, false, true, true};
        const LineRow silentWithWrites{false, false, false, true, false};
        const LineRow silentWithStop{false, false, true, true, false};
        const LineRow flashingWithStop{false, true, true, true, true};
        QTest::newRow("nothing to write") << QList<LineRow>{idle, idle} << "cycle cycle";
        QTest::newRow("a request in flight") << QList<LineRow>{busyWithWrites} << "wait";
        QTest::newRow("a burst lets the reads through")
            << QList<LineRow>{writes, writes, writes, writes, writes, writes}
            << "write write write write cycle write";
        QTest::newRow("waiting does not count as a read")
            << QList<LineRow>{writes, writes, busyWithWrites, writes, writes, writes}
            << "write write wait write write cycle";
        QTest::newRow("a silent drive holds writes back")
            << QList<LineRow>{silentWithWrites, silentWithWrites, writes} << "cycle cycle write";
        QTest::newRow("a stop goes even to a silent drive") << QList<LineRow>{silentWithStop} << "write";
        QTest::newRow("the firmware sequence keeps the line") << QList<LineRow>{flashingWithStop} << "cycle";
    }
    void schedule() {
        QFETCH(QList<LineRow>, ticks);
        PollScheduler scheduler;
        QStringList decisions;
        for (const LineRow &tick : ticks) {
            decisions << nameOf(scheduler.next(lineOf(tick)));
        }
        QTEST(decisions.join(' '), "decisions");
    }

    void readAfterWrite_data() {
        QTest::addColumn<bool>("deviceWrite");
        QTest::addColumn<bool>("moreWrites");
        QTest::addColumn<bool>("inputsNext");
        QTest::newRow("last holding write: read it back") << false << false << false;
        QTest::newRow("more writes wait: see the drive") << false << true << true;
        QTest::newRow("coil write") << true << false << true;
    }
    void readAfterWrite() {
        QFETCH(bool, deviceWrite);
        QFETCH(bool, moreWrites);
        QTEST(PollScheduler::readInputsAfterWrite(deviceWrite, moreWrites), "inputsNext");
    }
};

QTEST_GUILESS_MAIN(TestWritePolicy)
#include "tst_writepolicy.moc"
