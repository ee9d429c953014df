#pragma once

#include <QStringList>

// Each mvxctl command takes the arguments after its name and returns the process exit code.
int runCheckMap(const QStringList &args);
int runCheckTest(const QStringList &args);
int runFormat(const QStringList &args);
int runRead(const QStringList &args);
int runFlash(const QStringList &args);
int runExport(const QStringList &args);
int runTest(const QStringList &args);
int runSearch(const QStringList &args);
int runReport(const QStringList &args);
int runRecords(const QStringList &args);
int runLog2Csv(const QStringList &args);
int runMonitor(const QStringList &args);
