#pragma once

#include <sys/resource.h>
#include <unistd.h>
#include <QFile>
#include <QtGlobal>

// Processor time of the processes a test or benchmark starts, in ms.
namespace processcpu {

inline qint64 milliseconds(const timeval &time) {
    return qint64(time.tv_sec) * 1000 + time.tv_usec / 1000;
}

// User and system time of the children this process has waited for.
inline qint64 endedChildrenCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return milliseconds(usage.ru_utime) + milliseconds(usage.ru_stime);
}

// User and system time a running process has used so far; -1 when it cannot be read.
inline qint64 runningProcessCpuMs(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) {
        return -1;
    }
    // The fields after the command name, which is in parentheses and may hold blanks.
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    constexpr int kUserTime = 11, kSystemTime = 12;  // utime and stime, in clock ticks
    if (fields.size() <= kSystemTime) {
        return -1;
    }
    return (fields.at(kUserTime).toLongLong() + fields.at(kSystemTime).toLongLong()) * 1000 /
           sysconf(_SC_CLK_TCK);
}

// Resident memory of a running process in kB; -1 when it cannot be read.
inline long residentKilobytes(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').first().toLong();
        }
    }
    return -1;
}

}  // namespace processcpu
