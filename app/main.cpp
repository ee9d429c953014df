#include <QApplication>

#include "app/mainwindow.h"
#include "views/uilanguage.h"

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    // Before the window exists, so that every text it builds is in the chosen language.
    uilanguage::install(uilanguage::codeInSettings(QStringLiteral("settings.xml")));
    MainWindow window;
    window.show();
    return app.exec();
}
