#include <QtTest>

#include "comm/buspollplan.h"
#include "comm/polllist.h"
#include "map/overviewregisters.h"
#include "views/plotdata/otherdrives.h"

namespace {

QString describe(const BusPollPlan::Next &next) {
    switch (next.request) {
        case BusPollPlan::Request::Selected:
            return QStringLiteral("sel");
        case BusPollPlan::Request::Identify:
            return QStringLiteral("id@%1").arg(next.address);
        case BusPollPlan::Request::Overview:
            return QStringLiteral("ov@%1").arg(next.address);
    }
    return QString();
}

// Plays `steps` fast-mode requests; drives in `absent` never answer.
QStringList playFast(BusPollPlan &plan, int steps, const QVector<int> &absent = {}) {
    QStringList sent;
    for (int i = 0; i < steps; ++i) {
        const BusPollPlan::Next next = plan.nextFast();
        sent << describe(next);
        if (next.request == BusPollPlan::Request::Selected) {
            continue;
        }
        if (absent.contains(next.address)) {
            plan.recordFailure(next.address);
            continue;
        }
        plan.recordAnswer(next.address, 0.0);
        if (next.request == BusPollPlan::Request::Identify) {
            plan.recordIdentified(next.address);
        }
    }
    return sent;
}

// Input registers of a map, each given as "name:vis_type:unit", marked ones with a "*" in front.
struct Registers {
    explicit Registers(const QStringList &specs) {
        for (const QString &spec : specs) {
            const QStringList parts = spec.split(QLatin1Char(':'));
            auto reg = std::make_unique<input_reg_t>();
            reg->overview = parts.at(0).startsWith(QLatin1Char('*'));
            reg->name = parts.at(0).mid(reg->overview ? 1 : 0);
            reg->text = reg->name.toUpper();
            reg->vis_type = parts.value(1, QStringLiteral("integer"));
            reg->unit = parts.value(2, QStringLiteral("adim"));
            list << reg.get();
            owned.push_back(std::move(reg));
        }
    }
    std::vector<std::unique_ptr<input_reg_t>> owned;
    QVector<input_reg_t *> list;
};

}  // namespace

// Which request the line carries next when several drives are watched, how the poll list is
// typed, which registers the overview reads and how the other drives become channels.
class TestBusPoll : public QObject {
    Q_OBJECT

  private slots:
    void fastModeTurns_data();
    void fastModeTurns();
    void absentDriveCostsLittle();
    void freeTimeBetweenTicks_data();
    void freeTimeBetweenTicks();
    void measuredTimeRefinesTheEstimate();
    void typedPollList_data();
    void typedPollList();
    void overviewRegisters_data();
    void overviewRegisters();
    void otherDrivesChannels();
};

void TestBusPoll::fastModeTurns_data() {
    QTest::addColumn<QVector<int>>("list");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QStringList>("sent");
    QTest::newRow("empty list: the selected drive alone")
        << QVector<int>{} << 1 << QStringList{"sel", "sel", "sel", "sel"};
    QTest::newRow("the selected drive alone in the list")
        << QVector<int>{1} << 1 << QStringList{"sel", "sel", "sel", "sel"};
    QTest::newRow("first contact identifies, then the overview registers")
        << QVector<int>{1, 2} << 1 << QStringList{"sel", "id@1", "sel", "id@2", "sel", "ov@2", "sel", "ov@2"};
    QTest::newRow("round-robin between the selected drive's requests")
        << QVector<int>{3, 1, 2} << 1 << QStringList{"sel", "id@3", "sel", "id@1", "sel", "id@2",
                                                     "sel", "ov@3", "sel", "ov@2", "sel", "ov@3"};
    QTest::newRow("an unidentified selected drive is identified once")
        << QVector<int>{2, 5} << 5 << QStringList{"sel", "id@2", "sel", "id@5", "sel", "ov@2", "sel", "ov@2"};
    QTest::newRow("duplicates and addresses outside 1-247 dropped")
        << QVector<int>{2, 2, 0, 248, -1} << 1 << QStringList{"sel", "id@2", "sel", "ov@2"};
}

