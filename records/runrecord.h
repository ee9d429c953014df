#pragma once

#include <QMetaType>
#include <QString>
#include <QVector>

// One step result of a production-test run, as the engine reported it.
struct StepRecord {
    int num = 0;
    int kind = 0;
    QString text;
    double res = 0;
    double min = 0;
    double max = 0;
    int ok = 0;
    QString at;  // UTC, ISO 8601 with milliseconds
};

// One entry of the holdings block written at the end of the result log.
struct HoldingRecord {
    QString name;
    int value = 0;
};

// Everything recorded about one run of the production test on one board. A run whose
// result is empty has not finished (or its station stopped before it could say how).
struct RunRecord {
    QString id;  // UUID without braces
    QString station;
    QString serial;
    QString day;        // the station's local date, yyyy-MM-dd, for the daily figures
    QString startedAt;  // UTC, ISO 8601 with milliseconds
    QString endedAt;
    QString result;  // "pass", "fail", "cancelled" or empty
    QString failedStep;
    QString reason;
    QString testFile;
    QString testSha256;
    QString mapFile;
    QString mapSha256;
    QString programVersion;
    QString driveModel;
    QString firmwareVersion;
    QVector<StepRecord> steps;
    QVector<HoldingRecord> holdings;

    bool isFinished() const { return !result.isEmpty(); }
    // The engine's result code (1 passed, -1 failed, 0 stopped) as stored.
    static QString resultName(int result);
};

Q_DECLARE_METATYPE(RunRecord)
