#pragma once

#include <QObject>
#include <QString>
#include <QVector>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMainWindow;
class QToolBar;

// The "Layout", "File" and "Comm" toolbars of the main window and the widgets on them.
// Actions are created here; the window connects them to its handlers.
class MainToolBars : public QObject {
    Q_OBJECT
  public:
    // A dock's own toggle action, dressed for the "Layout" toolbar.
    struct DockToggle {
        QAction *action;
        QString resourcePath;
        QString themeName;
        QString statusTip;
    };

    explicit MainToolBars(QMainWindow *window);

    void build(const QVector<DockToggle> &dockToggles);

    QToolBar *layoutBar = nullptr;
    QToolBar *fileBar = nullptr;
    QToolBar *commBar = nullptr;

    QAction *openFile = nullptr;
    QAction *saveFile = nullptr;
    QAction *flashFirmware = nullptr;
    QAction *configuration = nullptr;
    QAction *refreshList = nullptr;
    QAction *connectPort = nullptr;
    QAction *password = nullptr;

    QComboBox *portCombo = nullptr;
    QLineEdit *addressEdit = nullptr;
    QLabel *broadcastLabel = nullptr;
    QLabel *errorCountLabel = nullptr;

  private:
    void buildLayoutBar(const QVector<DockToggle> &dockToggles);
    void buildFileBar();
    void buildCommBar();
    QAction *newAction(const QString &objectName, const QString &text, const QString &resourcePath,
                       const QString &themeName, const QString &statusTip);
    void addSpacer(QToolBar *bar, int width);

    QMainWindow *m_window;
};