void TestBusPoll::fastModeTurns() {
    QFETCH(QVector<int>, list);
    QFETCH(int, selected);
    QFETCH(QStringList, sent);
    BusPollPlan plan;
    plan.setSelected(selected);
    plan.setPollList(list);
    QCOMPARE(playFast(plan, sent.size()), sent);
}

void TestBusPoll::absentDriveCostsLittle() {
    BusPollPlan plan;
    plan.setSelected(1);
    plan.setPollList({1, 2, 3, 9});
    const QStringList sent = playFast(plan, 400, {9});
    const int toAbsent = sent.filter(QStringLiteral("@9")).size();
    const int toPresent = sent.filter(QStringLiteral("@2")).size();
    // The selected drive keeps every other request; of the 200 overview requests, rounds of the
    // two present drives, the absent one gets one in eight rounds once it has failed three times.
    QCOMPARE(sent.count(QStringLiteral("sel")), 200);
    QVERIFY2(toAbsent <= 200 / 2 / BusPollPlan::kAbsentRetryRounds + BusPollPlan::kAbsentAfter + 1,
             qPrintable(QString::number(toAbsent)));
    QVERIFY2(toPresent > 80, qPrintable(QString::number(toPresent)));
    QCOMPARE(plan.failures(9), toAbsent);
    QCOMPARE(plan.failures(2), 0);
    QVERIFY(plan.isAbsent(9));
    // Its first answer ends the absence.
    plan.recordAnswer(9, 0.0);
    QVERIFY(!plan.isAbsent(9));
}

void TestBusPoll::freeTimeBetweenTicks_data() {
    QTest::addColumn<QVector<int>>("list");
    QTest::addColumn<double>("expectedMs");
    QTest::addColumn<double>("untilTickMs");
    QTest::addColumn<double>("responseTimeoutMs");
    QTest::addColumn<int>("address");
    QTest::addColumn<double>("timeoutMs");
    // An overview exchange of 20 ms needs 20 × 1.5 + 3 = 33 ms before the tick; a shorter one
    // still 20 + 3 ms.
    QTest::newRow("room: the time-out ends before the tick")
        << QVector<int>{2} << 7.0 << 90.0 << 250.0 << 2 << 87.0;
    QTest::newRow("room: the line's own time-out is shorter")
        << QVector<int>{2} << 7.0 << 90.0 << 50.0 << 2 << 50.0;
    QTest::newRow("just enough") << QVector<int>{2} << 20.0 << 33.0 << 250.0 << 2 << 30.0;
    QTest::newRow("too close to the tick") << QVector<int>{2} << 20.0 << 32.5 << 250.0 << 0 << 0.0;
    QTest::newRow("short exchange, shortest time-out")
        << QVector<int>{2} << 2.0 << 23.0 << 250.0 << 2 << 20.0;
    QTest::newRow("short exchange, too close") << QVector<int>{2} << 2.0 << 22.5 << 250.0 << 0 << 0.0;
    QTest::newRow("no other drive") << QVector<int>{1} << 7.0 << 90.0 << 250.0 << 0 << 0.0;
}

void TestBusPoll::freeTimeBetweenTicks() {
    QFETCH(QVector<int>, list);
    QFETCH(double, expectedMs);
    QFETCH(double, untilTickMs);
    QFETCH(double, responseTimeoutMs);
    QFETCH(int, address);
    QFETCH(double, timeoutMs);
    BusPollPlan plan;
    plan.setSelected(1);
    plan.setPollList(list);
    plan.setExpectedExchangeMs(expectedMs);
    const BusPollPlan::Next next = plan.nextInFreeTime(untilTickMs, responseTimeoutMs);
    QCOMPARE(next.address, address);
    QCOMPARE(next.timeoutMs, timeoutMs);
}

void TestBusPoll::measuredTimeRefinesTheEstimate() {
    BusPollPlan plan;
    plan.setExpectedExchangeMs(10.0);
    plan.recordAnswer(2, 20.0);
    QCOMPARE(plan.expectedExchangeMs(), 12.0);
    plan.recordAnswer(1, 0.0);  // the selected drive's reads are not timed
    QCOMPARE(plan.expectedExchangeMs(), 12.0);
}

