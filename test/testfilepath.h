#pragma once

#include <QDir>
#include <QString>

// Where the register map's test_file is. An absolute path is taken as it is; a relative one
// is looked for in the working directory first, then in the map's folder. When it is in
// neither, the working-directory path is returned, so that the failure to open it names it.
QString resolveTestFile(const QString &testFile, const QString &mapPath,
                        const QString &workingDir = QDir::currentPath());
