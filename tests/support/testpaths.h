#pragma once

#include <QString>

namespace testpaths {

inline QString sourceDir() { return QStringLiteral(MVX_SOURCE_DIR); }
inline QString binaryDir() { return QStringLiteral(MVX_BINARY_DIR); }
inline QString example(const QString &name) { return sourceDir() + QStringLiteral("/examples/") + name; }
inline QString simulator() { return binaryDir() + QStringLiteral("/mvx-drive-sim"); }
inline QString mvxctl() { return binaryDir() + QStringLiteral("/mvxctl"); }

}  // namespace testpaths
