#include "app/userguide.h"

#include <QDir>
#include <QFileInfo>

namespace userguide {

namespace {
const QString kGuide = QStringLiteral("README.md");
}

QStringList candidates(const QString &programDir) {
    const QDir dir(programDir);
    return {
        dir.filePath(kGuide),
        QDir::cleanPath(dir.filePath(QStringLiteral("../") + kGuide)),
        QDir::cleanPath(dir.filePath(QStringLiteral("../share/mvx-configurator/") + kGuide)),
        QStringLiteral("/usr/share/mvx-configurator/") + kGuide,
    };
}

QString find(const QStringList &paths) {
    for (const QString &path : paths) {
        if (QFileInfo(path).isFile()) {
            return path;
        }
    }
    return QString();
}

}  // namespace userguide
