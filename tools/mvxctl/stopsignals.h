#pragma once

#include <QObject>

class QSocketNotifier;

// SIGINT and SIGTERM as a Qt signal: the handler only writes a byte to a socket pair, and the
// event loop reads it, so that everything the stop does runs outside the signal handler.
// One at a time per process; the previous handlers come back when it goes.
class StopSignals : public QObject {
    Q_OBJECT

  public:
    explicit StopSignals(QObject *parent = nullptr);
    ~StopSignals() override;

    bool isInstalled() const { return m_notifier != nullptr; }
    bool stopAsked() const { return m_asked; }

  signals:
    void stopRequested(int signalNumber);

  private:
    void onReadable();

    QSocketNotifier *m_notifier = nullptr;
    bool m_asked = false;
};
