#include <QTextStream>

#include "commands.h"

// Commands that are not available in this build yet.
namespace {
int notAvailable(const char *name) {
    QTextStream(stderr) << "mvxctl: '" << name << "' is not available in this build\n";
    return 2;
}
}  // namespace

int runCheckMap(const QStringList &) { return notAvailable("check-map"); }
int runCheckTest(const QStringList &) { return notAvailable("check-test"); }
int runFormat(const QStringList &) { return notAvailable("format"); }
int runRead(const QStringList &) { return notAvailable("read"); }
int runFlash(const QStringList &) { return notAvailable("flash"); }
int runTest(const QStringList &) { return notAvailable("test"); }
