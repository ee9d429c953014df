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

QPointer<QTranslator> installedCatalog;
QPointer<QTranslator> installedQtTexts;

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

void removeInstalled() {
    for (QPointer<QTranslator> *translator : {&installedCatalog, &installedQtTexts}) {
        if (*translator) {
            QCoreApplication::removeTranslator(*translator);
            delete translator->data();
        }
    }
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
    auto *catalog = new QTranslator(QCoreApplication::instance());
    if (!catalog->load(path)) {
        delete catalog;
        return false;
    }
    QCoreApplication::installTranslator(catalog);
    installedCatalog = catalog;
    // The file dialogs' and buttons' own texts, when the system has them in this language.
    auto *qtTexts = new QTranslator(QCoreApplication::instance());
    if (qtTexts->load(QStringLiteral("qtbase_") + code,
                      QLibraryInfo::location(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(qtTexts);
        installedQtTexts = qtTexts;
    } else {
        delete qtTexts;
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
