// How long `mvxctl log2csv` takes on a large data log: one written as the window writes it for
// the example map (every input register's text, a reply every 100 ms), 200 MB by default.
// Usage: bench_log2csv [--mb N] [--log FILE]   (--log: write the log there and keep it)
// Target: a 200 MB log in 5 s or less (the processor time counts when the machine is busy).
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>

#include "app/datalog.h"
#include "map/presentation.h"
#include "map/xmlmap.h"
#include "support/processcpu.h"
#include "support/testpaths.h"

namespace {

const QString kMap = testpaths::example(QStringLiteral("drive-map.xml"));
constexpr int kDistinctLines = 1000;

QTextStream &out() {
    static QTextStream stream(stdout);
    return stream;
}

QByteArray elapsedText(qint64 ms) {
    return QStringLiteral("%1:%2:%3.%4")
        .arg(ms / 3600000, 2, 10, QLatin1Char('0'))
        .arg(ms / 60000 % 60, 2, 10, QLatin1Char('0'))
        .arg(ms / 1000 % 60, 2, 10, QLatin1Char('0'))
        .arg(ms % 1000, 3, 10, QLatin1Char('0'))
        .toLatin1();
}

// Value parts of reply lines (";text;text..."), from random words.
QVector<QByteArray> valueLines(const QVector<input_reg_t *> &inputs) {
    QRandomGenerator random(20261207);
    QVector<QByteArray> lines;
    for (int i = 0; i < kDistinctLines; ++i) {
        QVector<uint16_t> words(inputs.size());
        for (uint16_t &word : words) {
            word = uint16_t(random.bounded(65536));
        }
        QString line;
        presentation::applyInputWords(inputs, words, &line);
        lines << line.toUtf8();
    }
    return lines;
}

bool writeLog(const QString &path, const QVector<input_reg_t *> &inputs, qint64 bytes, qint64 *rows) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    file.write("Log started at 08:00:00,000 of 07/12/2026\n");
    file.write("00:00:00.000" + DataLog::nameHeader(inputs, {}).toUtf8() + '\n');
    file.write("00:00:00.000" + DataLog::unitHeader(inputs, {}).toUtf8() + '\n');
    const QVector<QByteArray> values = valueLines(inputs);
    *rows = 0;
    for (qint64 written = 0; written < bytes; ++*rows) {
        written += file.write(elapsedText(*rows * 100) + values.at(int(*rows % values.size())) + '\n');
    }
    file.write("Log finished at 12:00:00,000 of 07/12/2026\n");
    return true;
}

void timeConversion(const QString &name, const QStringList &arguments) {
    QProcess mvxctl;
    QElapsedTimer timer;
    const qint64 cpuBefore = processcpu::endedChildrenCpuMs();
    timer.start();
    mvxctl.start(testpaths::mvxctl(), arguments);
    const bool finished = mvxctl.waitForFinished(-1);
    const qint64 ms = timer.elapsed();
    // The processor time tells the program's own cost on a machine busy with other work.
    out() << QStringLiteral("  %1: %2 ms (processor %3 ms), exit %4 %5\n")
                 .arg(name, -14)
                 .arg(ms)
                 .arg(processcpu::endedChildrenCpuMs() - cpuBefore)
                 .arg(finished ? mvxctl.exitCode() : -1)
                 .arg(QString::fromUtf8(mvxctl.readAllStandardError()).trimmed());
    out().flush();
}

}  // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int mb = args.contains(QStringLiteral("--mb")) ? args.value(args.indexOf("--mb") + 1).toInt() : 200;
    xmlmap map;
    QVector<input_reg_t *> inputs;
    if (map.readMap(kMap)) {
        map.getInputRegisters(inputs);
    }
    if (inputs.isEmpty()) {
        out() << "cannot read " << kMap << "\n";
        return 1;
    }
    QTemporaryDir dir;
    const QString log = args.contains(QStringLiteral("--log"))
                            ? args.value(args.indexOf("--log") + 1)
                            : dir.filePath(QStringLiteral("20261207-080000-log.txt"));
    const QString csv = dir.filePath(QStringLiteral("log.csv"));
    qint64 rows = 0;
    if (!writeLog(log, inputs, qint64(mb) << 20, &rows)) {
        out() << "cannot write " << log << "\n";
        return 1;
    }
    out() << QStringLiteral("log2csv on a %1 MB data log (%2 rows of %3 columns), target <= 5000 ms:\n")
                 .arg(QFileInfo(log).size() >> 20)
                 .arg(rows)
                 .arg(DataLog::nameHeader(inputs, {}).count(QLatin1Char(';')));
    timeConversion(QStringLiteral("to a file"), {"log2csv", log, csv});
    timeConversion(QStringLiteral("with --map"), {"log2csv", log, csv, "--map", kMap});
    out() << QStringLiteral("  CSV: %1 MB\n").arg(QFileInfo(csv).size() >> 20);
    return 0;
}