void TestBusPoll::typedPollList_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QVector<int>>("addresses");
    QTest::newRow("commas") << "1,2,5" << true << QVector<int>{1, 2, 5};
    QTest::newRow("spaces and a range") << " 7 1-3 " << true << QVector<int>{7, 1, 2, 3};
    QTest::newRow("duplicates once") << "2,2;3" << true << QVector<int>{2, 3};
    QTest::newRow("empty") << "" << true << QVector<int>{};
    QTest::newRow("broadcast address") << "0,1" << false << QVector<int>{};
    QTest::newRow("beyond 247") << "248" << false << QVector<int>{};
    QTest::newRow("reversed range") << "5-3" << false << QVector<int>{};
    QTest::newRow("word") << "1,two" << false << QVector<int>{};
}

void TestBusPoll::typedPollList() {
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(QVector<int>, addresses);
    QVector<int> parsed;
    QString error;
    QCOMPARE(polllist::parse(text, &parsed, &error), ok);
    QCOMPARE(error.isEmpty(), ok);
    if (ok) {
        QCOMPARE(parsed, addresses);
        QCOMPARE(polllist::text(parsed), polllist::text(addresses));
    }
}

void TestBusPoll::overviewRegisters_data() {
    QTest::addColumn<QStringList>("registers");
    QTest::addColumn<QVector<int>>("positions");
    QTest::addColumn<QString>("described");
    QTest::newRow("marked ones win") << QStringList{"fw", "status:list", "*i_u", "speed", "*temp"}
                                     << QVector<int>{2, 4} << "i_u, temp (marked)";
    QTest::newRow("state, alarm, speed, bus voltage by name, in that order")
        << QStringList{"fw", "vbus", "speed", "alarm:list", "status:list", "i_u"} << QVector<int>{4, 3, 2, 1}
        << "status, alarm, speed, vbus (by name)";
    QTest::newRow("those of them the map has")
        << QStringList{"fw", "model", "speed", "i_u"} << QVector<int>{2} << "speed (by name)";
    QTest::newRow("none of them: the first four")
        << QStringList{"a", "b", "c", "d", "e"} << QVector<int>{0, 1, 2, 3} << "a, b, c, d (the first four)";
    QTest::newRow("a short map") << QStringList{"a", "b"} << QVector<int>{0, 1} << "a, b (the first four)";
}

void TestBusPoll::overviewRegisters() {
    QFETCH(QStringList, registers);
    QFETCH(QVector<int>, positions);
    QFETCH(QString, described);
    const Registers map(registers);
    QCOMPARE(overviewregisters::positions(map.list), positions);
    QCOMPARE(overviewregisters::describe(map.list), described);
}

void TestBusPoll::otherDrivesChannels() {
    const Registers map({"fw", "status:list", "speed:integer:rpm", "vbus:ufloat:V"});
    map.list.at(3)->multiplier = 0.1f;
    plotdata::OtherDrives others;
    others.configure(map.list, {1, 2, 3}, {1, 2, 5}, 1);
    QStringList texts;
    for (const plotdata::OtherDrives::Channel &channel : others.channels()) {
        texts << channel.text;
    }
    // The selected drive (1) and list registers have no channel of their own.
    QCOMPARE(texts, (QStringList{"SPEED @2", "VBUS @2", "SPEED @5", "VBUS @5"}));
    QCOMPARE(others.nameEntries(), ";speed @2;vbus @2;speed @5;vbus @5");
    QCOMPARE(others.unitEntries(), ";rpm;V;rpm;V");
    QCOMPARE(others.valueEntries(), ";;;;");
    OverviewReading reading;
    reading.address = 5;
    reading.answered = true;
    reading.positions = {1, 2, 3};
    reading.words = {2, 1500, 5321};
    others.note(reading);
    // As the tables show them: the register's decimals, no float noise (532.10004).
    QCOMPARE(others.valueEntries(), ";;;1500;532.1");
}

QTEST_GUILESS_MAIN(TestBusPoll)
#include "tst_buspoll.moc"
