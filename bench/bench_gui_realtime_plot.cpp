// GUI-side cost of one ordinary input-register reply: table update, plot append, P/Q/S and
// a replot rendered offscreen, with 125 input registers of which 10 are plotted, after
// 1 minute, 1 hour and 24 hours of 10 Hz history. Prints figures; no pass/fail.
//
// The comparison run (--naive, started as a child process so that its memory is its own)
// hands the whole history to every curve on each reply instead of appending one point.

#include <qcustomplot.h>
#include <sys/resource.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTextStream>
#include <algorithm>
#include <cmath>

#include "views/inputregistertable.h"
#include "views/realtimecontrols.h"
#include "views/realtimeplot.h"

namespace {

constexpr int kRegisters = 125;
constexpr qint64 kPeriodMs = 100;  // 10 Hz
constexpr qint64 kT0 = 1700000000000;

struct Level {
    const char *name;
    int samples;
};
const Level kLevels[] = {{"1 min", 600}, {"1 h", 36000}, {"24 h", 864000}};

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

// Per reply, in ms: the whole reply and its three parts.
struct Timings {
    QVector<double> total;
    QVector<double> table;
    QVector<double> append;  // plot append and P, Q, S (naive: plus the handover)
    QVector<double> events;  // the event loop: queued replot, repaints of plot, table, labels
};

class Bench {
  public:
    explicit Bench(bool naive) : m_naive(naive) {
        m_table.setup(m_map.list, 200, 100, 50);
        m_plot.setRegisters(m_map.list);
        m_plot.setPowerPositions({4, 5, 2, 3});
        m_table.resize(500, 800);
        m_plot.resize(1400, 800);
        m_table.show();
        m_plot.show();
        if (m_naive) {
            m_series.resize(m_plot.curveCount());
        }
    }

    // History without replots, as fast as possible.
    void fillTo(int samples) {
        while (m_samples < samples) {
            const qint64 k = m_samples++;
            for (int c = 0; c < m_plot.curveCount(); ++c) {
                m_map.storage[c].fvalue = float(1000 + 500 * std::sin(0.01 * double(k) + c));
            }
            m_plot.appendSample(timeOf(k));
            keepNaiveCopy(k);
        }
    }

    Timings measure(int count) {
        Timings t;
        QElapsedTimer timer;
        for (int i = 0; i < count; ++i) {
            const qint64 k = m_samples++;
            const QVector<uint16_t> words = replyWords(k);
            timer.start();
            m_table.showWords(words);
            const qint64 tableNs = timer.nsecsElapsed();
            m_plot.appendSample(timeOf(k));
            keepNaiveCopy(k);
            if (m_naive) {
                for (int c = 0; c < m_plot.curveCount(); ++c) {
                    m_plot.curve(c)->setData(m_time, m_series[c], true);
                }
            }
            const qint64 appendNs = timer.nsecsElapsed();
            QCoreApplication::processEvents();  // the queued replot; it schedules the repaint
            QCoreApplication::processEvents();  // the repaints
            const qint64 totalNs = timer.nsecsElapsed();
            t.total << totalNs / 1e6;
            t.table << tableNs / 1e6;
            t.append << (appendNs - tableNs) / 1e6;
            t.events << (totalNs - appendNs) / 1e6;
        }
        return t;
    }

  private:
    static qint64 timeOf(qint64 k) { return kT0 + k * kPeriodMs; }

    void keepNaiveCopy(qint64 k) {
        if (!m_naive) {
            return;
        }
        m_time << timeOf(k) / 1000.0;
        for (int c = 0; c < m_series.size(); ++c) {
            m_series[c] << double(m_map.storage[c].fvalue);
        }
    }

    bool m_naive;
    Map m_map;
    InputRegisterTable m_table;
    RealtimePlot m_plot;
    int m_samples = 0;
    QVector<double> m_time;
    QVector<QVector<double>> m_series;
};

double percentile(QVector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const int index = std::min(int(values.size()) - 1, int(std::ceil(p * values.size())) - 1);
    return values.at(std::max(0, index));
}

QString ms(double value, int width) {
    return QStringLiteral("%1").arg(value, width, 'f', 3);
}

void run(bool naive) {
    Bench bench(naive);
    const int replies = naive ? 30 : 300;
    out << (naive ? "naive: the whole history handed over to every curve each reply"
                  : "append: one point per curve each reply")
        << " (" << replies << " replies per level)\n"
        << "history   median ms   p99 ms  peak RSS MB   medians of: table / append+PQS / replot+repaints\n";
    QVector<double> medians;
    for (const Level &level : kLevels) {
        bench.fillTo(level.samples);
        bench.measure(10);  // warm-up
        const Timings t = bench.measure(replies);
        medians << percentile(t.total, 0.5);
        out << QStringLiteral("%1 %2 %3 %4      %5 / %6 / %7\n")
                   .arg(QString::fromLatin1(level.name), -7)
                   .arg(ms(medians.last(), 11), ms(percentile(t.total, 0.99), 8))
                   .arg(peakRssMb(), 12, 'f', 1)
                   .arg(ms(percentile(t.table, 0.5), 0), ms(percentile(t.append, 0.5), 0),
                        ms(percentile(t.events, 0.5), 0));
        out.flush();
    }
    out << QStringLiteral("median at 24 h / median at 1 min: %1\n\n")
               .arg(medians.last() / medians.first(), 0, 'f', 2);
    out.flush();
}

}  // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const bool naive = app.arguments().contains(QStringLiteral("--naive"));
    run(naive);
    if (!naive && !app.arguments().contains(QStringLiteral("--no-naive"))) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(app.applicationFilePath(), {QStringLiteral("--naive")});
        child.waitForFinished(-1);
    }
    return 0;
}
