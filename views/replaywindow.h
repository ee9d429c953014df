#pragma once

#include <QHash>
#include <QStringList>
#include <QWidget>

class QLabel;
class QProgressBar;
class RealtimePlot;

// A data log the program wrote, reopened in a graph with the time graph's axes, navigation,
// cursors and exports. P, Q and S are worked out again when the log has the columns of the
// d/q currents and voltages.
class ReplayWindow : public QWidget {
    Q_OBJECT
  public:
    explicit ReplayWindow(QWidget *parent = nullptr);

    // Register names of id, iq, vd and vq, as the log's header names them.
    void setPowerColumns(const QStringList &idIqVdVq) { m_powerColumns = idIqVdVq; }
    // The legend's text for a column the log names by register name (the map's labels).
    void setCurveLabels(const QHash<QString, QString> &labelOfName) { m_labels = labelOfName; }
    // Why a file cannot be replayed (empty when its header reads as a data log): a refused file
    // opens no window.
    static QString refusal(const QString &path);
    // Reads the log, showing progress; false (with the reason shown) when it cannot be read.
    bool open(const QString &path);

    RealtimePlot *plot() const { return m_plot; }
    QProgressBar *progressBar() const { return m_progress; }
    QLabel *statusLabel() const { return m_status; }

  protected:
    // Not while reading: the read runs inside this object.
    void closeEvent(QCloseEvent *event) override;

  private:
    bool read(const QString &path);

    RealtimePlot *m_plot;
    QProgressBar *m_progress;
    QLabel *m_status;
    QStringList m_powerColumns;
    QHash<QString, QString> m_labels;
    bool m_reading = false;
};
