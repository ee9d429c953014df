#include <qtadvanceddocking/DockManager.h>
#include <qtadvanceddocking/DockWidget.h>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QXmlStreamReader>
#include <QtTest>

#include "app/mainwindow.h"
#include "support/guiworkdir.h"
#include "views/logarea.h"
#include "views/maindocks.h"
#include "views/testpanel.h"
#include "views/uilanguage.h"

namespace {

// "context|source" of each message of a Linguist catalog, with whether its translation is
// finished (present, not empty, not marked unfinished, vanished or obsolete).
QHash<QString, bool> readCatalog(const QString &path) {
    QHash<QString, bool> messages;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return messages;
    }
    QXmlStreamReader xml(&file);
    QString context;
    QString source;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("source")) {
            source = xml.readElementText(QXmlStreamReader::IncludeChildElements);
        } else if (xml.name() == QLatin1String("translation")) {
            const bool flagged = xml.attributes().hasAttribute(QLatin1String("type"));
            const QString text = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            messages.insert(context + QLatin1Char('|') + source, !flagged && !text.isEmpty());
        }
    }
    return messages;
}

// Reads the texts of the window's folders with lupdate into a fresh catalog.
QString extractSourceTexts(const QTemporaryDir &dir) {
    const QString extracted = dir.filePath(QStringLiteral("extracted.ts"));
    QStringList arguments{QStringLiteral("-I"), QStringLiteral("."), QStringLiteral("-locations"),
                          QStringLiteral("none")};
    arguments << QString::fromUtf8(MVX_TRANSLATED_FOLDERS).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    arguments << QStringLiteral("-ts") << extracted;
    QProcess lupdate;
    lupdate.setWorkingDirectory(QStringLiteral(MVX_SOURCE_DIR));
    lupdate.start(QStringLiteral(MVX_LUPDATE), arguments);
    if (!lupdate.waitForFinished(120000) || lupdate.exitCode() != 0) {
        return QString();
    }
    return extracted;
}

// The saved layout finds docks by object name, which stays the title as built.
QString dockTitle(const MainWindow &window, const QString &objectName) {
    const ads::CDockWidget *dock = window.docks()->manager->findDockWidget(objectName);
    return dock != nullptr ? dock->windowTitle() : QString();
}

// The label and title of the failure-reason prompt, read while it is open.
QStringList failureReasonPrompt(QWidget *window) {
    QStringList seen;
    QTimer::singleShot(0, window, [&seen] {
        auto *dialog = guitest::topLevel<QInputDialog>();
        if (dialog != nullptr) {
            seen << dialog->windowTitle() << dialog->labelText();
            dialog->reject();
        }
    });
    QString reason;
    TestPrompts::interactive().askFailureReason(window, &reason);
    return seen;
}

}  // namespace

class LanguageTest : public QObject {
    Q_OBJECT
  private slots:
    void cleanup() { uilanguage::install(QString()); }
    void catalogTranslatesEveryWindowText_data();
    void catalogTranslatesEveryWindowText();
    void menuOffersTheCatalogs();
    void englishChosenInTheMenuShowsAfterARestart();
    void languajeKeyChoosesTheTexts_data();
    void languajeKeyChoosesTheTexts();
};

void LanguageTest::catalogTranslatesEveryWindowText_data() {
    QTest::addColumn<QString>("catalog");
    QTest::newRow("English") << QStringLiteral("mvx_en.ts");
    QTest::newRow("Spanish") << QStringLiteral("mvx_es.ts");
}

void LanguageTest::catalogTranslatesEveryWindowText() {
    QFETCH(QString, catalog);
    QTemporaryDir dir;
    const QString extracted = extractSourceTexts(dir);
    QVERIFY2(!extracted.isEmpty(), "lupdate could not read the sources");
    const QHash<QString, bool> sources = readCatalog(extracted);
    QVERIFY(sources.size() > 300);
    const QHash<QString, bool> translated =
        readCatalog(QStringLiteral(MVX_SOURCE_DIR "/translations/") + catalog);
    QStringList untranslated;
    for (auto it = sources.cbegin(); it != sources.cend(); ++it) {
        if (!translated.value(it.key(), false)) {
            untranslated << it.key();
        }
    }
    untranslated.sort();
    QVERIFY2(untranslated.isEmpty(), qPrintable(QStringLiteral("no finished translation for:\n") +
                                                untranslated.join(QLatin1Char('\n'))));
}

