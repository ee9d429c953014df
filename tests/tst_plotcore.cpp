#include <QRandomGenerator>
#include <QtTest>
#include <cstring>

#include "app/drivecommands.h"
#include "comm/capturedata.h"
#include "comm/capturereader.h"
#include "comm/captureregisters.h"
#include "comm/tracedecode.h"
#include "views/plotdata/datalogreader.h"
#include "views/plotdata/historystore.h"
#include "views/plotdata/outagetracker.h"
#include "views/plotdata/powercalc.h"
#include "views/plotdata/realtimeaxes.h"

namespace {

// The drive's encoding of one buffer sample: IEEE bits, each half byte-swapped, low half first.
QVector<uint16_t> encodeSample(float value) {
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    auto swap = [](uint16_t w) { return uint16_t((w << 8) | (w >> 8)); };
    return {swap(uint16_t(bits & 0xFFFF)), swap(uint16_t(bits >> 16))};
}

QVector<uint16_t> encodeSamples(int first, int count) {
    QVector<uint16_t> words;
    for (int k = first; k < first + count; ++k) {
        words += encodeSample(float(k) + 0.5f);
    }
    return words;
}

}  // namespace

class tst_plotcore : public QObject {
    Q_OBJECT

  private slots:
    void powerLabels_data() {
        QTest::addColumn<double>("vd");
        QTest::addColumn<double>("id");
        QTest::addColumn<double>("vq");
        QTest::addColumn<double>("iq");
        QTest::addColumn<QStringList>("labels");
        QTest::newRow("d only") << 10.0 << 2.0 << 0.0 << 0.0
                                << QStringList{"P = 30.0 W", "Q = 0.0 VAr", "S = 30.0 VA"};
        QTest::newRow("q only") << 0.0 << 0.0 << 10.0 << 2.0
                                << QStringList{"P = 30.0 W", "Q = 0.0 VAr", "S = 30.0 VA"};
        QTest::newRow("vd with iq") << 10.0 << 0.0 << 0.0 << 2.0
                                    << QStringList{"P = 0.0 W", "Q = -30.0 VAr", "S = 30.0 VA"};
        QTest::newRow("mixed") << 3.0 << 1.0 << 4.0 << 2.0
                               << QStringList{"P = 16.5 W", "Q = -3.0 VAr", "S = 16.8 VA"};
    }
    void powerLabels() {
        QFETCH(double, vd);
        QFETCH(double, id);
        QFETCH(double, vq);
        QFETCH(double, iq);
        QFETCH(QStringList, labels);
        const power::PowerValues v = power::compute(id, iq, vd, vq);
        QCOMPARE((QStringList{power::activeText(v.p), power::reactiveText(v.q), power::apparentText(v.s)}),
                 labels);
    }

    void powerFromInputsNeedsAllPositions_data() {
        QTest::addColumn<int>("badPosition");
        QTest::newRow("all valid") << -2;
        QTest::newRow("id unset") << -1;
        QTest::newRow("past the list") << 4;
    }
    void powerFromInputsNeedsAllPositions() {
        QFETCH(int, badPosition);
        QVector<input_reg_t> regs(4);
        QVector<input_reg_t *> list;
        for (input_reg_t &r : regs) {
            list << &r;
        }
        regs[0].fvalue = 2.0f;   // id
        regs[2].fvalue = 10.0f;  // vd
        power::PowerValues out{7, 7, 7};
        const power::PowerPositions positions{badPosition == -2 ? 0 : badPosition, 1, 2, 3};
        const bool ok = power::fromInputs(list, positions, &out);
        QCOMPARE(ok, badPosition == -2);
        QCOMPARE(out.p, ok ? 30.0 : 7.0);
    }

