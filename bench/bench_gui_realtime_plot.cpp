// GUI-side cost of one ordinary input-register reply: table update, plot append, P/Q/S and
// a replot rendered offscreen, with 125 input registers of which 10 are plotted, after
// 1 minute, 1 hour, 24 hours and 7 days of 10 Hz history; and, in a child process so that its
// memory is its own (--replay), opening a generated 24-hour data log and panning through it.
// Prints figures; no pass/fail. Per-reply costs are CPU time of the GUI thread, so that a
// loaded machine (other builds) does not count as GUI cost; the wall-clock median is shown too.

#include <qcustomplot.h>
#include <sys/resource.h>
#include <time.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <cmath>

#include "app/logger.h"
#include "views/inputregistertable.h"
#include "views/realtimecontrols.h"
#include "views/realtimeplot.h"
#include "views/replaywindow.h"

namespace {

constexpr int kRegisters = 125;
constexpr qint64 kPeriodMs = 100;  // 10 Hz
constexpr qint64 kT0 = 1700000000000;

struct Level {
    const char *name;
    int samples;
};
const Level kLevels[] = {{"1 min", 600}, {"1 h", 36000}, {"24 h", 864000}, {"7 days", 6048000}};

QTextStream out(stdout);

double peakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// The example map widened to 125 registers: two plotted registers per axis unit, the d/q
// currents and voltages among them, the rest unplotted measurements.
struct Map {
    Map() : storage(kRegisters) {
        const QStringList plotted = {
            "rpm", "rpm", "V", "V", "A", "A", "W", "W", QString::fromUtf8("ºC"), QString::fromUtf8("ºC")};
        for (int i = 0; i < kRegisters; ++i) {
            input_reg_t &reg = storage[i];
            reg.add = uint16_t(i);
            reg.text = QStringLiteral("Input %1").arg(i);
            reg.vis_type = i % 3 == 0 ? QStringLiteral("float") : QStringLiteral("integer");
            reg.multiplier = i % 3 == 0 ? 0.1f : 1.0f;
            reg.unit =
                i < plotted.size() ? plotted[i] : (i % 2 ? QStringLiteral("Hz") : QStringLiteral("none"));
            list << &reg;
        }
    }
    QVector<input_reg_t> storage;
    QVector<input_reg_t *> list;
};

QVector<uint16_t> replyWords(qint64 k) {
    QVector<uint16_t> words(kRegisters);
    for (int i = 0; i < kRegisters; ++i) {
        words[i] = uint16_t(1000 + 500 * std::sin(0.01 * double(k) + i));
    }
    return words;
}

// CPU time of the calling thread, in nanoseconds.
qint64 threadCpuNs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Per reply, in ms of GUI-thread CPU: the whole reply and its three parts; and the wall time.
struct Timings {
    QVector<double> wall;
    QVector<double> total;
    QVector<double> table;
    QVector<double> append;  // plot append and P, Q, S (naive: plus the handover)
    QVector<double> events;  // the event loop: queued replot, repaints of plot, table, labels
};

class Bench {
  public:
    Bench() {
        m_table.setup(m_map.list, 200, 100, 50);
        m_plot.setRegisters(m_map.list);
        m_plot.setPowerPositions({4, 5, 2, 3});
        m_table.resize(500, 800);
        m_plot.resize(1400, 800);
        m_table.show();
        m_plot.show();
    }

    // History without replots, as fast as possible.
    void fillTo(int samples) {
        while (m_samples < samples) {
            const qint64 k = m_samples++;
            for (int c = 0; c < m_plot.curveCount(); ++c) {
                m_map.storage[c].fvalue = float(1000 + 500 * std::sin(0.01 * double(k) + c));
            }
            m_plot.appendSample(timeOf(k));
        }
    }

    Timings measure(int count) {
        Timings t;
        QElapsedTimer wall;
        for (int i = 0; i < count; ++i) {
            const qint64 k = m_samples++;
            const QVector<uint16_t> words = replyWords(k);
            wall.start();
            const qint64 startNs = threadCpuNs();
            m_table.showWords(words);
            const qint64 tableNs = threadCpuNs() - startNs;
            m_plot.appendSample(timeOf(k));
            const qint64 appendNs = threadCpuNs() - startNs;
            QCoreApplication::processEvents();  // the queued replot; it schedules the repaint
            QCoreApplication::processEvents();  // the repaints
            const qint64 totalNs = threadCpuNs() - startNs;
            t.wall << wall.nsecsElapsed() / 1e6;
            t.total << totalNs / 1e6;
            t.table << tableNs / 1e6;
            t.append << (appendNs - tableNs) / 1e6;
            t.events << (totalNs - appendNs) / 1e6;
        }
        return t;
    }

  private:
    static qint64 timeOf(qint64 k) { return kT0 + k * kPeriodMs; }

