#include <QtTest>

#include "../tools/drive-sim/waveforms.h"
#include "app/datalog.h"
#include "app/logger.h"
#include "comm/modbus.h"
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

// Input registers "reg N" (name rN) of the given units; fvalue is set by the tests.
struct Inputs {
    explicit Inputs(const QStringList &units) : storage(units.size()) {
        for (int i = 0; i < units.size(); ++i) {
            storage[i].unit = units[i];
            storage[i].text = QStringLiteral("reg %1").arg(i);
            storage[i].name = QStringLiteral("r%1").arg(i);
            list << &storage[i];
        }
    }
    QVector<input_reg_t> storage;
    QVector<input_reg_t *> list;
};

void wheel(QCustomPlot *plot, Qt::KeyboardModifiers modifiers) {
    const QPointF at = plot->axisRect()->rect().center();
    QWheelEvent event(at, plot->mapToGlobal(at.toPoint()), QPoint(), QPoint(0, 120), Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(plot, &event);
}

// Text entered the way a user finishes it.
void type(QLineEdit *edit, const char *text) {
    edit->setText(QString::fromUtf8(text));
    emit edit->editingFinished();
}

QStringList fileLines(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts)
                                          : QStringList();
}

}  // namespace

class tst_gui_plots : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { QLoggingCategory::setFilterRules(QStringLiteral("mvx.capture.debug=false")); }

    // One live plot: curves by unit, the time window, fixed and automatic scales, the legend, an outage.
    void liveCurves() {
        Inputs in({"rpm", "V", "Hz", "A", "W", QString::fromUtf8("ºC"), "rpm"});
        RealtimePlot plot;
        plot.setRegisters(in.list);
        qint64 now = kT0;
        plot.setClock([&now] { return now; });
        plot.resize(1000, 600);
        plot.show();
        QVERIFY(QTest::qWaitForWindowExposed(&plot));
        QCOMPARE(plot.curveCount(), 6);
        QCOMPARE(plot.curveIndexOf(2), -1);  // Hz has no axis
        const int axisOf[] = {0, 1, -1, 2, 3, 4, 0};
        for (int r : {0, 1, 3, 4, 5, 6}) {
            QCPGraph *curve = plot.curve(plot.curveIndexOf(r));
            QCOMPARE(curve->valueAxis(), plot.valueAxis(axisOf[r]));
            // The axis colour; the second speed curve keeps the blue family in another shade.
            const QColor axisColour(realtimeaxes::axes().at(axisOf[r]).pen);
            QCOMPARE(curve->pen().color(), r == 6 ? axisColour.darker(170) : axisColour);
            QCOMPARE(curve->name(), QStringLiteral("%1 [%2]").arg(in.storage[r].text, in.storage[r].unit));
        }
        QCOMPARE(plot.valueAxis(0)->axisType(), QCPAxis::atLeft);
        QCOMPARE(plot.valueAxis(4)->axisType(), QCPAxis::atRight);
        QCOMPARE(plot.valueAxis(4)->label(), QString::fromUtf8("Temperature [ºC]"));
        QCOMPARE(plot.timeAxis()->label(), QStringLiteral("Date/Time"));

        for (int k = 0; k < 5; ++k) {
            in.storage[0].fvalue = float(k);
            in.storage[4].fvalue = 100.0f + 25 * k;
            plot.appendSample(kT0 + k * 100);
        }
        // The time window follows the newest sample: 10 s before it leaves the samples beyond the right
        // edge, and only the first one is drawn (the shown samples and one either side are).
        const double newest = (kT0 + 400) / 1000.0;
        plot.controls()->timeMinEdit()->setText("10");
        plot.replotNow();
        QCOMPARE(plot.timeAxis()->range().lower, newest - 60);
        QCOMPARE(plot.timeAxis()->range().upper, newest - 10);
        QCOMPARE(plot.curve(0)->data()->size(), 1);
        QCOMPARE(plot.curve(0)->data()->constBegin()->value, 0.0);
        plot.controls()->timeMinEdit()->setText("0");

        RealtimeControls *c = plot.controls();
        QVERIFY(!c->minEdit(3)->isEnabled());
        c->automaticBox(3)->setChecked(false);
        QVERIFY(c->minEdit(3)->isEnabled() && c->maxEdit(3)->isEnabled());
        plot.replotNow();
        QCOMPARE(plot.valueAxis(3)->range(), QCPRange(0, 4000));
        type(c->maxEdit(3), "500");
        plot.replotNow();
        QCOMPARE(plot.valueAxis(3)->range(), QCPRange(0, 500));
        c->automaticBox(3)->setChecked(true);
        QVERIFY(!c->maxEdit(3)->isEnabled());
        plot.replotNow();
        QCOMPARE(plot.valueAxis(3)->range(), QCPRange(95, 205));  // the shown data plus 5 %

        // A real click on a legend entry hides its curve, a second one shows it.
        QCPAbstractLegendItem *entry = plot.customPlot()->legend->itemWithPlottable(plot.curve(5));
        for (bool shown : {false, true}) {
            QTest::mouseClick(plot.customPlot(), Qt::LeftButton, Qt::NoModifier, entry->rect().center());
            QCOMPARE(plot.curve(5)->visible(), shown);
            QVERIFY(plot.curve(0)->visible());
        }

        now = kT0 + 3000;
        plot.onDisconnectedStart();
        now = kT0 + 9000;
        plot.onDisconnectedStop();
        QCOMPARE(plot.zones().size(), 1);
        ZoneItem *zone = plot.zones().first();
        QCOMPARE(zone->begin(), newest);  // from the last reply
        QCOMPARE(zone->end(), (kT0 + 9000) / 1000.0);
        QVERIFY(zone->layer()->index() < plot.customPlot()->layer("main")->index());
        plot.replotNow();  // no line across the outage: a gap in the middle of the band
        const auto gap = plot.curve(0)->data()->constEnd() - 1;
        QCOMPARE(gap->key, (kT0 + 4700) / 1000.0);
        QVERIFY(std::isnan(gap->value));
        plot.clearHistory();
        QVERIFY(plot.zones().isEmpty());
        QCOMPARE(plot.curve(0)->data()->size(), 0);
        plot.resize(300, 400);  // the legend wraps into fewer columns
        plot.replotNow();
        QVERIFY(plot.customPlot()->legend->wrap() < 5);
    }

    // Known data, 1 s apart (current = second, voltage 10.5 V): zoom, the CSV and picture exports of
    // the window looked at, pan, cursors, live.
    void navigateExportAndReadValues() {
        Inputs in({"A", "A", "V", "V"});
        RealtimePlot plot;
        plot.setRegisters(in.list);
        plot.setPowerPositions({0, 1, 2, 3});
        plot.setConnectTime(kT0 - 2000);
        plot.resize(1200, 700);
        plot.show();
        QVERIFY(QTest::qWaitForWindowExposed(&plot));
        plot.controls()->timeMaxEdit()->setText("600");
        for (int k = 0; k <= 600; ++k) {
            in.storage[0].fvalue = float(k);
            in.storage[1].fvalue = float(k) / 10;
            in.storage[2].fvalue = 10.5f;
            plot.appendSample(kT0 + k * 1000);
        }
        plot.replotNow();
        // P of the last sample.
        QCOMPARE(plot.controls()->activePowerLabel()->text(), QStringLiteral("P = 9450.0 W"));
        QCustomPlot *p = plot.customPlot();
        const QRect area = p->axisRect()->rect();
        QCOMPARE(p->xAxis->range().size(), 600.0);
        QVERIFY(!plot.liveButton()->isVisible());

        const double atMouse = p->xAxis->pixelToCoord(area.center().x());
        wheel(p, Qt::NoModifier);
        QVERIFY(p->xAxis->range().size() < 600.0);
        QVERIFY(qAbs(p->xAxis->pixelToCoord(area.center().x()) - atMouse) < 1.0);  // zoomed around the mouse
        QVERIFY(!plot.isFollowingLive() && plot.liveButton()->isVisible());
        const QCPRange valuesBefore = plot.valueAxis(2)->range();
        wheel(p, Qt::ControlModifier);
        QVERIFY(plot.valueAxis(2)->range().size() < valuesBefore.size());

        // The CSV file holds the window's samples: times, seconds since Connect, values, P, Q, S.
        plot.showTimeWindow((kT0 + 100000) / 1000.0, (kT0 + 109000) / 1000.0);
        plot.replotNow();
        QTemporaryDir dir;
        QString error;
        QVERIFY2(plot.exportCsv(dir.filePath("window.csv"), &error), qPrintable(error));
        const QStringList lines = fileLines(dir.filePath("window.csv"));
        QCOMPARE(lines.first(), QStringLiteral("time (ISO 8601),seconds since Connect,reg 0 [A],reg 1 "
                                               "[A],reg 2 [V],reg 3 [V],P [W],Q [VAr],S [VA]"));
        QCOMPARE(lines.size(), 1 + 10);
        for (int row = 1; row < lines.size(); ++row) {
            const QStringList cells = lines[row].split(',');
            const int k = 99 + row;
            QCOMPARE(QDateTime::fromString(cells[0], Qt::ISODateWithMs).toMSecsSinceEpoch(), kT0 + k * 1000);
            QCOMPARE(cells[1].toDouble(), 2.0 + k);
            QCOMPARE(cells[2].toDouble(), double(k));
            QCOMPARE(cells[3], QString::number(k / 10.0));  // the reading's digits, no float noise
            QCOMPARE(cells[6].toDouble(), 1.5 * 10.5 * k);
        }
        for (const QString &picture : {dir.filePath("window.png"), dir.filePath("window.pdf")}) {
            QVERIFY2(plot.exportPicture(picture, &error), qPrintable(error));
            QVERIFY(QFileInfo(picture).size() > 1000);
        }

        plot.showTimeWindow((kT0 + 100000) / 1000.0, (kT0 + 200000) / 1000.0);
        plot.replotNow();
        const QPoint from = area.center();
        QTest::mousePress(p, Qt::LeftButton, Qt::NoModifier, from);
        QMouseEvent move(QEvent::MouseMove, from - QPoint(area.width() / 2, 0), Qt::LeftButton,
                         Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(p, &move);
        QTest::mouseRelease(p, Qt::LeftButton, Qt::NoModifier, from - QPoint(area.width() / 2, 0));
        QVERIFY(qAbs(p->xAxis->range().lower - (kT0 + 150000) / 1000.0) < 1.0);  // panned half a window

        // A click sets cursor 1; the read-out: a line per cursor, then the differences.
        QTest::mouseClick(p, Qt::LeftButton, Qt::NoModifier,
                          QPoint(int(p->xAxis->coordToPixel((kT0 + 170500) / 1000.0)), area.center().y()));
        plot.setCursorAt(1, (kT0 + 200000) / 1000.0);
        const QString readout = plot.readout()->text();
        // Without the multi-line option "." stops at a line end, "^" and "$" hold the whole text.
        const QRegularExpression readoutLines(
            QString::fromUtf8("^.*reg 0 = 170 A.*reg 1 = 17 A.*P = 2677.5 W.*\n.*reg 0 = 200 A.*\n.*Δt = "
                              "29\\..*Δreg 0 = 30 A.*$"));
        QVERIFY2(readoutLines.match(readout).hasMatch(), qPrintable(readout));

        plot.liveButton()->click();
        plot.appendSample(kT0 + 601000);
        plot.replotNow();
        QVERIFY(plot.isFollowingLive());
        QCOMPARE(p->xAxis->range().upper, (kT0 + 601000) / 1000.0);
    }

    // A data log written by the program's data-log writer replays with the same values, and
    // P, Q, S are worked out again from its columns.
    void dataLogReplays() {
        QTemporaryDir dir;
        Inputs in({"rpm", "A", "A", "V", "V", "Hz"});
        logger file;
        qint64 elapsed = 0;
        file.setClocks([] { return QDateTime::fromMSecsSinceEpoch(kT0); }, [&elapsed] { return elapsed; });
        DataLog log(&file);
        QVERIFY(log.start(dir.path(), in.list, {}));
        for (int k = 0; k < 50; ++k) {
            elapsed = k * 100;
            const char *vd = k % 7 == 0 ? "230.5" : "-1.25";
            log.writeValues(QStringLiteral(";%1;%2;0;%3;0;50").arg(k * 10).arg(k * 0.5).arg(vd), {});
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
        QVERIFY(!replay.open(dir.filePath("missing-log.txt")) &&
                replay.statusLabel()->text().startsWith("Cannot open"));
    }

    // The capture set-up, a capture and an accelerometer read through the worker from the simulated
    // drive: the set-up's writes reach the drive, the graph decodes exactly the drive's waveforms.
    void captureFromSimulatedDrive() {
        WorkerHarness h;
        SimulatedDrive::Options options;
        options.mapFile = testpaths::example("drive-map.xml");
        QString error;
        QVERIFY2(h.bus.start(options, &error), qPrintable(error));
        h.worker->setCaptureStatusIndex(29);  // the map's <flags>: where the drive reports a capture

        QTemporaryDir logDir;
        SecondaryGraph graph;
        graph.resize(1000, 700);
        graph.show();
        graph.setLogDirectory(logDir.path());
        graph.accelerometerLog()->setClocks([] { return QDateTime(QDate(2024, 3, 5), QTime(10, 0)); },
                                            [] { return qint64(0); });
        graph.setCommands(CaptureCommands::forWorker(h.worker.get()));
        QList<QWidget *> controls{graph.afterAlarmEdit(), graph.verticalMinEdit(), graph.verticalMaxEdit(),
                                  graph.readVariablesButton(), graph.readAccelerometerButton()};
        for (int trace = 0; trace < 3; ++trace) {
            controls << graph.traceSelector(trace) << graph.scaleEdit(trace);
        }
        const auto enabledIs = [&](bool on) {
            return graph.exportButton()->isEnabled() &&
                   std::all_of(controls.begin(), controls.end(),
                               [on](QWidget *w) { return w->isEnabled() == on; });
        };
        QVERIFY(enabledIs(false) && graph.progressBar()->isHidden());
        QCOMPARE(
            graph.warningLabel()->text(),
            QStringLiteral("Warning: the variables and scales must be selected prior to the tigger event and "
                           "every time power is restored in the inverter"));
        graph.setConnected(true);
        QVERIFY(enabledIs(true));
        int captureReplies = 0;
        connect(h.worker.get(), &Modbus::recv_input_registers, &graph,
                [&](int server, int start, QVector<uint16_t> words) {
                    captureReplies += graph.onInputRegistersRecv(server, start, words) ? 1 : 0;
                });
        connect(h.worker.get(), &Modbus::update_progressBar2, &graph, &SecondaryGraph::updateProgressBar2);
        h.connectWorker(40, 64);
        QTRY_VERIFY_WITH_TIMEOUT(!h.probe.inputs.isEmpty(), kWaitMs);

        QSignalSpy status(&graph, &SecondaryGraph::send_status);
        graph.traceSelector(0)->setCurrentIndex(5);
        graph.traceSelector(1)->setCurrentIndex(1);
        type(graph.scaleEdit(0), "1000");
        type(graph.scaleEdit(2), "-");  // not a number: nothing
        type(graph.afterAlarmEdit(), "250");
        type(graph.afterAlarmEdit(), "70000");  // does not fit the register: nothing
        QCOMPARE(status.size(), 2);
        QCOMPARE(status.at(0).at(3).toString(), QStringLiteral("scale 1: 1000"));
        QCOMPARE(status.at(1).at(3).toString(), QStringLiteral("Points to save after an alarm: 250"));
        QCOMPARE(status.at(0).at(2).toBool(), true);  // to the log area
        graph.readVariablesButton()->click();
        QVERIFY(graph.progressBar()->isVisible());
        QCOMPARE(graph.progressBar()->maximum(), 0);  // busy until the drive reports its buffers
        QTRY_COMPARE_WITH_TIMEOUT(captureReplies, 27, kWaitMs);
        // The set-up's writes (single and multiple) in the capture registers, in order.
        QTRY_COMPARE_WITH_TIMEOUT(h.requests().filter(QRegularExpression("^1 (06|10) 4F")),
                                  (QStringList{"1 06 4F FF 00 05", "1 06 4F FF 00 25",
                                               "1 10 4F F0 00 02 04 44 7A 00 00", "1 06 4F F7 00 FA"}),
                                  kWaitMs);
        QVERIFY(h.probe.said("Writting value 37 to holding register 20479") == 1 &&
                h.probe.said("Writting value 250 to holding register 20471") == 1);  // said in the log area
        for (int channel = 0; channel < 3; ++channel) {
            for (int k = 0; k < waveforms::kBufferSamples; ++k) {
                QCOMPARE(float(graph.data().buffer(channel).at(k)), waveforms::bufferSample(channel, k));
            }
        }
        QCOMPARE(graph.progressBar()->value(), 0);
        graph.updateProgressBar2(true, 1.0f / 28 * 100);
        QCOMPARE(graph.progressBar()->maximum(), 100);
        QCOMPARE(graph.progressBar()->value(), 3);
        graph.updateProgressBar2(false, 50);
        QVERIFY(graph.progressBar()->isHidden());
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
        QCustomPlot *plot = graph.customPlot();
        QVERIFY2(plot->yAxis->range().lower <= -124.806 && plot->yAxis->range().upper >= 249.5 &&
                     plot->yAxis->range().size() < 500,
                 qPrintable(QString::number(plot->yAxis->range().size())));
        QCOMPARE(graph.curve(2)->data()->size(), 1024);  // all samples of an axis are plotted
        const QCPRange x(0, 1024);
        QCOMPARE(plot->xAxis->range(), x);

        // Min/Max set the left axis; the wheel zooms one axis at a time: Shift the samples, Ctrl the values.
        graph.verticalMinEdit()->setText("-100");
        type(graph.verticalMaxEdit(), "500");
        plot->replot();
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
        graph.setConnected(false);
        QVERIFY(enabledIs(false));
    }
};

QTEST_MAIN(tst_gui_plots)
#include "tst_gui_plots.moc"
