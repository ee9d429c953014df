#pragma once

#include <QString>
#include <QVector>

// The language the window speaks: its texts as built (the default), or one of the Qt
// Linguist catalogs built into the program (translations/mvx_<code>.ts). The choice is kept
// in the settings' "Languaje" key as the catalog's code ("en", "es"); any other value, the
// default "Spanish" included, means the texts as built, so older settings files keep the
// window as it was. Files the program writes never go through a catalog.
namespace uilanguage {

struct Choice {
    QString code;  // "en"; empty for the texts as built
    QString name;  // the language's name in itself, as its catalog gives it
};

// The texts as built first, then every catalog found, by code.
QVector<Choice> available();

// Installs the catalog of the code into the application (and Qt's own texts in that
// language when the system has them), replacing one installed before. A code without a
// catalog leaves the texts as built. False when no catalog was installed.
bool install(const QString &code);

// What the "Languaje" key holds for the code: the code, or the default "Spanish" for the
// texts as built.
QString settingsValue(const QString &code);

// The "Languaje" value of the settings file at path; empty when the file does not exist.
QString codeInSettings(const QString &settingsPath);

}  // namespace uilanguage
