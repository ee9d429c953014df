#include "params/paramexport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include "app/settings.h"

namespace {

constexpr int kPollIntervalAfterExport = 50;

uint16_t rawWordAt(const QVector<input_reg_t *> &inputs, int position) {
    const input_reg_t *reg = inputs.value(position, nullptr);
    return reg != nullptr ? reg->raw : 0;
}

}  // namespace

QString proposedExportPath(const QString &directory, const QDateTime &now) {
    return QStringLiteral("%1/motor_export_%2.xml")
        .arg(directory, QLocale::c().toString(now, QStringLiteral("yyyyMMdd-hhmmss")));
}

DriveIdentity driveIdentity(const QVector<input_reg_t *> &inputs) {
    return DriveIdentity{rawWordAt(inputs, 1), rawWordAt(inputs, 0)};
}

QString exportParameters(settings &appSettings, const QVector<holding_t *> &holdings, DriveIdentity identity,
                         const QString &path, const QDateTime &savedAt) {
    appSettings.setModel(identity.model);
    appSettings.setVersion(identity.version);
    appSettings.setPoll_Interval(kPollIntervalAfterExport);
    QFile file(path);
    if (appSettings.writeParamFile(holdings, file, savedAt) == 1) {
        return QString();
    }
    return exportFailureText(path);
}

QString exportFailureText(const QString &path) {
    const QFileInfo target(path);
    const QFileInfo folder(target.absolutePath());
    QString reason;
    if (path.isEmpty()) {
        reason = QCoreApplication::translate("paramexport", "no file name");
    } else if (!folder.exists()) {
        reason = QCoreApplication::translate("paramexport", "the folder %1 does not exist")
                     .arg(QDir::toNativeSeparators(folder.filePath()));
    } else if (target.isDir()) {
        reason = QCoreApplication::translate("paramexport", "it is a folder");
    } else if (!folder.isWritable() || (target.exists() && !target.isWritable())) {
        reason = QCoreApplication::translate("paramexport", "permission denied");
    } else {
        reason = QCoreApplication::translate("paramexport", "the disk may be full or the file in use");
    }
    return QCoreApplication::translate(
               "paramexport", "Error: parameter file %1 could not be saved (%2). Nothing was written.")
        .arg(QDir::toNativeSeparators(path), reason);
}