    void axisByUnit_data() {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<int>("axis");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("pen");
        QTest::newRow("rpm") << "rpm" << 0 << "Speed [rpm]" << int(Qt::blue);
        QTest::newRow("V") << "V" << 1 << "Voltage [V]" << int(Qt::red);
        QTest::newRow("A") << "A" << 2 << "Current [A]" << int(Qt::green);
        QTest::newRow("W") << "W" << 3 << "Power [W]" << int(Qt::black);
        QTest::newRow("degC") << QString::fromUtf8("ºC") << 4 << QString::fromUtf8("Temperature [ºC]")
                              << int(Qt::yellow);
        QTest::newRow("Hz") << "Hz" << -1 << "" << 0;
        QTest::newRow("kHz") << "kHz" << -1 << "" << 0;
        QTest::newRow("case matters") << "RPM" << -1 << "" << 0;
        QTest::newRow("empty") << "" << -1 << "" << 0;
    }
    void axisByUnit() {
        QFETCH(QString, unit);
        QFETCH(int, axis);
        QCOMPARE(realtimeaxes::axisIndexForUnit(unit), axis);
        if (axis >= 0) {
            QTEST(realtimeaxes::axes().at(axis).title, "title");
            QTEST(int(realtimeaxes::axes().at(axis).pen), "pen");
        }
    }

    void timeWindow_data() {
        QTest::addColumn<QString>("minText");
        QTest::addColumn<QString>("maxText");
        QTest::addColumn<double>("lower");
        QTest::addColumn<double>("upper");
        QTest::newRow("defaults: last minute") << "0"
                                               << "60" << 940.0 << 1000.0;
        QTest::newRow("min 10") << "10"
                                << "60" << 940.0 << 990.0;
        QTest::newRow("swapped fields") << "60"
                                        << "10" << 940.0 << 990.0;
        QTest::newRow("not a number reads 0") << "-"
                                              << "30" << 970.0 << 1000.0;
    }
    void timeWindow() {
        QFETCH(QString, minText);
        QFETCH(QString, maxText);
        const realtimeaxes::Range r = realtimeaxes::timeWindow(1000.0, realtimeaxes::fieldValue(minText),
                                                               realtimeaxes::fieldValue(maxText));
        QTEST(r.lower, "lower");
        QTEST(r.upper, "upper");
    }

    void stopAndReset_data() {
        QTest::addColumn<bool>("connected");
        QTest::addColumn<int>("stopIndex");
        QTest::addColumn<QString>("writes");
        QTest::newRow("configured") << true << 70 << "70=0;0=1;";
        QTest::newRow("zero means 66") << true << 0 << "66=0;0=1;";
        QTest::newRow("absent means 66") << true << 65535 << "66=0;0=1;";
        QTest::newRow("disconnected") << false << 70 << "";
    }
    void stopAndReset() {
        QFETCH(bool, connected);
        QFETCH(int, stopIndex);
        QString writes;
        const drivecommands::WriteHolding write = [&](int address, int value, bool echo) {
            QVERIFY(echo);
            writes += QStringLiteral("%1=%2;").arg(address).arg(value);
        };
        QCOMPARE(drivecommands::stop(connected, uint16_t(stopIndex), write), connected);
        QCOMPARE(drivecommands::reset(connected, write), connected);
        QTEST(writes, "writes");
    }

    void outages() {
        OutageTracker tracker;
        QVERIFY(!tracker.stop(50));  // the worker's first good reply reports a stop
        tracker.start(100);          // no reply yet: dated from the report
        QCOMPARE(tracker.stop(400)->beginMs, qint64(100));
        tracker.noteReply(1000);
        tracker.start(2500);
        tracker.start(2600);  // repeated start keeps the first
        tracker.noteReply(2700);
        const auto outage = tracker.stop(3000);
        QCOMPARE(outage->beginMs, qint64(1000));
        QCOMPARE(outage->endMs, qint64(3000));
        QVERIFY(!tracker.isOpen());
    }

