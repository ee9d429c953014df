#include "views/icons.h"

static void registerBundledImages() {
    Q_INIT_RESOURCE(resources);
}

void ensureIconResources() {
    static const bool registered = (registerBundledImages(), true);
    Q_UNUSED(registered);
}

QIcon themedIcon(const QString &themeName, const QString &resourcePath) {
    ensureIconResources();
    return QIcon::fromTheme(themeName, QIcon(resourcePath));
}
