#pragma once

#include <QKeySequence>
#include <QObject>
#include <QVector>

class QAbstractButton;
class QAction;
class QMainWindow;
class QMenu;

// The window's menu bar: File, View, Drive and Help. Entries that the toolbars or the docks
// already offer are twins of those: they show the same state and, when chosen, trigger the
// toolbar action (or click the button) itself, so both reach the same handler.
class MainMenus : public QObject {
    Q_OBJECT
  public:
    // What the toolbars and docks already offer.
    struct Sources {
        QAction *openFile;
        QAction *saveFile;
        QAction *flashFirmware;
        QAction *configuration;
        QAction *refreshList;
        QAction *connectPort;
        QAction *password;
        QAbstractButton *searchButton;
        QVector<QAction *> dockToggles;
        QAction *openDataLog;             // the Time Graph's replay
        QVector<QAction *> graphExports;  // the Time Graph's picture and data exports
    };
    // A menu entry and the toolbar action or button it stands for.
    struct Twin {
        QAction *menuAction;
        QObject *original;
    };

    explicit MainMenus(QMainWindow *window);
    void build(const Sources &sources);

    const QVector<Twin> &twins() const { return m_twins; }

    // View > Language: the texts as built and each catalog, with currentCode checked. The
    // choice takes effect at the next start.
    void addLanguageMenu(const QString &currentCode);

    // Entries of their own; the window connects them.
    QAction *quit = nullptr;
    QAction *resetLayout = nullptr;
    QAction *userGuide = nullptr;
    QAction *about = nullptr;

  signals:
    // A language picked in View > Language: a catalog's code, or empty for the texts as built.
    void languageChosen(const QString &code);

  private:
    void buildFileMenu(const Sources &sources);
    void buildViewMenu(const Sources &sources);
    void buildDriveMenu(const Sources &sources);
    void buildHelpMenu();
    QAction *twinOf(QAction *original, const QString &text, const QKeySequence &key = QKeySequence());
    QAction *twinOf(QAbstractButton *original, const QString &text);
    QAction *ownAction(const QString &objectName, const QString &text, const QKeySequence &key);

    QMainWindow *m_window;
    QMenu *m_viewMenu = nullptr;
    QVector<Twin> m_twins;
};