void LanguageTest::menuOffersTheCatalogs() {
    GuiWorkDir dir;
    MainWindow window;
    QStringList names;
    for (const char *name : {"actionLanguage_asBuilt", "actionLanguage_en", "actionLanguage_es"}) {
        const auto *action = window.findChild<QAction *>(QLatin1String(name));
        QVERIFY2(action != nullptr, name);
        names << action->text();
    }
    QCOMPARE(names,
             QStringList({QStringLiteral("As built"), QStringLiteral("English"), QStringLiteral("Español")}));
    // The fixture's "English" names no catalog: the texts as built are in use.
    QVERIFY(window.findChild<QAction *>(QStringLiteral("actionLanguage_asBuilt"))->isChecked());
}

void LanguageTest::englishChosenInTheMenuShowsAfterARestart() {
    GuiWorkDir dir;
    const QString settingsFile = dir.filePath(QStringLiteral("settings.xml"));
    {
        MainWindow window;
        window.findChild<QAction *>(QStringLiteral("actionLanguage_en"))->trigger();
        QVERIFY(window.logArea()->toPlainText().contains(
            QStringLiteral("The window will use the chosen language after a restart")));
        QCOMPARE(dockTitle(window, QStringLiteral("Auxiliar holdings")), QStringLiteral("Auxiliar holdings"));
    }
    QCOMPARE(uilanguage::codeInSettings(settingsFile), QStringLiteral("en"));
    QVERIFY(uilanguage::install(uilanguage::codeInSettings(settingsFile)));  // as the next start does

    MainWindow window;
    QCOMPARE(dockTitle(window, QStringLiteral("Auxiliar holdings")), QStringLiteral("Auxiliary holdings"));
    window.testPanel()->start(dir.filePath(QStringLiteral("no-such-test.xml")), dir.path(), nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(
        window.logArea()->toPlainText().contains(QStringLiteral("The test file could not be loaded.")),
        10000);
    QCOMPARE(failureReasonPrompt(&window),
             QStringList({QStringLiteral("Reason"), QStringLiteral("Short reason for the failure:")}));
}

void LanguageTest::languajeKeyChoosesTheTexts_data() {
    QTest::addColumn<QString>("languaje");
    QTest::addColumn<QString>("auxDockTitle");
    QTest::addColumn<QString>("reasonLabel");
    const QString builtDock = QStringLiteral("Auxiliar holdings");
    const QString builtReason = QStringLiteral("Breve motivo del fallo:");
    QTest::newRow("default Spanish: as built") << QStringLiteral("Spanish") << builtDock << builtReason;
    QTest::newRow("a name without catalog: as built")
        << QStringLiteral("English") << builtDock << builtReason;
    QTest::newRow("en") << QStringLiteral("en") << QStringLiteral("Auxiliary holdings")
                        << QStringLiteral("Short reason for the failure:");
    QTest::newRow("es") << QStringLiteral("es") << QStringLiteral("Holdings auxiliares") << builtReason;
}

void LanguageTest::languajeKeyChoosesTheTexts() {
    QFETCH(QString, languaje);
    QFETCH(QString, auxDockTitle);
    QFETCH(QString, reasonLabel);
    GuiWorkDir::Settings settings;
    settings.language = languaje;
    GuiWorkDir dir(settings);
    uilanguage::install(uilanguage::codeInSettings(dir.filePath(QStringLiteral("settings.xml"))));
    MainWindow window;
    QCOMPARE(dockTitle(window, QStringLiteral("Auxiliar holdings")), auxDockTitle);
    QCOMPARE(failureReasonPrompt(&window).value(1), reasonLabel);
}

QTEST_MAIN(LanguageTest)
#include "tst_gui_language.moc"
