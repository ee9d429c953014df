#pragma once

#include <QWidget>

class QHBoxLayout;
class QPushButton;
class QVBoxLayout;
class RamParamTable;

// Content of the "Time Graph" dock: the realtime plot above, and below it the control row
// with the RAM-parameter table and the Stop, Reset and Test buttons. The plot and its
// scale controls and power labels go into plotLayout() and controlRow().
class TimeGraphPanel : public QWidget {
    Q_OBJECT
  public:
    explicit TimeGraphPanel(QWidget *parent = nullptr);

    QVBoxLayout *plotLayout() const { return m_plotLayout; }
    QHBoxLayout *controlRow() const { return m_controlRow; }
    // Puts the P, Q, S labels under the command buttons, where the row has height to spare.
    void placePowerPanel(QWidget *panel);

    RamParamTable *ramParams() const { return m_ramParams; }
    QPushButton *stopButton() const { return m_stop; }
    QPushButton *resetButton() const { return m_reset; }
    QPushButton *testButton() const { return m_test; }

  private:
    QPushButton *newCommandButton(const QString &text, const QString &objectName);

    QVBoxLayout *m_plotLayout;
    QHBoxLayout *m_controlRow;
    QVBoxLayout *m_commandColumn;
    RamParamTable *m_ramParams;
    QPushButton *m_stop;
    QPushButton *m_reset;
    QPushButton *m_test;
};
