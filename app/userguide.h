#pragma once

#include <QString>
#include <QStringList>

// Where the window finds the user guide (the project's README.md).
namespace userguide {

// In order: beside the program, the source tree around a build folder, the installed
// package's share folder next to the program's prefix, and /usr/share/mvx-configurator.
QStringList candidates(const QString &programDir);
// The first candidate that exists; empty when there is none.
QString find(const QStringList &paths);

}  // namespace userguide