    // A noisy series with rare spikes, drawn through every level and window size: each spike
    // inside a window shows near its time, and nothing beyond the series' own range does.
    void envelopeKeepsEveryPeak_data() {
        QTest::addColumn<int>("pixels");
        QTest::newRow("finest") << 0;
        QTest::newRow("wide screen") << 1920;
        QTest::newRow("narrow") << 300;
        QTest::newRow("tiny") << 20;
    }
    void envelopeKeepsEveryPeak() {
        QFETCH(int, pixels);
        QRandomGenerator random(20240601);
        plotdata::HistoryStore::Options options;
        options.rawKeepMs = 60 * 1000;  // older samples live in the envelope only
        plotdata::HistoryStore store(2, options);
        const qint64 t0 = 1700000000000;
        QVector<qint64> times;
        QVector<QVector<float>> series(2);
        for (int k = 0; k < 40000; ++k) {
            times << t0 + k * 100 + random.bounded(50);
            QVector<double> sample;
            for (int c = 0; c < 2; ++c) {
                float value = float(random.bounded(20.0) - 10.0);
                if (random.bounded(500) == 0) {
                    value = float(random.bounded(2) ? 1000 + random.bounded(500.0)
                                                    : -1000 - random.bounded(500.0));
                }
                series[c] << value;
                sample << value;
            }
            store.append(times.last(), sample);
        }
        for (int w = 0; w < 40; ++w) {
            const qint64 from = t0 + random.bounded(3900000);
            const qint64 to = from + 1000 + random.bounded(600000);
            const plotdata::HistoryStore::Slice slice = store.slice(from, to, pixels);
            QVERIFY(std::is_sorted(slice.timesMs.begin(), slice.timesMs.end()));
            for (int c = 0; c < 2; ++c) {
                const QVector<double> &drawn = slice.values.at(c);
                const double drawnMax = *std::max_element(drawn.begin(), drawn.end());
                const double drawnMin = *std::min_element(drawn.begin(), drawn.end());
                // Each spike shows, at least as far out, within one bucket of its time.
                const qint64 bucket = std::max<qint64>(1000, pixels ? (to - from) / pixels : 0);
                for (int k = 0; k < times.size(); ++k) {
                    const double spike = series[c][k];
                    if (times[k] < from || times[k] > to || std::abs(spike) < 1000) {
                        continue;
                    }
                    bool shown = false;
                    for (int i = 0; i < drawn.size() && !shown; ++i) {
                        shown = std::abs(slice.timesMs[i] - times[k]) <= bucket &&
                                (spike > 0 ? drawn[i] >= spike : drawn[i] <= spike);
                    }
                    QVERIFY2(shown, qPrintable(QString::number(k)));
                }
                const auto all = std::minmax_element(series[c].begin(), series[c].end());
                QVERIFY(drawnMax <= *all.second && drawnMin >= *all.first);
            }
        }
        QCOMPARE(store.readingAt(0, t0 + 5000).found, true);
        QVERIFY(!store.readingAt(0, t0 + 5000).exact() || store.readingAt(0, t0 + 5000).min == series[0][50]);
    }

    // A week at 10 Hz fits: the full-resolution part stays at its span, older samples are buckets.
    void historyIsBounded() {
        plotdata::HistoryStore::Options options;
        options.rawKeepMs = 10 * 1000;
        options.levels = {{1000, 60 * 1000}};
        plotdata::HistoryStore store(1, options);
        for (int k = 0; k < 10000; ++k) {
            store.append(qint64(k) * 100, {double(k)});
        }
        QCOMPARE(store.oldestMs(), qint64(940000));                        // the bucket after newest - 60 s
        QCOMPARE(store.slice(0, 999900, 0).timesMs.size(), 2 * 50 + 101);  // buckets 940..989 s, then raw
        store.appendGap(1000000);
        QVERIFY(std::isnan(store.slice(999900, 1000000, 0).values[0].last()));
    }

