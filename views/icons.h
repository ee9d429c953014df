#pragma once

#include <QIcon>
#include <QString>

// The icon of the current theme with that name, or the image bundled under resourcePath.
QIcon themedIcon(const QString &themeName, const QString &resourcePath);

// Registers the bundled images; the window library is static, so nothing else pulls them in.
void ensureIconResources();
