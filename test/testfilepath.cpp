#include "test/testfilepath.h"

#include <QFileInfo>

QString resolveTestFile(const QString &testFile, const QString &mapPath, const QString &workingDir) {
    if (testFile.isEmpty() || QDir::isAbsolutePath(testFile)) {
        return testFile;
    }
    const QString inWorkingDir = QDir(workingDir).absoluteFilePath(testFile);
    if (QFileInfo(inWorkingDir).isFile()) {
        return QDir::cleanPath(inWorkingDir);
    }
    const QString besideMap = QFileInfo(mapPath).absoluteDir().absoluteFilePath(testFile);
    if (!mapPath.isEmpty() && QFileInfo(besideMap).isFile()) {
        return QDir::cleanPath(besideMap);
    }
    return QDir::cleanPath(inWorkingDir);
}
