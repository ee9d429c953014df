#include <QTextStream>

#include "commands.h"

// Commands that are not available in this build yet.
namespace {
int notAvailable(const char *name) {
    QTextStream(stderr) << "mvxctl: '" << name << "' is not available in this build\n";
    return 2;
}
}  // namespace

int runTest(const QStringList &) { return notAvailable("test"); }
