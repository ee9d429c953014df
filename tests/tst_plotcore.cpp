#include <QtTest>

#include "app/drivecommands.h"
#include "comm/capturedata.h"
#include "comm/capturereader.h"
#include "comm/captureregisters.h"
#include "comm/tracedecode.h"
#include "views/plotdata/csvwriter.h"
#include "views/plotdata/datalogreader.h"
#include "views/plotdata/historystore.h"
#include "views/plotdata/outagetracker.h"
#include "views/plotdata/powercalc.h"
#include "views/plotdata/realtimeaxes.h"

namespace {

// Names the table row that a failed check inside a loop came from.
auto namedRow(const QString &row) {
    return qScopeGuard([row] {
        if (QTest::currentTestFailed()) {
            qWarning("in row %s", qPrintable(row));
        }
    });
}

}  // namespace

class tst_plotcore : public QObject {
    Q_OBJECT

  private slots:
    // P, Q, S from the d/q components and their labels; without all four positions nothing is computed.
    void power() {
        const std::tuple<double, double, double, double, const char *> rows[] = {
            {10, 2, 0, 0, "P = 30.0 W|Q = 0.0 VAr|S = 30.0 VA"},
            {0, 0, 10, 2, "P = 30.0 W|Q = 0.0 VAr|S = 30.0 VA"},
            {10, 0, 0, 2, "P = 0.0 W|Q = -30.0 VAr|S = 30.0 VA"},
            {3, 1, 4, 2, "P = 16.5 W|Q = -3.0 VAr|S = 16.8 VA"}};
        for (const auto &[vd, id, vq, iq, expected] : rows) {
            const power::PowerValues v = power::compute(id, iq, vd, vq);
            const QStringList labels{power::activeText(v.p), power::reactiveText(v.q),
                                     power::apparentText(v.s)};
            QCOMPARE(labels.join('|'), QString::fromLatin1(expected));
        }
        QVector<input_reg_t> regs(4);
        const QVector<input_reg_t *> list{&regs[0], &regs[1], &regs[2], &regs[3]};
        regs[0].fvalue = 2.0f;               // id
        regs[2].fvalue = 10.0f;              // vd
        for (int idPosition : {0, -1, 4}) {  // valid, unset, past the list
            power::PowerValues out{7, 7, 7};
            const bool ok = power::fromInputs(list, {idPosition, 1, 2, 3}, &out);
            QCOMPARE(ok, idPosition == 0);
            QCOMPARE(out.p, ok ? 30.0 : 7.0);
        }
    }

    void axisByUnit() {
        const std::tuple<QString, int, QString, Qt::GlobalColor> rows[] = {
            {"rpm", 0, "Speed [rpm]", Qt::blue},
            {"V", 1, "Voltage [V]", Qt::red},
            {"A", 2, "Current [A]", Qt::green},
            {"W", 3, "Power [W]", Qt::black},
            {QString::fromUtf8("ºC"), 4, QString::fromUtf8("Temperature [ºC]"), Qt::yellow}};
        for (const auto &[unit, axis, title, pen] : rows) {
            const auto named = namedRow(unit);
            QCOMPARE(realtimeaxes::axisIndexForUnit(unit), axis);
            QCOMPARE(realtimeaxes::axes().at(axis).title, title);
            QCOMPARE(realtimeaxes::axes().at(axis).pen, pen);
        }
        for (const char *unit : {"Hz", "kHz", "RPM", ""}) {  // case matters
            QVERIFY2(realtimeaxes::axisIndexForUnit(unit) == -1, unit);
        }
    }

    void timeWindow() {
        // The defaults show the last minute; swapped fields are put right; what is not a number reads 0.
        const std::tuple<const char *, const char *, double, double> rows[] = {
            {"0", "60", 940, 1000}, {"10", "60", 940, 990}, {"60", "10", 940, 990}, {"-", "30", 970, 1000}};
        for (const auto &[minText, maxText, lower, upper] : rows) {
            const auto named = namedRow(QStringLiteral("%1..%2").arg(minText, maxText));
            const realtimeaxes::Range range = realtimeaxes::timeWindow(
                1000.0, realtimeaxes::fieldValue(minText), realtimeaxes::fieldValue(maxText));
            QCOMPARE(range.lower, lower);
            QCOMPARE(range.upper, upper);
        }
    }

