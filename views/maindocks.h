#pragma once

#include <QObject>
#include <QSize>
#include <QString>

class QMainWindow;
class QWidget;

namespace ads {
class CDockManager;
class CDockWidget;
}  // namespace ads

// The dock manager of the main window and its docks, in the order they are added.
class MainDocks : public QObject {
    Q_OBJECT
  public:
    // Sets the docking flags and creates the manager as the window's central widget.
    explicit MainDocks(QMainWindow *window);

    // Creates every dock around the given contents and adds them in their default areas, all
    // but "Time Graph", which placeTimeGraph adds last. placeHoldingSections sizes "Holding
    // Registers" once its sections exist.
    struct Contents {
        QWidget *inputRegisters;
        QWidget *holdingSections;
        QWidget *coils;
        QWidget *discreteInputs;
        QWidget *auxHoldings;
        QWidget *addressTable;
        QWidget *information;
        QWidget *testSteps;
        QWidget *secondaryGraph;
        QWidget *timeGraph;
        QWidget *flatHoldings;
    };
    void create(const Contents &contents);
    void placeHoldingSections();
    void placeTimeGraph();
    // Shares the window's width and height out so that tables, log and graphs open readable.
    void setDefaultProportions(const QSize &window);
    // Closes and deletes a dock that has nothing to show; the pointer becomes null.
    void discard(ads::CDockWidget *&dock);

    ads::CDockManager *manager = nullptr;
    ads::CDockWidget *inputRegisters = nullptr;
    ads::CDockWidget *holdingSections = nullptr;
    ads::CDockWidget *coils = nullptr;
    ads::CDockWidget *discreteInputs = nullptr;
    ads::CDockWidget *auxHoldings = nullptr;
    ads::CDockWidget *addressTable = nullptr;
    ads::CDockWidget *information = nullptr;
    ads::CDockWidget *testSteps = nullptr;
    ads::CDockWidget *secondaryGraph = nullptr;
    ads::CDockWidget *timeGraph = nullptr;
    ads::CDockWidget *flatHoldings = nullptr;  // mirrors the holdings; never added, never shown

  private:
    ads::CDockWidget *newDock(const char *title, QWidget *content);
    void addLeft(ads::CDockWidget *dock);
};

// Whether a dock is currently open (not closed by the user); false for a missing dock.
bool isDockShown(const ads::CDockWidget *dock);
