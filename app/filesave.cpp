#include "app/filesave.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

bool fail(const QString &path, const QString &reason, QString *error) {
    if (error != nullptr) {
        *error = QCoreApplication::translate("filesave", "%1 could not be saved: %2")
                     .arg(QDir::toNativeSeparators(path), reason);
    }
    return false;
}

bool overwriteInPlace(const QString &path, const QByteArray &contents, QString *error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite)) {
        return fail(path, file.errorString(), error);
    }
    const QByteArray previous = file.readAll();
    const bool written = file.seek(0) && file.write(contents) == contents.size() && file.flush() &&
                         file.resize(contents.size());
    if (written) {
        return true;
    }
    const QString reason = file.errorString();
    file.seek(0);
    file.write(previous);
    file.flush();
    file.resize(previous.size());
    return fail(path, reason, error);
}

}  // namespace

bool saveFileContents(const QString &path, const QByteArray &contents, QString *error) {
    if (path.isEmpty()) {
        return fail(path, QCoreApplication::translate("filesave", "no file name"), error);
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        const QFileInfo target(path);
        if (target.isFile() && target.isWritable()) {
            return overwriteInPlace(path, contents, error);
        }
        return fail(path, file.errorString(), error);
    }
    if (file.write(contents) != contents.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return fail(path, reason, error);
    }
    return file.commit() || fail(path, file.errorString(), error);
}