    void stopAndReset() {
        // A stop index of 0 or absent (65535) means 66.
        const std::tuple<bool, uint16_t, QString> rows[] = {
            {true, 70, "70=0;0=1;"}, {true, 0, "66=0;0=1;"}, {true, 65535, "66=0;0=1;"}, {false, 70, ""}};
        for (const auto &[connected, stopIndex, expected] : rows) {
            QString writes;
            const drivecommands::WriteHolding write = [&](int address, int value, bool echo) {
                writes += QStringLiteral("%1=%2;").arg(address).arg(value) + (echo ? "" : "quiet;");
            };
            QCOMPARE(drivecommands::stop(connected, stopIndex, write), connected);
            QCOMPARE(drivecommands::reset(connected, write), connected);
            QCOMPARE(writes, expected);
        }
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

    // A noisy series with rare spikes, drawn at several screen widths (0: finest) through 40 random
    // windows each: each spike inside a window shows near its time, nothing beyond the series' range.
    void envelopeKeepsEveryPeak() {
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
        for (int pixels : {0, 1920, 300, 20}) {
            for (int w = 0; w < 40; ++w) {
                const qint64 from = t0 + random.bounded(3900000);
                const qint64 to = from + 1000 + random.bounded(600000);
                const plotdata::HistoryStore::Slice slice = store.slice(from, to, pixels);
                QVERIFY(std::is_sorted(slice.timesMs.begin(), slice.timesMs.end()));
                const qint64 bucket = std::max<qint64>(1000, pixels ? (to - from) / pixels : 0);
                for (int c = 0; c < 2; ++c) {
                    const QVector<double> &drawn = slice.values.at(c);
                    for (int k = 0; k < times.size(); ++k) {
                        const double spike = series[c][k];
                        if (times[k] < from || times[k] > to || std::abs(spike) < 1000) {
                            continue;
                        }
                        bool shown = false;  // at least as far out, within one bucket of its time
                        for (int i = 0; i < drawn.size() && !shown; ++i) {
                            shown = std::abs(slice.timesMs[i] - times[k]) <= bucket &&
                                    (spike > 0 ? drawn[i] >= spike : drawn[i] <= spike);
                        }
                        QVERIFY2(shown, qPrintable(QStringLiteral("%1 px, sample %2").arg(pixels).arg(k)));
                    }
                    const auto all = std::minmax_element(series[c].begin(), series[c].end());
                    const auto shownRange = std::minmax_element(drawn.begin(), drawn.end());
                    QVERIFY(*shownRange.second <= *all.second && *shownRange.first >= *all.first);
                }
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

    // Data-log fields: the elapsed time the logger writes (-1: none) and the values the tables show.
    void dataLogFields() {
        QStringList elapsedMs, values;  // in the order of the texts
        for (const char *text : {"00:01:05.042", "25:00:00.000", "00:60:00.000", "-1:00:00.000", "-12.5",
                                 "0x00FF", "12,5", ""}) {
            elapsedMs << QString::number(plotdata::DataLogReader::parseElapsed(text));
            values << QString::number(plotdata::DataLogReader::parseValue(text), 'g', 17);
        }
        QCOMPARE(elapsedMs.join(' '), QStringLiteral("65042 90000000 -1 -1 -1 -1 -1 -1"));
        QCOMPARE(values.join(' '), QStringLiteral("nan nan nan nan -12.5 255 nan nan"));
    }

    // A channel without values (P, Q and S when the map has no d/q registers) or with one
    // missing sample breaks only its own curve at overview zoom; the others are drawn whole.
    void envelopeGapsPerChannel() {
        plotdata::HistoryStore::Options options;
        options.rawKeepMs = 1000;  // the first seconds live in the 1-s buckets only
        plotdata::HistoryStore store(3, options);
        for (int k = 0; k < 100; ++k) {
            const double missingOnce = k == 42 ? qQNaN() : double(k);
            store.append(qint64(k) * 100, {double(k), missingOnce, qQNaN()});
        }
        const plotdata::HistoryStore::Slice slice = store.slice(0, 8000, 8);
        QVERIFY(!slice.fullResolution);
        QStringList gaps;  // NaN points per channel
        for (const QVector<double> &values : slice.values) {
            gaps << QString::number(
                std::count_if(values.begin(), values.end(), [](double v) { return std::isnan(v); }));
        }
        QCOMPARE(gaps.join(' '), QStringLiteral("0 1 %1").arg(slice.timesMs.size()));
    }

    // Every kind of data-log column, with the map's kinds (speed float, dig_in bin, state hex),
    // and lines that must not reach the plot or the CSV as they are.
    void dataLogRows_data() {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<QString>("rows");  // "ms:value,value,value" per handed-on row
        QTest::addColumn<QString>("skipped");
        QTest::newRow("every column kind")
            << QByteArray("00:00:01.000;1500.5;101;0x00FF\n") << "1000:1500.5,5,255"
            << "";
        QTest::newRow("sixteen bits")
            << QByteArray("00:00:01.000;-3;1111111111111111;0xFFFF\n") << "1000:-3,65535,65535"
            << "";
        QTest::newRow("not binary digits") << QByteArray("00:00:01.000;1;102;0x1\n") << "1000:1,nan,1"
                                           << "";
        QTest::newRow("short line") << QByteArray("00:00:01.000;7\n") << "1000:7,nan,nan"
                                    << "";
        QTest::newRow("CRLF line ends") << QByteArray("00:00:01.000;1;10;0x10\r\n") << "1000:1,2,16"
                                        << "";
        QTest::newRow("last line cut short")
            << QByteArray("00:00:01.000;1;1;0x1\n00:00:01.100;2;1") << "1000:1,1,1"
            << "1 line skipped: the last line cut short (no line end)";
        QTest::newRow("one line jumps ahead")
            << QByteArray("00:00:01.000;1;1;0x1\n1000:00:00.000;2;1;0x1\n00:00:01.100;3;1;0x1\n")
            << "1000:1,1,1 1100:3,1,1"
            << "1 line skipped: 1 out of time order";
        QTest::newRow("the drive was silent ten minutes")
            << QByteArray("00:00:01.000;1\n00:10:01.000;2\n00:10:01.100;3\n")
            << "1000:1,nan,nan 601000:2,nan,nan 601100:3,nan,nan"
            << "";
        QTest::newRow("last line jumps ahead")
            << QByteArray("00:00:01.000;1\n1000:00:00.000;2\n") << "1000:1,nan,nan"
            << "1 line skipped: 1 out of time order";
        QTest::newRow("back in time") << QByteArray("00:00:02.000;1\n00:00:01.000;2\n00:00:02.100;3\n")
                                      << "2000:1,nan,nan 2100:3,nan,nan"
                                      << "1 line skipped: 1 out of time order";
        QTest::newRow("not data lines")
            << QByteArray(
                   "garbage\n00:00:01.000;1\n00:00:01.100\nLog finished at 14:04:00,000 of 05/12/2024\n")
            << "1000:1,nan,nan"
            << "2 lines skipped: 2 not a data line";
    }
    void dataLogRows() {
        QFETCH(QByteArray, lines);
        QFETCH(QString, rows);
        QFETCH(QString, skipped);
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("log.txt")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(
            "Log started at 14:03:07,250 of 05/12/2024\n00:00:00.000;speed;dig_in;state\n"
            "00:00:00.000;rpm;none;none\n" +
            lines);
        file.close();
        input_reg_t speed, digIn, state;
        speed.name = QStringLiteral("speed");
        speed.vis_type = QStringLiteral("float");
        digIn.name = QStringLiteral("dig_in");
        digIn.vis_type = QStringLiteral("bin");
        state.name = QStringLiteral("state");
        state.vis_type = QStringLiteral("hex");
        plotdata::DataLogReader reader;
        QString error;
        QVERIFY2(reader.open(file.fileName(), &error), qPrintable(error));
        reader.setColumnKinds(
            plotdata::DataLogReader::kindsFromMap(reader.names(), {&state, &digIn, &speed}));
        QStringList handed;
        QVERIFY(reader.readRows(
            {0, 1, 2},
            [&](qint64 elapsedMs, const QVector<double> &values) {
                QStringList texts;
                for (double value : values) {
                    texts << QString::number(value, 'g', 17);
                }
                handed << QStringLiteral("%1:%2").arg(elapsedMs).arg(texts.join(','));
            },
            {}, &error));
        QCOMPARE(handed.join(' '), rows);
        QCOMPARE(reader.skippedSummary(), skipped);
    }

    // CSV cells carry the digits of the value, not those of its binary approximation.
    void csvNumbers_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("a reading") << double(534.4f) << QByteArray("534.4");
        QTest::newRow("a negative reading") << double(-0.1f) << QByteArray("-0.1");
        QTest::newRow("a whole number") << 65535.0 << QByteArray("65535");
        QTest::newRow("a double from a log") << 123456.789 << QByteArray("123456.789");
        QTest::newRow("sixteen digits") << 1111111111111111.0 << QByteArray("1111111111111111");
        QTest::newRow("beyond single precision") << 1e300 << QByteArray("1e+300");
    }
    void csvNumbers() {
        QFETCH(double, value);
        QFETCH(QByteArray, text);
        QCOMPARE(plotdata::CsvWriter::numberText(value), text);
    }

    // The drive's buffer sample: IEEE bits, each half byte-swapped, low half first.
    void bufferFloat() {
        const std::tuple<uint16_t, uint16_t, float> rows[] = {
            {0x0000, 0x803F, 1.0f},
            {0x0000, 0x0000, 0.0f},
            {0x0000, 0x00C0, -2.0f},
            {0x0000, 0x7A44, 1000.0f},
            {0x0100, 0x803F, 1.00000012f}};  // the low half matters
        for (const auto &[w0, w1, value] : rows) {
            QCOMPARE(tracedecode::decodeBufferFloat(w0, w1), value);
            uint16_t encoded[2] = {};
            tracedecode::encodeBufferFloat(value, &encoded[0], &encoded[1]);
            QCOMPARE((QList<int>{encoded[0], encoded[1]}), (QList<int>{w0, w1}));
        }
    }

    // Sample k of a buffer is at base + 2k; every chunk lands at its own indices, other replies nowhere.
    void bufferChunks() {
        const std::tuple<int, int, int, int, int> rows[] = {
            // start, count, channel (-1: none), first, samples
            {0x5000, 120, 0, 0, 60}, {0x5078, 120, 0, 60, 60},  {0x53C0, 64, 0, 480, 32},
            {0x5400, 120, 1, 0, 60}, {0x5630, 120, 1, 280, 60}, {0x5BC0, 64, 2, 480, 32},
            {0x5001, 5, 0, 1, 2},                               // an odd start skips half a sample
            {0x5BFE, 8, 2, 511, 1},                             // past the area dropped
            {0, 120, -1, 0, 0},      {0x3FFF, 120, -1, 0, 0},   // the poll, below the accelerometer
            {0x4C00, 120, -1, 0, 0}, {0x5C00, 120, -1, 0, 0}};  // between the areas, after the buffers
        for (const auto &[startReg, count, channel, first, samples] : rows) {
            const auto named = namedRow(QString::number(startReg, 16));
            QVector<uint16_t> words;  // register n carries a half of sample ((n % 0x400) / 2) + 0.5
            for (int reg = startReg; reg < startReg + count; ++reg) {
                uint16_t sample[2] = {};
                tracedecode::encodeBufferFloat(float(reg % 0x400 / 2) + 0.5f, &sample[0], &sample[1]);
                words << sample[reg % 2];
            }
            CaptureData data;
            const CaptureData::Applied applied = data.apply(startReg, words);
            QCOMPARE(applied.kind, channel < 0 ? tracedecode::Kind::None : tracedecode::Kind::Buffer);
            QCOMPARE(applied.channels, channel < 0 ? QVector<int>{} : QVector<int>{channel});
            const QVector<double> &buffer = data.buffer(std::max(channel, 0));
            QCOMPARE(int(std::count(buffer.begin(), buffer.end(), 0.0)), 512 - samples);
            QVERIFY(samples == 0 || buffer.at(first) == first + 0.5);
            QVERIFY(samples == 0 || buffer.at(first + samples - 1) == first + samples - 0.5);
        }
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

    // The capture set-up's words at their limits: the trace selection, a scale, the points after an alarm.
    void captureSetupWords() {
        QCOMPARE(captureregisters::selectionWord(14, 14, 14), uint16_t(14 | 14 << 5 | 14 << 10));
        QCOMPARE(captureregisters::selectionWord(33, 0, 0), uint16_t(1));  // masked to 5 bits
        QCOMPARE(captureregisters::variableNames().size(), 15);
        float scale = 0;  // a scale's words and the selection's are checked on the wire in the window's test
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
