#pragma once

#include <QString>
#include <QVector>
#include <QWidget>
#include <cstdint>

#include "comm/capturecommands.h"
#include "comm/capturedata.h"

class QCPGraph;
class QComboBox;
class QCustomPlot;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QWheelEvent;
class logger;

// The "Secondary Graph" dock: chooses what the drive's three trace buffers record and how
// they are scaled, starts a capture or an accelerometer read, plots what comes back against
// the sample index and copies it to the clipboard. Requests go out through CaptureCommands;
// the capture replies come in through onInputRegistersRecv.
class SecondaryGraph : public QWidget {
    Q_OBJECT
  public:
    explicit SecondaryGraph(QWidget *parent = nullptr);

    // Consulted before each request goes out (it reports a refusal itself); set it before the
    // commands.
    void setCommandGate(std::function<bool()> mayGo) { m_commandGate = std::move(mayGo); }
    void setCommands(const CaptureCommands &commands) {
        m_commands = m_commandGate ? commands.gatedBy(m_commandGate) : commands;
    }
    // The log directory; accelerometer reads are logged in its folder "acc".
    void setLogDirectory(const QString &dir) { m_logDir = dir; }
    // Enables the controls that talk to the drive.
    void setConnected(bool connected);

    // A reply of the worker. Handles the capture areas (0x4000..0x4BFF, 0x5000..0x5BFF) and
    // returns true for them; any other reply is left alone and false returned.
    bool onInputRegistersRecv(int serverAddress, int startReg, QVector<uint16_t> words);
    void updateProgressBar2(bool show, float num);

    const CaptureData &data() const { return m_data; }
    logger *accelerometerLog() const { return m_accelerometerLog; }
    QCustomPlot *customPlot() const { return m_plot; }
    QCPGraph *curve(int channel) const { return m_curves.at(channel); }
    QComboBox *traceSelector(int trace) const { return m_selectors.at(trace); }
    QLineEdit *scaleEdit(int trace) const { return m_scales.at(trace); }
    QLineEdit *afterAlarmEdit() const { return m_afterAlarm; }
    QLineEdit *verticalMinEdit() const { return m_verticalMin; }
    QLineEdit *verticalMaxEdit() const { return m_verticalMax; }
    QPushButton *readVariablesButton() const { return m_readVariables; }
    QPushButton *readAccelerometerButton() const { return m_readAccelerometer; }
    QPushButton *exportButton() const { return m_export; }
    QProgressBar *progressBar() const { return m_progress; }
    QLabel *warningLabel() const { return m_warning; }

  signals:
    // A line for the log area (same arguments as the window's showStatus).
    void send_status(bool timestamp, bool to_status, bool to_browser, QString str);

  public slots:
    void on_cmbBoxIndexChanged(int index);
    void on_Scale1Changed() { writeScale(0); }
    void on_Scale2Changed() { writeScale(1); }
    void on_Scale3Changed() { writeScale(2); }
    void on_edAfterAlarmChanged();
    // The Min/Max vertical scale fields set the left axis; until then it scales itself.
    void on_SecGraphScaleChanged();
    void on_btnTriggerSecondaryGraph();
    void on_btnReadSecondaryGraph();
    void on_btnExportValues();

  private:
    enum class Shown { Buffers, Accelerometer };

    QWidget *buildPlot();
    QWidget *buildControls();
    QLayout *buildTraceGrid();
    QLayout *buildCaptureSettings();
    QLayout *buildButtons();
    QLineEdit *newIntField(const QString &text, int width, int bottom, int top);
    void onWheel(QWheelEvent *event);
    void writeScale(int trace);
    void applyVerticalScale();
    void showChannels(const QVector<int> &channels, Shown shown);
    void logAccelerometer(int startReg, const QVector<uint16_t> &words);
    void logToBrowser(const QString &text);

    std::function<bool()> m_commandGate;
    CaptureCommands m_commands;
    CaptureData m_data;
    tracedecode::AccelerometerText m_accelerometerText;
    logger *m_accelerometerLog;
    QString m_logDir;
    Shown m_shown = Shown::Buffers;
    bool m_userScale = false;

    QCustomPlot *m_plot = nullptr;
    QVector<QCPGraph *> m_curves;
    QVector<QComboBox *> m_selectors;
    QVector<QLineEdit *> m_scales;
    QLineEdit *m_afterAlarm = nullptr;
    QLineEdit *m_verticalMin = nullptr;
    QLineEdit *m_verticalMax = nullptr;
    QPushButton *m_readVariables = nullptr;
    QPushButton *m_readAccelerometer = nullptr;
    QPushButton *m_export = nullptr;
    QProgressBar *m_progress = nullptr;
    QLabel *m_warning = nullptr;
};
