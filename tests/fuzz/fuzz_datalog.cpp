// Data-log reader, as File → Open data log and mvxctl log2csv use it: header, names and units,
// then every data line. What it hands on is in time order, inside the span a log can have, one
// value per wanted column; and an elapsed time it reads is one the logger writes the same way.
#include <QFile>
#include <QTemporaryDir>
#include <QVector>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "app/logger.h"
#include "fuzzsupport.h"
#include "views/plotdata/datalogreader.h"

namespace {

// Every input is a file; scripts/fuzz.sh points TMPDIR at tmpfs, where that costs little.
QTemporaryDir *workDir() {
    static QTemporaryDir dir;
    return &dir;
}

// Each elapsed field of the input read on its own: what parses is what the logger writes.
void checkElapsedFields(const QByteArray &bytes) {
    for (const QByteArray &line : bytes.split('\n')) {
        const qint64 ms = plotdata::DataLogReader::parseElapsed(line.left(line.indexOf(';')));
        if (ms >= 0) {
            const QByteArray written = logger::elapsedText(ms).toLatin1();
            FUZZ_CHECK(plotdata::DataLogReader::parseElapsed(written) == ms, "a written time reads back");
        }
    }
}

// Every column, a column twice, one that is not wanted and one past the header (a line may
// hold more values than the header names).
QVector<int> wantedColumns(int count) {
    QVector<int> columns;
    for (int i = 0; i < count; ++i) {
        columns << i;
    }
    columns << 0 << -1 << count + 3;
    return columns;
}

void readRows(plotdata::DataLogReader &reader) {
    const QVector<int> columns = wantedColumns(reader.names().size());
    const qint64 startMs = reader.startTime().toMSecsSinceEpoch();
    qint64 last = 0;
    int lastPercent = -1;
    QString error;
    const bool read = reader.readRows(
        columns,
        [&](qint64 elapsedMs, const QVector<double> &values) {
            FUZZ_CHECK(elapsedMs >= last, "times never go backwards");
            last = elapsedMs;
            FUZZ_CHECK(values.size() == columns.size(), "one value per wanted column");
            FUZZ_CHECK(std::isnan(values.at(columns.size() - 2)), "a column not wanted stays empty");
            // What the replay and the CSV writer do with it: no overflow, a valid date.
            FUZZ_CHECK(QDateTime::fromMSecsSinceEpoch(startMs + elapsedMs).isValid(), "a sample has a date");
        },
        [&](int percent) {
            FUZZ_CHECK(percent > lastPercent && percent <= 100, "progress goes forward to 100");
            lastPercent = percent;
        },
        &error);
    FUZZ_CHECK(read, "an open log reads to its end");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes = fuzzsupport::bytes(data, size);
    checkElapsedFields(bytes);
    const QString path = workDir()->filePath(QStringLiteral("data-log.txt"));
    {
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size(),
                   "input written");
    }
    plotdata::DataLogReader reader;
    QString error;
    if (!reader.open(path, &error)) {
        FUZZ_CHECK(!error.isEmpty(), "a refused log says why");
        return 0;
    }
    FUZZ_CHECK(reader.startTime().isValid(), "an open log has a start");
    FUZZ_CHECK(reader.names().size() == reader.units().size(), "a name per unit");
    readRows(reader);
    return 0;
}