    // Data-log fields: the elapsed time the logger writes and the values the tables show.
    void dataLogFields_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("elapsedMs");  // -1: not an elapsed time
        QTest::addColumn<double>("value");      // NaN: not a number
        QTest::newRow("a minute in") << QByteArray("00:01:05.042") << 65042.0 << qQNaN();
        QTest::newRow("past a day") << QByteArray("25:00:00.000") << 90000000.0 << qQNaN();
        QTest::newRow("minutes overflow") << QByteArray("00:60:00.000") << -1.0 << qQNaN();
        QTest::newRow("negative hours") << QByteArray("-1:00:00.000") << -1.0 << qQNaN();
        QTest::newRow("decimal") << QByteArray("-12.5") << -1.0 << -12.5;
        QTest::newRow("hex") << QByteArray("0x00FF") << -1.0 << 255.0;
        QTest::newRow("decimal comma") << QByteArray("12,5") << -1.0 << qQNaN();
        QTest::newRow("empty") << QByteArray("") << -1.0 << qQNaN();
    }
    void dataLogFields() {
        QFETCH(QByteArray, text);
        QTEST(double(plotdata::DataLogReader::parseElapsed(text)), "elapsedMs");
        QFETCH(double, value);
        const double parsed = plotdata::DataLogReader::parseValue(text);
        QVERIFY(std::isnan(value) ? std::isnan(parsed) : parsed == value);
    }

    void bufferFloat_data() {
        QTest::addColumn<int>("w0");
        QTest::addColumn<int>("w1");
        QTest::addColumn<float>("value");
        QTest::newRow("one") << 0x0000 << 0x803F << 1.0f;
        QTest::newRow("zero") << 0x0000 << 0x0000 << 0.0f;
        QTest::newRow("minus two") << 0x0000 << 0x00C0 << -2.0f;
        QTest::newRow("1000") << 0x0000 << 0x7A44 << 1000.0f;
        QTest::newRow("low half matters") << 0x0100 << 0x803F << 1.00000012f;
    }
    void bufferFloat() {
        QFETCH(int, w0);
        QFETCH(int, w1);
        QFETCH(float, value);
        QCOMPARE(tracedecode::decodeBufferFloat(uint16_t(w0), uint16_t(w1)), value);
        uint16_t encoded[2] = {};
        tracedecode::encodeBufferFloat(value, &encoded[0], &encoded[1]);
        QCOMPARE((QList<int>{encoded[0], encoded[1]}), (QList<int>{w0, w1}));
    }

    // Sample k of a buffer is at base + 2k; every chunk lands at its own indices.
    void bufferChunks_data() {
        QTest::addColumn<int>("startReg");
        QTest::addColumn<int>("count");  // registers
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("firstIndex");
        QTest::addColumn<int>("samples");
        QTest::newRow("A first chunk") << 0x5000 << 120 << 0 << 0 << 60;
        QTest::newRow("A second chunk") << 0x5078 << 120 << 0 << 60 << 60;
        QTest::newRow("A last chunk") << 0x53C0 << 64 << 0 << 480 << 32;
        QTest::newRow("B first chunk") << 0x5400 << 120 << 1 << 0 << 60;
        QTest::newRow("B middle") << 0x5630 << 120 << 1 << 280 << 60;
        QTest::newRow("C last chunk") << 0x5BC0 << 64 << 2 << 480 << 32;
        QTest::newRow("odd start skips half a sample") << 0x5001 << 5 << 0 << 1 << 2;
        QTest::newRow("past the area dropped") << 0x5BFE << 8 << 2 << 511 << 1;
    }
    void bufferChunks() {
        QFETCH(int, startReg);
        QFETCH(int, count);
        QFETCH(int, channel);
        QFETCH(int, firstIndex);
        QFETCH(int, samples);
        // Word r of the area carries the pattern of sample ((r % 0x400) / 2) + 0.5.
        QVector<uint16_t> words;
        for (int reg = startReg; reg < startReg + count; ++reg) {
            const int offset = (reg - 0x5000) % 0x400;
            words << encodeSample(float(offset / 2) + 0.5f).at(offset % 2);
        }
        CaptureData data;
        const CaptureData::Applied applied = data.apply(startReg, words);
        QCOMPARE(applied.kind, tracedecode::Kind::Buffer);
        QCOMPARE(applied.channels, QVector<int>{channel});
        const QVector<double> &buffer = data.buffer(channel);
        QCOMPARE(int(std::count(buffer.begin(), buffer.end(), 0.0)), 512 - samples);
        QCOMPARE(buffer.at(firstIndex), firstIndex + 0.5);
        QCOMPARE(buffer.at(firstIndex + samples - 1), firstIndex + samples - 0.5);
    }

    void otherRepliesAreNotCaptures_data() {
        QTest::addColumn<int>("startReg");
        QTest::newRow("poll") << 0;
        QTest::newRow("below accelerometer") << 0x3FFF;
        QTest::newRow("between") << 0x4C00;
        QTest::newRow("after buffers") << 0x5C00;
    }
    void otherRepliesAreNotCaptures() {
        QFETCH(int, startReg);
        CaptureData data;
        const CaptureData::Applied applied = data.apply(startReg, encodeSamples(0, 60));
        QCOMPARE(applied.kind, tracedecode::Kind::None);
        QVERIFY(applied.channels.isEmpty());
        QCOMPARE(data.buffer(0), QVector<double>(512, 0.0));
    }

    // Accelerometer: word × 0.122, all 1024 samples kept, the first 512 also in the buffers.
    void accelerometerSamples() {
        CaptureData data;
        QVector<uint16_t> words;
        for (int n = 448; n < 568; ++n) {
            words << uint16_t(int16_t(-n));
        }
        QCOMPARE(data.apply(0x4400 + 448, words).channels, QVector<int>{1});
        QCOMPARE(data.accelerometer(1).at(448), -448 * 0.122);
        QCOMPARE(data.accelerometer(1).at(567), -567 * 0.122);
        QCOMPARE(data.buffer(1).at(511), -511 * 0.122);
        QCOMPARE(data.accelerometer(0), QVector<double>(1024, 0.0));
        QCOMPARE(data.buffer(1).size(), 512);
    }

    // The accelerometer log text: one line per axis, handed out when the next axis starts and, for
    // the last axis, with the reply that ends the capture.
    void accelerometerText() {
        tracedecode::AccelerometerText text;
        QVERIFY(text.feed(tracedecode::kBufferBase, QVector<uint16_t>(120, 1)).lines.isEmpty());
        // An unfinished read (up to two registers short of the end), then a new one from the start.
        const tracedecode::AccelerometerText::Output unfinished =
            text.feed(tracedecode::kAccelerometerBase + 0xBF0, QVector<uint16_t>(14, 9));
        QVERIFY(unfinished.lines.isEmpty() && !unfinished.finished);
        CaptureReader reader;
        reader.restart(CaptureReader::kAccelerometerBase);
        QStringList lines;
        while (reader.active()) {
            const CaptureReader::Chunk chunk = reader.next();
            const int axis = (chunk.start - CaptureReader::kAccelerometerBase) / CaptureReader::kBlockSize;
            const tracedecode::AccelerometerText::Output out =
                text.feed(chunk.start, QVector<uint16_t>(chunk.count, uint16_t(axis + 1)));
            QCOMPARE(out.finished, !reader.active());
            lines += out.lines;
        }
        QCOMPARE(lines.size(), 3);
        for (int axis = 0; axis < 3; ++axis) {
            const QString value = QString::number((axis + 1) * 0.122);
            QVERIFY(lines[axis].startsWith(
                QStringLiteral(" %1 axis;[0,%2];[0.005,%2];").arg(QChar('X' + axis)).arg(value)));
            QVERIFY(lines[axis].endsWith(QStringLiteral(";[5.115,%1];").arg(value)));
            QCOMPARE(lines[axis].count(QLatin1Char('[')), 1024);
        }
        QVERIFY(text.pending().isEmpty());
    }

    void captureRegisters_data() {
        QTest::addColumn<QVector<int>>("selection");
        QTest::addColumn<int>("word");
        QTest::newRow("bus voltage, U current, none") << QVector<int>{5, 1, 0} << 37;
        QTest::newRow("last entries") << QVector<int>{14, 14, 14} << (14 | 14 << 5 | 14 << 10);
        QTest::newRow("masked to 5 bits") << QVector<int>{33, 0, 0} << 1;
    }
    void captureRegisters() {
        QFETCH(QVector<int>, selection);
        QTEST(int(captureregisters::selectionWord(selection[0], selection[1], selection[2])), "word");
        QCOMPARE(captureregisters::variableNames().size(), 15);
    }

    void scaleAndPointsFields() {
        float scale = 0;
        QVERIFY(captureregisters::parseScale("1000", &scale));
        QCOMPARE(captureregisters::scaleWords(scale), (QVector<uint16_t>{0x447A, 0x0000}));
        QCOMPARE(captureregisters::scaleRegister(2), 0x4FF4);
        QVERIFY(!captureregisters::parseScale("abc", &scale));
        QVERIFY(!captureregisters::parseScale("", &scale));
        uint16_t points = 7;
        QVERIFY(captureregisters::parsePointsAfterAlarm("65535", &points));
        QCOMPARE(points, uint16_t(65535));
        QVERIFY(!captureregisters::parsePointsAfterAlarm("65536", &points));
        QVERIFY(!captureregisters::parsePointsAfterAlarm("-1", &points));
        QCOMPARE(points, uint16_t(65535));
    }
};

QTEST_GUILESS_MAIN(tst_plotcore)
#include "tst_plotcore.moc"
