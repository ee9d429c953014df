#include "views/uilanguage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QPointer>
#include <QRegularExpression>
#include <QTranslator>

#include "app/settings.h"

// Outside any namespace, as Q_INIT_RESOURCE requires: the catalogs are in a static library.
static void initCatalogResource() {
    Q_INIT_RESOURCE(translations);
}

namespace uilanguage {

namespace {

// Each catalog names its own language by translating this text.
const char *const kNameContext = "uilanguage";
const char *const kOwnName = QT_TRANSLATE_NOOP("uilanguage", "the name of this catalog's language");

// The catalog in use and, after it, Qt's own catalogs in the same language.
QVector<QPointer<QTranslator>> installed;

// Built into the program first; then the package's folder, where a catalog added later
// can be dropped without rebuilding.
QStringList catalogFolders() {
    initCatalogResource();
    return {QStringLiteral(":/translations"), QCoreApplication::applicationDirPath() +
                                                  QStringLiteral("/../share/mvx-configurator/translations")};
}

QString catalogPath(const QString &code) {
    // A code is a locale name ("en", "pt_BR"), never a path.
    static const QRegularExpression localeName(QStringLiteral("^[A-Za-z]{2,3}(_[A-Za-z]{2})?$"));
    if (!localeName.match(code).hasMatch()) {
        return QString();
    }
    for (const QString &folder : catalogFolders()) {
        const QString path = QStringLiteral("%1/mvx_%2.qm").arg(folder, code);
        if (QFile::exists(path)) {
            return path;
        }
    }
    return QString();
}

bool installFile(const QString &path, const QString &folder = QString()) {
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(path, folder)) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    installed.append(translator);
    return true;
}

void removeInstalled() {
    for (const QPointer<QTranslator> &translator : qAsConst(installed)) {
        if (translator) {
            QCoreApplication::removeTranslator(translator);
            delete translator.data();
        }
    }
    installed.clear();
}

}  // namespace

QVector<Choice> available() {
    QVector<Choice> choices{{QString(), QCoreApplication::translate("uilanguage", "As built")}};
    QStringList codes;
    for (const QString &folder : catalogFolders()) {
        for (const QString &file :
             QDir(folder).entryList({QStringLiteral("mvx_*.qm")}, QDir::Files, QDir::Name)) {
            const QString code = file.mid(4, file.size() - 7);
            if (codes.contains(code)) {
                continue;
            }
            QTranslator catalog;
            if (catalog.load(catalogPath(code))) {
                codes << code;
                choices.append({code, catalog.translate(kNameContext, kOwnName)});
            }
        }
    }
    return choices;
}

bool install(const QString &code) {
    removeInstalled();
    const QString path = catalogPath(code);
    if (path.isEmpty()) {
        return false;
    }
    if (!installFile(path)) {
        return false;
    }
    // The buttons', file dialogs' and serial ports' own texts, when the system has them
    // (Debian package qttranslations5-l10n).
    for (const char *module : {"qtbase_", "qtserialport_"}) {
        installFile(QLatin1String(module) + code, QLibraryInfo::location(QLibraryInfo::TranslationsPath));
    }
    return true;
}

QString settingsValue(const QString &code) {
    return code.isEmpty() ? QStringLiteral("Spanish") : code;
}

QString codeInSettings(const QString &settingsPath) {
    if (!QFile::exists(settingsPath)) {
        return QString();
    }
    return settings(settingsPath).getLanguaje();
}

}  // namespace uilanguage