    Map m_map;
    InputRegisterTable m_table;
    RealtimePlot m_plot;
    int m_samples = 0;
};

double percentile(QVector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const int index = std::min(int(values.size()) - 1, int(std::ceil(p * values.size())) - 1);
    return values.at(std::max(0, index));
}

QString ms(double value, int width) {
    return QStringLiteral("%1").arg(value, width, 'f', 3);
}

void runLive() {
    Bench bench;
    const int replies = 300;
    out << "live: " << replies << " replies per level, 10 curves plus P, Q, S, the last 60 s shown\n"
        << "history   median ms   p99 ms  peak RSS MB   medians of: table / append+PQS / replot+repaints"
           "   wall median ms\n";
    QVector<double> medians;
    for (const Level &level : kLevels) {
        bench.fillTo(level.samples);
        bench.measure(10);  // warm-up
        const Timings t = bench.measure(replies);
        medians << percentile(t.total, 0.5);
        out << QStringLiteral("%1 %2 %3 %4      %5 / %6 / %7   %8\n")
                   .arg(QString::fromLatin1(level.name), -7)
                   .arg(ms(medians.last(), 11), ms(percentile(t.total, 0.99), 8))
                   .arg(peakRssMb(), 12, 'f', 1)
                   .arg(ms(percentile(t.table, 0.5), 0), ms(percentile(t.append, 0.5), 0),
                        ms(percentile(t.events, 0.5), 0), ms(percentile(t.wall, 0.5), 0));
        out.flush();
    }
    out << QStringLiteral("median at 7 days / median at 1 min: %1\n\n")
               .arg(medians.last() / medians.first(), 0, 'f', 2);
    out.flush();
}

// A data log as the program writes it: 40 columns, 10 of them on the plot's axes (one at the
// end of the line, so that every line is read whole), one line every 100 ms for 24 hours.
bool writeDayLog(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    const QStringList plotted = {"rpm", "rpm", "V", "V", "A", "A", "W", "W", QString::fromUtf8("ºC")};
    QString names, units;
    for (int i = 0; i < 40; ++i) {
        names += QStringLiteral(";input%1").arg(i);
        units += QLatin1Char(';') + (i < plotted.size() ? plotted[i]
                                     : i == 39          ? QString::fromUtf8("ºC")
                                                        : QStringLiteral("Hz"));
    }
    QByteArray text = "Log started at 00:00:00,000 of 01/03/2024\n";
    text += "00:00:00.000" + names.toUtf8() + "\n00:00:00.000" + units.toUtf8() + "\n";
    for (qint64 k = 0; k < 864000; ++k) {
        text += logger::elapsedText(k * kPeriodMs).toLatin1();
        for (int i = 0; i < 40; ++i) {
            text +=
                ';' + QByteArray::number(std::round(10 * (100 + 50 * std::sin(0.001 * double(k) + i))) / 10);
        }
        text += '\n';
        if (text.size() > (1 << 20)) {
            file.write(text);
            text.clear();
        }
    }
    return file.write(text) == text.size();
}

void runReplay() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("20240301-000000-log.txt"));
    if (!writeDayLog(path)) {
        out << "replay: cannot write the data log\n";
        return;
    }
    const double rssBefore = peakRssMb();
    ReplayWindow replay;
    replay.setPowerColumns({"input4", "input5", "input2", "input3"});
    replay.resize(1400, 800);
    replay.show();
    QElapsedTimer timer;
    timer.start();
    const bool opened = replay.open(path);
    const double openS = timer.nsecsElapsed() / 1e9;
    RealtimePlot *plot = replay.plot();
    plot->replotNow();
    const double dayReplotMs = [&] {
        QElapsedTimer t;
        t.start();
        plot->replotNow();
        return t.nsecsElapsed() / 1e6;
    }();
    // Pan a one-hour window through the day in 5-minute steps.
    QVector<double> pans;
    QVector<double> pansWall;
    const double start = plot->history().oldestMs() / 1000.0;
    for (int step = 0; step < 200; ++step) {
        const double from = start + step * 300.0;
        timer.start();
        const qint64 cpuStart = threadCpuNs();
        plot->showTimeWindow(from, from + 3600);
        plot->replotNow();
        pans << (threadCpuNs() - cpuStart) / 1e6;
        pansWall << timer.nsecsElapsed() / 1e6;
    }
    out << QStringLiteral(
               "replay of a 24-hour data log (%1 lines, %2 MB): %3, open %4 s, peak RSS %5 MB "
               "(%6 MB before), replot of the whole day %7 ms, median replot while panning a 1-hour "
               "window %8 ms CPU (p99 %9 ms, wall median %10 ms)\n")
               .arg(plot->sampleCount())
               .arg(QFileInfo(path).size() / 1e6, 0, 'f', 0)
               .arg(opened ? "opened" : "FAILED")
               .arg(openS, 0, 'f', 2)
               .arg(peakRssMb(), 0, 'f', 1)
               .arg(rssBefore, 0, 'f', 1)
               .arg(dayReplotMs, 0, 'f', 2)
               .arg(percentile(pans, 0.5), 0, 'f', 2)
               .arg(percentile(pans, 0.99), 0, 'f', 2)
               .arg(percentile(pansWall, 0.5), 0, 'f', 2);
    out.flush();
}

}  // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    if (app.arguments().contains(QStringLiteral("--replay"))) {
        runReplay();
        return 0;
    }
    if (!app.arguments().contains(QStringLiteral("--replay-only"))) {
        runLive();
    }
    if (!app.arguments().contains(QStringLiteral("--no-replay"))) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(app.applicationFilePath(), {QStringLiteral("--replay")});
        child.waitForFinished(-1);
    }
    return 0;
}
