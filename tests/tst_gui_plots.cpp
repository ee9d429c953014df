#include <qcustomplot.h>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "../tools/drive-sim/waveforms.h"
#include "app/datalog.h"
#include "app/logger.h"
#include "comm/modbus.h"
#include "comm/tracedecode.h"
#include "map/xmlmap.h"
#include "support/testpaths.h"
#include "support/workerharness.h"
#include "views/realtimecontrols.h"
#include "views/realtimeplot.h"
#include "views/replaywindow.h"
#include "views/secondarygraph.h"
#include "views/zoneitem.h"

namespace {

constexpr qint64 kT0 = 1700000000000;  // a fixed time, ms since the epoch
constexpr int kWaitMs = 30000;

// Input registers of the given units; fvalue is set by the tests.
struct Inputs {
    explicit Inputs(const QStringList &units) : storage(units.size()) {
        for (int i = 0; i < units.size(); ++i) {
            storage[i].unit = units[i];
            storage[i].text = QStringLiteral("reg %1").arg(i);
            list << &storage[i];
        }
    }
    QVector<input_reg_t> storage;
    QVector<input_reg_t *> list;
};

struct Recorder {
    QStringList writes;
    int triggers = 0;
    int accelerometerReads = 0;
    CaptureCommands commands() {
        CaptureCommands c;
        c.writeHolding = [this](int a, int v, bool echo) {
            writes << QStringLiteral("%1=%2%3").arg(a, 0, 16).arg(v).arg(echo ? "" : " quiet");
        };
        c.writeHoldings = [this](int start, QVector<uint16_t> w) {
            QStringList words;
            for (uint16_t x : w) {
                words << QString::number(x, 16);
            }
            writes << QStringLiteral("%1=[%2]").arg(start, 0, 16).arg(words.join(','));
        };
        c.triggerCapture = [this] { ++triggers; };
        c.startAccelerometerRead = [this] { ++accelerometerReads; };
        return c;
    }
};

void wheel(QCustomPlot *plot, Qt::KeyboardModifiers modifiers) {
    const QPointF at = plot->axisRect()->rect().center();
    QWheelEvent event(at, plot->mapToGlobal(at.toPoint()), QPoint(), QPoint(0, 120), Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(plot, &event);
}

QStringList fileLines(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

}  // namespace

class tst_gui_plots : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { QLoggingCategory::setFilterRules(QStringLiteral("mvx.capture.debug=false")); }

    void curvesByUnit() {
        Inputs in({"rpm", "V", "Hz", "A", "W", QString::fromUtf8("ºC"), "rpm"});
        RealtimePlot plot;
        plot.setRegisters(in.list);
        QCOMPARE(plot.curveCount(), 6);
        QCOMPARE(plot.curveIndexOf(2), -1);
        const QVector<int> axisOfRegister{0, 1, -1, 2, 3, 4, 0};
        // The second speed curve keeps the blue family in another shade.
        const QVector<QColor> pens{
            Qt::blue, Qt::red, {}, Qt::green, Qt::black, Qt::yellow, QColor(Qt::blue).darker(170)};
        for (int r = 0; r < in.list.size(); ++r) {
            if (axisOfRegister[r] < 0) {
                continue;
            }
            QCPGraph *curve = plot.curve(plot.curveIndexOf(r));
            QCOMPARE(curve->valueAxis(), plot.valueAxis(axisOfRegister[r]));
            QCOMPARE(curve->pen().color(), pens[r]);
            QCOMPARE(curve->name(), QStringLiteral("%1 [%2]").arg(in.storage[r].text, in.storage[r].unit));
        }
        QCOMPARE(plot.valueAxis(0)->axisType(), QCPAxis::atLeft);
        QCOMPARE(plot.valueAxis(4)->axisType(), QCPAxis::atRight);
        QCOMPARE(plot.valueAxis(4)->label(), QString::fromUtf8("Temperature [ºC]"));
        QCOMPARE(plot.timeAxis()->label(), QStringLiteral("Date/Time"));
        plot.resize(300, 400);  // the legend wraps into fewer columns
        plot.replotNow();
        QVERIFY(plot.customPlot()->legend->wrap() < 5);
    }

    void timeWindowFollowsNewest_data() {
        QTest::addColumn<QString>("minText");
        QTest::addColumn<QString>("maxText");
        QTest::addColumn<double>("fromEnd");
        QTest::addColumn<double>("toEnd");
        QTest::addColumn<int>("drawn");  // the shown samples and one either side
        QTest::addColumn<double>("lastDrawn");
        QTest::newRow("defaults") << "0"
                                  << "60" << 60.0 << 0.0 << 5 << 4.0;
        QTest::newRow("min 10: the first sample, beyond the right edge") << "10"
                                                                         << "60" << 60.0 << 10.0 << 1 << 0.0;
    }
    void timeWindowFollowsNewest() {
        QFETCH(QString, minText);
        QFETCH(QString, maxText);
        QFETCH(double, fromEnd);
        QFETCH(double, toEnd);
        Inputs in({"rpm"});
        RealtimePlot plot;
        plot.setRegisters(in.list);
        plot.controls()->timeMinEdit()->setText(minText);
        plot.controls()->timeMaxEdit()->setText(maxText);
        for (int k = 0; k < 5; ++k) {
            in.storage[0].fvalue = float(k);
            plot.appendSample(kT0 + k * 100);
        }
        plot.replotNow();
        const double newest = (kT0 + 400) / 1000.0;
        QCOMPARE(plot.timeAxis()->range().lower, newest - fromEnd);
        QCOMPARE(plot.timeAxis()->range().upper, newest - toEnd);
        QTEST(plot.curve(0)->data()->size(), "drawn");
        QTEST((plot.curve(0)->data()->constEnd() - 1)->value, "lastDrawn");
    }

    void checkBoxesSwitchFixedAndAutomatic() {
        Inputs in({"W", "A"});
        RealtimePlot plot;
        plot.setRegisters(in.list);
        for (float w : {100.0f, 200.0f}) {
            in.storage[0].fvalue = w;
            plot.appendSample(kT0 + qint64(w));
        }
        RealtimeControls *c = plot.controls();
        QVERIFY(!c->minEdit(3)->isEnabled());
        c->automaticBox(3)->setChecked(false);
        QVERIFY(c->minEdit(3)->isEnabled() && c->maxEdit(3)->isEnabled());
        plot.replotNow();
        QCOMPARE(plot.valueAxis(3)->range(), QCPRange(0, 4000));
        c->maxEdit(3)->setText("500");
        emit c->maxEdit(3)->editingFinished();
        plot.replotNow();
        QCOMPARE(plot.valueAxis(3)->range(), QCPRange(0, 500));

        c->automaticBox(3)->setChecked(true);
        QVERIFY(!c->maxEdit(3)->isEnabled());
        plot.replotNow();
        QCOMPARE(plot.valueAxis(3)->range(), QCPRange(95, 205));  // the shown data plus 5 %
    }

    void outageIsABand() {
        Inputs in({"rpm"});
        RealtimePlot plot;
        plot.setRegisters(in.list);
        qint64 now = kT0;
        plot.setClock([&now] { return now; });
        plot.onDisconnectedStop();  // the worker's first good reply
        QVERIFY(plot.zones().isEmpty());
        plot.appendSample(kT0);
        now = kT0 + 3000;
        plot.onDisconnectedStart();
        now = kT0 + 9000;
        plot.onDisconnectedStop();
        QCOMPARE(plot.zones().size(), 1);
        ZoneItem *zone = plot.zones().first();
        QCOMPARE(zone->begin(), kT0 / 1000.0);
        QCOMPARE(zone->end(), (kT0 + 9000) / 1000.0);
        QCOMPARE(zone->layer()->name(), QStringLiteral("zones"));
        QVERIFY(zone->layer()->index() < plot.customPlot()->layer("main")->index());
        // No line across the outage: a gap in the middle of the band.
        plot.replotNow();
        const auto gap = plot.curve(0)->data()->constEnd() - 1;
        QCOMPARE(gap->key, (kT0 + 4500) / 1000.0);
        QVERIFY(std::isnan(gap->value));
        plot.clearHistory();
        QVERIFY(plot.zones().isEmpty());
        QCOMPARE(plot.curve(0)->data()->size(), 0);
    }

    // Known data, 1 s apart with value = second: zoom, pan, cursors, live.
    void navigateAndReadValues() {
        Inputs in({"rpm", "A"});
        RealtimePlot plot;
        plot.setRegisters(in.list);
        plot.resize(1200, 700);
        plot.show();
        QVERIFY(QTest::qWaitForWindowExposed(&plot));
        plot.controls()->timeMaxEdit()->setText("600");
        for (int k = 0; k <= 600; ++k) {
            in.storage[0].fvalue = float(k);
            in.storage[1].fvalue = float(k) / 10;
            plot.appendSample(kT0 + k * 1000);
        }
        plot.replotNow();
        QCustomPlot *p = plot.customPlot();
        const QRect area = p->axisRect()->rect();
        QCOMPARE(p->xAxis->range().size(), 600.0);
        QVERIFY(!plot.liveButton()->isVisible());

        const double atMouse = p->xAxis->pixelToCoord(area.center().x());
        wheel(p, Qt::NoModifier);
        QVERIFY(p->xAxis->range().size() < 600.0);
        QVERIFY(qAbs(p->xAxis->pixelToCoord(area.center().x()) - atMouse) < 1.0);  // zoomed around the mouse
        QVERIFY(!plot.isFollowingLive());
        QVERIFY(plot.liveButton()->isVisible());
        const QCPRange valuesBefore = plot.valueAxis(2)->range();
        wheel(p, Qt::ControlModifier);
        QVERIFY(plot.valueAxis(2)->range().size() < valuesBefore.size());

        plot.showTimeWindow((kT0 + 100000) / 1000.0, (kT0 + 200000) / 1000.0);
        plot.replotNow();
        const QPoint from = area.center();
        QTest::mousePress(p, Qt::LeftButton, Qt::NoModifier, from);
        QMouseEvent move(QEvent::MouseMove, from - QPoint(area.width() / 2, 0), Qt::LeftButton,
                         Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(p, &move);
        QTest::mouseRelease(p, Qt::LeftButton, Qt::NoModifier, from - QPoint(area.width() / 2, 0));
        QVERIFY(qAbs(p->xAxis->range().lower - (kT0 + 150000) / 1000.0) < 1.0);  // panned half a window

        plot.showTimeWindow((kT0 + 100000) / 1000.0, (kT0 + 200000) / 1000.0);
        plot.replotNow();
        QTest::mouseClick(p, Qt::LeftButton, Qt::NoModifier,
                          QPoint(int(p->xAxis->coordToPixel((kT0 + 120500) / 1000.0)), area.center().y()));
        plot.setCursorAt(1, (kT0 + 150000) / 1000.0);
        const QStringList lines = plot.readout()->text().split('\n');
        QCOMPARE(lines.size(), 3);
        QVERIFY2(lines[0].contains("reg 0 = 120 rpm") && lines[0].contains("reg 1 = 12 A"),
                 qPrintable(lines[0]));
        QVERIFY2(lines[1].contains("reg 0 = 150 rpm"), qPrintable(lines[1]));
        QVERIFY2(lines[2].contains(QString::fromUtf8("Δt = 29.")) &&
                     lines[2].contains(QString::fromUtf8("Δreg 0 = 30 rpm")),
                 qPrintable(lines[2]));

        plot.liveButton()->click();
        in.storage[0].fvalue = 601;
        plot.appendSample(kT0 + 601000);
        plot.replotNow();
        QVERIFY(plot.isFollowingLive());
        QCOMPARE(p->xAxis->range().upper, (kT0 + 601000) / 1000.0);
    }

    void legendHidesAndShowsItsCurve() {
        Inputs in({"rpm", "rpm"});
        RealtimePlot plot;
        plot.setRegisters(in.list);
        plot.resize(1000, 600);
        plot.show();
        QVERIFY(QTest::qWaitForWindowExposed(&plot));
        plot.appendSample(kT0);
        plot.replotNow();
        QCPAbstractLegendItem *entry = plot.customPlot()->legend->itemWithPlottable(plot.curve(1));
        QCOMPARE(static_cast<QCPPlottableLegendItem *>(entry)->plottable()->name(),
                 QStringLiteral("reg 1 [rpm]"));
        for (bool shown : {false, true}) {
            QTest::mouseClick(plot.customPlot(), Qt::LeftButton, Qt::NoModifier, entry->rect().center());
            QCOMPARE(plot.curve(1)->visible(), shown);
            QVERIFY(plot.curve(0)->visible());
        }
    }

    // The visible window's samples come back from the CSV file: times, seconds since Connect,
    // values, and P, Q, S where they were worked out.
    void csvExportRoundTrips() {
        Inputs in({"A", "A", "V", "V"});
        RealtimePlot plot;
        plot.setRegisters(in.list);
        plot.setPowerPositions({0, 1, 2, 3});
        plot.setConnectTime(kT0 - 2000);
        for (int k = 0; k < 100; ++k) {
            in.storage[0].fvalue = float(k) / 4;
            in.storage[2].fvalue = 10.5f;
            plot.appendSample(kT0 + k * 100);
        }
        plot.showTimeWindow((kT0 + 1000) / 1000.0, (kT0 + 1900) / 1000.0);
        plot.replotNow();
        QTemporaryDir dir;
        const QString path = dir.filePath("window.csv");
        QString error;
        QVERIFY2(plot.exportCsv(path, &error), qPrintable(error));
        const QStringList lines = fileLines(path);
        QCOMPARE(lines.first(), QStringLiteral("time (ISO 8601),seconds since Connect,reg 0 [A],reg 1 "
                                               "[A],reg 2 [V],reg 3 [V],P [W],Q [VAr],S [VA]"));
        QCOMPARE(lines.size(), 1 + 10);
        QCOMPARE(plot.controls()->activePowerLabel()->text(),
                 QStringLiteral("P = 389.8 W"));  // the last sample
        for (int row = 1; row < lines.size(); ++row) {
            const QStringList cells = lines[row].split(',');
            const int k = 9 + row;
            QCOMPARE(QDateTime::fromString(cells[0], Qt::ISODateWithMs).toMSecsSinceEpoch(), kT0 + k * 100);
            QCOMPARE(cells[1].toDouble(), 2.0 + k / 10.0);
            QCOMPARE(cells[2].toDouble(), k / 4.0);
            QCOMPARE(cells[6].toDouble(), 1.5 * 10.5 * (k / 4.0));
        }
        for (const QString &picture : {dir.filePath("window.png"), dir.filePath("window.pdf")}) {
            QVERIFY2(plot.exportPicture(picture, &error), qPrintable(error));
            QVERIFY(QFileInfo(picture).size() > 1000);
        }
    }

    // A data log written by the program's data-log writer replays with the same values, and
    // P, Q, S are worked out again from its columns.
    void dataLogReplays() {
        QTemporaryDir dir;
        Inputs in({"rpm", "A", "A", "V", "V", "Hz"});
        for (int i = 0; i < in.storage.size(); ++i) {
            in.storage[i].name = QStringLiteral("r%1").arg(i);
        }
        logger file;
        qint64 elapsed = 0;
        file.setClocks([] { return QDateTime::fromMSecsSinceEpoch(kT0); }, [&elapsed] { return elapsed; });
        DataLog log(&file);
        QVERIFY(log.start(dir.path(), in.list, {}));
        for (int k = 0; k < 50; ++k) {
            elapsed = k * 100;
            log.writeValues(QStringLiteral(";%1;%2;0;%3;0;50")
                                .arg(k * 10)
                                .arg(k * 0.5)
                                .arg(k % 7 == 0 ? "230.5" : "-1.25"),
                            {});
        }
        log.finish();

        ReplayWindow replay;
        replay.setPowerColumns({"r1", "r2", "r3", "r4"});
        QVERIFY2(replay.open(file.fileName()), qPrintable(replay.statusLabel()->text()));
        RealtimePlot *plot = replay.plot();
        QCOMPARE(plot->curveCount(), 5);  // Hz has no axis
        QCOMPARE(plot->sampleCount(), qint64(50));
        const plotdata::HistoryStore &h = plot->history();
        QCOMPARE(h.oldestMs(), kT0);
        for (int k : {0, 7, 33, 49}) {
            const qint64 at = h.oldestMs() + k * 100;
            QCOMPARE(h.readingAt(0, at).min, k * 10.0);
            QCOMPARE(h.readingAt(1, at).min, k * 0.5);
            const double vd = k % 7 == 0 ? 230.5 : -1.25;
            QCOMPARE(h.readingAt(3, at).min, vd);
            QCOMPARE(h.readingAt(5, at).min, double(float(1.5 * vd * k * 0.5)));  // P
        }
        QVERIFY(replay.progressBar()->isHidden());
        QVERIFY(!replay.open(dir.filePath("missing-log.txt")));
        QVERIFY(replay.statusLabel()->text().startsWith("Cannot open"));
    }

    void controlsWriteTheCaptureSetup() {
        Recorder rec;
        SecondaryGraph graph;
        graph.setCommands(rec.commands());
        QSignalSpy status(&graph, &SecondaryGraph::send_status);
        graph.setConnected(true);
        graph.traceSelector(0)->setCurrentIndex(5);
        graph.traceSelector(1)->setCurrentIndex(1);
        graph.scaleEdit(0)->setText("1000");
        emit graph.scaleEdit(0)->editingFinished();
        graph.scaleEdit(2)->setText("-");  // not a number: nothing
        emit graph.scaleEdit(2)->editingFinished();
        graph.afterAlarmEdit()->setText("250");
        emit graph.afterAlarmEdit()->editingFinished();
        graph.afterAlarmEdit()->setText("70000");  // does not fit the register: nothing
        emit graph.afterAlarmEdit()->editingFinished();
        graph.readVariablesButton()->click();
        QCOMPARE(rec.writes, (QStringList{"4fff=5", "4fff=37", "4ff0=[447a,0]", "4ff7=250"}));
        QCOMPARE(rec.triggers, 1);
        QCOMPARE(status.size(), 2);
        QCOMPARE(status.at(0).at(3).toString(), QStringLiteral("scale 1: 1000"));
        QCOMPARE(status.at(1).at(3).toString(), QStringLiteral("Points to save after an alarm: 250"));
        QCOMPARE(status.at(0).at(2).toBool(), true);  // to the log area
    }

    void connectionEnablesElevenControls() {
        SecondaryGraph graph;
        const QList<QWidget *> controls = {graph.traceSelector(0),
                                           graph.traceSelector(1),
                                           graph.traceSelector(2),
                                           graph.scaleEdit(0),
                                           graph.scaleEdit(1),
                                           graph.scaleEdit(2),
                                           graph.afterAlarmEdit(),
                                           graph.verticalMinEdit(),
                                           graph.verticalMaxEdit(),
                                           graph.readVariablesButton(),
                                           graph.readAccelerometerButton()};
        for (bool connected : {false, true, false}) {
            graph.setConnected(connected);
            for (QWidget *w : controls) {
                QCOMPARE(w->isEnabled(), connected);
            }
            QVERIFY(graph.exportButton()->isEnabled());
        }
        QCOMPARE(
            graph.warningLabel()->text(),
            QStringLiteral("Warning: the variables and scales must be selected prior to the tigger event and "
                           "every time power is restored in the inverter"));
    }

    // Busy from the trigger until the drive reports its buffers, then a percentage.
    void progressBar() {
        Recorder rec;
        SecondaryGraph graph;
        graph.setCommands(rec.commands());
        QVERIFY(graph.progressBar()->isHidden());
        graph.setConnected(true);
        graph.readVariablesButton()->click();
        QVERIFY(!graph.progressBar()->isHidden());
        QCOMPARE(graph.progressBar()->maximum(), 0);
        graph.updateProgressBar2(true, 1.0f / 28 * 100);
        QCOMPARE(graph.progressBar()->maximum(), 100);
        QCOMPARE(graph.progressBar()->value(), 3);
        graph.updateProgressBar2(true, 0);
        QCOMPARE(graph.progressBar()->value(), 0);
        graph.updateProgressBar2(false, 50);
        QVERIFY(graph.progressBar()->isHidden());
    }

    void wheelZoomsOneAxisAtATime() {
        SecondaryGraph graph;
        graph.resize(1000, 700);
        graph.show();
        QCustomPlot *plot = graph.customPlot();
        graph.verticalMinEdit()->setText("-100");
        graph.verticalMaxEdit()->setText("500");
        graph.setConnected(true);
        emit graph.verticalMaxEdit()->editingFinished();
        plot->replot();
        const QCPRange x = plot->xAxis->range();
        QCOMPARE(plot->yAxis->range(), QCPRange(-100, 500));
        wheel(plot, Qt::NoModifier);
        QCOMPARE(plot->xAxis->range(), x);
        QCOMPARE(plot->yAxis->range(), QCPRange(-100, 500));
        wheel(plot, Qt::ShiftModifier);
        QVERIFY(plot->xAxis->range().size() < x.size());
        QCOMPARE(plot->yAxis->range(), QCPRange(-100, 500));
        const QCPRange zoomedX = plot->xAxis->range();
        wheel(plot, Qt::ControlModifier);
        QCOMPARE(plot->xAxis->range(), zoomedX);
        QVERIFY(plot->yAxis->range().size() < 600);
    }

    // The worker reads a capture and the accelerometer from the simulated drive; the graph
    // decodes exactly the drive's waveforms.
    void captureFromSimulatedDrive() {
        xmlmap map;
        QVERIFY(map.readMap(testpaths::example("drive-map.xml")));
        QVector<input_reg_t *> inputs;
        QVector<holding_t *> holdings;
        map.getInputRegisters(inputs);
        map.getHoldings(holdings);

        WorkerHarness h;
        SimulatedDrive::Options options;
        options.mapFile = testpaths::example("drive-map.xml");
        QString error;
        QVERIFY2(h.bus.start(options, &error), qPrintable(error));
        h.worker->setCaptureStatusIndex(map.getFlags());

        QTemporaryDir logDir;
        SecondaryGraph graph;
        graph.setLogDirectory(logDir.path());
        graph.accelerometerLog()->setClocks([] { return QDateTime(QDate(2024, 3, 5), QTime(10, 0)); },
                                            [] { return qint64(0); });
        graph.setCommands(CaptureCommands::forWorker(h.worker.get()));
        graph.setConnected(true);
        int captureReplies = 0;
        connect(h.worker.get(), &Modbus::recv_input_registers, &graph,
                [&](int server, int start, QVector<uint16_t> words) {
                    captureReplies += graph.onInputRegistersRecv(server, start, words) ? 1 : 0;
                });
        connect(h.worker.get(), &Modbus::update_progressBar2, &graph, &SecondaryGraph::updateProgressBar2);
        h.connectWorker(inputs.size(), holdings.size());
        QTRY_VERIFY_WITH_TIMEOUT(!h.probe.inputs.isEmpty(), kWaitMs);

        graph.readVariablesButton()->click();
        QTRY_COMPARE_WITH_TIMEOUT(captureReplies, 27, kWaitMs);
        for (int channel = 0; channel < 3; ++channel) {
            for (int k = 0; k < waveforms::kBufferSamples; ++k) {
                QCOMPARE(float(graph.data().buffer(channel).at(k)), waveforms::bufferSample(channel, k));
            }
        }
        QCOMPARE(graph.progressBar()->value(), 0);
        QCOMPARE(graph.curve(1)->data()->size(), 512);
        graph.exportButton()->click();
        const QStringList copied = QGuiApplication::clipboard()->text().split("\r\n", Qt::SkipEmptyParts);
        QCOMPARE(copied.size(), 512);
        QCOMPARE(copied[0], QStringLiteral("0;0;0;500"));
        QCOMPARE(copied[16], QStringLiteral("16;16;707.11;500"));

        graph.readAccelerometerButton()->click();
        QTRY_COMPARE_WITH_TIMEOUT(captureReplies, 54, kWaitMs);
        for (int axis = 0; axis < 3; ++axis) {
            for (int n = 0; n < waveforms::kAccelSamples; ++n) {
                QCOMPARE(graph.data().accelerometer(axis).at(n), waveforms::accelSample(axis, n) * 0.122);
            }
        }
        QVERIFY(!graph.accelerometerLog()->isOpen());
        const QString file = graph.accelerometerLog()->fileName();
        QCOMPARE(QFileInfo(file).dir().path(), QDir(logDir.path()).filePath("acc"));
        const QStringList lines = fileLines(file);
        QCOMPARE(lines.size(), 5);  // header, X, Y, Z, footer
        QVERIFY(lines[1].startsWith("00:00:00.000 X axis;[0,-62.464];[0.005,-62.342];"));
        QVERIFY(lines[2].startsWith("00:00:00.000 Y axis;[0,0];[0.005,0.244];"));
        QVERIFY(lines[3].endsWith("[5.115,-124.806];"));
        QVERIFY(lines[4].startsWith("Log finished at"));
        // Until Min/Max are set the left axis fits the samples (-125 .. 250 here), not ±3000.
        const QCPRange y = graph.customPlot()->yAxis->range();
        QVERIFY2(y.lower <= -124.806 && y.upper >= 249.5 && y.size() < 500,
                 qPrintable(QString::number(y.size())));
        QCOMPARE(graph.curve(2)->data()->size(), 1024);  // all samples of an axis are plotted
        QCOMPARE(graph.customPlot()->xAxis->range(), QCPRange(0, 1024));
    }
};

QTEST_MAIN(tst_gui_plots)
#include "tst_gui_plots.moc"
