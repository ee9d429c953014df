#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>

#include "testpaths.h"

// One run of the built mvxctl: its exit code (-1 when it crashed or hung) and its output.
struct MvxctlRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

inline MvxctlRun runMvxctl(const QStringList &args, int timeoutMs = 60000) {
    QProcess process;
    process.start(testpaths::mvxctl(), args);
    MvxctlRun run;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}
